// A dialog described as data: caption, font, size and controls in dialog units. The controls
// are created in template order, which is also the tab order.
#pragma once

#include <span>

class QDialog;
class QWidget;

namespace zento {

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;

struct ControlTemplate {
    enum Kind { DefaultButton, Button, Edit, ReadOnlyEdit, Label, Icon };
    Kind kind;
    int id;           // 0 for controls that nothing refers to (labels)
    const char* text; // UTF-8; "" for edit boxes and the icon (the application's)
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

// The property that carries a control's id in a dialog.
inline constexpr char kControlIdProperty[] = "controlId";

// Gives dialog the template's caption, font and fixed size and creates its controls, each with
// its id. Button IDOK is "Aceptar" (accept), IDCANCEL "Cancelar" (reject); other buttons are the
// caller's to connect.
void createDialogControls(QDialog& dialog, const DialogTemplate& dialogTemplate);

// The control of that id among parent's descendants, or nullptr.
QWidget* findControl(const QWidget* parent, int controlId);

} // namespace zento
