// Dialog units to pixels.
#include "framework/dialogunits.h"

#include <QFont>
#include <QFontMetrics>

#include <algorithm>
#include <cmath>

namespace zento {

namespace {

int scale(int units, int base, int divisor) {
    return static_cast<int>(std::lround(double(units) * base / divisor));
}

} // namespace

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    // The average width of the 52 Latin letters, rounded, as dialog templates have always
    // measured it.
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    m_baseWidth = std::max(1, (letters / 26 + 1) / 2);
    m_baseHeight = std::max(1, metrics.height());
}

int DialogUnits::x(int units) const {
    return scale(units, m_baseWidth, 4);
}

int DialogUnits::y(int units) const {
    return scale(units, m_baseHeight, 8);
}

QRect DialogUnits::rect(int x, int y, int width, int height) const {
    return {this->x(x), this->y(y), this->x(width), this->y(height)};
}

QSize DialogUnits::size(int width, int height) const {
    return {x(width), y(height)};
}

} // namespace zento
