// The child window.
#include "docview/childframe.h"

#include "docview/zentoview.h"

#include <QCloseEvent>

CChildFrame::CChildFrame(QWidget* parent) : QMdiSubWindow(parent) {
    setAttribute(Qt::WA_DeleteOnClose);
}

CZENTOView* CChildFrame::view() const {
    return qobject_cast<CZENTOView*>(widget());
}

void CChildFrame::closeEvent(QCloseEvent* event) {
    if (m_closeGuard && !m_closeGuard(this)) {
        event->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(event);
    if (event->isAccepted())
        emit closed(this);
}
