// The widget side shared by both selection dialogs: it builds the template, runs the file picker
// and the scan, and shows what SelectionLogic holds.
#pragma once

#include "datafile/scandatafile.h"
#include "dialogs/selectionlogic.h"
#include "framework/datafilepicker.h"
#include "framework/exchangedialog.h"
#include "winbugs/dataselection.h"

#include <functional>
#include <string>

class QLineEdit;

// Counts a data file; ScanDataFile unless a test supplies another.
using DataFileScanner = std::function<zento::Result<zento::ScanCounts>(
    const std::string& path, const zento::ScanProgress& progress)>;

class SelectionDialog : public zento::ExchangeDialog {
    Q_OBJECT
public:
    // The result of the run: accepted() only after "Aceptar" with every number box valid.
    bool accepted() const { return m_logic.accepted(); }
    zento::DataSelection selection() const { return m_logic.selection(); }

    void setFilePicker(zento::DataFilePicker picker) { m_pickFile = std::move(picker); }
    void setScanner(DataFileScanner scanner) { m_scan = std::move(scanner); }

    // "Incluir Datos...": picks a file and includes it, then gives "Aceptar" the focus and warns
    // about a header that looks comma- or semicolon-separated. A file that cannot be read is
    // reported and leaves every box as it was; so does a scan that the user cancelled.
    void OnIncluirDatos();

protected:
    SelectionDialog(const zento::DialogTemplate& dialogTemplate, const SelectionLayout& layout,
                    QWidget* parent);

    zento::DialogData& data() override { return m_logic; }

    QLineEdit* m_editPath;
    QLineEdit* m_editN;
    QLineEdit* m_editChosenCases;
    QLineEdit* m_editK;
    QLineEdit* m_editChosenVariables;

private:
    SelectionLogic m_logic;
    zento::DataFilePicker m_pickFile = zento::rememberingDataFilePicker();
    DataFileScanner m_scan = [](const std::string& path, const zento::ScanProgress& progress) {
        return zento::ScanDataFile(path, progress);
    };
};
