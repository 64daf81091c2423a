// The text document: its one text, which every window of the document shows and saving writes.
#pragma once

#include "framework/textdocument.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QObject>
#include <QString>

class CZENTOView;

class CZENTODoc : public QObject {
    Q_OBJECT
public:
    explicit CZENTODoc(QObject* parent = nullptr);
    ~CZENTODoc() override;

    // A new document: empty text, not modified. Always succeeds.
    bool OnNewDocument();

    // Storing: the text, unchanged. Loading: the bytes become the text.
    QByteArray storeText() const { return m_text->textBytes(); }
    void loadText(QByteArrayView bytes) { m_text->loadBytes(bytes); }
    zento::TextDocument* text() const { return m_text; }

    const QString& GetTitle() const { return m_title; }
    void SetTitle(const QString& title);
    const QString& GetPathName() const { return m_pathName; } // empty until saved or opened
    // The full path of the file; the title becomes its file name.
    void SetPathName(const QString& path);

    // Set by every edit in any window; a generated text leaves it as it was.
    bool IsModified() const { return m_modified; }
    void SetModifiedFlag(bool modified = true) { m_modified = modified; }

    // The views in the order they were attached.
    const QList<CZENTOView*>& views() const { return m_views; }
    CZENTOView* firstView() const { return m_views.isEmpty() ? nullptr : m_views.constFirst(); }
    void AddView(CZENTOView* view);
    void RemoveView(CZENTOView* view);

signals:
    void titleChanged(const QString& title);

private:
    zento::TextDocument* m_text;
    QString m_title;
    QString m_pathName;
    bool m_modified = false;
    QList<CZENTOView*> m_views;
};
