// `ornexa-report --history` on another program's SQLite database: refused, the file as it was.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foreign_database.h"
#include "run_report.h"
#include "stat_fixture.h"

namespace ornexa {
namespace {

TEST(OrnexaReportHistory, AnotherProgramsDatabaseIsRefusedAndLeftAsItWas) {
    const test::TempDir dir;
    const auto app = test::WriteForeignDatabase(dir.Path() / "app.db");
    const std::string before = test::FileBytes(app);
    for (const std::string& command :
         std::vector<std::string>{" --list", " --trend --pool BP1", " --import " + app.string()}) {
        SCOPED_TRACE(command);
        const test::Outcome run = test::RunReport("--history " + app.string() + command, true);
        EXPECT_NE(run.exitCode, 0);
        EXPECT_NE(run.out.find("ornexa-report: cannot open the history " + app.string() + ": "), std::string::npos)
            << run.out;
        EXPECT_NE(run.out.find("is not an ORNEXA history but another program's database; it is left as it is"),
                  std::string::npos)
            << run.out;
        EXPECT_EQ(test::FileBytes(app), before);
        EXPECT_EQ(test::RunSqlite(app, "PRAGMA journal_mode"), "delete");
        EXPECT_EQ(test::RunSqlite(app, "SELECT count(*) FROM sqlite_master"), "2");
    }
}

} // namespace
} // namespace ornexa
