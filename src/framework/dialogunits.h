// Dialog units: x counts quarters of the font's average character width, y eighths of its
// height, so a dialog laid out in them keeps its proportions with any font.
#pragma once

#include <QRect>
#include <QSize>

class QFont;

namespace zento {

class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);

    int baseWidth() const { return m_baseWidth; }
    int baseHeight() const { return m_baseHeight; }

    int x(int units) const;
    int y(int units) const;
    QRect rect(int x, int y, int width, int height) const;
    QSize size(int width, int height) const;

private:
    int m_baseWidth;
    int m_baseHeight;
};

} // namespace zento
