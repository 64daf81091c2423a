// The menu and toolbar layouts.
#include "app/menulayout.h"

namespace zento {

namespace {

constexpr MenuEntry popup(const char* text) {
    return {MenuEntry::Popup, text};
}
constexpr MenuEntry item(CommandId id) {
    return {MenuEntry::Command, "", id};
}
constexpr MenuEntry links(Link first, Link last) {
    return {MenuEntry::Links, "", {}, first, last};
}
constexpr MenuEntry kEnd{MenuEntry::End};
constexpr MenuEntry kSeparator{MenuEntry::Separator};
constexpr MenuEntry kWindowList{MenuEntry::WindowList};

// ID_FILE_MRU_FILE1 stands for the whole recent-file list: its placeholder while the list is
// empty, its entries otherwise.
constexpr MenuEntry kMainMenu[] = {
    popup("&Archivo"),
    item(ID_FILE_NEW),
    item(ID_FILE_OPEN),
    kSeparator,
    item(ID_FILE_PRINT_SETUP),
    kSeparator,
    item(ID_FILE_MRU_FILE1),
    kSeparator,
    item(ID_APP_EXIT),
    kEnd,
    popup("&Ver"),
    item(ID_VIEW_TOOLBAR),
    item(ID_VIEW_STATUS_BAR),
    kEnd,
    popup("Ay&uda"),
    item(ID_APP_ABOUT),
    kEnd,
};

constexpr MenuEntry kDocumentMenu[] = {
    popup("&Archivo"),
    item(ID_FILE_NEW),
    item(ID_FILE_OPEN),
    item(ID_FILE_CLOSE),
    item(ID_FILE_SAVE),
    item(ID_FILE_SAVE_AS),
    kSeparator,
    item(ID_FILE_PRINT),
    item(ID_FILE_PRINT_PREVIEW),
    item(ID_FILE_PRINT_SETUP),
    kSeparator,
    item(ID_FILE_MRU_FILE1),
    kSeparator,
    item(ID_APP_EXIT),
    kEnd,
    popup("&Editar"),
    item(ID_EDIT_UNDO),
    kSeparator,
    item(ID_EDIT_CUT),
    item(ID_EDIT_COPY),
    item(ID_EDIT_PASTE),
    kEnd,
    popup("&Ver"),
    item(ID_VIEW_TOOLBAR),
    item(ID_VIEW_STATUS_BAR),
    kEnd,
    popup("&Modelos"),
    popup("Enlaces Simétricos"),
    links(Link::Logit, Link::Probit),
    kEnd,
    popup("Enlaces Asimétricos"),
    links(Link::Cloglog, Link::SkewLogit),
    popup("Skew probit"),
    links(Link::SkewProbitCDS, Link::SkewProbitStandard),
    kEnd,
    kEnd,
    kEnd,
    popup("&Data"),
    item(ID_DATA_GENERAR),
    kEnd,
    popup("A&nálisis"),
    item(ID_ANALISIS_VERIFICAR),
    item(ID_ANALISIS_EXPORTAR),
    item(ID_ANALISIS_AJUSTAR),
    item(ID_ANALISIS_COMPARAR),
    kSeparator,
    item(ID_ANALISIS_ABRIR),
    item(ID_ANALISIS_GUARDAR),
    kEnd,
    popup("Ven&tana"),
    item(ID_WINDOW_NEW),
    item(ID_WINDOW_CASCADE),
    item(ID_WINDOW_TILE_HORZ),
    item(ID_WINDOW_ARRANGE),
    kWindowList,
    kEnd,
    popup("Ay&uda"),
    item(ID_APP_ABOUT),
    item(ID_AYUDA_DOCUMENTO),
    kEnd,
};

constexpr MenuEntry kToolBar[] = {
    item(ID_FILE_NEW),   item(ID_FILE_OPEN), item(ID_FILE_SAVE),  kSeparator,
    item(ID_EDIT_CUT),   item(ID_EDIT_COPY), item(ID_EDIT_PASTE), kSeparator,
    item(ID_FILE_PRINT), kSeparator,         item(ID_APP_ABOUT),
};

} // namespace

std::span<const MenuEntry> mainMenuLayout() {
    return kMainMenu;
}

std::span<const MenuEntry> documentMenuLayout() {
    return kDocumentMenu;
}

std::span<const MenuEntry> toolBarLayout() {
    return kToolBar;
}

} // namespace zento
