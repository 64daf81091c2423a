// Dialog state and integer data exchange.
#include "framework/dialogdata.h"

#include <limits>

namespace zento {

namespace {

bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

} // namespace

std::optional<std::int32_t> parseWholeNumber(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    bool negative = false;
    if (begin < end && (text[begin] == QLatin1Char('+') || text[begin] == QLatin1Char('-'))) {
        negative = text[begin] == QLatin1Char('-');
        ++begin;
    }
    if (begin == end)
        return std::nullopt;
    // Accumulated as a negative number so that the most negative value fits.
    std::int64_t value = 0;
    for (qsizetype i = begin; i < end; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 - (c - u'0');
        if (value < std::numeric_limits<std::int32_t>::min())
            return std::nullopt;
    }
    if (!negative) {
        value = -value;
        if (value > std::numeric_limits<std::int32_t>::max())
            return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

QString wholeNumberMessage() {
    return QStringLiteral("Escriba un número entero.");
}

QString DialogData::boxText(int controlId) const {
    const auto it = m_boxes.find(controlId);
    return it == m_boxes.end() ? QString() : it->second;
}

void DialogData::bindInteger(int controlId, std::int32_t& member) {
    m_integers.emplace_back(controlId, &member);
}

void DialogData::open() {
    for (const auto& [id, member] : m_integers)
        m_boxes[id] = QString::number(*member);
}

std::optional<Refusal> DialogData::accept() {
    for (const auto& [id, member] : m_integers) {
        const auto value = parseWholeNumber(boxText(id));
        if (!value)
            return Refusal{id, wholeNumberMessage()};
        *member = *value;
    }
    if (auto refusal = check())
        return refusal;
    m_accepted = true;
    return std::nullopt;
}

} // namespace zento
