// A modal dialog whose number boxes exchange their texts with a DialogData: the members are
// written into the boxes when the dialog first shows, and "Aceptar" closes it only when every
// bound box holds a whole number and the data takes the values; otherwise the box to correct
// gets the focus, and the user a message.
#pragma once

#include "framework/dialogdata.h"
#include "framework/dialogtemplate.h"

#include <QDialog>
#include <QMap>

class QLineEdit;

namespace zento {

class ExchangeDialog : public QDialog {
    Q_OBJECT
public:
    QLineEdit* box(int controlId) const;

    void accept() override;
    void reject() override;

protected:
    explicit ExchangeDialog(QWidget* parent);

    virtual DialogData& data() = 0;

    // The template's controls; each edit box becomes a box whose text is exchanged.
    void createControls(const DialogTemplate& dialogTemplate);

    // Copies the boxes' texts into data() and back.
    void readBoxes();
    void showBoxes();

    void showEvent(QShowEvent* event) override;

private:
    QMap<int, QLineEdit*> m_boxes;
    bool m_opened = false;
};

} // namespace zento
