// The edit view of a text document, with the routing table of the commands that reach it: the
// ten generating commands and the three printing commands.
#pragma once

#include "docview/zentodoc.h"
#include "framework/editview.h"
#include "winbugs/models.h"

#include <QPointer>

#include <functional>
#include <string>

class SelectionDialog;

class CZENTOView : public zento::EditView {
    Q_OBJECT
public:
    // Runs a selection dialog modally (exec unless a test supplies another); the handler then
    // reads the dialog's accepted() and selection().
    using SelectionRunner = std::function<void(SelectionDialog& dialog)>;

    explicit CZENTOView(QWidget* parent = nullptr);
    ~CZENTOView() override;

    CZENTODoc* GetDocument() const { return m_document; }
    // Attaches the view to document, after any view it already has.
    void attachDocument(CZENTODoc* document);

    void setSelectionRunner(SelectionRunner runner);

    zento::CommandState commandState(int id) const override;
    bool onCommand(int id) override;

    void OnGenerarDatos();
    // The nine model commands differ only in their link.
    void OnLogit() { generateModel(zento::Link::Logit); }
    void OnProbit() { generateModel(zento::Link::Probit); }
    void OnCloglog() { generateModel(zento::Link::Cloglog); }
    void OnPowerLogit() { generateModel(zento::Link::PowerLogit); }
    void OnScobit() { generateModel(zento::Link::Scobit); }
    void OnSkewLogit() { generateModel(zento::Link::SkewLogit); }
    void OnSkewProbitCDS() { generateModel(zento::Link::SkewProbitCDS); }
    void OnSkewProbitBBB() { generateModel(zento::Link::SkewProbitBBB); }
    void OnSkewProbitStandard() { generateModel(zento::Link::SkewProbitStandard); }

protected:
    QString printDocumentName() const override;

private:
    void generateModel(zento::Link link);
    // Shows why the core wrote nothing; the text stays as it was.
    void showRefusal(const zento::DataError& error);

    QPointer<CZENTODoc> m_document;
    SelectionRunner m_runSelection;
};
