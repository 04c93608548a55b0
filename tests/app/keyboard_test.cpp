#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSettings>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <map>
#include <set>

#include "app/analysis_window.h"
#include "app/file_selection_window.h"
#include "app/regroup_dialog.h"
#include "app/sim_graph_widget.h"
#include "keyboard_walk.h"
#include "report/stat_reader.h"
#include "scripted_services.h"
#include "session/regroup_page.h"
#include "simulation/sim_reader.h"

namespace {

using keyboard::Activate;
using keyboard::Describe;
using keyboard::Press;
using keyboard::WalkWithTab;

const std::filesystem::path Samples = ORNEXA_SAMPLES_DIR;

// The letters after '&' in `text` ("&&" is a plain ampersand).
QString Mnemonic(const QString& text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == QLatin1Char('&')) {
            if (text[i + 1] == QLatin1Char('&')) {
                ++i;
                continue;
            }
            return text[i + 1].toLower();
        }
    }
    return {};
}

class Keyboard : public ::testing::Test {
protected:
    Keyboard() {
        QSettings().clear();
        EXPECT_TRUE(ornexa::ReadStatisticsFile(report, Samples / "statistics-usa.sta").Loaded());
        EXPECT_TRUE(ornexa::ReadSimulationFile(report, sim, Samples / "simulation-bp1.sim").Loaded());
    }

    // The analysis window of the samples on the simulated pool BP1, so that every tab can be chosen.
    std::unique_ptr<AnalysisWindow> ShowAnalysis() {
        auto window = std::make_unique<AnalysisWindow>(report, sim, ui, Samples.parent_path() / "data");
        window->resize(1200, 800);
        Activate(*window);
        const QAbstractItemModel* pools = window->PoolList()->model();
        for (int row = 0; row < pools->rowCount(); ++row) {
            if (pools->index(row, 0).data().toString() == QStringLiteral("BP1")) {
                window->ChoosePool(row);
                simulatedPool = window->Session().CurrentPool();
            }
        }
        return window;
    }

    // The tabs that can be chosen.
    static std::set<int> UsableTabs(const AnalysisWindow& w) {
        std::set<int> usable;
        for (int t = 0; t < w.Tabs()->count(); ++t) {
            if (w.Tabs()->isTabVisible(t) && w.Tabs()->isTabEnabled(t)) {
                usable.insert(t);
            }
        }
        return usable;
    }

    ornexa::Report report;
    ornexa::SimulationData sim;
    ScriptedServices ui;
    int simulatedPool = 0;
};

TEST_F(Keyboard, TabWalksEveryTabOfTheAnalysisWindowWithoutATrap) {
    const auto w = ShowAnalysis();
    ASSERT_EQ(UsableTabs(*w).size(), 6U);
    for (const int tab : UsableTabs(*w)) {
        w->SelectTab(tab);
        w->Tabs()->tabBar()->setFocus(Qt::OtherFocusReason);
        const QString where = w->Tabs()->tabText(tab);
        const std::vector<QWidget*> passed = WalkWithTab(*w, where);
        // The lists are passed through once, as one stop each, and the choices they hold stay.
        std::map<QWidget*, int> stops;
        for (QWidget* widget : passed) {
            ++stops[widget];
        }
        for (const auto& [widget, count] : stops) {
            EXPECT_EQ(count, 1) << where.toStdString() << ": " << Describe(widget).toStdString();
        }
        EXPECT_EQ(w->Session().SelectedTab(), tab) << where.toStdString();
        EXPECT_EQ(w->Session().CurrentPool(), simulatedPool) << where.toStdString();
        if (tab == ornexa::ReportInfoTab) {
            EXPECT_EQ(stops.count(w->PoolList()), 1U);
        }
        if (tab == ornexa::ObjectInfoTab) {
            EXPECT_EQ(stops.count(w->ObjectList()), 1U);
            EXPECT_EQ(stops.count(w->ObjectFilter()), 1U);
        }
    }
}

TEST_F(Keyboard, TabWalksTheFileSelectionTheRegroupDialogAndShiftTabGoesBack) {
    ornexa::Report empty;
    ornexa::SimulationData none;
    FileSelectionWindow files(empty, none, ui);
    Activate(files);
    ui.answers = {Samples / "statistics-usa.sta"};
    files.ClickOpenStatistics();
    const std::vector<QWidget*> forward = WalkWithTab(files, QStringLiteral("file selection"));
    EXPECT_GE(forward.size(), 3U);
    // Shift+Tab walks the same stops the other way round.
    QWidget* start = files.focusWidget();
    std::vector<QWidget*> backward;
    for (std::size_t i = 0; i < forward.size(); ++i) {
        Press(files, Qt::Key_Backtab, Qt::ShiftModifier);
        backward.push_back(files.focusWidget());
    }
    EXPECT_EQ(std::vector<QWidget*>(forward.rbegin(), forward.rend()), backward);
    EXPECT_EQ(files.focusWidget(), forward.front());
    Press(files, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(files.focusWidget(), start);
    files.hide();

    const auto w = ShowAnalysis();
    w->SelectTab(ornexa::SimClusterTab);
    ASSERT_GT(w->Session().Clusters().LastRun().result, 0);
    ornexa::SaveFolders folders;
    RegroupDialog regroup(ornexa::RegroupPage(report, w->Session().CurrentPool(), w->Session().Clusters().LastRun()),
                          ui, folders, w.get());
    Activate(regroup);
    if (regroup.focusWidget() == nullptr) {
        QTest::keyClick(&regroup, Qt::Key_Tab);
    }
    EXPECT_GE(WalkWithTab(regroup, QStringLiteral("Regroup Objects")).size(), 2U);
}

TEST_F(Keyboard, CtrlTabReachesEveryTabFromEveryWidgetAndLeavesTheListsAsTheyWere) {
    const auto w = ShowAnalysis();
    const std::set<int> usable = UsableTabs(*w);
    const std::vector<std::pair<int, Qt::KeyboardModifiers>> forward{{Qt::Key_Tab, Qt::ControlModifier},
                                                                     {Qt::Key_PageDown, Qt::ControlModifier}};
    const std::vector<std::pair<int, Qt::KeyboardModifiers>> back{
        {Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier}, {Qt::Key_PageUp, Qt::ControlModifier}};
    int widgets = 0;
    for (const int tab : usable) {
        w->SelectTab(tab);
        QList<QWidget*> focusable;
        for (QWidget* widget : w->Tabs()->currentWidget()->findChildren<QWidget*>()) {
            if (widget->isVisible() && widget->isEnabled() && (widget->focusPolicy() & Qt::TabFocus) != 0) {
                focusable << widget;
            }
        }
        focusable << w->Tabs()->tabBar();
        for (QWidget* widget : focusable) {
            for (const auto& keys : {forward, back}) {
                const auto& [key, modifiers] = keys[static_cast<std::size_t>(widgets) % keys.size()];
                w->SelectTab(tab);
                widget->setFocus(Qt::OtherFocusReason);
                const std::optional<int> objectRow = w->Session().ObjectInfo().SelectedRow();
                std::set<int> reached{tab};
                for (std::size_t press = 0; press < usable.size(); ++press) {
                    Press(*w, key, modifiers);
                    reached.insert(w->Tabs()->currentIndex());
                    EXPECT_EQ(w->Tabs()->currentIndex(), w->Session().SelectedTab());
                }
                EXPECT_EQ(reached, usable)
                    << Describe(widget).toStdString() << " on tab " << tab << " with key " << key;
                // The lists keep their rows: the pool, and the object row chosen, stay.
                EXPECT_EQ(w->Session().CurrentPool(), simulatedPool) << Describe(widget).toStdString();
                EXPECT_EQ(w->Session().ObjectInfo().SelectedRow(), objectRow) << Describe(widget).toStdString();
            }
            ++widgets;
        }
    }
    EXPECT_GT(widgets, 25);

    // Alt+1 ... Alt+6 choose a tab directly; Ctrl+1 ... Ctrl+4 a chart of Sim Graph Analysis.
    w->PoolList()->setFocus();
    for (const int tab : usable) {
        Press(*w, Qt::Key_1 + tab, Qt::AltModifier);
        EXPECT_EQ(w->Tabs()->currentIndex(), tab);
    }
    for (int subTab = ornexa::SimSubTabCount - 1; subTab >= 0; --subTab) {
        Press(*w, Qt::Key_1 + subTab, Qt::ControlModifier);
        EXPECT_EQ(w->Tabs()->currentIndex(), ornexa::SimGraphTab);
        EXPECT_EQ(w->Session().SimGraphs().SubTab(), subTab);
    }
}

TEST_F(Keyboard, NoTwoControlsOfATabShareAMnemonicAndAltPPrints) {
    const auto w = ShowAnalysis();
    for (const int tab : UsableTabs(*w)) {
        w->SelectTab(tab);
        std::map<QString, QStringList> owners;
        const auto take = [&](const QString& text) {
            if (const QString letter = Mnemonic(text); !letter.isEmpty()) {
                owners[letter] << text;
            }
        };
        for (QAction* menu : w->findChild<QMenuBar*>()->actions()) {
            take(menu->text());
        }
        for (QAbstractButton* button : w->findChildren<QAbstractButton*>()) {
            if (button->isVisible()) {
                take(button->text());
            }
        }
        for (QLabel* label : w->findChildren<QLabel*>()) {
            if (label->isVisible() && label->buddy() != nullptr) {
                take(label->text());
            }
        }
        for (QGroupBox* box : w->findChildren<QGroupBox*>()) {
            if (box->isVisible()) {
                take(box->title());
            }
        }
        for (const auto& [letter, texts] : owners) {
            EXPECT_EQ(texts.size(), 1) << w->Tabs()->tabText(tab).toStdString() << ": Alt+" << letter.toStdString()
                                       << " is " << texts.join(QStringLiteral(", ")).toStdString();
        }
    }

    // On Pool Info, Alt+P and Ctrl+P print; the pool stays.
    w->SelectTab(ornexa::PoolInfoTab);
    w->PoolGraphTypes()->setFocus();
    Press(*w, Qt::Key_P, Qt::AltModifier);
    // A mnemonic presses its button for a moment before it clicks.
    EXPECT_TRUE(QTest::qWaitFor([&] { return ui.previews.size() == 1; }, 2000)) << "Alt+P";
    Press(*w, Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(ui.previews.size(), 2U) << "Ctrl+P";
    EXPECT_EQ(w->Session().CurrentPool(), simulatedPool);
}

TEST_F(Keyboard, EscapeClearsTheFilterAndNeverThrowsTheAnalysisAway) {
    const auto w = ShowAnalysis();
    w->SelectTab(ornexa::ObjectInfoTab);
    w->ObjectFilter()->setFocus();
    const QString first = w->ObjectList()->model()->index(0, 0).data().toString();
    QTest::keyClicks(w->ObjectFilter(), first.left(first.size() - 1));
    const int shown = w->ObjectList()->model()->rowCount();
    ASSERT_GT(shown, 0);

    // Down goes on into the list, to its first object.
    Press(*w, Qt::Key_Down);
    EXPECT_EQ(w->focusWidget(), w->ObjectList());
    EXPECT_EQ(w->ObjectList()->currentIndex().row(), 0);

    // Escape from the list clears the filter; again, from anywhere, it does nothing at all.
    Press(*w, Qt::Key_Escape);
    EXPECT_TRUE(w->ObjectFilter()->text().isEmpty());
    for (QWidget* from : std::initializer_list<QWidget*>{w->ObjectList(), w->ObjectFilter(), w->PoolList()}) {
        from->setFocus();
        Press(*w, Qt::Key_Escape);
        EXPECT_TRUE(w->isVisible());
    }
    w->SelectTab(ornexa::SimGraphTab);
    Press(*w, Qt::Key_Escape);
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(w->Tabs()->isTabVisible(ornexa::SimGraphTab)) << "the simulation stays read";
    EXPECT_EQ(w->Session().Outcome().exit, ornexa::AnalysisExit::Open);
}

} // namespace
