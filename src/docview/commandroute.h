// A message map: command ids to the member handlers of one class. The view, the document
// template, the main frame and the application object each declare one.
#pragma once

#include "framework/commands.h"

#include <algorithm>
#include <cstddef>
#include <iterator>

namespace zento {

template <class Owner> struct CommandRoute {
    CommandId id;
    void (Owner::*handler)();
    bool needsDocument = false; // runs only while a document (window) is open
};

// The route of id in routes, or nullptr.
template <class Owner, std::size_t N>
constexpr const CommandRoute<Owner>* findRoute(const CommandRoute<Owner> (&routes)[N], int id) {
    const auto it = std::ranges::find(routes, id, &CommandRoute<Owner>::id);
    return it == std::end(routes) ? nullptr : it;
}

} // namespace zento
