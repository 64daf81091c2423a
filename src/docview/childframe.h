// The child window of the multiple-document frame that holds one view.
#pragma once

#include <QMdiSubWindow>

#include <functional>

class CZENTOView;

class CChildFrame : public QMdiSubWindow {
    Q_OBJECT
public:
    // Asked before the window closes; false keeps it open.
    using CloseGuard = std::function<bool(CChildFrame* frame)>;

    explicit CChildFrame(QWidget* parent = nullptr);

    CZENTOView* view() const;
    void setCloseGuard(CloseGuard guard) { m_closeGuard = std::move(guard); }

signals:
    // The window agreed to close; it is deleted soon after.
    void closed(CChildFrame* frame);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    CloseGuard m_closeGuard;
};
