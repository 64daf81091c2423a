// The Spanish sentences for shortages the command line cannot easily provoke: counts beyond 32
// bits written whole, and the singular forms.
#include "datafile/dataerror.h"

#include <gtest/gtest.h>

#include <vector>

namespace zento {
namespace {

DataError Shortage(std::int64_t available, std::int64_t columns, std::int64_t variables,
                   std::int64_t cases, bool modelNames = false) {
    DataError e = FileError(DataErrorKind::TooFewTokens, "x.txt");
    e.available = available;
    e.columns = columns;
    e.requestedVariables = variables;
    e.requestedCases = cases;
    e.modelNames = modelNames;
    e.needed = variables; // what a model reads
    return e;
}

TEST(DescribeDataErrorTest, SaysWhatIsWrongInOneSpanishSentence) {
    const std::vector<std::pair<DataError, std::string>> cases = {
        {Shortage(5, 3, 3, 1), "El archivo \"x.txt\" tiene 0 casos completos de 3 variables; "
                               "se pidió 1 caso."},
        {Shortage(6, 2, 4, 1), "El archivo \"x.txt\" tiene 0 casos completos de 4 valores; "
                               "se pidió 1 caso."},
        // Files beyond 2^31 tokens: every count is written whole, never wrapped.
        {Shortage(3000000003, 3, 3, 2147483647),
         "El archivo \"x.txt\" tiene 1000000000 casos completos de 3 variables; se pidieron "
         "2147483647 casos."},
        {Shortage(2147483646, 0, 2147483647, 1, true),
         "El archivo \"x.txt\" contiene solo 2147483646 datos; el modelo con 2147483647 "
         "variables necesita leer 2147483647 nombres."},
        {Shortage(1, 0, 2, 0, true), "El archivo \"x.txt\" contiene solo 1 dato; el modelo con 2 "
                                     "variables necesita leer 2 nombres."},
        {FileError(DataErrorKind::CountTooLarge, "x.txt"),
         "El archivo \"x.txt\" es demasiado grande: sus variables o sus casos pasan de "
         "2147483647."},
    };
    for (const auto& [error, expected] : cases)
        EXPECT_EQ(expected, DescribeDataError(error));
}

} // namespace
} // namespace zento
