#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "report/column_tables.h"
#include "report/stat_reader.h"
#include "sim_writer.h"
#include "simulation/sim_reader.h"
#include "stat_fixture.h"
#include "stat_writer.h"

namespace ornexa {
namespace {

// The names the user knows the files by; the files themselves lie in a folder of the test.
const ReadFiles Files{"site/usa.sta", "site/bp1.sim"};

Messages ReadStat(const test::TempDir& dir, const std::string& text, const ReportLimits& limits = {}) {
    Report report;
    return MessagesOf(ReadStatisticsFile(report, dir.Write("usa.sta", text), {}, FileKinds::Any, limits), Files);
}

// A Statistics report of pools BP0 and BP1 (size 200), each with an object.
std::string TwoPools() {
    PoolRecord bp1 = test::TestPool("BP1");
    bp1.VPSize = 200;
    bp1.HPSize = 0;
    return test::StatLines().Header().Pool("BP0").Object("BP0", "DB0.TS1").Pool(bp1).Object("BP1", "DB1.TS1").Text();
}

// A Simulation report of `pool` at `sizes`, with the lines given after the parameter line.
struct SimText {
    std::string pool = "BP1";
    std::vector<Long> sizes = {100, 200, 400};
    std::vector<std::string> preamble;
    bool parameters = true;
    bool poolLine = true;
    std::vector<std::string> after;

    [[nodiscard]] std::string Text() const {
        SimParameters sim;
        sim.SimPoolName = pool;
        sim.SimSizeCount = static_cast<std::int16_t>(sizes.size());
        for (int k = 1; k <= static_cast<int>(sizes.size()) && k <= MaxSimSizes; ++k) {
            sim.SimVPSize(k) = sizes[static_cast<std::size_t>(k - 1)];
        }
        std::string text = samplegen::EnvironmentLine("USA") + "\r\n";
        for (const auto& line : preamble) {
            text += line + "\r\n";
        }
        if (parameters) {
            text += samplegen::SimParamLine(sim, true) + "\r\n";
        }
        const int held = std::min<int>(sim.SimSizeCount, MaxSimSizes);
        if (parameters && poolLine) {
            text += samplegen::SimPoolLine(PoolSimulation{}, held, true) + "\r\n";
        }
        for (const auto& line : after) {
            text += line + "\r\n";
        }
        return text;
    }
};

std::string ObjectLine(std::string_view name) {
    ObjectSimulation values;
    return samplegen::SimObjectLine(test::TestObject("BP1", name), values, 3, true);
}

Messages ReadSim(const test::TempDir& dir, const std::string& simText, const std::string& statText = TwoPools()) {
    Report report;
    if (!statText.empty()) {
        EXPECT_TRUE(ReadStatisticsFile(report, dir.Write("usa.sta", statText)).Loaded());
    }
    SimulationData sim;
    return MessagesOf(ReadSimulationFile(report, sim, dir.Write("bp1.sim", simText)), Files);
}

struct HintCase {
    const char* name;
    std::function<Messages(const test::TempDir&)> read;
    std::string text;              // the box's own text, or the start of it
    std::vector<std::string> hint; // what the advice must say, in order
};

// Every fault a read can meet is told with the box's own text and, below it, which file, what is
// wrong and what to do.
TEST(ReadHints, EveryFaultNamesItsFileAndWhatToDo) {
    const std::string simLines = SimText{}.Text();
    const std::vector<HintCase> cases = {
        {"statistics that cannot be opened",
         [](const test::TempDir& dir) {
             Report report;
             return MessagesOf(ReadStatisticsFile(report, dir.Path() / "gone.sta"), Files);
         },
         "",
         {"ORNEXA could not read site/usa.sta", "still there"}},
        {"empty statistics",
         [](const test::TempDir& dir) { return ReadStat(dir, ""); },
         "Input past end of file",
         {"site/usa.sta is empty", "Transfer the Statistics report"}},
        {"not a report",
         [](const test::TempDir& dir) { return ReadStat(dir, "not a report\r\nat all\r\n"); },
         "Incorrect File Format, Use A Flat File",
         {"site/usa.sta is not a Statistics report", "flat text file"}},
        {"header missing",
         [](const test::TempDir& dir) { return ReadStat(dir, samplegen::EnvironmentLine("USA") + "\r\n"); },
         "Error information :\tError Description : \"Input past end of file\"",
         {"site/usa.sta ends after its first line", "Transfer the whole report"}},
        {"pool field not a number",
         [](const test::TempDir& dir) {
             return ReadStat(
                 dir, test::StatLines().Header().Pool("BP0").Pool("BP1").SetLastField(PoolColumns()[3], "X").Text());
         },
         "Error information :\tError Description : \"Type mismatch\"",
         {"Field 4 of line 4 of site/usa.sta (a pool line, from column 34) is not a number",
          "what comes before it is read"}},
        {"pool field too large",
         [](const test::TempDir& dir) {
             return ReadStat(
                 dir, test::StatLines().Header().Pool("BP0").SetLastField(PoolColumns()[3], "9999999999").Text());
         },
         "Error information :\tError Description : \"Overflow\"",
         {"Field 4 of line 3 of site/usa.sta", "holds a number too large for it"}},
        {"more pools than the limits",
         [](const test::TempDir& dir) {
             return ReadStat(dir, TwoPools(), {1, 5000});
         },
         "Error information :\tError Description : \"Subscript out of range",
         {"site/usa.sta holds more pool lines than the limits in force allow (line 5 is the first left out)",
          "larger limits"}},
        {"no pool line",
         [](const test::TempDir& dir) { return ReadStat(dir, test::StatLines().Header().Text()); },
         "Subscript out of range (the file holds no pool line)",
         {"site/usa.sta holds no buffer pool line"}},
        {"object before the first pool",
         [](const test::TempDir& dir) {
             return ReadStat(dir, test::StatLines().Header().Object("BP0", "DB0.TS1").Text());
         },
         "Subscript out of range (line 3 is an object line before the first pool line)",
         {"Line 3 of site/usa.sta is an object line before any pool line", "start of the report is missing"}},
        {"statistics cut short",
         [](const test::TempDir& dir) {
             test::StatLines lines;
             ReportHeader header;
             header.ReportPoolCount = 9;
             lines.lines.push_back(samplegen::HeaderLine(header, true));
             return ReadStat(dir, lines.Pool("BP0").Pool("BP1").Text());
         },
         "The report names 9 buffer pools but the file holds 2: it may have been cut short.",
         {"site/usa.sta names 9 buffer pools in its header but holds 2", "Transfer the whole report"}},
        {"simulation before statistics",
         [&simLines](const test::TempDir& dir) { return ReadSim(dir, simLines, ""); },
         "Please Read Statistics File First",
         {"open that Statistics report first, then site/bp1.sim"}},
        {"empty simulation",
         [](const test::TempDir& dir) { return ReadSim(dir, ""); },
         "Input past end of file",
         {"site/bp1.sim is empty", "Transfer the Simulation report"}},
        {"simulation not a report",
         [](const test::TempDir& dir) { return ReadSim(dir, "no report\r\n"); },
         "Incorrect File Format, Use A Flat File",
         {"site/bp1.sim is not a Simulation report"}},
        {"include objects",
         [](const test::TempDir& dir) {
             SimText sim;
             sim.preamble = {std::string(20, ' ') + "I"};
             return ReadSim(dir, sim.Text());
         },
         "Can not analyse file containing Include Objects",
         {"site/bp1.sim was made with include objects", "without them"}},
        {"no parameter line",
         [](const test::TempDir& dir) {
             SimText sim;
             sim.parameters = false;
             return ReadSim(dir, sim.Text());
         },
         "Error information :\tError Description : \"Input past end of file\"",
         {"site/bp1.sim has no parameter line (\"*BPP\")"}},
        {"too few sizes",
         [](const test::TempDir& dir) {
             SimText sim;
             sim.sizes = {200};
             return ReadSim(dir, sim.Text());
         },
         "Too Few Simulation Combinations",
         {"site/bp1.sim simulates fewer than two pool sizes"}},
        {"pool line missing",
         [](const test::TempDir& dir) {
             SimText sim;
             sim.poolLine = false;
             return ReadSim(dir, sim.Text());
         },
         "Error information :\tError Description : \"Input past end of file\"",
         {"site/bp1.sim ends before the pool line"}},
        {"pool the statistics do not hold",
         [](const test::TempDir& dir) {
             SimText sim;
             sim.pool = "BP7";
             return ReadSim(dir, sim.Text());
         },
         "Error information :\tError Description : \"Subscript out of range (no pool of the statistics is named BP7)",
         {"site/bp1.sim describes pool BP7, which site/usa.sta does not hold: choose the Simulation report of one "
          "of its pools."}},
        {"too many sizes",
         [](const test::TempDir& dir) {
             SimText sim;
             sim.sizes = {100, 200, 300, 400, 500, 600, 700, 800, 900};
             return ReadSim(dir, sim.Text());
         },
         "Error information :\tError Description : \"Subscript out of range (at most 8",
         {"site/bp1.sim simulates more pool sizes than ORNEXA reads (at most 8)"}},
        {"no size is the pool's own",
         [](const test::TempDir& dir) {
             SimText sim;
             sim.sizes = {100, 300};
             return ReadSim(dir, sim.Text());
         },
         "A Simulation Size Must match Original Pool Size",
         {"None of the sizes site/bp1.sim simulates for pool BP1 is the size of BP1 in site/usa.sta"}},
        {"object not in the pool",
         [](const test::TempDir& dir) {
             SimText sim;
             sim.after = {ObjectLine("DB9.GONE")};
             return ReadSim(dir, sim.Text());
         },
         "Object Not Found In Buffer Pool",
         {"Line 4 of site/bp1.sim names object DB9.GONE, which the simulated pool of site/usa.sta does not hold",
          "the line is left out"}},
        {"object field not a number",
         [](const test::TempDir& dir) {
             SimText sim;
             std::string line = ObjectLine("DB1.TS1");
             line[64] = 'X'; // inside field 5, the getpages at the first size
             sim.after = {line};
             return ReadSim(dir, sim.Text());
         },
         "Error information :\tError Description : \"Type mismatch\"",
         {"of line 4 of site/bp1.sim (an object line", "is not a number: the line is left out"}},
    };
    for (const HintCase& c : cases) {
        SCOPED_TRACE(c.name);
        const test::TempDir dir;
        const Messages told = c.read(dir);
        ASSERT_FALSE(told.empty());
        const Message& box = told.back();
        EXPECT_TRUE(box.text.starts_with(c.text)) << box.text;
        std::size_t at = 0;
        for (const std::string& part : c.hint) {
            const std::size_t found = box.hint.find(part, at);
            EXPECT_NE(found, std::string::npos) << "\"" << part << "\" in \"" << box.hint << "\"";
            at = found == std::string::npos ? at : found + part.size();
        }
        EXPECT_TRUE(box.hint.ends_with(".")) << box.hint;
    }
}

// The boxes without file names stay as they were: the window of an import and the tests compare them whole.
TEST(ReadHints, ABoxWithoutFilesHasNoHintAndAFaultWithoutNamesSaysWhichReport) {
    const test::TempDir dir;
    Report report;
    const StatReadResult empty = ReadStatisticsFile(report, dir.Write("x.sta", ""));
    ASSERT_TRUE(empty.fault);
    EXPECT_TRUE(MessagesOf(empty).front().hint.empty());
    EXPECT_EQ(HintOf(*empty.fault, {}), "The Statistics report is empty. Transfer the Statistics report from the "
                                        "host again, then open it.");
}

} // namespace
} // namespace ornexa
