// The widgets that Tab visits in a window, in order, starting at its first focusable child.
#pragma once

#include <QList>
#include <QWidget>

namespace zento::testing {

inline QList<QWidget*> TabOrder(QWidget* window) {
    auto takesTab = [](const QWidget* widget) {
        return (widget->focusPolicy() & Qt::TabFocus) && widget->isEnabled();
    };
    QList<QWidget*> order;
    for (QWidget* widget = window->nextInFocusChain(); widget != window;
         widget = widget->nextInFocusChain()) {
        if (takesTab(widget))
            order.append(widget);
    }
    return order;
}

} // namespace zento::testing
