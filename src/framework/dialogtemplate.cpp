// Dialogs made from their templates.
#include "framework/dialogtemplate.h"

#include "framework/dialogunits.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace zento {

namespace {

QWidget* createControl(QDialog& dialog, const ControlTemplate& control, const QRect& place) {
    const QString text = QString::fromUtf8(control.text);
    switch (control.kind) {
    case ControlTemplate::DefaultButton:
    case ControlTemplate::Button: {
        auto* button = new QPushButton(text, &dialog);
        button->setDefault(control.kind == ControlTemplate::DefaultButton);
        if (control.id == IDOK)
            QObject::connect(button, &QPushButton::clicked, &dialog, &QDialog::accept);
        else if (control.id == IDCANCEL)
            QObject::connect(button, &QPushButton::clicked, &dialog, &QDialog::reject);
        return button;
    }
    case ControlTemplate::Edit:
    case ControlTemplate::ReadOnlyEdit: {
        auto* edit = new QLineEdit(&dialog);
        edit->setReadOnly(control.kind == ControlTemplate::ReadOnlyEdit);
        return edit;
    }
    case ControlTemplate::Label: {
        auto* label = new QLabel(text, &dialog);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return label;
    }
    case ControlTemplate::Icon: {
        auto* icon = new QLabel(&dialog);
        const int side = std::min(place.width(), place.height());
        icon->setPixmap(
            QApplication::windowIcon().pixmap(QSize(side, side), dialog.devicePixelRatioF()));
        return icon;
    }
    }
    return nullptr;
}

} // namespace

void createDialogControls(QDialog& dialog, const DialogTemplate& dialogTemplate) {
    dialog.setWindowTitle(QString::fromUtf8(dialogTemplate.caption));
    QFont font(QString::fromUtf8(dialogTemplate.fontFamily), dialogTemplate.fontPointSize);
    font.setStyleHint(QFont::SansSerif);
    dialog.setFont(font);
    const DialogUnits units(dialog.font());
    dialog.setFixedSize(units.size(dialogTemplate.width, dialogTemplate.height));

    QWidget* previous = nullptr;
    for (const ControlTemplate& control : dialogTemplate.controls) {
        const QRect place = units.rect(control.x, control.y, control.width, control.height);
        QWidget* widget = createControl(dialog, control, place);
        widget->setGeometry(place);
        if (control.id != 0)
            widget->setProperty(kControlIdProperty, control.id);
        if (widget->focusPolicy() != Qt::NoFocus) {
            if (previous)
                QWidget::setTabOrder(previous, widget);
            previous = widget;
        }
    }
}

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

} // namespace zento
