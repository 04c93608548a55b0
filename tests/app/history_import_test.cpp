// The History window's long work: imports of many files and folders, and another history opened,
// both off the window's thread.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QAction>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QSettings>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <chrono>
#include <future>

#include "app/history_service.h"
#include "app/history_window.h"
#include "sample_report.h"
#include "scripted_services.h"
#include "stat_fixture.h"
#include "stat_writer.h"

namespace {

namespace fs = std::filesystem;

class HistoryImportTest : public ::testing::Test {
protected:
    HistoryImportTest() {
        QSettings().clear();
        history.SetLocation((dir.Path() / "history.db").string());
        history.SetKeepEveryReport(false);
    }
    ~HistoryImportTest() override { history.SetBeforeEachImport({}); }

    // A Statistics report of its own content, collected on day `day` of November.
    static fs::path Report(const fs::path& path, int day) { // NOLINT(modernize-use-nodiscard): written for its file
        ornexa::Report report = ornexa::samplegen::BuildSampleReport(30 + day);
        report.Header.CollectionDate = "2026-11-" + std::to_string(10 + day);
        report.Header.CollectionTime = "10.00.00";
        fs::create_directories(path.parent_path());
        ornexa::samplegen::WriteTextFile(path, ornexa::samplegen::StatisticsText(report));
        return path;
    }

    // The file names of the reports the window lists, in their order.
    static std::vector<std::string> Held(const HistoryWindow& window) {
        std::vector<std::string> names;
        for (const ornexa::HistoryReportInfo& info : window.Page()->Reports()) {
            names.push_back(fs::path(info.fileName).filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    static void WaitForTheImports(const HistoryWindow& window) { QTRY_VERIFY_WITH_TIMEOUT(!window.Importing(), 60000); }

    ornexa::test::TempDir dir;
    ScriptedServices ui;
    HistoryService history;
};

TEST_F(HistoryImportTest, SeveralChosenFilesAreAllImportedAndTheFailuresToldWithTheirReasons) {
    HistoryWindow window(history, ui, {});
    const fs::path first = Report(dir.Path() / "a.sta", 1);
    const fs::path second = Report(dir.Path() / "b.sta", 2);
    const fs::path broken = dir.Write("broken.sta", "not a report at all\n");
    ui.fileLists = {{first, broken, second}};

    window.ImportFile();
    ASSERT_TRUE(window.Importing());
    ASSERT_NE(window.ImportProgress(), nullptr);
    EXPECT_TRUE(window.ImportProgress()->isVisible());
    EXPECT_FALSE(window.findChild<QAction*>(QStringLiteral("actImport"))->isEnabled());
    WaitForTheImports(window);

    EXPECT_EQ(Held(window), (std::vector<std::string>{"a.sta", "b.sta"}));
    EXPECT_EQ(window.ReportList()->model()->rowCount(), 2);
    EXPECT_EQ(window.StatusText(), "2 imported, 0 already present, 1 refused");
    ASSERT_EQ(ui.messages.size(), 1U);
    EXPECT_EQ(ui.messages[0].icon, ornexa::MessageIcon::Exclamation);
    EXPECT_NE(ui.messages[0].text.find("refused: " + broken.string() + ": "), std::string::npos) << ui.messages[0].text;
    EXPECT_TRUE(window.findChild<QAction*>(QStringLiteral("actImport"))->isEnabled());
}

TEST_F(HistoryImportTest, AFolderBringsItsReportsAndTheSimulationReportBesideThem) {
    HistoryWindow window(history, ui, {});
    const fs::path folder = dir.Path() / "reports";
    Report(folder / "c.sta", 3);
    Report(folder / "deeper" / "d.sta", 4);
    ornexa::samplegen::WriteTextFile(folder / "notes.txt", "minutes of the meeting\n");
    fs::copy_file(std::string(ORNEXA_SAMPLES_DIR) + "/statistics-usa.sta", folder / "g.sta");
    fs::copy_file(std::string(ORNEXA_SAMPLES_DIR) + "/simulation-bp1.sim", folder / "g.sim");
    const fs::path loose = Report(dir.Path() / "e.sta", 5);

    // A folder and a file at once, dropped on the window.
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(folder.string())),
                  QUrl::fromLocalFile(QString::fromStdString(loose.string()))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &drop);
    ASSERT_TRUE(window.Importing());
    WaitForTheImports(window);

    EXPECT_EQ(Held(window), (std::vector<std::string>{"c.sta", "d.sta", "e.sta", "g.sta"}));
    EXPECT_EQ(window.StatusText(), "4 imported, 0 already present, 0 refused, 1 skipped");
    for (const ornexa::HistoryReportInfo& info : window.Page()->Reports()) {
        EXPECT_EQ(info.hasSimulation, fs::path(info.fileName).filename() == "g.sta") << info.fileName;
    }
    EXPECT_TRUE(ui.messages.empty()); // nothing failed: nothing to tell beyond the status bar

    // The folder again, chosen from the menu: nothing new.
    ui.answers = {folder};
    window.ImportFolder();
    WaitForTheImports(window);
    EXPECT_EQ(window.StatusText(), "0 imported, 3 already present, 0 refused, 1 skipped");
    EXPECT_EQ(window.ReportList()->model()->rowCount(), 4);
}

TEST_F(HistoryImportTest, StoppingAfterTheFirstReportKeepsExactlyTheReportsImported) {
    HistoryWindow window(history, ui, {});
    const std::vector<fs::path> files = {Report(dir.Path() / "f1.sta", 1), Report(dir.Path() / "f2.sta", 2),
                                         Report(dir.Path() / "f3.sta", 3)};
    // The import waits before the second report until the test has pressed Stop.
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<bool> held = false;
    history.SetBeforeEachImport([&held, released](int number) {
        if (number == 2) {
            held = true;
            released.wait_for(std::chrono::minutes(1));
        }
    });

    window.ImportPaths(files);
    QProgressDialog* progress = window.ImportProgress();
    ASSERT_NE(progress, nullptr);
    QTRY_VERIFY_WITH_TIMEOUT(held.load() && progress->labelText().contains(QStringLiteral("f1.sta (1 of 3)")), 60000);
    EXPECT_EQ(progress->value(), 0);
    EXPECT_EQ(progress->maximum(), 3);
    auto* stop = progress->findChild<QPushButton*>();
    ASSERT_NE(stop, nullptr);
    QTest::mouseClick(stop, Qt::LeftButton);
    release.set_value();
    WaitForTheImports(window);

    EXPECT_EQ(Held(window), (std::vector<std::string>{"f1.sta"}));
    auto store = ornexa::HistoryStore::Open(history.Location());
    ASSERT_TRUE(store.Ok());
    EXPECT_EQ((*store.value)->Reports().value->size(), 1U); // nothing half-imported beside it
    ASSERT_EQ(ui.messages.size(), 1U);
    EXPECT_EQ(ui.messages[0].text.substr(0, ui.messages[0].text.find('\n')),
              "1 imported, 0 already present, 0 refused, 2 not imported: stopped");
}

// A listening socket on this machine that takes connections and never says a word.
class SilentServer {
public:
    SilentServer() : socket_(::socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof(address);
        auto* generic = reinterpret_cast<sockaddr*>(&address); // NOLINT(cppcoreguidelines-pro-type-reinterpret-cast)
        if (socket_ >= 0 && ::bind(socket_, generic, length) == 0 && ::listen(socket_, 8) == 0 &&
            ::getsockname(socket_, generic, &length) == 0) {
            port_ = ntohs(address.sin_port);
        }
    }
    SilentServer(const SilentServer&) = delete;
    SilentServer& operator=(const SilentServer&) = delete;
    SilentServer(SilentServer&&) = delete;
    SilentServer& operator=(SilentServer&&) = delete;
    ~SilentServer() {
        if (socket_ >= 0) {
            ::close(socket_);
        }
    }
    [[nodiscard]] int Port() const { return port_; }
    // A history there; libpq gives up after two seconds.
    [[nodiscard]] std::string Uri() const {
        return "postgresql://ornexa@127.0.0.1:" + std::to_string(port_) + "/history?connect_timeout=2";
    }

private:
    int socket_;
    int port_ = 0;
};

TEST_F(HistoryImportTest, AServerThatDoesNotAnswerLeavesTheWindowResponsiveAndTheHistoryWhereItWas) {
    Report(dir.Path() / "kept.sta", 1);
    {
        auto store = history.Open();
        ASSERT_TRUE(store.Ok());
        ornexa::ImportReportFile(**store.value, (dir.Path() / "kept.sta").string());
    }
    HistoryWindow window(history, ui, {});
    ASSERT_EQ(window.ReportList()->model()->rowCount(), 1);
    const SilentServer server;
    ASSERT_GT(server.Port(), 0);
    const std::string before = history.Location();
    ui.texts = {server.Uri()};

    window.ChooseDatabase();
    // Back at once, the server still being asked.
    ASSERT_TRUE(window.OpeningDatabase());
    EXPECT_FALSE(window.findChild<QAction*>(QStringLiteral("actHistoryDatabase"))->isEnabled());
    EXPECT_TRUE(window.StatusText().startsWith(QStringLiteral("Opening the history at postgresql://")));
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (window.OpeningDatabase()) {
            ++ticks;
        }
    });
    timer.start(20);
    QTRY_VERIFY_WITH_TIMEOUT(!window.OpeningDatabase(), 60000);
    EXPECT_GT(ticks, 0);

    EXPECT_TRUE(window.StatusText().contains(QStringLiteral("the history stays at")))
        << window.StatusText().toStdString();
    EXPECT_TRUE(window.StatusText().contains(QString::number(server.Port())));
    EXPECT_EQ(history.Location(), before);
    EXPECT_EQ(window.ReportList()->model()->rowCount(), 1);
    EXPECT_TRUE(window.findChild<QAction*>(QStringLiteral("actHistoryDatabase"))->isEnabled());
}

TEST_F(HistoryImportTest, AWindowOpeningOnAServerThatDoesNotAnswerShowsAtOnce) {
    const SilentServer server;
    ASSERT_GT(server.Port(), 0);
    history.SetLocation(server.Uri());
    HistoryWindow window(history, ui, {});
    ASSERT_TRUE(window.OpeningDatabase());
    EXPECT_EQ(window.Page(), nullptr);
    EXPECT_FALSE(window.findChild<QAction*>(QStringLiteral("actImport"))->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(!window.OpeningDatabase(), 60000);
    EXPECT_EQ(window.Page(), nullptr);
    EXPECT_TRUE(window.StatusText().contains(QStringLiteral("Cannot connect to the history server")))
        << window.StatusText().toStdString();
    EXPECT_EQ(history.Location(), server.Uri()); // the setting is the user's: it stays
    // Another history can still be chosen.
    ui.texts = {(dir.Path() / "local.db").string()};
    window.ChooseDatabase();
    QTRY_VERIFY_WITH_TIMEOUT(!window.OpeningDatabase(), 60000);
    ASSERT_NE(window.Page(), nullptr);
    EXPECT_EQ(history.Location(), (dir.Path() / "local.db").string());
}

} // namespace
