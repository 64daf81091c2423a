// The model dialog's template. Its labels differ from the data dialog's: "Casos  (N)" has two
// blanks and "Elegir" a capital E.
#include "dialogs/cargarmodelos.h"

namespace {

using zento::ControlTemplate;

constexpr ControlTemplate kControls[] = {
    {ControlTemplate::DefaultButton, zento::IDOK, "Aceptar", 68, 84, 50, 14},
    {ControlTemplate::Button, zento::IDCANCEL, "Cancelar", 184, 84, 50, 14},
    {ControlTemplate::ReadOnlyEdit, IDC_MODELOS_PATH, "", 7, 7, 301, 14},
    {ControlTemplate::Label, 0, "Variables (K)", 27, 26, 40, 10},
    {ControlTemplate::ReadOnlyEdit, IDC_MODELOS_K, "", 77, 25, 29, 15},
    {ControlTemplate::Label, 0, "Casos  (N)", 149, 27, 37, 10},
    {ControlTemplate::ReadOnlyEdit, IDC_MODELOS_N, "", 193, 25, 30, 15},
    {ControlTemplate::Button, IDC_INCLUIR_DATOS, "Incluir Datos...", 241, 22, 67, 14},
    {ControlTemplate::Label, 0, "Variables a Elegir", 16, 59, 58, 12},
    {ControlTemplate::Edit, IDC_MODELOS_CHOSEN_VARIABLES, "", 75, 57, 30, 16},
    {ControlTemplate::Label, 0, "Casos a Elegir", 140, 59, 49, 11},
    {ControlTemplate::Edit, IDC_MODELOS_CHOSEN_CASES, "", 195, 57, 29, 15},
};

constexpr zento::DialogTemplate kTemplate{IDD_CARGARMODELOS,
                                          "Generación del Modelo de Regresión Binaria para WinBUGS",
                                          "MS Sans Serif",
                                          8,
                                          315,
                                          105,
                                          kControls};

} // namespace

CCargarModelos::CCargarModelos(QWidget* parent)
    : SelectionDialog(kTemplate, kCargarModelosLayout, parent) {}
