// ornexa-report --budget: the split of a storage budget among the pools, as text and JSON, with its
// bounds, the history's sizes and Db2's simulated pools.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <array>
#include <string>

#include "display_writer.h"
#include "run_report.h"
#include "sample_report.h"
#include "stat_fixture.h"
#include "stat_writer.h"

namespace ornexa {
namespace {

using test::Outcome;
using test::RunReport;

const std::string Sample = std::string(ORNEXA_SAMPLES_DIR) + "/statistics-usa.sta";
const std::string SampleSim = std::string(ORNEXA_SAMPLES_DIR) + "/simulation-bp1.sim";

nlohmann::json Sizing(const std::string& arguments) {
    const Outcome run = RunReport(arguments + " --json");
    EXPECT_EQ(run.exitCode, 0) << arguments;
    return nlohmann::json::parse(run.out);
}

const nlohmann::json& PoolOf(const nlohmann::json& doc, const std::string& name) {
    for (const auto& pool : doc["pools"]) {
        if (pool["name"] == name) {
            return pool;
        }
    }
    ADD_FAILURE() << "no pool " << name;
    static const nlohmann::json none;
    return none;
}

TEST(SizingCli, TheSimulatedPoolIsSizedByItsSimulationAndEveryPoolTellsItsFigures) {
    const auto doc = Sizing(Sample + " --sim " + SampleSim + " --budget +200M");
    EXPECT_EQ(doc["schema"], "ornexa-sizing/1");
    EXPECT_EQ(doc["budget_bytes"], 200LL * 1024 * 1024);
    EXPECT_LE(doc["placed_bytes"].get<std::int64_t>(), doc["budget_bytes"].get<std::int64_t>());
    EXPECT_GT(doc["placed_bytes"].get<std::int64_t>(), 0);
    for (const char* key : {"file", "system", "subsystem", "collected_at", "reads_saved_per_second", "request", "pools",
                            "commands", "messages"}) {
        EXPECT_TRUE(doc.contains(key)) << key;
    }
    EXPECT_EQ(doc["request"]["load_band"], 0.25);
    ASSERT_EQ(doc["pools"].size(), 9U);
    const auto& bp1 = PoolOf(doc, "BP1");
    EXPECT_EQ(bp1["confidence"], "high");
    EXPECT_EQ(bp1["evidence_counts"]["simulation"], 4);
    EXPECT_EQ(bp1["evidence_counts"]["estimate"], 0);
    // The simulated sizes saved less per byte than the other pools' estimates: BP1 keeps its size.
    EXPECT_EQ(bp1["proposed_buffers"], 20000);
    EXPECT_TRUE(bp1["command"].is_null());
    double saved = 0;
    std::int64_t placed = 0;
    std::size_t commands = 0;
    for (const auto& pool : doc["pools"]) {
        const std::int64_t moved = pool["proposed_buffers"].get<std::int64_t>() - pool["current_buffers"].get<int>();
        EXPECT_EQ(pool["bytes"], moved * pool["page_size_kb"].get<int>() * 1024) << pool["name"];
        EXPECT_NEAR(pool["reads_saved_per_second"].get<double>(),
                    pool["sync_reads_per_second_now"].get<double>() -
                        pool["sync_reads_per_second_proposed"].get<double>(),
                    1e-6);
        saved += pool["reads_saved_per_second"].get<double>();
        placed += pool["bytes"].get<std::int64_t>();
        if (moved != 0) {
            ++commands;
            EXPECT_EQ(pool["command"], "-ALTER BUFFERPOOL(" + pool["name"].get<std::string>() + ") VPSIZE(" +
                                           std::to_string(pool["proposed_buffers"].get<std::int64_t>()) + ")");
        }
    }
    EXPECT_EQ(placed, doc["placed_bytes"]);
    EXPECT_NEAR(saved, doc["reads_saved_per_second"].get<double>(), 1e-6);
    EXPECT_EQ(doc["commands"].size(), commands);

    const Outcome text = RunReport(Sample + " --sim " + SampleSim + " --budget +200M");
    EXPECT_EQ(text.exitCode, 0);
    EXPECT_EQ(
        text.out.rfind("Pool sizing of " + Sample + " (SYSA DB2P, collected 2026-11-30T10:15:00): budget +200 MB", 0),
        0U)
        << text.out;
    EXPECT_NE(text.out.find("BP1           4K    20000     20000       0 MB"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("high        1 measured, 4 simulated"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("\n-- Pool sizing for a budget of +200 MB"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("\n" + doc["commands"][0].get<std::string>() + "\n"), std::string::npos);
}

TEST(SizingCli, WithoutTheEstimateTheBudgetGoesOnlyWhereEvidenceSpeaks) {
    const auto doc = Sizing(Sample + " --sim " + SampleSim + " --budget +200M --no-estimate");
    EXPECT_EQ(doc["request"]["estimate"], false);
    const auto& bp1 = PoolOf(doc, "BP1");
    // The simulation's next size past 40000 saves nothing: BP1 takes what its curve can use.
    EXPECT_EQ(bp1["command"],
              "-ALTER BUFFERPOOL(BP1) VPSIZE(" + std::to_string(bp1["proposed_buffers"].get<std::int64_t>()) + ")");
    EXPECT_GT(bp1["proposed_buffers"].get<std::int64_t>(), 20000);
    EXPECT_EQ(doc["placed_bytes"], bp1["bytes"]);
    const auto& bp0 = PoolOf(doc, "BP0");
    EXPECT_EQ(bp0["confidence"], "none");
    EXPECT_EQ(bp0["left_alone"], "nothing tells its reads at another size");
    EXPECT_EQ(bp0["proposed_buffers"], bp0["current_buffers"]);
}

TEST(SizingCli, ANegativeBudgetGivesBackWithinItAndTheBoundsHold) {
    const auto back = Sizing(Sample + " --budget=-100M");
    // Giving back frees at least the budget, the last step passing it.
    EXPECT_LE(back["placed_bytes"].get<std::int64_t>(), -100LL * 1024 * 1024);
    const auto& freed = PoolOf(back, "BP2");
    EXPECT_LT(freed["proposed_buffers"].get<int>(), 30000);
    EXPECT_LT(freed["reads_saved_per_second"].get<double>(), 0);

    // BP2 protected, given as a repeated option in any case; BP4 capped.
    const auto kept = Sizing(Sample + " --budget -100M --protect bp2 --protect BP3");
    EXPECT_EQ(PoolOf(kept, "BP2")["proposed_buffers"], 30000);
    EXPECT_EQ(PoolOf(kept, "BP3")["proposed_buffers"], 15000);
    EXPECT_EQ(kept["request"]["protect"], nlohmann::json::parse(R"(["BP2","BP3"])"));
    const auto capped = Sizing(Sample + " --budget +1G --max BP4=12000,BP7=6000 --max BP8=8000");
    EXPECT_EQ(PoolOf(capped, "BP4")["proposed_buffers"], 12000);
    EXPECT_EQ(PoolOf(capped, "BP7")["proposed_buffers"], 6000);
    EXPECT_EQ(PoolOf(capped, "BP8")["proposed_buffers"], 8000);
    EXPECT_GT(PoolOf(capped, "BP3")["proposed_buffers"].get<int>(), 15000);
    EXPECT_EQ(capped["request"]["max"]["BP4"], 12000);

    // More than the curves reach: what can be given back is, and the text says the budget is not met.
    const Outcome givenBack = RunReport(Sample + " --budget -1G");
    EXPECT_EQ(givenBack.exitCode, 0);
    EXPECT_NE(
        givenBack.out.find("\nOnly -214.84 MB of the budget can be given back: no curve reaches a smaller size.\n"),
        std::string::npos)
        << givenBack.out;

    // A bound on a pool the report lacks is a warning; the split goes on.
    const Outcome unknown = RunReport(Sample + " --budget +100M --protect BP99", true);
    EXPECT_EQ(unknown.exitCode, 0);
    EXPECT_EQ(unknown.out.rfind("ornexa-report: warning: The report has no pool BP99 to protect.\n", 0), 0U)
        << unknown.out;
    const auto doc = Sizing(Sample + " --budget +100M --protect BP99");
    ASSERT_EQ(doc["messages"].size(), 1U);
    EXPECT_EQ(doc["messages"][0]["text"], "The report has no pool BP99 to protect.");
}

TEST(SizingCli, WrongTextsAndOptionsAreRefusedWithWhatIsWrong) {
    struct Case {
        std::string arguments;
        std::string message;
    };
    const std::array<Case, 11> cases{{
        {"--budget +2X", "--budget: \"+2X\" has the unit \"X\"; give megabytes or gigabytes with a sign, such as "
                         "+2G, -1G or +200M"},
        {"--budget lots", "--budget: \"lots\" is no budget; give megabytes"},
        {"--budget +1G --max BP1=x", "--max: \"BP1=x\" is no largest size; give a pool and its buffers, such as "
                                     "BP1=200000"},
        {"--budget +1G --protect BP0,,BP1", "--protect: \"BP0,,BP1\" has an empty pool name"},
        {"--budget +1G --load-band 200", "--load-band: the load band is a percentage from 0 to 100, such as 25"},
        {"--protect BP0", "--protect requires --budget"},
        {"--load-band 10", "--load-band requires --budget"},
        {"--no-estimate", "--no-estimate requires --budget"},
        {"--budget +1G --csv pools", "--csv excludes --budget"},
        {"--budget +1G --pool BP1", "--pool: does not go with --budget"},
        {"--budget +1G --history-timeout 5", "--history-timeout requires --history"},
    }};
    for (const Case& c : cases) {
        const Outcome run = RunReport(Sample + " " + c.arguments, true);
        EXPECT_EQ(run.exitCode, 2) << c.arguments;
        EXPECT_EQ(run.out.rfind(c.message, 0), 0U) << c.arguments << "\n" << run.out;
    }
    EXPECT_EQ(RunReport("--budget +1G", true).out.rfind("STATFILE is required", 0), 0U);
}

// Reports of the sample at other sizes of BP3, at the same load, reading less the larger the pool.
struct SizeHistory {
    test::TempDir dir;
    std::string db = (dir.Path() / "history.db").string();
    std::filesystem::path current = dir.Path() / "current.sta";

    SizeHistory() {
        const std::array<const char*, 3> dates{"2026-11-27", "2026-11-28", "2026-11-29"};
        const std::array<int, 3> sizes{20000, 20000, 30000};
        std::string files;
        for (std::size_t i = 0; i < dates.size(); ++i) {
            Report report = samplegen::BuildSampleReport();
            report.Header.CollectionDate = dates[i];
            PoolRecord& bp3 = PoolNamed(report, "BP3");
            // Fewer reads at a larger size, at the same load.
            bp3.PoolReadIOsByType(1) =
                static_cast<Long>(std::int64_t{bp3.PoolReadIOsByType(1)} * 15000 / sizes[i] * 9 / 10);
            bp3.VPSize = sizes[i];
            const auto path = dir.Path() / ("h" + std::to_string(i) + ".sta");
            samplegen::WriteTextFile(path, samplegen::StatisticsText(report));
            files += " " + path.string();
        }
        samplegen::WriteTextFile(current, samplegen::StatisticsText(samplegen::BuildSampleReport()));
        EXPECT_EQ(RunReport("--history " + db + " --import" + files).exitCode, 0);
    }

    static PoolRecord& PoolNamed(Report& report, const std::string& name) {
        for (int p = 1; p <= report.PoolCount(); ++p) {
            if (report.Pools(p).PoolName.Trimmed() == name) {
                return report.Pools(p);
            }
        }
        ADD_FAILURE() << "no pool " << name;
        return report.Pools(1);
    }
};

TEST(SizingCli, TheHistoryAtOtherSizesGivesAPoolItsCurve) {
    const SizeHistory h;
    const auto doc = Sizing(h.current.string() + " --history " + h.db + " --budget +100M");
    const auto& bp3 = PoolOf(doc, "BP3");
    EXPECT_EQ(bp3["confidence"], "medium");
    EXPECT_EQ(bp3["evidence_counts"]["history"], 2);
    EXPECT_EQ(bp3["evidence_counts"]["estimate"], 0);
    bool twoReports = false;
    for (const auto& point : bp3["points"]) {
        if (point["evidence"] == "history" && point["buffers"] == 20000) {
            twoReports = point["reports"] == 2;
        }
    }
    EXPECT_TRUE(twoReports) << bp3.dump(1);
    // Pools the history saw at their own size only keep the estimate.
    EXPECT_EQ(PoolOf(doc, "BP2")["confidence"], "low");

    // The reports of one seed have the same load: even a band of nothing counts them.
    EXPECT_EQ(PoolOf(Sizing(h.current.string() + " --history " + h.db + " --budget +100M --load-band 0"),
                     "BP3")["confidence"],
              "medium");
    const Outcome text = RunReport(h.current.string() + " --history " + h.db + " --budget +100M");
    EXPECT_NE(text.out.find("medium      1 measured, 2 history"), std::string::npos) << text.out;

    const Outcome missing =
        RunReport(h.current.string() + " --history " + h.dir.Path().string() + " --budget +1G", true);
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.out.find("cannot open the history"), std::string::npos) << missing.out;
}

TEST(SizingCli, ADisplayWithSimulatedPoolsGivesDb2SimulatedPoints) {
    samplegen::DisplaySampleOptions options;
    options.simulate = true;
    options.series = 2;
    const test::TempDir dir;
    const auto file = dir.Write("db2a.log", samplegen::WriteDisplaySample(options));
    const auto doc = Sizing(file.string() + " --budget +500M");
    EXPECT_EQ(doc["system"], "SYSA");
    int simulated = 0;
    for (const auto& pool : doc["pools"]) {
        if (pool["evidence_counts"]["db2_simulated"] == 1) {
            ++simulated;
            EXPECT_EQ(pool["confidence"], "high") << pool["name"];
        }
    }
    EXPECT_GT(simulated, 0) << doc.dump(1);
    EXPECT_EQ(RunReport(file.string() + " --budget +500M").exitCode, 0);
}

} // namespace
} // namespace ornexa
