// The History window on another program's SQLite database: it says why, and the file stays as it was.
#include <gtest/gtest.h>

#include <QSettings>
#include <QTableView>
#include <QTest>

#include "app/history_service.h"
#include "app/history_window.h"
#include "foreign_database.h"
#include "scripted_services.h"
#include "stat_fixture.h"

namespace {

TEST(HistoryOwnerWindow, AnotherProgramsDatabaseIsNeitherOpenedNorChanged) {
    QSettings().clear();
    const ornexa::test::TempDir dir;
    const auto app = ornexa::test::WriteForeignDatabase(dir.Path() / "app.db");
    const std::string before = ornexa::test::FileBytes(app);
    const auto unchanged = [&] {
        EXPECT_EQ(ornexa::test::FileBytes(app), before);
        EXPECT_EQ(ornexa::test::RunSqlite(app, "PRAGMA journal_mode"), "delete");
    };
    ScriptedServices ui;
    HistoryService history;

    // Opened with the window.
    history.SetLocation(app.string());
    {
        HistoryWindow window(history, ui, {});
        EXPECT_TRUE(window.StatusText().contains(QStringLiteral("is not an ORNEXA history")))
            << window.StatusText().toStdString();
        EXPECT_TRUE(window.StatusText().contains(QStringLiteral("Choose a new file for the history")));
        EXPECT_EQ(window.ReportList()->model()->rowCount(), 0);
        unchanged();
    }

    // Chosen as the window's database: the history stays where it was.
    const std::string own = (dir.Path() / "history.db").string();
    history.SetLocation(own);
    HistoryWindow window(history, ui, {});
    ui.texts = {app.string()};
    window.ChooseDatabase();
    QTRY_VERIFY(!window.OpeningDatabase());
    EXPECT_EQ(history.Location(), own);
    EXPECT_TRUE(window.StatusText().contains(QStringLiteral("is not an ORNEXA history")))
        << window.StatusText().toStdString();
    EXPECT_TRUE(window.StatusText().contains(QStringLiteral("the history stays at")));
    unchanged();
}

} // namespace
