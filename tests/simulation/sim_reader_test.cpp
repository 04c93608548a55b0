#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "record_compare.h"
#include "report/stat_reader.h"
#include "sim_writer.h"
#include "simulation/sim_columns.h"
#include "simulation/sim_reader.h"
#include "stat_fixture.h"
#include "stat_writer.h"

namespace ornexa {
namespace {

using test::ExpectSameFields;

// A Statistics report already read, and a Simulation report to read against it.
struct SimRun {
    Report report;
    SimulationData sim;
    SimReadResult result;
    std::vector<Message> messages;
};

void LoadStatistics(Report& report, const test::TempDir& dir, const std::string& text) {
    ASSERT_TRUE(ReadStatisticsFile(report, dir.Write("report.sta", text)).Loaded());
}

SimReadResult ReadSim(const Report& report, SimulationData& sim, const test::TempDir& dir, const std::string& text,
                      std::vector<Message>* messages = nullptr) {
    const auto path = dir.Write("report.sim", text);
    SimReadResult result = ReadSimulationFile(report, sim, path);
    // The same bytes from memory read the same, line for line and fault for fault.
    SimulationData fromMemory;
    const SimReadResult again = ReadSimulationBytes(report, fromMemory, text, path);
    EXPECT_EQ(again.outcome, result.outcome);
    EXPECT_EQ(again.skippedLines, result.skippedLines);
    EXPECT_EQ(again.fault.has_value(), result.fault.has_value());
    if (again.fault && result.fault) {
        EXPECT_EQ(again.fault->description, result.fault->description);
        EXPECT_EQ(again.fault->line, result.fault->line);
    }
    EXPECT_EQ(fromMemory.simulatedPool, sim.simulatedPool);
    if (messages != nullptr) {
        *messages = MessagesOf(result);
    }
    return result;
}

// An object simulation line: the object it names and its values.
struct SimLine {
    ObjectRecord object;
    ObjectSimulation values;
};

// Small reports: the simulated pool's objects, its sizes and its lines, each test changing what
// it needs.
struct SimFixture {
    test::StatLines stat;
    SimParameters sim;
    std::vector<SimLine> objectLines;
    std::vector<std::string> extraLines; // after the object lines
    std::string country = "USA";

    explicit SimFixture(const std::vector<Long>& sizes = {100, 200, 400}, const std::string& poolName = "BP1") {
        sim.SimPoolName = poolName;
        sim.SimSizeCount = static_cast<std::int16_t>(sizes.size());
        for (int k = 1; k <= static_cast<int>(sizes.size()) && k <= MaxSimSizes; ++k) {
            sim.SimVPSize(k) = sizes[static_cast<std::size_t>(k - 1)];
        }
        stat.Header();
    }

    static SimLine Line(std::string_view name, Long base) {
        SimLine line{test::TestObject("BP1", name), {}};
        ObjectSimulation& o = line.values;
        for (int k = 1; k <= MaxSimSizes; ++k) {
            o.SimGetPages(k) = base + k;
            o.SimAvgWorkSet(k) = base * k;
            o.SimMaxWorkSet(k) = base * k + 7;
            o.SimSysHitRatio(k) = 50 + k;
            o.SimReadIORate(k) = 1.25 * k;
        }
        return line;
    }

    [[nodiscard]] std::string SimText(const std::vector<std::string>& preamble = {}) const {
        const bool usa = country == "USA";
        std::string text = samplegen::EnvironmentLine(country) + "\r\n";
        for (const auto& line : preamble) {
            text += line + "\r\n";
        }
        PoolSimulation pool;
        const int sizes = std::min<int>(sim.SimSizeCount, MaxSimSizes);
        for (int k = 1; k <= sizes; ++k) {
            pool.SimGetPages(k) = 1000 * k;
            pool.SimReadIORate(k) = 10.5 * k;
            pool.SimSysHitRatio(k) = 80 + k;
        }
        text += samplegen::SimParamLine(sim, usa) + "\r\n";
        text += samplegen::SimPoolLine(pool, sizes, usa) + "\r\n";
        for (const auto& o : objectLines) {
            text += samplegen::SimObjectLine(o.object, o.values, sizes, usa) + "\r\n";
        }
        for (const auto& line : extraLines) {
            text += line + "\r\n";
        }
        return text;
    }
};

SimRun ReadAgainst(const SimFixture& f, const std::vector<std::string>& preamble = {}) {
    const test::TempDir dir;
    SimRun run;
    LoadStatistics(run.report, dir, f.stat.Text());
    run.result = ReadSim(run.report, run.sim, dir, f.SimText(preamble), &run.messages);
    return run;
}

SimFixture PoolWithObjects(Long vpSize = 200, Long hpSize = 0) {
    SimFixture f;
    PoolRecord bp0 = test::TestPool("BP0");
    PoolRecord bp1 = test::TestPool("BP1");
    bp1.VPSize = vpSize;
    bp1.HPSize = hpSize;
    f.stat.Pool(bp0).Object("BP0", "DB0.TS1").Pool(bp1);
    f.stat.Object("BP1", "DB1.TS10").Object("BP1", "DB1.TS1").Object("BP1", "DB1.IX1", 'I');
    return f;
}

TEST(ReadSimulationFile, ReadsTheSampleIntoItsPoolAndObjects) {
    samplegen::SimSample expected = samplegen::BuildSampleSimulation();
    for (const char* country : {"USA", "DEU"}) {
        SCOPED_TRACE(country);
        samplegen::StatFileOptions options;
        options.country = country;
        const test::TempDir dir;
        Report report;
        SimulationData sim;
        LoadStatistics(report, dir, samplegen::StatisticsText(expected.report, options));
        std::vector<Message> messages;
        const std::string simText =
            samplegen::SimulationText(expected.report, expected.sim, expected.pool, expected.objects, options);
        // Read twice: the same file gives the same model, loaded each time.
        for (int pass = 0; pass < 2; ++pass) {
            const SimReadResult result = ReadSim(report, sim, dir, simText, &messages);
            ASSERT_TRUE(result.Loaded());
            EXPECT_TRUE(messages.empty());
            EXPECT_TRUE(sim.SimFileLoaded);
            EXPECT_EQ(sim.simulatedPool, expected.pool);
            EXPECT_EQ(result.objectLines, static_cast<int>(expected.objects.size()));
            ExpectSameFields(SimParamFields(sim.Sim), SimParamFields(expected.sim.Sim));
            for (int k = 1; k <= sim.Sim.SimSizeCount; ++k) {
                EXPECT_EQ(sim.Pools(expected.pool).SimPoolSize(k), expected.sim.Pools(expected.pool).SimPoolSize(k));
                ExpectSameFields(SimPoolSizeFields(sim.Pools(expected.pool), k),
                                 SimPoolSizeFields(expected.sim.Pools(expected.pool), k));
            }
            for (int o = 1; o <= report.ObjectCount(); ++o) {
                SCOPED_TRACE("object " + std::to_string(o));
                EXPECT_EQ(sim.Objects(o).SimObjStat03, expected.sim.Objects(o).SimObjStat03);
                for (int k = 1; k <= sim.Sim.SimSizeCount; ++k) {
                    ExpectSameFields(SimObjectSizeFields(sim.Objects(o), k),
                                     SimObjectSizeFields(expected.sim.Objects(o), k));
                }
            }
        }
        EXPECT_EQ(sim.Sim.SimSizeLabel(1).Padded(), " VP10K  "); // kept with its blanks
    }
}

TEST(ReadSimulationFile, FindsThePoolByItsNamePaddedToSixCharacters) {
    struct Case {
        const char* simPool;
        std::vector<const char*> pools;
        int expected;
    };
    const Case cases[] = {
        {"BP1", {"BP10", "BP1"}, 2},
        {"bp1", {"BP0", "BP1"}, 2},
        {"BP1", {"BP10"}, 0},
        {"BP32K", {"BP32K1", "BP32K"}, 2},
    };
    for (const auto& c : cases) {
        Report report;
        SimulationData sim;
        for (const char* name : c.pools) {
            PoolRecord pool;
            pool.PoolName = name;
            report.AddPool(pool);
        }
        EXPECT_EQ(FindSimulatedPool(report, c.simPool), c.expected) << c.simPool;
    }
}

TEST(ReadSimulationFile, NamesAnObjectByItsWholeNameBeforeAPartOfOne) {
    SimFixture f = PoolWithObjects();
    f.objectLines = {SimFixture::Line("DB1.TS1", 10), SimFixture::Line("db1.ts10", 20), SimFixture::Line("IX1", 30)};
    const SimRun run = ReadAgainst(f);
    ASSERT_TRUE(run.result.Loaded());
    EXPECT_EQ(run.sim.Objects(3).SimGetPages(1), 11); // DB1.TS1, though DB1.TS10 comes first
    EXPECT_EQ(run.sim.Objects(2).SimGetPages(1), 21); // DB1.TS10
    EXPECT_EQ(run.sim.Objects(4).SimGetPages(1), 31); // DB1.IX1 contains IX1
    EXPECT_EQ(run.sim.Objects(1).SimGetPages(1), 0);  // the other pool's object is untouched
    EXPECT_EQ(FindSimulatedObject(run.report, 2, "   "), 0);
}

TEST(ReadSimulationFile, AnObjectLineIsStoredWholeOrNotAtAll) {
    SimFixture f = PoolWithObjects();
    f.objectLines = {SimFixture::Line("DB1.TS1", 10), SimFixture::Line("DB1.TS1", 90), SimFixture::Line("DB0.TS1", 5)};
    const SimLine last = SimFixture::Line("DB1.IX1", 40);
    f.extraLines = {samplegen::SimObjectLine(last.object, last.values, 3, true)};
    // The second line's third size has no number in SimAvgWorkSet.
    std::string text = f.SimText();
    std::vector<std::string> lines;
    for (std::size_t pos = 0; pos < text.size();) {
        const auto end = text.find("\r\n", pos);
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 2;
    }
    const ColumnDef badColumn = SimSizeColumns(3)[3];
    lines[4].replace(static_cast<std::size_t>(badColumn.Start - 1), 10, "   12.x   ");
    text.clear();
    for (const auto& line : lines) {
        text += line + "\r\n";
    }
    const test::TempDir dir;
    Report report;
    SimulationData sim;
    LoadStatistics(report, dir, f.stat.Text());
    std::vector<Message> messages;
    const SimReadResult result = ReadSim(report, sim, dir, text, &messages);
    ASSERT_TRUE(result.Loaded());
    ASSERT_EQ(messages.size(), 2U);
    EXPECT_EQ(messages[0],
              (Message{"Read Simulation Object Information",
                       ReadErrorReport("Type mismatch", 5, 5 + 8 * 2 + 3, badColumn.Start), MessageIcon::Exclamation}));
    EXPECT_EQ(messages[1],
              (Message{"Simulation Object Read Error", "Object Not Found In Buffer Pool", MessageIcon::Exclamation}));
    // The first line's values stay: none of the failed line's first sizes got in.
    for (int k = 1; k <= 3; ++k) {
        EXPECT_EQ(sim.Objects(3).SimGetPages(k), 10 + k);
        EXPECT_EQ(sim.Objects(3).SimAvgWorkSet(k), 10 * k);
    }
    EXPECT_EQ(sim.Objects(4).SimMaxWorkSet(2), 87);
    EXPECT_EQ(result.objectLines, 2);
    EXPECT_EQ(result.skippedLines, 2);
}

TEST(ReadSimulationFile, ChecksThatOneSimulatedSizeIsThePoolsOwn) {
    const SimRun fits = ReadAgainst(PoolWithObjects(200, 0));
    EXPECT_TRUE(fits.result.Loaded());
    EXPECT_EQ(fits.sim.Pools(2).SimPoolSize(2), 200);

    const SimRun refused = ReadAgainst(PoolWithObjects(200, 100));
    EXPECT_EQ(refused.result.outcome, SimReadOutcome::SizeMismatch);
    ASSERT_EQ(refused.messages.size(), 1U);
    EXPECT_EQ(refused.messages[0], (Message{"", "A Simulation Size Must match Original Pool Size", MessageIcon::None}));
    EXPECT_FALSE(refused.sim.SimFileLoaded);
    EXPECT_EQ(refused.sim.simulatedPool, 2);             // the pool stays current
    EXPECT_EQ(refused.sim.Pools(2).SimPoolSize(3), 400); // and keeps what was read
}

struct RefusalCase {
    const char* name;
    std::function<void(SimFixture&)> change;
    std::vector<std::string> preamble;
    SimReadOutcome outcome;
    Message message;
    bool clearPath;
    bool beep;
};

TEST(ReadSimulationFile, RefusesFilesThatDoNotFitTheStatistics) {
    const auto error = [](const char* title, const std::string& description, int line, int field, int column) {
        return Message{title, ReadErrorReport(description, line, field, column), MessageIcon::Exclamation};
    };
    const Message include{"Simulation File Read Error", "Can not analyse file containing Include Objects",
                          MessageIcon::Exclamation};
    const RefusalCase cases[] = {
        {"include object in the preamble",
         [](SimFixture&) {},
         {"BPO                 I DB1.TS1"},
         SimReadOutcome::IncludeObjects,
         include,
         true,
         false},
        {"include object among the object lines",
         [](SimFixture& f) { f.extraLines = {"BPO                 IDB1.TS1"}; },
         {},
         SimReadOutcome::IncludeObjects,
         include,
         false,
         true},
        {"one simulated size",
         [](SimFixture& f) { f.sim.SimSizeCount = 1; },
         {},
         SimReadOutcome::TooFewSizes,
         Message{"", "Too Few Simulation Combinations", MessageIcon::None},
         true,
         false},
        {"no pool of that name",
         [](SimFixture& f) { f.sim.SimPoolName = "BP9"; },
         {},
         SimReadOutcome::PoolLineError,
         error("Read Simulation Buffer Pool Information",
               "Subscript out of range (no pool of the statistics is named BP9)", 3, 0, 0),
         false,
         false},
        {"nine simulated sizes",
         [](SimFixture& f) { f.sim.SimSizeCount = 9; },
         {},
         SimReadOutcome::PoolLineError,
         error("Read Simulation Buffer Pool Information",
               "Subscript out of range (at most 8 simulated sizes, the report has 9)", 3, 1, 433),
         false,
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SimFixture f = PoolWithObjects();
        c.change(f);
        const SimRun run = ReadAgainst(f, c.preamble);
        EXPECT_EQ(run.result.outcome, c.outcome);
        ASSERT_EQ(run.messages.size(), 1U);
        EXPECT_EQ(run.messages[0], c.message);
        EXPECT_EQ(run.result.clearPath, c.clearPath);
        EXPECT_EQ(run.result.beep, c.beep);
        EXPECT_FALSE(run.sim.SimFileLoaded);
    }
}

TEST(ReadSimulationFile, AcceptsOtherIncludeMarksAndLowerCase) {
    SimFixture f = PoolWithObjects();
    f.extraLines = {"BPO                 iDB1.TS1", "BPO                 EDB1.TS1"};
    const SimRun run = ReadAgainst(f, {"BPO                 i DB1.TS1", "    HEADING  I IN COLUMN 14"});
    EXPECT_TRUE(run.result.Loaded());
    EXPECT_TRUE(run.messages.empty());
}

TEST(ReadSimulationFile, ReportsBadParameterLines) {
    const test::TempDir dir;
    SimFixture f = PoolWithObjects();
    Report report;
    SimulationData sim;
    LoadStatistics(report, dir, f.stat.Text());

    // A size pair beyond the size count must still hold a number.
    std::string text = f.SimText();
    const ColumnDef vp7 = SimParamColumns()[10 + 2 * 6];
    const auto bpp = text.find("*BPP");
    text.replace(bpp + static_cast<std::size_t>(vp7.Start - 1), 10, "          ");
    std::vector<Message> messages;
    SimReadResult result = ReadSim(report, sim, dir, text, &messages);
    EXPECT_EQ(result.outcome, SimReadOutcome::ParameterError);
    EXPECT_TRUE(result.clearPath);
    ASSERT_EQ(messages.size(), 1U);
    EXPECT_EQ(messages[0], (Message{"Read Simulation Report Information",
                                    ReadErrorReport("Type mismatch", 2, 23, vp7.Start), MessageIcon::Exclamation}));

    result = ReadSim(report, sim, dir, "ENV SIMULATION USA\r\n    HEADING\r\n", &messages);
    EXPECT_EQ(result.outcome, SimReadOutcome::ParameterError);
    EXPECT_EQ(messages.at(0).text, ReadErrorReport("Input past end of file", 2, 0, 0));

    result = ReadSim(report, sim, dir, "SIMULATION\r\n", &messages);
    EXPECT_EQ(result.outcome, SimReadOutcome::FormatError);
    EXPECT_EQ(messages.at(0), (Message{"File IO", "Incorrect File Format, Use A Flat File", MessageIcon::Exclamation}));

    result = ReadSim(report, sim, dir, "", &messages);
    EXPECT_EQ(result.outcome, SimReadOutcome::Failed);
    EXPECT_EQ(messages.at(0), (Message{"Read Simulation File", "Input past end of file", MessageIcon::Information}));
}

TEST(ReadSimulationFile, NeedsLoadedStatisticsAndOpensNothingWithout) {
    Report report;
    SimulationData sim;
    const SimReadResult result = ReadSimulationFile(report, sim, "/nonexistent/report.sim");
    EXPECT_EQ(result.outcome, SimReadOutcome::NoStatistics);
    const Messages messages = MessagesOf(result);
    ASSERT_EQ(messages.size(), 1U); // no second box about the missing file
    EXPECT_EQ(messages[0], (Message{"Simulation File", "Please Read Statistics File First", MessageIcon::Critical}));
}

TEST(ReadSimulationFile, AStoppedReadLeavesNoSimulationLoaded) {
    const test::TempDir dir;
    SimFixture good = PoolWithObjects();
    Report report;
    SimulationData sim;
    LoadStatistics(report, dir, good.stat.Text());
    ASSERT_TRUE(ReadSim(report, sim, dir, good.SimText()).Loaded());
    ASSERT_TRUE(sim.SimFileLoaded);

    SimFixture refused = PoolWithObjects();
    refused.sim.SimVPSize(2) = 300;
    EXPECT_EQ(ReadSim(report, sim, dir, refused.SimText()).outcome, SimReadOutcome::SizeMismatch);
    EXPECT_FALSE(sim.SimFileLoaded);
}

TEST(ReadSimulationFile, AnEndlessLineIsAReadFailureOfThatLine) {
    const std::string endless(ReportLineReader::MaxLineBytes + 1, 'x');
    SimFixture f = PoolWithObjects();
    const std::string whole = f.SimText();
    const std::size_t afterEnv = whole.find("\r\n") + 2;
    const std::size_t afterPool = whole.find("\r\n", whole.find("\r\n", afterEnv) + 2) + 2;
    struct Case {
        const char* name;
        std::string text;
        const char* expected;
    };
    const Case cases[] = {
        {"first line", endless, "Line 1 is longer than 1 MiB: not a report file"},
        {"before the parameters", whole.substr(0, afterEnv) + endless, "Line 2 is longer than 1 MiB: not a report file"},
        {"pool line", whole.substr(0, whole.find("\r\n", afterEnv) + 2) + endless,
         "Line 3 is longer than 1 MiB: not a report file"},
        {"among the objects", whole.substr(0, afterPool) + endless, "Line 4 is longer than 1 MiB: not a report file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const test::TempDir dir;
        Report report;
        SimulationData sim;
        LoadStatistics(report, dir, f.stat.Text());
        std::vector<Message> messages;
        const SimReadResult result = ReadSim(report, sim, dir, c.text, &messages);
        EXPECT_EQ(result.outcome, SimReadOutcome::Failed);
        EXPECT_FALSE(sim.SimFileLoaded);
        EXPECT_EQ(messages, (Messages{{"Read Simulation File", c.expected, MessageIcon::Information}}));
    }
}

TEST(ReadSimulationFile, AnObjectOfAnotherPoolIsReportedAndReadingGoesOn) {
    SimFixture f = PoolWithObjects();
    f.objectLines = {SimFixture::Line("DB0.TS1", 1), SimFixture::Line("DB1.IX1", 2)};
    const SimRun run = ReadAgainst(f);
    ASSERT_TRUE(run.result.Loaded());
    ASSERT_EQ(run.messages.size(), 1U);
    EXPECT_EQ(run.messages[0].text, "Object Not Found In Buffer Pool");
    EXPECT_EQ(run.sim.Objects(1).SimGetPages(1), 0);
    EXPECT_EQ(run.sim.Objects(4).SimGetPages(1), 3);
}

} // namespace
} // namespace ornexa
