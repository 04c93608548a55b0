#include "app/keyboard_navigation.h"

#include <QAbstractItemView>
#include <QAction>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTextEdit>

void LetTabMoveFocus(QWidget& root) {
    for (QAbstractItemView* view : root.findChildren<QAbstractItemView*>()) {
        view->setTabKeyNavigation(false);
    }
    for (QPlainTextEdit* text : root.findChildren<QPlainTextEdit*>()) {
        if (text->isReadOnly()) {
            text->setTabChangesFocus(true);
        }
    }
    for (QTextEdit* text : root.findChildren<QTextEdit*>()) {
        if (text->isReadOnly()) {
            text->setTabChangesFocus(true);
        }
    }
}

int NextUsableTab(const QTabWidget& tabs, int step) {
    const int count = tabs.count();
    const int current = tabs.currentIndex();
    for (int i = 1; i < count; ++i) {
        const int tab = ((current + step * i) % count + count) % count;
        if (tabs.isTabVisible(tab) && tabs.isTabEnabled(tab)) {
            return tab;
        }
    }
    return current;
}

void AddTabKeys(QWidget& window, const QTabWidget& tabs, const std::function<void(int)>& choose) {
    const auto add = [&window](const QList<QKeySequence>& keys, const std::function<void()>& act) {
        auto* action = new QAction(&window);
        action->setShortcuts(keys);
        // Taken before the widget with the focus sees the key, so no list or strip keeps it.
        action->setShortcutContext(Qt::WindowShortcut);
        QObject::connect(action, &QAction::triggered, &window, act);
        window.addAction(action);
    };
    const QTabWidget* strip = &tabs;
    add({QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown)},
        [strip, choose] { choose(NextUsableTab(*strip, 1)); });
    add({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), QKeySequence(Qt::CTRL | Qt::Key_PageUp)},
        [strip, choose] { choose(NextUsableTab(*strip, -1)); });
    for (int tab = 0; tab < std::min(tabs.count(), 9); ++tab) {
        add({QKeySequence(Qt::ALT | static_cast<Qt::Key>(Qt::Key_1 + tab))}, [strip, choose, tab] {
            if (strip->isTabVisible(tab) && strip->isTabEnabled(tab)) {
                choose(tab);
            }
        });
    }
}
