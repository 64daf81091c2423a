// A modal dialog whose number boxes exchange their texts with a DialogData: the members are
// written into the boxes when the dialog first shows, and "Aceptar" closes it only when every
// bound box holds a whole number; otherwise the first bad box gets the focus and a message.
#pragma once

#include "framework/dialogdata.h"
#include "framework/dialogtemplate.h"

#include <QDialog>
#include <QMap>

class QLineEdit;

namespace zento {

// The property that carries a control's id in a dialog.
inline constexpr char kControlIdProperty[] = "controlId";

// The control of that id among parent's descendants, or nullptr.
QWidget* findControl(const QWidget* parent, int controlId);

class ExchangeDialog : public QDialog {
    Q_OBJECT
public:
    QLineEdit* box(int controlId) const;

    void accept() override;
    void reject() override;

protected:
    explicit ExchangeDialog(QWidget* parent);

    virtual DialogData& data() = 0;

    // Sets caption, font and fixed size and creates the controls, each with its id. Button
    // IDOK is "Aceptar" (accept), IDCANCEL "Cancelar" (reject); other buttons are the
    // subclass's to connect.
    void createControls(const DialogTemplate& dialogTemplate);

    // Gives the control its id; a QLineEdit becomes a box whose text is exchanged.
    void setControlId(QWidget* control, int controlId);

    // Copies the boxes' texts into data() and back.
    void readBoxes();
    void showBoxes();

    void showEvent(QShowEvent* event) override;

private:
    QMap<int, QLineEdit*> m_boxes;
    bool m_opened = false;
};

} // namespace zento
