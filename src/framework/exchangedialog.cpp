// The modal dialog with integer data exchange.
#include "framework/exchangedialog.h"

#include "framework/dialogunits.h"
#include "framework/messages.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
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

void ExchangeDialog::createControls(const DialogTemplate& dialogTemplate) {
    setWindowTitle(QString::fromUtf8(dialogTemplate.caption));
    QFont font(QString::fromUtf8(dialogTemplate.fontFamily), dialogTemplate.fontPointSize);
    font.setStyleHint(QFont::SansSerif);
    setFont(font);
    const DialogUnits units(this->font());
    setFixedSize(units.size(dialogTemplate.width, dialogTemplate.height));

    QWidget* previous = nullptr;
    for (const ControlTemplate& control : dialogTemplate.controls) {
        const QString text = QString::fromUtf8(control.text);
        QWidget* widget = nullptr;
        switch (control.kind) {
        case ControlTemplate::DefaultButton:
        case ControlTemplate::Button: {
            auto* button = new QPushButton(text, this);
            button->setDefault(control.kind == ControlTemplate::DefaultButton);
            if (control.id == IDOK)
                connect(button, &QPushButton::clicked, this, &ExchangeDialog::accept);
            else if (control.id == IDCANCEL)
                connect(button, &QPushButton::clicked, this, &ExchangeDialog::reject);
            widget = button;
            break;
        }
        case ControlTemplate::Edit:
        case ControlTemplate::ReadOnlyEdit: {
            auto* edit = new QLineEdit(this);
            edit->setReadOnly(control.kind == ControlTemplate::ReadOnlyEdit);
            widget = edit;
            break;
        }
        case ControlTemplate::Label: {
            auto* label = new QLabel(text, this);
            label->setTextFormat(Qt::PlainText);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            widget = label;
            break;
        }
        }
        widget->setGeometry(units.rect(control.x, control.y, control.width, control.height));
        if (control.id != 0)
            setControlId(widget, control.id);
        if (widget->focusPolicy() != Qt::NoFocus) {
            if (previous)
                setTabOrder(previous, widget);
            previous = widget;
        }
    }
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
