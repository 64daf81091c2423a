// The chosen columns and cases of a data file as WinBUGS rectangular data.
#pragma once

#include "datafile/dataerror.h"
#include "datafile/datafilereader.h"
#include "dataselection.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace zento {

// Receives the text in pieces, in order. Returning false stops the writer (WriteFailed).
using TextSink = std::function<bool(std::string_view piece)>;

// How many tokens the text reads from the file, kept and dropped ones alike: the header and each
// of the chosen cases read max(V, 0) + max(K - V, 0). Exact for any 32-bit counts.
std::int64_t RectangularTokensNeeded(const DataSelection& selection);

// The refusal for a file that holds only `available` tokens where the text must read
// RectangularTokensNeeded(selection).
DataError RectangularShortage(const DataSelection& selection, std::int64_t available);

// How many cases the text holds: the chosen number, or every whole case to the end of the file
// (for 0 <= V <= K, the N that ScanDataFile finds, counted while written: the incomplete case at
// the end, which N does not count, is left out).
enum class CaseCount { Chosen, UntilEnd };

// Streams the text from a reader at the start of the file to sink, and returns the number of
// case lines. Refuses (TooFewTokens) before anything would be written from a token the file does
// not hold; on refusal the sink may already have received a prefix, so callers that must leave
// their target untouched write to a temporary first, or count the tokens beforehand.
Result<std::int64_t> WriteRectangularData(DataFileReader& reader, const DataSelection& selection,
                                          CaseCount cases, const TextSink& sink);
// The chosen cases from the selection's path.
Status WriteRectangularData(const DataSelection& selection, const TextSink& sink);

// The whole text in memory, or the reason there is none (nothing partial is ever returned).
Result<std::string> BuildRectangularData(const DataSelection& selection);

} // namespace zento
