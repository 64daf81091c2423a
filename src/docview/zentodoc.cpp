// The text document.
#include "docview/zentodoc.h"

#include <QFileInfo>

CZENTODoc::CZENTODoc(QObject* parent) : QObject(parent), m_text(new zento::TextDocument(this)) {
    connect(m_text, &zento::TextDocument::textEdited, this, [this] { SetModifiedFlag(true); });
}

CZENTODoc::~CZENTODoc() = default;

bool CZENTODoc::OnNewDocument() {
    SetModifiedFlag(false);
    return true;
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

void CZENTODoc::AddView(CZENTOView* view) {
    if (view && !m_views.contains(view))
        m_views.append(view);
}

void CZENTODoc::RemoveView(CZENTOView* view) {
    m_views.removeOne(view);
}
