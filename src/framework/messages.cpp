// Messages to the user.
#include "framework/messages.h"

#include <QGuiApplication>
#include <QMessageBox>

namespace zento {

QMessageBox* showWarning(QWidget* parent, const QString& text) {
    auto* box = new QMessageBox(QMessageBox::Warning, QGuiApplication::applicationDisplayName(),
                                text, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
    box->open();
    return box;
}

} // namespace zento
