// The text document: no data of its own; its content is the text of its first view.
#pragma once

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

    // Storing: the first view's text, unchanged. Loading: the bytes become that view's text.
    QByteArray storeText() const;
    void loadText(QByteArrayView bytes);

    const QString& GetTitle() const { return m_title; }
    void SetTitle(const QString& title);
    const QString& GetPathName() const { return m_pathName; } // empty until saved or opened
    // The full path of the file; the title becomes its file name.
    void SetPathName(const QString& path);

    bool IsModified() const { return m_modified; }
    void SetModifiedFlag(bool modified = true);

    // The views in the order they were attached; the first one holds the document's content.
    const QList<CZENTOView*>& views() const { return m_views; }
    CZENTOView* firstView() const { return m_views.isEmpty() ? nullptr : m_views.constFirst(); }
    void AddView(CZENTOView* view);
    void RemoveView(CZENTOView* view);

signals:
    void titleChanged(const QString& title);
    void modifiedChanged(bool modified);
    void viewsChanged();

private:
    QString m_title;
    QString m_pathName;
    bool m_modified = false;
    QList<CZENTOView*> m_views;
};
