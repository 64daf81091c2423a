// The run settings and their dialog.
#include "results/fitsettings.h"

#include "framework/commands.h"
#include "framework/messages.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>

#include <limits>

namespace zento {

FitSettings defaultFitSettings(FitPurpose purpose) {
    const JagsOptions options;
    FitSettings settings;
    if (purpose == FitPurpose::Compare) {
        for (const LinkInfo& link : Links())
            settings.links.push_back(link.link);
    } else {
        settings.links = {Link::Logit};
    }
    settings.chains = options.chains;
    settings.burnIn = options.burnIn;
    settings.iterations = options.iterations;
    settings.seed = options.seed;
    return settings;
}

JagsOptions jagsOptionsOf(const FitSettings& settings) {
    JagsOptions options;
    options.chains = settings.chains;
    options.burnIn = settings.burnIn;
    options.iterations = settings.iterations;
    options.seed = settings.seed;
    return options;
}

std::optional<std::uint32_t> parseSeed(const QString& text) {
    const QString seed = text.trimmed();
    if (seed.isEmpty())
        return JagsOptions().seed;
    bool ok = false;
    const qulonglong value = seed.toULongLong(&ok);
    if (!ok || !seed.front().isDigit() || value > qulonglong(std::numeric_limits<qint32>::max()))
        return std::nullopt;
    return std::uint32_t(value);
}

std::optional<QString> settingsProblem(const FitSettings& settings, FitPurpose purpose) {
    if (settings.links.empty())
        return QStringLiteral("Elija al menos un enlace.");
    if (purpose != FitPurpose::Compare && settings.links.size() != 1)
        return QStringLiteral("Elija un solo enlace.");
    if (settings.chains < 1 || settings.chains > 100)
        return QStringLiteral("Las cadenas deben ser entre 1 y 100.");
    if (settings.burnIn < 0)
        return QStringLiteral("El calentamiento no puede ser negativo.");
    if (settings.iterations < 1)
        return QStringLiteral("Las iteraciones deben ser 1 o más.");
    if (purpose == FitPurpose::Export && settings.folder.trimmed().isEmpty())
        return QStringLiteral("Indique la carpeta donde se escriben los archivos de JAGS.");
    return std::nullopt;
}

FolderPicker interactiveFolderPicker() {
    return [](QWidget* parent, const QString& start) {
        return QFileDialog::getExistingDirectory(parent, QStringLiteral("Elegir carpeta"), start);
    };
}

FitSettingsDialog::FitSettingsDialog(FitPurpose purpose, QWidget* parent)
    : QDialog(parent), m_purpose(purpose), m_chains(new QSpinBox(this)),
      m_burnIn(new QSpinBox(this)), m_iterations(new QSpinBox(this)), m_seed(new QLineEdit(this)),
      m_folder(new QLineEdit(this)) {
    switch (purpose) {
    case FitPurpose::Export:
        setWindowTitle(QStringLiteral("Exportar a JAGS"));
        break;
    case FitPurpose::Fit:
        setWindowTitle(QStringLiteral("Ajustar con JAGS"));
        break;
    case FitPurpose::Compare:
        setWindowTitle(QStringLiteral("Comparar enlaces"));
        break;
    }
    auto* form = new QFormLayout;
    if (purpose == FitPurpose::Compare) {
        m_links = new QListWidget(this);
        for (const LinkInfo& link : Links()) {
            auto* item = new QListWidgetItem(toQString(link.label), m_links);
            item->setData(Qt::UserRole, int(link.link));
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        }
        form->addRow(QStringLiteral("&Enlaces:"), m_links);
    } else {
        m_link = new QComboBox(this);
        for (const LinkInfo& link : Links())
            m_link->addItem(toQString(link.label), int(link.link));
        form->addRow(QStringLiteral("&Enlace:"), m_link);
    }
    m_chains->setRange(1, 100);
    m_burnIn->setRange(0, std::numeric_limits<int>::max());
    m_iterations->setRange(1, std::numeric_limits<int>::max());
    for (QSpinBox* box : {m_chains, m_burnIn, m_iterations})
        box->setGroupSeparatorShown(false);
    form->addRow(QStringLiteral("&Cadenas:"), m_chains);
    form->addRow(QStringLiteral("C&alentamiento (iteraciones descartadas):"), m_burnIn);
    form->addRow(QStringLiteral("&Iteraciones guardadas por cadena:"), m_iterations);
    m_seed->setPlaceholderText(QString::number(JagsOptions().seed));
    form->addRow(QStringLiteral("&Semilla:"), m_seed);
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(m_folder, 1);
    auto* browse = new QPushButton(QStringLiteral("E&xaminar..."), this);
    folderRow->addWidget(browse);
    m_folder->setPlaceholderText(purpose == FitPurpose::Export
                                     ? QString()
                                     : QStringLiteral("temporal, se borra al cerrar la ventana"));
    form->addRow(QStringLiteral("Ca&rpeta:"), folderRow);
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString start = m_folder->text().isEmpty() ? QDir::currentPath() : m_folder->text();
        if (const QString folder = m_pickFolder(this, start); !folder.isEmpty())
            m_folder->setText(QDir::toNativeSeparators(folder));
    });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Aceptar"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancelar"));
    connect(buttons, &QDialogButtonBox::accepted, this, &FitSettingsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    setSettings(defaultFitSettings(purpose));
}

FitSettings FitSettingsDialog::settings() const {
    FitSettings settings;
    if (m_links) {
        for (int i = 0; i < m_links->count(); ++i) {
            if (m_links->item(i)->checkState() == Qt::Checked)
                settings.links.push_back(Link(m_links->item(i)->data(Qt::UserRole).toInt()));
        }
    } else {
        settings.links = {Link(m_link->currentData().toInt())};
    }
    settings.chains = m_chains->value();
    settings.burnIn = m_burnIn->value();
    settings.iterations = m_iterations->value();
    settings.seed = parseSeed(m_seed->text()).value_or(JagsOptions().seed);
    settings.folder = m_folder->text().trimmed();
    return settings;
}

void FitSettingsDialog::setSettings(const FitSettings& settings) {
    const auto chosen = [&settings](Link link) {
        return std::ranges::find(settings.links, link) != settings.links.end();
    };
    if (m_links) {
        for (int i = 0; i < m_links->count(); ++i) {
            QListWidgetItem* item = m_links->item(i);
            item->setCheckState(chosen(Link(item->data(Qt::UserRole).toInt())) ? Qt::Checked
                                                                               : Qt::Unchecked);
        }
    } else if (!settings.links.empty()) {
        m_link->setCurrentIndex(m_link->findData(int(settings.links.front())));
    }
    m_chains->setValue(settings.chains);
    m_burnIn->setValue(int(std::min<std::int64_t>(settings.burnIn, m_burnIn->maximum())));
    m_iterations->setValue(
        int(std::min<std::int64_t>(settings.iterations, m_iterations->maximum())));
    m_seed->setText(QString::number(settings.seed));
    m_folder->setText(settings.folder);
}

void FitSettingsDialog::accept() {
    if (!parseSeed(m_seed->text())) {
        showWarning(this, QStringLiteral("La semilla debe ser un número entero entre 0 y "
                                         "2147483647; cada cadena usa esa semilla más su número."));
        m_seed->setFocus();
        return;
    }
    if (const std::optional<QString> problem = settingsProblem(settings(), m_purpose)) {
        showWarning(this, *problem);
        return;
    }
    QDialog::accept();
}

} // namespace zento
