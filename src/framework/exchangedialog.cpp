// The modal dialog with integer data exchange.
#include "framework/exchangedialog.h"

#include "framework/messages.h"

#include <QLineEdit>
#include <QShowEvent>

namespace zento {

QWidget* findControl(const QWidget* parent, int controlId) {
    if (!parent)
        return nullptr;
    for (QWidget* child : parent->findChildren<QWidget*>()) {
        const QVariant id = child->property(kControlIdProperty);
        if (id.isValid() && id.toInt() == controlId)
            return child;
    }
    return nullptr;
}

ExchangeDialog::ExchangeDialog(QWidget* parent) : QDialog(parent) {
    setModal(true);
}

QLineEdit* ExchangeDialog::box(int controlId) const {
    return m_boxes.value(controlId);
}

void ExchangeDialog::setControlId(QWidget* control, int controlId) {
    control->setProperty(kControlIdProperty, controlId);
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        m_boxes.insert(controlId, edit);
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
    if (const auto bad = data().accept()) {
        if (QLineEdit* edit = box(*bad)) {
            edit->setFocus(Qt::OtherFocusReason);
            edit->selectAll();
        }
        showWarning(this, wholeNumberMessage());
        return;
    }
    QDialog::accept();
}

void ExchangeDialog::reject() {
    data().cancel();
    QDialog::reject();
}

} // namespace zento
