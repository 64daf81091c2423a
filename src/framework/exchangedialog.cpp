// The modal dialog with integer data exchange.
#include "framework/exchangedialog.h"

#include "framework/messages.h"

#include <QLineEdit>
#include <QShowEvent>

namespace zento {

ExchangeDialog::ExchangeDialog(QWidget* parent) : QDialog(parent) {
    setModal(true);
}

QLineEdit* ExchangeDialog::box(int controlId) const {
    return m_boxes.value(controlId);
}

void ExchangeDialog::createControls(const DialogTemplate& dialogTemplate) {
    createDialogControls(*this, dialogTemplate);
    for (QLineEdit* edit : findChildren<QLineEdit*>())
        m_boxes.insert(edit->property(kControlIdProperty).toInt(), edit);
}

void ExchangeDialog::readBoxes() {
    BoxTexts texts;
    for (auto it = m_boxes.cbegin(); it != m_boxes.cend(); ++it)
        texts[it.key()] = it.value()->text();
    data().setBoxes(std::move(texts));
}

void ExchangeDialog::showBoxes() {
    for (auto it = m_boxes.cbegin(); it != m_boxes.cend(); ++it)
        it.value()->setText(data().boxText(it.key()));
}

void ExchangeDialog::showEvent(QShowEvent* event) {
    if (!m_opened && !event->spontaneous()) {
        m_opened = true;
        data().open();
        showBoxes();
    }
    QDialog::showEvent(event);
}

void ExchangeDialog::accept() {
    readBoxes();
    if (const auto refusal = data().accept()) {
        if (QLineEdit* edit = box(refusal->controlId)) {
            edit->setFocus(Qt::OtherFocusReason);
            edit->selectAll();
        }
        showWarning(this, refusal->message);
        return;
    }
    QDialog::accept();
}

void ExchangeDialog::reject() {
    data().cancel();
    QDialog::reject();
}

} // namespace zento
