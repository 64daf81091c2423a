// The settings of a JAGS run asked after the model dialog: the link (or links, to compare), the
// chains, burn-in, kept iterations and seed, with the command-line tool's defaults, and the folder
// the files go to.
#pragma once

#include "winbugs/jagsexport.h"
#include "winbugs/models.h"

#include <QDialog>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class QComboBox;
class QLineEdit;
class QListWidget;
class QSpinBox;

namespace zento {

enum class FitPurpose {
    Export,  // "Exportar a JAGS": one link, the folder required
    Fit,     // "Ajustar con JAGS": one link, the folder optional
    Compare, // "Comparar enlaces": several links, the folder optional
};

struct FitSettings {
    std::vector<Link> links;
    std::int32_t chains = 0;
    std::int64_t burnIn = 0;
    std::int64_t iterations = 0;
    std::uint32_t seed = 0; // the base of every chain's seed
    QString folder;         // empty: a temporary folder, removed when its window closes
};

// The options of the JAGS files, as zento-cli takes them from its switches.
JagsOptions jagsOptionsOf(const FitSettings& settings);

// Every link for a comparison, Logit otherwise; the counts of zento-cli's defaults.
FitSettings defaultFitSettings(FitPurpose purpose);

// The seed box: a whole number from 0 to 2147483647; empty is zento-cli's default, 0.
std::optional<std::uint32_t> parseSeed(const QString& text);

// Why these settings cannot run, in Spanish, or nothing when they can.
std::optional<QString> settingsProblem(const FitSettings& settings, FitPurpose purpose);

// Picks a folder, starting at start; empty when cancelled.
using FolderPicker = std::function<QString(QWidget* parent, const QString& start)>;
FolderPicker interactiveFolderPicker();

class FitSettingsDialog : public QDialog {
    Q_OBJECT
public:
    FitSettingsDialog(FitPurpose purpose, QWidget* parent = nullptr);

    FitPurpose purpose() const { return m_purpose; }
    // What the boxes hold now; after "Aceptar", what was accepted.
    FitSettings settings() const;
    void setSettings(const FitSettings& settings);
    void setFolderPicker(FolderPicker picker) { m_pickFolder = std::move(picker); }

    QComboBox* linkBox() const { return m_link; }
    QListWidget* linkList() const { return m_links; }
    QSpinBox* chainsBox() const { return m_chains; }
    QSpinBox* burnInBox() const { return m_burnIn; }
    QSpinBox* iterationsBox() const { return m_iterations; }
    QLineEdit* seedBox() const { return m_seed; }
    QLineEdit* folderBox() const { return m_folder; }

    // Accepts only settings that can run; else says why and keeps the dialog open.
    void accept() override;

private:
    FitPurpose m_purpose;
    QComboBox* m_link = nullptr;
    QListWidget* m_links = nullptr;
    QSpinBox* m_chains;
    QSpinBox* m_burnIn;
    QSpinBox* m_iterations;
    QLineEdit* m_seed;
    QLineEdit* m_folder;
    FolderPicker m_pickFolder = interactiveFolderPicker();
};

} // namespace zento
