// The Spanish sentences the user reads for each kind of data error.
#include "datafile/dataerror.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <vector>

namespace zento {
namespace {

DataError Shortage(std::int64_t needed, std::int64_t available, std::int64_t columns,
                   std::int64_t variables, std::int64_t cases, bool modelNames = false) {
    DataError e;
    e.kind = DataErrorKind::TooFewTokens;
    e.path = "x.txt";
    e.needed = needed;
    e.available = available;
    e.columns = columns;
    e.requestedVariables = variables;
    e.requestedCases = cases;
    e.modelNames = modelNames;
    return e;
}

DataError System(DataErrorKind kind, int systemError) {
    DataError e;
    e.kind = kind;
    e.path = "x.txt";
    e.systemError = systemError;
    return e;
}

TEST(DescribeDataErrorTest, SaysWhatIsWrongInOneSpanishSentence) {
    DataError tooLarge;
    tooLarge.kind = DataErrorKind::CountTooLarge;
    tooLarge.path = "x.txt";
    DataError cancelled;
    cancelled.kind = DataErrorKind::Cancelled;
    cancelled.path = "x.txt";
    const std::vector<std::pair<DataError, std::string>> cases = {
        {Shortage(18, 9, 3, 3, 5), "El archivo \"x.txt\" tiene 2 casos completos de 3 variables; "
                                   "se pidieron 5 casos."},
        {Shortage(6, 5, 3, 3, 1), "El archivo \"x.txt\" tiene 0 casos completos de 3 variables; "
                                  "se pidió 1 caso."},
        {Shortage(8, 6, 2, 4, 1), "El archivo \"x.txt\" tiene 0 casos completos de 4 valores; "
                                  "se pidió 1 caso."},
        {Shortage(9, 2, 3, 3, 2), "El archivo \"x.txt\" contiene solo 2 datos, menos que los 3 "
                                  "nombres de la cabecera."},
        {Shortage(3, 0, 1, 1, -1), "El archivo \"x.txt\" no contiene ningún dato."},
        // Files beyond 2^31 tokens: every count is written whole, never wrapped.
        {Shortage(6442450944, 3000000003, 3, 3, 2147483647),
         "El archivo \"x.txt\" tiene 1000000000 casos completos de 3 variables; se pidieron "
         "2147483647 casos."},
        {Shortage(2147483647, 2147483646, 0, 2147483647, 1, true),
         "El archivo \"x.txt\" contiene solo 2147483646 datos; el modelo con 2147483647 "
         "variables necesita leer 2147483647 nombres."},
        {Shortage(5, 3, 0, 5, 0, true), "El archivo \"x.txt\" contiene solo 3 datos; el modelo "
                                        "con 5 variables necesita leer 5 nombres."},
        {Shortage(1, 0, 0, -2, 0, true), "El archivo \"x.txt\" no contiene ningún dato."},
        {System(DataErrorKind::Unreadable, ENOENT),
         "No se puede leer el archivo \"x.txt\": no existe."},
        {System(DataErrorKind::Unreadable, EACCES),
         "No se puede leer el archivo \"x.txt\": no hay permiso para acceder a él."},
        {System(DataErrorKind::Unreadable, EIO),
         "No se puede leer el archivo \"x.txt\": error de entrada/salida del dispositivo."},
        {System(DataErrorKind::NotRegularFile, EISDIR),
         "\"x.txt\" no es un archivo de datos: es una carpeta."},
        {System(DataErrorKind::WriteFailed, ENOSPC),
         "No se puede escribir el archivo \"x.txt\": no queda espacio en el disco."},
        {tooLarge, "El archivo \"x.txt\" es demasiado grande: sus variables o sus casos pasan de "
                   "2147483647."},
        {cancelled, "Se canceló la lectura del archivo \"x.txt\"."},
    };
    for (const auto& [error, expected] : cases)
        EXPECT_EQ(expected, DescribeDataError(error));
}

} // namespace
} // namespace zento
