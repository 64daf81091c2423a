// The data dialog's template.
#include "dialogs/cargardatos.h"

namespace {

using zento::ControlTemplate;

constexpr ControlTemplate kControls[] = {
    {ControlTemplate::DefaultButton, zento::IDOK, "Aceptar", 46, 73, 50, 14},
    {ControlTemplate::Button, zento::IDCANCEL, "Cancelar", 181, 73, 50, 14},
    {ControlTemplate::ReadOnlyEdit, IDC_DATOS_PATH, "", 7, 7, 293, 13},
    {ControlTemplate::Label, 0, "Variables (K)", 25, 25, 44, 10},
    {ControlTemplate::ReadOnlyEdit, IDC_DATOS_K, "", 75, 24, 28, 15},
    {ControlTemplate::Label, 0, "Casos (N)", 158, 25, 34, 9},
    {ControlTemplate::ReadOnlyEdit, IDC_DATOS_N, "", 197, 22, 27, 14},
    {ControlTemplate::Button, IDC_INCLUIR_DATOS, "Incluir Datos...", 246, 23, 54, 14},
    {ControlTemplate::Label, 0, "Variables a elegir", 16, 49, 55, 11},
    {ControlTemplate::Edit, IDC_DATOS_CHOSEN_VARIABLES, "", 75, 46, 27, 16},
    {ControlTemplate::Label, 0, "Casos a elegir", 145, 47, 48, 11},
    {ControlTemplate::Edit, IDC_DATOS_CHOSEN_CASES, "", 197, 45, 27, 16},
};

constexpr zento::DialogTemplate kTemplate{
    IDD_CARGARDATOS, "Generación de Datos para WinBUGS", "MS Sans Serif", 8, 308, 94, kControls};

} // namespace

CCargarDatos::CCargarDatos(QWidget* parent)
    : SelectionDialog(kTemplate, kCargarDatosLayout, parent) {}
