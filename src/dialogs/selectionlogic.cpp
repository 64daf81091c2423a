// The logic of the selection dialogs.
#include "dialogs/selectionlogic.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <utility>

std::string dataFilePath(const QString& path) {
    return QFile::encodeName(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()))
        .toStdString();
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
    setBoxText(m_layout.pathBox, QFile::decodeName(QByteArray::fromStdString(m_strPath)));
    return zento::Done{};
}

zento::DataSelection SelectionLogic::selection() const {
    return {m_strPath, m_nK, m_nN, m_nChosenVariables, m_nChosenCases};
}
