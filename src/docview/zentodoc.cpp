// The text document.
#include "docview/zentodoc.h"

#include "docview/zentoview.h"

#include <QFileInfo>

CZENTODoc::CZENTODoc(QObject* parent) : QObject(parent) {}

CZENTODoc::~CZENTODoc() = default;

bool CZENTODoc::OnNewDocument() {
    SetModifiedFlag(false);
    return true;
}

QByteArray CZENTODoc::storeText() const {
    const CZENTOView* view = firstView();
    return view ? view->textBytes() : QByteArray();
}

void CZENTODoc::loadText(QByteArrayView bytes) {
    if (CZENTOView* view = firstView())
        view->setTextBytes(bytes);
}

void CZENTODoc::SetTitle(const QString& title) {
    if (title == m_title)
        return;
    m_title = title;
    emit titleChanged(m_title);
}

void CZENTODoc::SetPathName(const QString& path) {
    m_pathName = path;
    SetTitle(QFileInfo(path).fileName());
}

void CZENTODoc::SetModifiedFlag(bool modified) {
    if (modified == m_modified)
        return;
    m_modified = modified;
    emit modifiedChanged(m_modified);
}

void CZENTODoc::AddView(CZENTOView* view) {
    if (!view || m_views.contains(view))
        return;
    m_views.append(view);
    connect(view, &zento::EditView::textEdited, this, [this] { SetModifiedFlag(true); });
    emit viewsChanged();
}

void CZENTODoc::RemoveView(CZENTOView* view) {
    if (!m_views.removeOne(view))
        return;
    disconnect(view, nullptr, this, nullptr);
    emit viewsChanged();
}
