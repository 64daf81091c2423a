// WinBUGS rectangular data: the chosen leading columns and cases, read forward once.
#include "rectangulardata.h"

#include "datafile/datafilereader.h"

#include <algorithm>

namespace zento {

namespace {

// Collects small pieces and hands them to the sink in blocks.
class BlockWriter {
public:
    explicit BlockWriter(const TextSink& sink) : m_sink(sink) { m_block.reserve(kBlock); }

    void Append(std::string_view piece) {
        if (m_block.size() + piece.size() > kBlock)
            Flush();
        m_block += piece;
    }
    bool Flush() {
        if (!m_block.empty() && m_ok)
            m_ok = m_sink(m_block);
        m_block.clear();
        return m_ok;
    }
    bool ok() const { return m_ok; }

private:
    static constexpr std::size_t kBlock = std::size_t{64} << 10;
    const TextSink& m_sink;
    std::string m_block;
    bool m_ok = true;
};

} // namespace

std::int64_t RectangularTokensNeeded(const DataSelection& selection) {
    // Every line, the header and each case, reads the kept tokens and then the dropped ones.
    const std::int64_t v = selection.chosenVariables;
    const std::int64_t perLine =
        std::max<std::int64_t>(v, 0) + std::max<std::int64_t>(std::int64_t{selection.K} - v, 0);
    const std::int64_t lines = 1 + std::max<std::int64_t>(selection.chosenCases, 0);
    // perLine < 2^32 and lines <= 2^31, so the product stays below 2^63.
    return perLine * lines;
}

DataError RectangularShortage(const DataSelection& selection, std::int64_t available) {
    DataError error;
    error.kind = DataErrorKind::TooFewTokens;
    error.path = selection.path;
    error.needed = RectangularTokensNeeded(selection);
    error.available = available;
    error.columns = selection.K;
    error.requestedVariables = selection.chosenVariables;
    error.requestedCases = selection.chosenCases;
    return error;
}

Status WriteRectangularData(const DataSelection& selection, const TextSink& sink) {
    auto reader = DataFileReader::Open(selection.path);
    if (!reader)
        return reader.error();
    const std::int64_t v = selection.chosenVariables;
    const std::int64_t kept = std::max<std::int64_t>(v, 0);
    const std::int64_t dropped = std::max<std::int64_t>(std::int64_t{selection.K} - v, 0);
    BlockWriter out(sink);
    std::string_view token;

    const auto line = [&](std::string_view afterToken) {
        for (std::int64_t i = 0; i < kept; ++i) {
            if (!reader->ReadToken(token))
                return false;
            out.Append(token);
            out.Append(afterToken);
            if (!out.ok())
                return false;
        }
        for (std::int64_t i = 0; i < dropped; ++i) {
            if (!reader->ReadToken(token))
                return false;
        }
        out.Append("\r\n");
        return true;
    };
    const auto failure = [&]() -> DataError {
        if (!out.ok()) {
            DataError error;
            error.kind = DataErrorKind::WriteFailed;
            return error;
        }
        if (reader->failed())
            return reader->error();
        return RectangularShortage(selection, reader->tokensRead());
    };

    if (!line("[]\t"))
        return failure();
    for (std::int32_t c = 0; c < selection.chosenCases; ++c) {
        if (!line("\t"))
            return failure();
    }
    out.Append("END\r\n");
    if (!out.Flush())
        return failure();
    return Done{};
}

Result<std::string> BuildRectangularData(const DataSelection& selection) {
    std::string text;
    Status status = WriteRectangularData(selection, [&text](std::string_view piece) {
        text += piece;
        return true;
    });
    if (!status)
        return status.error();
    return text;
}

} // namespace zento
