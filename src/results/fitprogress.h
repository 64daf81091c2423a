// The progress of a JAGS run: one bar per job with its iterations done, and "Cancelar", which
// stops every process. It does not hold the rest of the program up: it is not modal.
#pragma once

#include <QDialog>
#include <QList>

class QProgressBar;
class QPushButton;

namespace zento {

class JagsRunner;

class FitProgressDialog : public QDialog {
    Q_OBJECT
public:
    FitProgressDialog(JagsRunner* runner, const QString& title, QWidget* parent = nullptr);

    QPushButton* cancelButton() const { return m_cancel; }
    const QList<QProgressBar*>& bars() const { return m_bars; }

protected:
    // Closing the dialog is cancelling the run.
    void reject() override;

private:
    void update();

    JagsRunner* m_runner;
    QList<QProgressBar*> m_bars;
    QPushButton* m_cancel;
};

} // namespace zento
