// The progress dialog.
#include "results/fitprogress.h"

#include "results/jagsrunner.h"

#include <QFormLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <limits>

namespace zento {

FitProgressDialog::FitProgressDialog(JagsRunner* runner, const QString& title, QWidget* parent)
    : QDialog(parent), m_runner(runner),
      m_cancel(new QPushButton(QStringLiteral("Cancelar"), this)) {
    setWindowTitle(title);
    setModal(false);
    auto* form = new QFormLayout;
    for (const JagsJob& job : runner->jobs()) {
        auto* bar = new QProgressBar(this);
        // A bar's range is an int; iterations beyond it are shown in proportion.
        bar->setRange(0, int(std::min<qint64>(job.iterations, std::numeric_limits<int>::max())));
        bar->setFormat(QStringLiteral("%v de %m iteraciones"));
        form->addRow(job.label + QLatin1Char(':'), bar);
        m_bars.append(bar);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_cancel, 0, Qt::AlignRight);
    connect(m_cancel, &QPushButton::clicked, this, &FitProgressDialog::reject);
    connect(runner, &JagsRunner::progressed, this, &FitProgressDialog::update);
    connect(runner, &JagsRunner::finished, this, &QDialog::accept);
    setMinimumWidth(420);
}

void FitProgressDialog::update() {
    for (int i = 0; i < m_bars.size(); ++i) {
        const qint64 total = m_runner->jobs()[std::size_t(i)].iterations;
        const qint64 done = m_runner->done(std::size_t(i));
        m_bars[i]->setValue(total <= m_bars[i]->maximum()
                                ? int(done)
                                : int(double(done) / double(total) * m_bars[i]->maximum()));
    }
}

void FitProgressDialog::reject() {
    m_runner->cancel();
    QDialog::reject();
}

} // namespace zento
