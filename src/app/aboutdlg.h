// The About box: the program's name, version and copyright.
#pragma once

#include <QDialog>

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    enum { IDD = 100 }; // IDD_ABOUTBOX

    // Modal to parent's window; with no parent, to the whole application.
    explicit CAboutDlg(QWidget* parent = nullptr);
};
