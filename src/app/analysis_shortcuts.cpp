#include "app/analysis_shortcuts.h"

#include <QAction>
#include <QCoreApplication>
#include <QStringList>
#include <initializer_list>
#include <utility>

#include "app/analysis_window.h"
#include "app/keyboard_navigation.h"

// The shortcuts of the window, a line each: the keys, a tab, what they do.
QString AnalysisShortcutsText() {
    const std::initializer_list<std::pair<const char*, const char*>> keys = {
        {"F5", QT_TR_NOOP("Read both reports again and return to the same pool, tab and object")},
        {"Ctrl+H", QT_TR_NOOP("The history: the reports kept, trends over time, two reports compared")},
        {"Ctrl+Shift+H", QT_TR_NOOP("Health: each pool's worst rating report by report; a cell opens its report")},
        {"Ctrl+Shift+Z", QT_TR_NOOP("Pool sizing: a budget of storage split over the pools, with its commands")},
        {"Ctrl+F", QT_TR_NOOP("Find an object: the filter box above the object list; Down moves into the list")},
        {"Escape", QT_TR_NOOP("Clear the object filter")},
        {"Ctrl+Tab, Ctrl+PgDn", QT_TR_NOOP("The next tab, from any widget")},
        {"Ctrl+Shift+Tab, Ctrl+PgUp", QT_TR_NOOP("The tab before, from any widget")},
        {"Alt+1 ... Alt+6", QT_TR_NOOP("That tab directly")},
        {"Ctrl+1 ... Ctrl+4", QT_TR_NOOP("That chart of Sim Graph Analysis")},
        {"Tab, Shift+Tab", QT_TR_NOOP("The next or the previous control")},
        {"Ctrl+C",
         QT_TR_NOOP("Copy the selected rows of a list (all rows when none is selected) as tab-separated text")},
        {"Ctrl+Shift+C", QT_TR_NOOP("Copy the chart with the focus as a picture")},
        {"Ctrl+Shift+S", QT_TR_NOOP("Save the chart with the focus as PNG, SVG or PDF")},
        {"Ctrl+P, Alt+P", QT_TR_NOOP("Print the tab shown")},
        {"Alt+B", QT_TR_NOOP("Back to the file selection")},
        {"Alt+F", QT_TR_NOOP("Finish")},
        {"F1", QT_TR_NOOP("This list")},
    };
    QStringList lines;
    for (const auto& [key, meaning] : keys) {
        lines << QStringLiteral("%1\t%2").arg(QString::fromLatin1(key),
                                              QCoreApplication::translate("AnalysisWindow", meaning));
    }
    lines << QCoreApplication::translate("AnalysisWindow",
                                         "A report file dropped on the window is read in place of the one shown.");
    return lines.join(QLatin1Char('\n'));
}

void AddAnalysisShortcuts(AnalysisWindow& window) {
    auto* find = new QAction(&window); // Ctrl+F from every tab
    find->setShortcut(QKeySequence::Find);
    find->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(find, &QAction::triggered, &window, [&window] {
        window.SelectTab(ornexa::ObjectInfoTab);
        window.ObjectInfo()->FocusFilter();
    });
    window.addAction(find);
    LetTabMoveFocus(window);
    AddTabKeys(window, *window.Tabs(), [&window](int tab) { window.SelectTab(tab); });
    for (int subTab = 0; subTab < ornexa::SimSubTabCount; ++subTab) {
        auto* chooseChart = new QAction(&window);
        chooseChart->setShortcut(QKeySequence(Qt::CTRL | static_cast<Qt::Key>(Qt::Key_1 + subTab)));
        QObject::connect(chooseChart, &QAction::triggered, &window,
                         [&window, subTab] { window.ChooseSimChart(subTab); });
        window.addAction(chooseChart);
    }
}
