// The chosen columns and cases of a data file as WinBUGS rectangular data.
#pragma once

#include "dataselection.h"
#include "datafile/dataerror.h"

#include <functional>
#include <string>
#include <string_view>

namespace zento {

// Receives the text in pieces, in order. Returning false stops the writer (WriteFailed).
using TextSink = std::function<bool(std::string_view piece)>;

// Streams the text to sink. Refuses (TooFewTokens) before anything would be written from a
// token the file does not hold; on refusal the sink may already have received a prefix, so
// callers that must leave their target untouched write to a temporary first.
Status WriteRectangularData(const DataSelection& selection, const TextSink& sink);

// The whole text in memory, or the reason there is none (nothing partial is ever returned).
Result<std::string> BuildRectangularData(const DataSelection& selection);

} // namespace zento
