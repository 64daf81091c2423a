// Command routing: every object that handles commands keeps one message map from command ids to
// its handlers, and passes the ids it does not handle on to the next object of the route (the
// main frame, the application, the document template, the active view).
#pragma once

#include <functional>
#include <vector>

namespace zento {

// What the routing learns about one command id.
struct CommandState {
    bool handled = false; // something on the route handles the id
    bool enabled = false; // and it may run now
};

class MessageMap {
public:
    using Handler = std::function<void()>;
    using Condition = std::function<bool()>;

    // id reaches handler while enabled says so (always, without a condition).
    void add(int id, Handler handler, Condition enabled = {});
    template <class Owner>
    void add(int id, Owner* owner, void (Owner::*handler)(),
             bool (Owner::*enabled)() const = nullptr) {
        add(
            id, [owner, handler] { (owner->*handler)(); },
            enabled ? Condition([owner, enabled] { return (owner->*enabled)(); }) : Condition());
    }

    CommandState state(int id) const;
    // Runs the handler of id when it may run now; returns whether the map holds id.
    bool dispatch(int id) const;
    std::vector<int> ids() const;

private:
    struct Route {
        int id;
        Handler handler;
        Condition enabled;
    };
    const Route* find(int id) const;

    std::vector<Route> m_routes;
};

// One object of the route: its own map first, then the next object's.
class CommandTarget {
public:
    virtual ~CommandTarget() = default;

    CommandState commandState(int id) const;
    // Whether anything on the route from here handles id; the handler runs only when enabled.
    bool onCommand(int id);

    const MessageMap& messageMap() const { return m_messageMap; }
    void setNextCommandTarget(CommandTarget* next) { m_next = next; }

protected:
    virtual CommandTarget* nextCommandTarget() const { return m_next; }

    MessageMap m_messageMap;

private:
    CommandTarget* m_next = nullptr;
};

} // namespace zento
