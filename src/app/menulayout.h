// Where each command stands: the main menu, the document menu and the toolbar, as sequences of
// command ids, separators and submenus. Labels, prompts, keys and images come from the command
// table; this says only the order.
#pragma once

#include "framework/commands.h"
#include "winbugs/models.h"

#include <span>

namespace zento {

struct MenuEntry {
    enum Kind {
        Popup,      // opens a (sub)menu titled text; its entries follow up to the matching End
        End,        // closes the innermost open Popup
        Command,    // the command id
        Separator,  //
        WindowList, // the list of open document windows
        Links,      // the model commands of firstLink to lastLink, in the link table's order
    };
    Kind kind;
    const char* text = ""; // Popup only: its label (UTF-8)
    CommandId id{};        // Command only
    Link firstLink{};      // Links only
    Link lastLink{};
};

// The menu while no document window is open.
std::span<const MenuEntry> mainMenuLayout();
// The menu while a document window is active.
std::span<const MenuEntry> documentMenuLayout();
// The toolbar: Command and Separator entries only.
std::span<const MenuEntry> toolBarLayout();

} // namespace zento
