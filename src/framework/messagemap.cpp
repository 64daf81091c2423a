// Message maps and the route through them.
#include "framework/messagemap.h"

#include <algorithm>
#include <utility>

namespace zento {

void MessageMap::add(int id, Handler handler, Condition enabled) {
    m_routes.push_back({id, std::move(handler), std::move(enabled)});
}

const MessageMap::Route* MessageMap::find(int id) const {
    const auto it = std::ranges::find(m_routes, id, &Route::id);
    return it == m_routes.end() ? nullptr : &*it;
}

CommandState MessageMap::state(int id) const {
    const Route* route = find(id);
    if (!route)
        return {};
    return {true, !route->enabled || route->enabled()};
}

bool MessageMap::dispatch(int id) const {
    const Route* route = find(id);
    if (!route)
        return false;
    if (!route->enabled || route->enabled())
        route->handler();
    return true;
}

std::vector<int> MessageMap::ids() const {
    std::vector<int> ids;
    for (const Route& route : m_routes)
        ids.push_back(route.id);
    return ids;
}

CommandState CommandTarget::commandState(int id) const {
    if (const CommandState state = m_messageMap.state(id); state.handled)
        return state;
    const CommandTarget* next = nextCommandTarget();
    return next ? next->commandState(id) : CommandState{};
}

bool CommandTarget::onCommand(int id) {
    if (m_messageMap.dispatch(id))
        return true;
    CommandTarget* next = nextCommandTarget();
    return next && next->onCommand(id);
}

} // namespace zento
