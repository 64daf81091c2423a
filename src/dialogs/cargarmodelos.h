// The model dialog, run by each of the nine model commands.
#pragma once

#include "dialogs/selectiondialog.h"

class CCargarModelos : public SelectionDialog {
    Q_OBJECT
public:
    enum { IDD = IDD_CARGARMODELOS };

    explicit CCargarModelos(QWidget* parent = nullptr);
};
