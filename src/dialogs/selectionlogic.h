// What both selection dialogs do, without widgets: the five boxes, the members bound to them,
// including a data file's counts, and the DataSelection that a run yields.
#pragma once

#include "datafile/dataerror.h"
#include "datafile/scandatafile.h"
#include "dialogs/controlids.h"
#include "framework/dialogdata.h"
#include "winbugs/dataselection.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <span>
#include <string>

// The control ids of a selection dialog, the order in which "Aceptar" reads its numbers, and
// what the command that runs it reads from the file.
struct SelectionLayout {
    enum Field { K, N, ChosenVariables, ChosenCases };
    enum Reads { RectangularData, ModelNames };
    Reads reads;
    int pathBox;
    int kBox;
    int nBox;
    int chosenVariablesBox;
    int chosenCasesBox;
    std::span<const Field> integers; // the bound numbers, in the order "Aceptar" reads them
};

// The data dialog keeps no number for N: its N box only shows the scan.
inline constexpr SelectionLayout::Field kCargarDatosIntegers[] = {
    SelectionLayout::ChosenVariables, SelectionLayout::K, SelectionLayout::ChosenCases};
inline constexpr SelectionLayout kCargarDatosLayout{
    SelectionLayout::RectangularData, IDC_DATOS_PATH,         IDC_DATOS_K,         IDC_DATOS_N,
    IDC_DATOS_CHOSEN_VARIABLES,       IDC_DATOS_CHOSEN_CASES, kCargarDatosIntegers};

inline constexpr SelectionLayout::Field kCargarModelosIntegers[] = {
    SelectionLayout::K, SelectionLayout::ChosenCases, SelectionLayout::N,
    SelectionLayout::ChosenVariables};
inline constexpr SelectionLayout kCargarModelosLayout{
    SelectionLayout::ModelNames,  IDC_MODELOS_PATH,         IDC_MODELOS_K,         IDC_MODELOS_N,
    IDC_MODELOS_CHOSEN_VARIABLES, IDC_MODELOS_CHOSEN_CASES, kCargarModelosIntegers};

// A picked file's full path in UTF-8, as the data file reader opens it.
std::string dataFilePath(const QString& path);

class SelectionLogic : public zento::DialogData {
public:
    explicit SelectionLogic(const SelectionLayout& layout);

    const SelectionLayout& layout() const { return m_layout; }

    // Scans the file and shows it: the path, K and N, and K and N again as the proposed chosen
    // numbers. A scan that fails (or was cancelled) changes nothing and is returned.
    zento::Status includeData(const QString& path);
    // The same with the scan already made, e.g. on a worker thread.
    zento::Status includeData(const QString& path, const zento::Result<zento::ScanCounts>& scan);

    // The members, whatever the run's end; K, N and the chosen numbers are those read by the
    // last "Aceptar" (0 before), the path the last file included.
    zento::DataSelection selection() const;

protected:
    // Chosen counts that need more tokens than the file included holds: the command's own
    // refusal, on the box to correct, while the dialog is still open.
    std::optional<zento::Refusal> check() const override;

private:
    SelectionLayout m_layout;
    std::int32_t m_nK = 0;
    std::int32_t m_nN = 0;
    std::int32_t m_nChosenVariables = 0;
    std::int32_t m_nChosenCases = 0;
    std::string m_strPath;
    std::optional<std::int64_t> m_fileTokens; // of the file included, once one is
};
