#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTimer>

#include "app/app_icons.h"
#include "app/file_selection_window.h"
#include "app/ui_services.h"
#include "report/column_tables.h"
#include "sample_report.h"
#include "scripted_services.h"
#include "sim_writer.h"
#include "stat_fixture.h"
#include "stat_writer.h"

namespace {

QLabel* Label(QWidget& window, const char* name) {
    return window.findChild<QLabel*>(QString::fromLatin1(name));
}

QImage Shown(const QLabel* picture) {
    return picture->pixmap().toImage();
}

QImage Picture(const QLabel* picture, ornexa::StatusPicture status) {
    const QSize size = picture->pixmap().deviceIndependentSize().toSize();
    return StatusIcon(static_cast<int>(status)).pixmap(size).toImage();
}

// The file-selection window over files the tests write: the generated sample and its spoilt kin.
class ReadStatus : public ::testing::Test {
protected:
    ReadStatus() : files(report, sim, ui) {
        QSettings().clear();
        files.History().SetLocation((dir.Path() / "history.db").string());
        statPath = dir.Write("report.sta", ornexa::samplegen::StatisticsText(sample.report));
        simPath = dir.Write("report.sim", SimText());
    }

    [[nodiscard]] std::string SimText() const {
        return ornexa::samplegen::SimulationText(sample.report, sample.sim, sample.pool, sample.objects);
    }
    void Open(const std::string& name, const std::string& text) {
        ui.answers = {dir.Write(name, text)};
        files.ClickOpenStatistics();
    }
    void OpenSim(const std::string& name, const std::string& text) {
        ui.answers = {dir.Write(name, text)};
        files.ClickOpenSimulation();
    }

    ornexa::test::TempDir dir;
    ornexa::samplegen::SimSample sample = ornexa::samplegen::BuildSampleSimulation();
    std::filesystem::path statPath;
    std::filesystem::path simPath;
    ornexa::Report report;
    ornexa::SimulationData sim;
    ScriptedServices ui;
    FileSelectionWindow files;
};

// A read that failed no longer looks read: its picture is its own, its tooltip tells the fault,
// and the line under the path tells how far it got; "&Next" still offers what was read.
TEST_F(ReadStatus, ThePictureAndTheLineUnderThePathTellHowTheStatisticsReadEnded) {
    files.show();
    QLabel* picture = Label(files, "imgStat");
    QLabel* note = Label(files, "lblStatRead");
    ASSERT_NE(picture, nullptr);
    ASSERT_NE(note, nullptr);
    const int pools = sample.report.PoolCount();

    Open("notes.txt", "not a report\r\nat all\r\n");
    EXPECT_EQ(Shown(picture), Picture(picture, ornexa::StatusPicture::NotRead));
    EXPECT_NE(Shown(picture), Picture(picture, ornexa::StatusPicture::Read));
    EXPECT_TRUE(picture->toolTip().contains(QStringLiteral("Incorrect File Format, Use A Flat File")));
    EXPECT_EQ(Label(files, "lblStatFile")->text().toStdString(), (dir.Path() / "notes.txt").string());
    EXPECT_TRUE(note->isVisible());
    EXPECT_EQ(note->text(), QStringLiteral("Not read"));
    EXPECT_TRUE(files.findChild<QPushButton*>(QStringLiteral("cmdNext"))->isEnabled());

    ornexa::test::StatLines third;
    third.lines.push_back(ornexa::samplegen::HeaderLine(sample.report.Header, true));
    third.Pool("BP0").Pool("BP1").Pool("BP2").SetLastField(ornexa::PoolColumns()[3], "X");
    Open("third.sta", third.Text());
    EXPECT_EQ(Shown(picture), Picture(picture, ornexa::StatusPicture::NotRead));
    EXPECT_TRUE(picture->toolTip().contains(QStringLiteral("Type mismatch")));
    EXPECT_EQ(note->text(), QStringLiteral("2 of %1 pools read").arg(pools));

    std::string cut = ornexa::samplegen::StatisticsText(sample.report);
    cut.resize(cut.find("\r\nBPS", cut.find("\r\nBPS") + 1) + 2);
    Open("cut.sta", cut);
    EXPECT_EQ(Shown(picture), Picture(picture, ornexa::StatusPicture::ReadWithWarnings));
    EXPECT_TRUE(picture->toolTip().contains(QStringLiteral("it may have been cut short")));
    EXPECT_EQ(note->text(), QStringLiteral("1 of %1 pools read").arg(pools));

    ui.answers = {statPath};
    files.ClickOpenStatistics();
    EXPECT_EQ(Shown(picture), Picture(picture, ornexa::StatusPicture::Read));
    EXPECT_EQ(picture->toolTip(), QStringLiteral("Read"));
    EXPECT_FALSE(note->isVisible());
    // Each picture is its own.
    const std::vector<ornexa::StatusPicture> all = {
        ornexa::StatusPicture::NotChosen, ornexa::StatusPicture::Read, ornexa::StatusPicture::MayChoose,
        ornexa::StatusPicture::ReadWithWarnings, ornexa::StatusPicture::NotRead};
    for (std::size_t i = 0; i < all.size(); ++i) {
        for (std::size_t j = i + 1; j < all.size(); ++j) {
            EXPECT_NE(Picture(picture, all[i]), Picture(picture, all[j])) << i << " " << j;
        }
    }
}

TEST_F(ReadStatus, ThePictureOfTheSimulationTellsHowItsReadEndedAndTheBoxSaysWhatToDo) {
    files.show();
    ui.answers = {statPath, simPath};
    files.ClickOpenStatistics();
    files.ClickOpenSimulation();
    QLabel* picture = Label(files, "ImgSim");
    QLabel* note = Label(files, "lblSimRead");
    ASSERT_NE(picture, nullptr);
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(Shown(picture), Picture(picture, ornexa::StatusPicture::Read));
    EXPECT_FALSE(note->isVisible());
    EXPECT_TRUE(ui.messages.empty());

    std::string text = SimText();
    const int objectLines = static_cast<int>(sample.objects.size());
    text.replace(text.rfind("\r\nBPS") + 2 + 21, 8, "NOSUCHOB");
    OpenSim("skipped.sim", text);
    EXPECT_EQ(Shown(picture), Picture(picture, ornexa::StatusPicture::ReadWithWarnings));
    EXPECT_EQ(note->text(), QStringLiteral("%1 of %2 object lines read").arg(objectLines - 1).arg(objectLines));
    ASSERT_EQ(ui.messages.size(), 1U);
    EXPECT_NE(ui.messages[0].hint.find("names object NOSUCHOB"), std::string::npos) << ui.messages[0].hint;

    ui.messages.clear();
    std::string other = SimText();
    other.replace(other.find(sample.report.Pools(sample.pool).PoolName.Str(), other.find("*BPP")), 4, "BP99");
    OpenSim("bp99.sim", other);
    EXPECT_EQ(Shown(picture), Picture(picture, ornexa::StatusPicture::NotRead));
    EXPECT_TRUE(picture->toolTip().contains(QStringLiteral("Subscript out of range")));
    EXPECT_EQ(note->text(), QStringLiteral("Not read"));
    ASSERT_EQ(ui.messages.size(), 1U);
    EXPECT_EQ(ui.messages[0].title, "Read Simulation Buffer Pool Information");
    EXPECT_EQ(ui.messages[0].hint, (dir.Path() / "bp99.sim").string() + " describes pool BP99, which " +
                                       statPath.string() +
                                       " does not hold: choose the Simulation report of one of its pools.");
}

// The program's box shows the read's own text, and the advice below it.
TEST_F(ReadStatus, AMessageBoxShowsTheAdviceBelowItsText) {
    QtUiServices boxes;
    QString text;
    QString advice;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        text = box->text();
        advice = box->informativeText();
        QTest::keyClick(box, Qt::Key_Return);
    });
    boxes.Show({"File IO", "Incorrect File Format, Use A Flat File", ornexa::MessageIcon::Exclamation,
                "/data/x.sta is not a Statistics report"});
    EXPECT_EQ(text, QStringLiteral("Incorrect File Format, Use A Flat File"));
    EXPECT_EQ(advice, QStringLiteral("/data/x.sta is not a Statistics report"));
}

// A report named relatively, as on the command line, is kept in the recent reports by its full path.
TEST_F(ReadStatus, ARelativeNameIsKeptInFullInTheRecentReports) {
    const auto before = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    files.ReadDropped("report.sta");
    files.OpenSimulation("report.sim");
    std::filesystem::current_path(before);
    ASSERT_TRUE(report.StatFileLoaded);
    ASSERT_TRUE(sim.SimFileLoaded);
    const QList<QAction*> entries = files.RecentMenu()->actions();
    ASSERT_FALSE(entries.isEmpty());
    EXPECT_EQ(entries[0]->toolTip().toStdString(), statPath.string() + "\n" + simPath.string());
    EXPECT_TRUE(entries[0]->isEnabled()); // still there, from this folder too
    QSettings settings;
    settings.beginReadArray(QStringLiteral("recentReports"));
    settings.setArrayIndex(0);
    EXPECT_EQ(settings.value(QStringLiteral("statistics")).toString().toStdString(), statPath.string());
    settings.endArray();
}

} // namespace
