// Telling the user something without blocking the caller.
#pragma once

class QMessageBox;
class QString;
class QWidget;

namespace zento {

// A warning, modal to parent's window, that deletes itself when closed. Returns at once, so
// that the caller can go on (and tests can find and close the box).
QMessageBox* showWarning(QWidget* parent, const QString& text);
// The same for news that is no fault: a check that found nothing, files written.
QMessageBox* showInformation(QWidget* parent, const QString& text);

} // namespace zento
