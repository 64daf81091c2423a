// Template and control ids of the two selection dialogs.
#pragma once

enum SelectionDialogId : int {
    IDD_CARGARDATOS = 130,
    IDD_CARGARMODELOS = 131,

    IDC_INCLUIR_DATOS = 1003, // "Incluir Datos...", in both dialogs

    IDC_DATOS_PATH = 1000,
    IDC_DATOS_K = 1001,
    IDC_DATOS_N = 1002,
    IDC_DATOS_CHOSEN_VARIABLES = 1004,
    IDC_DATOS_CHOSEN_CASES = 1005,

    IDC_MODELOS_PATH = 1006,
    IDC_MODELOS_K = 1007,
    IDC_MODELOS_N = 1008,
    IDC_MODELOS_CHOSEN_VARIABLES = 1010,
    IDC_MODELOS_CHOSEN_CASES = 1011,
};
