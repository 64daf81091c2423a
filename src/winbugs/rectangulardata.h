// The chosen columns and cases of a data file as WinBUGS rectangular data.
#pragma once

#include "datafile/dataerror.h"
#include "datafile/datafilereader.h"
#include "datafile/scandatafile.h"
#include "dataselection.h"

#include <cstdint>
#include <functional>
#include <optional>
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

// Streams the text to sink. Refuses (TooFewTokens) before anything would be written from a
// token the file does not hold; on refusal the sink may already have received a prefix, so
// callers that must leave their target untouched write to a temporary first.
Status WriteRectangularData(const DataSelection& selection, const TextSink& sink);
// The same from a reader at the start of the file (one the caller has counted and rewound).
Status WriteRectangularData(DataFileReader& reader, const DataSelection& selection,
                            const TextSink& sink);

// Every case of the file, as a caller that leaves the counts to the file gets them: the first
// `variables` columns (all K when omitted) of all N cases, K and N being what ScanDataFile finds.
// For 0 <= variables <= K it counts while it writes, in one forward pass, and leaves out the
// incomplete case at the end (the one N does not count); otherwise it scans first. Returns the
// counts. As with WriteRectangularData, a refusal may come after part of the text.
Result<ScanCounts> WriteAllRectangularData(const std::string& path,
                                           std::optional<std::int32_t> variables,
                                           const TextSink& sink);

// The whole text in memory, or the reason there is none (nothing partial is ever returned).
Result<std::string> BuildRectangularData(const DataSelection& selection);

} // namespace zento
