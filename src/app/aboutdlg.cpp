// The About box, made from its template like the other dialogs.
#include "app/aboutdlg.h"

#include "framework/dialogtemplate.h"
#include "zento/version.h"

namespace {

using zento::ControlTemplate;

// "Aceptar" stands between the copyright line and the project line in the template's order.
constexpr ControlTemplate kControls[] = {
    {ControlTemplate::Icon, 0, "", 11, 17, 21, 20},
    {ControlTemplate::Label, 0, "ZENTO Versión 1.0", 40, 10, 119, 8},
    {ControlTemplate::Label, 0, ZENTO_ABOUT_COPYRIGHT, 37, 25, 119, 9},
    {ControlTemplate::DefaultButton, zento::IDOK, "Aceptar", 178, 7, 50, 14},
    {ControlTemplate::Label, 0, "Regresión binaria para WinBUGS", 38, 36, 119, 9},
    {ControlTemplate::Label, 0, "Leer condiciones en el documento de ayuda.", 37, 47, 150, 10},
};

constexpr zento::DialogTemplate kTemplate{
    CAboutDlg::IDD, "Acerca de ZENTO", "MS Sans Serif", 8, 235, 64, kControls};

} // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setModal(true);
    zento::createDialogControls(*this, kTemplate);
}
