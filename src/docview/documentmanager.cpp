// Documents, their windows and the document commands.
#include "docview/documentmanager.h"

#include "docview/childframe.h"
#include "docview/zentodoc.h"
#include "framework/commands.h"
#include "framework/documentfile.h"

#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPrinter>
#include <QStyle>

#include <algorithm>

namespace zento {

namespace {

// A document window takes this share of the area each way: room for a few cascade steps.
constexpr int kWindowShare = 3; // quarters

QString absolutePath(const QString& path) {
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

} // namespace

DocumentManager::DocumentManager(QMdiArea* area, QObject* parent) : QObject(parent), m_area(area) {
    m_messageMap.add(ID_FILE_CLOSE, this, &DocumentManager::OnFileClose,
                     &DocumentManager::hasActiveWindow);
    m_messageMap.add(ID_FILE_SAVE, this, &DocumentManager::OnFileSave,
                     &DocumentManager::hasActiveDocument);
    m_messageMap.add(ID_FILE_SAVE_AS, this, &DocumentManager::OnFileSaveAs,
                     &DocumentManager::hasActiveDocument);
    connect(area, &QMdiArea::subWindowActivated, this, &DocumentManager::updateActiveDocument);
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
            &DocumentManager::commandStatesChanged);
}

DocumentManager::~DocumentManager() {
    // Windows that outlive the manager close without asking it.
    for (const CZENTODoc* document : std::as_const(m_documents)) {
        for (CChildFrame* frame : frames(document))
            frame->setCloseGuard({});
    }
}

CommandTarget* DocumentManager::nextCommandTarget() const {
    if (CZENTOView* view = activeView())
        return view;
    const QMdiSubWindow* window = m_area ? m_area->currentSubWindow() : nullptr;
    return window ? dynamic_cast<CommandTarget*>(window->widget()) : nullptr;
}

CZENTODoc* DocumentManager::createDocument() {
    auto* document = new CZENTODoc(this);
    m_documents.append(document);
    connect(document, &CZENTODoc::titleChanged, this, [this, document](const QString& title) {
        updateTitles(document);
        if (document == m_activeDocument)
            emit activeTitleChanged(title);
    });
    return document;
}

CZENTODoc* DocumentManager::newDocument() {
    CZENTODoc* document = createDocument();
    document->SetTitle(QString::fromLatin1(kDocumentName) + QString::number(++m_untitledCount));
    document->OnNewDocument();
    createFrame(document);
    emit documentCountChanged(documentCount());
    return document;
}

CZENTODoc* DocumentManager::openDocument(const QString& path) {
    const QString file = absolutePath(path);
    if (CZENTODoc* open = findDocument(file)) {
        if (const QList<CChildFrame*> windows = frames(open); !windows.isEmpty())
            m_area->setActiveSubWindow(windows.constFirst());
        emit fileOpened(file);
        return open;
    }
    const DocumentFileRead read = readDocumentFile(file);
    if (read.error) {
        warn(*read.error);
        emit openFailed(file);
        return nullptr;
    }
    CZENTODoc* document = createDocument();
    document->SetPathName(file);
    createFrame(document);
    document->loadText(read.bytes);
    document->SetModifiedFlag(false);
    emit documentCountChanged(documentCount());
    emit fileOpened(file);
    return document;
}

CZENTODoc* DocumentManager::openDocuments() {
    CZENTODoc* last = nullptr;
    for (const QString& path : m_prompts.askOpenFileNames(dialogParent())) {
        if (CZENTODoc* document = openDocument(path))
            last = document;
    }
    return last;
}

bool DocumentManager::writeDocument(CZENTODoc* document, const QString& path) {
    if (const std::optional<QString> error = writeDocumentFile(path, document->storeText())) {
        warn(*error);
        return false;
    }
    return true;
}

bool DocumentManager::saveDocument(CZENTODoc* document) {
    if (!document)
        return false;
    if (document->GetPathName().isEmpty())
        return saveDocumentAs(document);
    if (!writeDocument(document, document->GetPathName()))
        return false;
    document->SetModifiedFlag(false);
    emit fileSaved(document->GetPathName());
    return true;
}

bool DocumentManager::saveDocumentAs(CZENTODoc* document) {
    if (!document)
        return false;
    const QString proposed =
        document->GetPathName().isEmpty()
            ? QDir::current().absoluteFilePath(document->GetTitle() +
                                               QString::fromLatin1(kDocumentExtension))
            : document->GetPathName();
    const std::optional<QString> chosen = m_prompts.askSaveFileName(dialogParent(), proposed);
    if (!chosen || chosen->isEmpty())
        return false;
    const QString path = QFileInfo(withDocumentExtension(*chosen)).absoluteFilePath();
    if (!writeDocument(document, path))
        return false;
    document->SetPathName(absolutePath(path));
    document->SetModifiedFlag(false);
    emit fileSaved(document->GetPathName());
    return true;
}

bool DocumentManager::saveModified(CZENTODoc* document) {
    if (!document || !document->IsModified())
        return true;
    switch (m_prompts.askSaveChanges(dialogParent(), document->GetTitle())) {
    case SaveChanges::Save:
        return saveDocument(document);
    case SaveChanges::Discard:
        return true;
    case SaveChanges::Cancel:
        break;
    }
    return false;
}

bool DocumentManager::closeDocument(CZENTODoc* document) {
    if (!document || !saveModified(document))
        return false;
    closeFrames(document);
    return true;
}

bool DocumentManager::closeAllDocuments() {
    const QList<CZENTODoc*> open = m_documents;
    for (CZENTODoc* document : open) {
        if (!saveModified(document))
            return false;
    }
    for (CZENTODoc* document : open)
        closeFrames(document);
    return true;
}

void DocumentManager::closeFrames(CZENTODoc* document) {
    m_closing.insert(document);
    for (CChildFrame* frame : frames(document))
        frame->close();
    m_closing.remove(document);
}

CChildFrame* DocumentManager::newWindow() {
    CZENTODoc* document = activeDocument();
    return document ? createFrame(document) : nullptr;
}

bool DocumentManager::printFile(const QString& path, const QString& printerName) {
    CZENTODoc* document = findDocument(absolutePath(path));
    const bool openedHere = document == nullptr;
    if (openedHere)
        document = openDocument(path);
    if (!document || !document->firstView())
        return false;
    bool printed = false;
    if (printerName.isEmpty()) {
        printed = document->firstView()->printText(PrintJob::Direct);
    } else {
        // The named printer with its own settings, for this print only.
        TextPrinting named;
        named.printer().setPrinterName(printerName);
        printed = document->firstView()->printText(PrintJob::Direct, named);
    }
    if (openedHere)
        closeFrames(document);
    return printed;
}

bool DocumentManager::printSetup() {
    return m_printing.setup(dialogParent());
}

void DocumentManager::OnFileClose() {
    if (CZENTODoc* document = activeDocument())
        closeDocument(document);
    else if (QMdiSubWindow* window = m_area->currentSubWindow())
        window->close();
}

void DocumentManager::OnFileSave() {
    saveDocument(activeDocument());
}

void DocumentManager::OnFileSaveAs() {
    saveDocumentAs(activeDocument());
}

CZENTODoc* DocumentManager::findDocument(const QString& path) const {
    const QString file = absolutePath(path);
    const auto it = std::ranges::find_if(m_documents, [&file](const CZENTODoc* document) {
        return !document->GetPathName().isEmpty() && document->GetPathName() == file;
    });
    return it == m_documents.end() ? nullptr : *it;
}

QList<CChildFrame*> DocumentManager::frames(const CZENTODoc* document) const {
    QList<CChildFrame*> result;
    if (!document)
        return result;
    for (CZENTOView* view : document->views()) {
        if (auto* frame = qobject_cast<CChildFrame*>(view->parentWidget()))
            result.append(frame);
    }
    return result;
}

CChildFrame* DocumentManager::activeFrame() const {
    return m_area ? qobject_cast<CChildFrame*>(m_area->currentSubWindow()) : nullptr;
}

CZENTOView* DocumentManager::activeView() const {
    const CChildFrame* frame = activeFrame();
    return frame ? frame->view() : nullptr;
}

CZENTODoc* DocumentManager::activeDocument() const {
    const CZENTOView* view = activeView();
    return view ? view->GetDocument() : nullptr;
}

void DocumentManager::setSelectionRunner(CZENTOView::SelectionRunner runner) {
    m_runSelection = std::move(runner);
    for (const CZENTODoc* document : std::as_const(m_documents)) {
        for (CZENTOView* view : document->views())
            view->setSelectionRunner(m_runSelection);
    }
}

QWidget* DocumentManager::dialogParent() const {
    return m_area ? m_area->window() : nullptr;
}

CChildFrame* DocumentManager::createFrame(CZENTODoc* document) {
    auto* view = new CZENTOView;
    view->setPrinting(&m_printing);
    view->setDataFilePicker(m_pickDataFile);
    if (m_runSelection)
        view->setSelectionRunner(m_runSelection);
    auto* frame = new CChildFrame;
    frame->setWidget(view);
    frame->setCloseGuard([this](CChildFrame* closing) { return canCloseFrame(closing); });
    connect(frame, &CChildFrame::closed, this, &DocumentManager::frameClosed);
    view->attachDocument(document);
    // The editing commands follow the active view's selection and undo history.
    const auto viewChanged = [this, view] {
        if (view == activeView())
            emit commandStatesChanged();
    };
    connect(view, &QPlainTextEdit::copyAvailable, this, viewChanged);
    connect(view, &QPlainTextEdit::undoAvailable, this, viewChanged);
    m_area->addSubWindow(frame);
    placeWindow(frame);
    updateTitles(document);
    frame->show();
    m_area->setActiveSubWindow(frame);
    updateActiveDocument();
    return frame;
}

void DocumentManager::placeWindow(QMdiSubWindow* frame) {
    // Before the main window first shows, its layout has already given the area its size,
    // but not yet the viewport.
    QSize area = m_area->contentsRect().size();
    if (m_area->isVisible())
        area = m_area->viewport()->size();
    const QSize size = area * kWindowShare / 4;
    const int step = frame->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, frame);
    QPoint place;
    QList<QMdiSubWindow*> stacked = m_area->subWindowList(QMdiArea::StackingOrder);
    stacked.removeAll(frame);
    if (!stacked.isEmpty() && !stacked.constLast()->isMinimized() &&
        !stacked.constLast()->isMaximized())
        place = stacked.constLast()->pos() + QPoint(step, step);
    if (place.x() + size.width() > area.width() || place.y() + size.height() > area.height())
        place = {};
    frame->setGeometry(QRect(place, size));
}

bool DocumentManager::canCloseFrame(CChildFrame* frame) {
    const CZENTOView* view = frame->view();
    CZENTODoc* document = view ? view->GetDocument() : nullptr;
    // Only the last window of a document closes the document, and only then is there a question.
    if (!document || m_closing.contains(document) || document->views().size() > 1)
        return true;
    return saveModified(document);
}

void DocumentManager::frameClosed(CChildFrame* frame) {
    CZENTOView* view = frame->view();
    CZENTODoc* document = view ? view->GetDocument() : nullptr;
    if (!document)
        return;
    document->RemoveView(view);
    view->attachDocument(nullptr);
    if (document->views().isEmpty()) {
        m_documents.removeOne(document);
        // The text goes after the last view that shows it.
        connect(frame, &QObject::destroyed, document, &QObject::deleteLater);
        emit documentCountChanged(documentCount());
    } else {
        updateTitles(document);
    }
    updateActiveDocument();
}

void DocumentManager::updateTitles(CZENTODoc* document) {
    const QList<CZENTOView*>& views = document->views();
    for (qsizetype i = 0; i < views.size(); ++i) {
        QString title = document->GetTitle();
        // With more than one window, each shows its number: Texto1:1, Texto1:2.
        if (views.size() > 1)
            title += QLatin1Char(':') + QString::number(i + 1);
        if (QWidget* frame = views[i]->parentWidget())
            frame->setWindowTitle(title);
        views[i]->setWindowTitle(title);
    }
}

void DocumentManager::updateActiveDocument() {
    emit commandStatesChanged();
    CZENTODoc* document = activeDocument();
    if (document == m_activeDocument)
        return;
    m_activeDocument = document;
    emit activeDocumentChanged(document);
    emit activeTitleChanged(document ? document->GetTitle() : QString());
}

void DocumentManager::warn(const QString& message) const {
    if (m_prompts.warn)
        m_prompts.warn(dialogParent(), message);
}

} // namespace zento
