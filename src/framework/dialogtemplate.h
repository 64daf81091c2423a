// A dialog described as data: caption, font, size and controls in dialog units. The controls
// are created in template order, which is also the tab order.
#pragma once

#include <span>

namespace zento {

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;

struct ControlTemplate {
    enum Kind { DefaultButton, Button, Edit, ReadOnlyEdit, Label };
    Kind kind;
    int id;           // 0 for controls that nothing refers to (labels)
    const char* text; // UTF-8; "" for edit boxes
    int x, y, width, height;
};

struct DialogTemplate {
    int id;
    const char* caption; // UTF-8
    const char* fontFamily;
    int fontPointSize;
    int width, height;
    std::span<const ControlTemplate> controls;
};

} // namespace zento
