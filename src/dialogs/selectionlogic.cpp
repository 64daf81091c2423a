// The logic of the selection dialogs.
#include "dialogs/selectionlogic.h"

#include "winbugs/models.h"
#include "winbugs/rectangulardata.h"

#include <QDir>
#include <QFileInfo>

#include <utility>

std::string dataFilePath(const QString& path) {
    // UTF-8 on every system: the local 8-bit code page of Windows would lose most names.
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()).toStdString();
}

SelectionLogic::SelectionLogic(const SelectionLayout& layout) : m_layout(layout) {
    // Each number's box and member, indexed by SelectionLayout::Field.
    const std::pair<int, std::int32_t*> fields[] = {
        {m_layout.kBox, &m_nK},
        {m_layout.nBox, &m_nN},
        {m_layout.chosenVariablesBox, &m_nChosenVariables},
        {m_layout.chosenCasesBox, &m_nChosenCases}};
    for (const SelectionLayout::Field field : m_layout.integers)
        bindInteger(fields[field].first, *fields[field].second);
}

zento::Status SelectionLogic::includeData(const QString& path) {
    return includeData(path, zento::ScanDataFile(dataFilePath(path)));
}

zento::Status SelectionLogic::includeData(const QString& path,
                                          const zento::Result<zento::ScanCounts>& scan) {
    if (!scan)
        return scan.error();
    // Only the boxes and the path change: the members take the boxes' values on "Aceptar".
    m_strPath = dataFilePath(path);
    const QString k = QString::number(scan->K);
    const QString n = QString::number(scan->N);
    setBoxText(m_layout.kBox, k);
    setBoxText(m_layout.chosenVariablesBox, k);
    setBoxText(m_layout.nBox, n);
    setBoxText(m_layout.chosenCasesBox, n);
    setBoxText(m_layout.pathBox, QString::fromStdString(m_strPath));
    m_fileTokens = scan->tokens;
    return zento::Done{};
}

std::optional<zento::Refusal> SelectionLogic::check() const {
    if (!m_fileTokens)
        return std::nullopt;
    const zento::DataSelection chosen = selection();
    const std::int64_t tokens = *m_fileTokens;
    zento::DataError shortage;
    int box = m_layout.chosenVariablesBox;
    if (m_layout.reads == SelectionLayout::ModelNames) {
        // As ReadModelNames says it once it has read every token of the file.
        shortage.needed = zento::ModelNamesNeeded(chosen.chosenVariables);
        if (shortage.needed <= tokens)
            return std::nullopt;
        shortage.kind = zento::DataErrorKind::TooFewTokens;
        shortage.path = chosen.path;
        shortage.available = tokens;
        shortage.requestedVariables = chosen.chosenVariables;
        shortage.modelNames = true;
    } else {
        if (zento::RectangularTokensNeeded(chosen) <= tokens)
            return std::nullopt;
        shortage = zento::RectangularShortage(chosen, tokens);
        zento::DataSelection headerOnly = chosen;
        headerOnly.chosenCases = 0;
        if (zento::RectangularTokensNeeded(headerOnly) <= tokens)
            box = m_layout.chosenCasesBox;
    }
    return zento::Refusal{box, QString::fromStdString(zento::DescribeDataError(shortage))};
}

zento::DataSelection SelectionLogic::selection() const {
    return {m_strPath, m_nK, m_nN, m_nChosenVariables, m_nChosenCases};
}
