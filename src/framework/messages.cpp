// Messages to the user.
#include "framework/messages.h"

#include <QGuiApplication>
#include <QMessageBox>

namespace zento {

namespace {

QMessageBox* showMessage(QWidget* parent, QMessageBox::Icon icon, const QString& text) {
    auto* box = new QMessageBox(icon, QGuiApplication::applicationDisplayName(), text,
                                QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
    box->open();
    return box;
}

} // namespace

QMessageBox* showWarning(QWidget* parent, const QString& text) {
    return showMessage(parent, QMessageBox::Warning, text);
}

QMessageBox* showInformation(QWidget* parent, const QString& text) {
    return showMessage(parent, QMessageBox::Information, text);
}

} // namespace zento
