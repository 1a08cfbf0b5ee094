#pragma once
#include <QAction>
#include <QLabel>
#include <QTreeView>

#include <initializer_list>

// What the program's list windows (recordings, inbox) share: a tool bar over the list, a status
// line below it that can be read and copied, and actions that work anywhere in the window.

// Lays out `window` in the main window's display colour: a tool bar named `toolsName` with
// `actions` over `view`, `status` at the bottom, the columns `widths` wide and the keyboard in the
// list; Escape and the desktop's Close key close the window.
void LayOutListWindow(QWidget& window, const QString& toolsName, const QList<QAction*>& actions,
                      QTreeView& view, QLabel& status, std::initializer_list<int> widths);
// An action of `window` on `keys` (shown on its tool tip), added to `actions`; `slot` is a member
// function of the window or a function object.
template <typename Window, typename Slot>
QAction* AddListAction(Window& window, QList<QAction*>& actions, const QString& text,
                       const QKeySequence& keys, Slot slot) {
    auto* action = new QAction(text, &window);
    action->setShortcut(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    action->setToolTip(
        QString("%1 (%2)").arg(QString(text).remove('&'), keys.toString(QKeySequence::NativeText)));
    QObject::connect(action, &QAction::triggered, &window, slot);
    window.addAction(action);
    actions.append(action);
    return action;
}
