#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QComboBox>
#include <QFormLayout>
#include <QFrame>
#include <QLabel>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <filesystem>

#include "app/analysis_window.h"
#include "app/object_info_view.h"
#include "app/pool_info_view.h"
#include "display_fixture.h"
#include "report/field_presence.h"
#include "scripted_services.h"
#include "stat_fixture.h"
#include "stats/pool_graph.h"
#include "stats/ui/chart_view.h"

namespace {

// The texts a window shows in its labels, by object name.
QString LabelText(const QWidget& window, const char* name) {
    const auto* label = window.findChild<QLabel*>(QString::fromLatin1(name));
    return label == nullptr ? QStringLiteral("(no label %1)").arg(QString::fromLatin1(name)) : label->text();
}

// The rows of a list of captioned figures, as shown.
std::vector<std::pair<std::string, std::string>> ShownRows(const QTableView& view) {
    std::vector<std::pair<std::string, std::string>> rows;
    const QAbstractItemModel& model = *view.model();
    for (int r = 0; r < model.rowCount(); ++r) {
        rows.emplace_back(model.index(r, 0).data().toString().toStdString(),
                          model.index(r, 1).data().toString().toStdString());
    }
    return rows;
}

// The caption and figure of each row of a form, as shown.
std::vector<std::pair<std::string, std::string>> FormRows(const QFormLayout& form) {
    std::vector<std::pair<std::string, std::string>> rows;
    for (int r = 0; r < form.rowCount(); ++r) {
        const QLayoutItem* caption = form.itemAt(r, QFormLayout::LabelRole);
        const QLayoutItem* value = form.itemAt(r, QFormLayout::FieldRole);
        if (caption != nullptr && value != nullptr) {
            rows.emplace_back(qobject_cast<QLabel*>(caption->widget())->text().toStdString(),
                              qobject_cast<QLabel*>(value->widget())->text().toStdString());
        }
    }
    return rows;
}

TEST(DisplayWindow, TheAnalysisWindowOfADisplayShowsWhatItGivesAndSaysWhatItDoesNot) {
    ornexa::samplegen::DisplaySampleOptions options;
    options.series = 2;
    options.pools = 3;
    options.dataSetsPerPool = 5;
    const ornexa::Report report = ornexa::test::DisplayReport(options);
    const ornexa::SimulationData sim;
    ScriptedServices ui;
    const ornexa::test::TempDir dir;
    AnalysisWindow w(report, sim, ui, dir.Path());
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));

    // Report Info: the kind of input, and the header fact the display does not give.
    const ornexa::Db2Facts& facts = *report.Db2Display;
    EXPECT_EQ(LabelText(w, "lblInputKind"),
              QString::fromStdString("Db2 display, from " + facts.from + " to " + facts.to));
    EXPECT_TRUE(w.findChild<QLabel*>(QStringLiteral("lblInputKind"))->isVisible());
    EXPECT_EQ(LabelText(w, "lblData5"), QString::fromLatin1(ornexa::NotInThisInput.data())); // Db2 Version
    EXPECT_EQ(LabelText(w, "lblData3"), QStringLiteral("SYSA"));
    EXPECT_EQ(w.PoolList()->model()->rowCount(), report.PoolCount());

    // Pool Info: the header, Db2's own figures of the pool, and the graphs of a display.
    w.ChoosePool(0);
    w.Tabs()->setCurrentIndex(ornexa::PoolInfoTab);
    PoolInfoView& pool = *w.PoolInfo();
    QTableView& figures = *pool.PoolFigures();
    const QAbstractItemModelTester tester(figures.model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_TRUE(figures.isVisible());
    std::vector<std::pair<std::string, std::string>> expected;
    for (const ornexa::FigureRow& row : w.Session().PoolInfo().PoolRows()) {
        expected.emplace_back(row.caption, row.value);
    }
    EXPECT_EQ(ShownRows(figures), expected);
    const auto shown = ShownRows(figures);
    EXPECT_NE(std::find(shown.begin(), shown.end(),
                        std::pair<std::string, std::string>{"Avg Sync I/O Time", "not in this input"}),
              shown.end());
    const auto* header = pool.findChild<QFormLayout*>();
    ASSERT_NE(header, nullptr);
    const auto headerRows = FormRows(*header);
    const auto headerValue = [&](const std::string& caption) {
        for (const auto& [c, v] : headerRows) {
            if (c == caption) {
                return v;
            }
        }
        return std::string("(no row)");
    };
    EXPECT_EQ(headerValue("H P Size"), "not in this input");
    EXPECT_EQ(headerValue("Cast Out"), "not in this input");
    EXPECT_EQ(headerValue("HPSEQT"), "not in this input");
    EXPECT_NE(headerValue("V P Size"), "not in this input");

    ASSERT_EQ(w.PoolGraphTypes()->count(), ornexa::Db2PoolGraphTypeCount);
    EXPECT_EQ(w.PoolGraphTypes()->itemText(23), QStringLiteral("Largest Cached Pages"));
    w.ChoosePoolGraphType(7); // Top Get Pages: no getpages per data set
    EXPECT_EQ(w.PoolChart()->Model().absentText, ornexa::NotInDb2Display);
    EXPECT_TRUE(w.PoolChart()->chart()->title().contains(QStringLiteral("not in a Db2 display")));
    EXPECT_TRUE(w.PoolChart()->BarLabels().isEmpty());
    w.ChoosePoolGraphType(24); // the largest cached-page counts
    EXPECT_TRUE(w.PoolChart()->Model().absentText.empty());
    EXPECT_FALSE(w.PoolChart()->BarLabels().isEmpty());

    // A bar opens its data set's figures in the details panel.
    w.ActivatePoolBar(w.PoolChart()->Model().PointCount() - 1);
    ASSERT_TRUE(w.PoolDetails()->isVisible());
    const auto* details = qobject_cast<QFormLayout*>(w.PoolDetails()->layout());
    ASSERT_NE(details, nullptr);
    std::vector<std::pair<std::string, std::string>> detailRows;
    for (const ornexa::DetailRow& row : w.Session().PoolInfo().DetailRows()) {
        detailRows.emplace_back(row.caption, row.value);
    }
    EXPECT_EQ(FormRows(*details), detailRows);
    EXPECT_EQ(detailRows.front(), (std::pair<std::string, std::string>{"Get Pages", "not in this input"}));
    EXPECT_EQ(detailRows.back().first, "ASYNC I/O TOTAL I/O COUNT");

    // Object Info: no chart of activity, the data set's figures instead.
    w.Tabs()->setCurrentIndex(ornexa::ObjectInfoTab);
    EXPECT_EQ(w.ObjectChart()->Model().absentText, ornexa::NotInDb2Display);
    QTableView& objectFigures = *w.ObjectInfo()->Details();
    EXPECT_TRUE(objectFigures.isVisible());
    EXPECT_EQ(ShownRows(objectFigures).size(), w.Session().ObjectInfo().DetailRows().size());
    w.Back();
}

} // namespace
