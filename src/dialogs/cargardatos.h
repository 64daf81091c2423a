// The data dialog, run by the rectangular data command.
#pragma once

#include "dialogs/selectiondialog.h"

class CCargarDatos : public SelectionDialog {
    Q_OBJECT
public:
    enum { IDD = IDD_CARGARDATOS };

    explicit CCargarDatos(QWidget* parent = nullptr);
};
