#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "advice/pool_commands.h"
#include "display_fixture.h"
#include "report/field_presence.h"
#include "report/record_catalogue.h"
#include "rules/config_rules.h"
#include "rules/group_pool_rules.h"
#include "stat_fixture.h"

namespace ornexa {
namespace {

Db2GroupPoolFacts Gbp0(std::int64_t reclaims, std::int64_t failed) {
    Db2GroupPoolFacts pool;
    pool.name = "GBP0";
    pool.figures.Set(GroupPoolFigure::StructureSize, 40960);
    pool.figures.Set(GroupPoolFigure::DirectoryEntries, 1000);
    pool.figures.Set(GroupPoolFigure::DataEntries, 1000);
    pool.figures.Set(GroupPoolFigure::RatioTenths, 50);
    pool.figures.Set(GroupPoolFigure::DirectoryReclaims, reclaims);
    pool.figures.Set(GroupPoolFigure::CrossInvalidationsByReclaim, reclaims / 2);
    pool.figures.Set(GroupPoolFigure::WritesFailedNoStorage, failed);
    return pool;
}

std::vector<GroupPoolRule> Rules(const std::vector<GroupPoolFinding>& found) {
    std::vector<GroupPoolRule> rules;
    rules.reserve(found.size());
    for (const GroupPoolFinding& f : found) {
        rules.push_back(f.rule);
    }
    return rules;
}

TEST(GroupPoolFindings, FireAboveZeroWithTheirFigureThresholdAndSource) {
    struct Case {
        const char* name;
        Db2GroupPoolFacts pool;
        std::vector<GroupPoolRule> expected;
    };
    Db2GroupPoolFacts notShown;
    notShown.name = "GBP1";
    const std::vector<Case> cases = {
        {"quiet", Gbp0(0, 0), {}},
        {"reclaims", Gbp0(1, 0), {GroupPoolRule::DirectoryReclaims}},
        {"failed writes", Gbp0(0, 8), {GroupPoolRule::WritesFailedNoStorage}},
        {"both, in rule order",
         Gbp0(1234, 8),
         {GroupPoolRule::DirectoryReclaims, GroupPoolRule::WritesFailedNoStorage}},
        {"figures not shown are no zeros and no findings", notShown, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<GroupPoolFinding> found = GroupPoolFindings(c.pool);
        EXPECT_EQ(Rules(found), c.expected);
        for (const GroupPoolFinding& f : found) {
            EXPECT_EQ(f.threshold, 0);
            EXPECT_EQ(f.value, c.pool.figures.Get(f.figure));
            EXPECT_TRUE(f.source.starts_with("https://www.ibm.com/docs/")) << f.source;
        }
    }
    const std::vector<GroupPoolFinding> found = GroupPoolFindings(Gbp0(1234, 8), {',', '.'});
    EXPECT_EQ(found[0].text, "Directory entry reclaims 1.234 above 0 (cross-invalidations by reclaim 617): too few "
                             "directory entries; raise the RATIO or the structure size");
    EXPECT_NE(found[1].text.find("Writes failed for lack of storage 8 above 0"), std::string::npos);
}

TEST(GroupPoolCommands, ComputeTheRatioAndTheStructureSize) {
    struct Case {
        const char* name;
        std::int64_t ratioTenths, directory, reclaims;
        std::optional<std::int64_t> expected;
    };
    const std::vector<Case> cases = {
        {"room for the reclaimed entries", 50, 1000, 100, 55},
        {"at least a tenth more", 50, 1000, 1, 51},
        {"no more than 255", 2000, 100, 1000, 2550},
        {"no reclaims, no ratio", 50, 1000, 0, std::nullopt},
        {"no directory entries shown, no ratio", 50, 0, 100, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Db2GroupPoolFacts pool = Gbp0(c.reclaims, 0);
        pool.figures.Set(GroupPoolFigure::RatioTenths, c.ratioTenths);
        pool.figures.Set(GroupPoolFigure::DirectoryEntries, c.directory);
        EXPECT_EQ(ProposedRatioTenths(pool), c.expected);
    }
    // The ratio from the entries when Db2 did not show it.
    Db2GroupPoolFacts derived = Gbp0(100, 0);
    derived.figures.values[static_cast<std::size_t>(GroupPoolFigure::RatioTenths)].reset();
    derived.figures.Set(GroupPoolFigure::DataEntries, 200);
    EXPECT_EQ(GroupPoolRatioTenths(derived), 50);

    EXPECT_EQ(AlterGroupBufferPoolRatio("gbp0 ", 55), "-ALTER GROUPBUFFERPOOL(GBP0) RATIO(5.5)");
    EXPECT_EQ(AlterGroupBufferPoolRatio("GBP8K0", 250), "-ALTER GROUPBUFFERPOOL(GBP8K0) RATIO(25.0)");
    EXPECT_EQ(AlterGroupBufferPoolRatio("GBP8K0", 251), "-ALTER GROUPBUFFERPOOL(GBP8K0) RATIO(26)");

    // 40 MB with a tenth more directory entries: 44 MB; a failed write asks for a quarter more: 50 MB.
    EXPECT_EQ(ProposedStructureSizeKB(Gbp0(100, 0), GroupPoolRule::DirectoryReclaims), 45056);
    EXPECT_EQ(ProposedStructureSizeKB(Gbp0(0, 8), GroupPoolRule::WritesFailedNoStorage), 51200);
    EXPECT_EQ(ProposedStructureSizeKB(Gbp0(0, 800), GroupPoolRule::WritesFailedNoStorage), 73728);
}

TEST(GroupPoolCommands, NameTheStructureOrAPlaceholderTheUserMustReplace) {
    const GroupPoolAdvice unnamed = GroupPoolCommands(Gbp0(100, 8), std::nullopt);
    ASSERT_EQ(unnamed.findings.size(), 2U);
    const auto& reclaims = unnamed.findings[0];
    ASSERT_EQ(reclaims.commands.size(), 2U);
    EXPECT_EQ(reclaims.commands[0].text, "-ALTER GROUPBUFFERPOOL(GBP0) RATIO(5.5)");
    EXPECT_EQ(reclaims.commands[1].text, "SETXCF START,ALTER,STRNAME=groupname_GBP0,SIZE=45056K");
    EXPECT_EQ(reclaims.commands[0].source, "directoryReclaims");
    const auto says = [](const GroupPoolFindingAdvice& item, const std::string& part) {
        return std::any_of(item.notes.begin(), item.notes.end(),
                           [&](const std::string& n) { return n.find(part) != std::string::npos; });
    };
    EXPECT_TRUE(says(reclaims, "replace groupname"));
    const auto& failed = unnamed.findings[1];
    ASSERT_EQ(failed.commands.size(), 1U);
    EXPECT_EQ(failed.commands[0].text, "SETXCF START,ALTER,STRNAME=groupname_GBP0,SIZE=51200K");
    EXPECT_TRUE(says(failed, "CLASST"));

    const GroupPoolAdvice named = GroupPoolCommands(Gbp0(100, 0), std::string("dsndb0g"));
    EXPECT_EQ(named.findings[0].commands[1].text, "SETXCF START,ALTER,STRNAME=DSNDB0G_GBP0,SIZE=45056K");
    EXPECT_FALSE(says(named.findings[0], "replace"));

    const std::string text = GroupPoolCommandsText({unnamed, GroupPoolCommands(Gbp0(0, 0), std::nullopt)});
    EXPECT_TRUE(text.starts_with("\n-- Group buffer pools\n-- GBP0\n--   Directory entry reclaims")) << text;
    EXPECT_NE(text.find("\n-ALTER GROUPBUFFERPOOL(GBP0) RATIO(5.5)\n"), std::string::npos);
    EXPECT_EQ(GroupPoolCommandsText({GroupPoolCommands(Gbp0(0, 0), std::nullopt)}), "");
}

// Three pools of a monitor's report; the pool under test has slow synchronous I/O and a hiperpool.
Report SlowPool() {
    Report report;
    PoolRecord pool = test::TestPool("BP1");
    pool.AvgSyncIOTime = 40;
    pool.HPSize = 1000;
    pool.HPSeqThreshold = 10;
    test::AddPool(report, pool, {test::TestObject("BP1", "DSNDB07.SORT1", 'T'), test::TestObject("BP1", "A.T", 'T')});
    test::AddPool(report, test::TestPool("BP8"));
    test::AddPool(report, test::TestPool("BP9"));
    report.Header.ReportPoolCount = 3;
    return report;
}

bool Has(const std::vector<MatchedRule>& rules, int n) {
    return std::any_of(rules.begin(), rules.end(), [n](const MatchedRule& r) { return r.number == n; });
}

TEST(EvaluateRules, LeaveOutTheRulesWhoseFiguresTheInputDoesNotGive) {
    Report report = SlowPool();
    RuleBook book;
    book.LoadRuleTexts();
    const RuleFindings monitor = book.EvaluateRules(report, 1, PoolUsage::Random);
    EXPECT_TRUE(Has(monitor.Matched(), 30));
    EXPECT_TRUE(Has(monitor.Matched(), 6));
    EXPECT_TRUE(Has(monitor.Matched(), 18));
    EXPECT_TRUE(monitor.SkippedRules().empty());
    EXPECT_EQ(ShowRuleAnalysis(report, 1, monitor).rules, monitor.MatchedRules()); // a monitor's list as ever

    // The same figures as a display gives them: no hiperpool, no I/O times.
    Db2Facts facts;
    for (int p = 1; p <= report.PoolCount(); ++p) {
        Db2PoolFacts pool;
        pool.given.set();
        for (const char* name : {"HPSize", "HPSeqThreshold", "AvgSyncIOTime"}) {
            pool.given.reset(FieldIndex<PoolRecord>(PoolCatalogue(), name));
        }
        facts.pools.push_back(pool);
    }
    report.Db2Display = facts;
    const RuleFindings display = book.EvaluateRules(report, 1, PoolUsage::Random);
    for (const int n : {6, 18, 30, 31}) {
        EXPECT_FALSE(Has(display.Matched(), n)) << n;
    }
    EXPECT_EQ(display.SkippedRules(), (std::vector<int>{6, 18, 30, 31}));
    const RuleAnalysis shown = ShowRuleAnalysis(report, 1, display);
    ASSERT_FALSE(shown.rules.empty());
    EXPECT_EQ(shown.rules.back(), "  Rules 6, 18, 30, 31 not applied: not in this input");
    EXPECT_EQ(std::count(shown.rules.begin(), shown.rules.end(), shown.rules.back()), 1);
    EXPECT_EQ(SkippedRulesLine({24}), "  Rule 24 not applied: not in this input");
}

TEST(EvaluateRules, OnADisplayNeverFireOnTheZerosOfFiguresItDoesNotGive) {
    samplegen::DisplaySampleOptions options;
    options.groupPools = true;
    const Report report = test::DisplayReport(options);
    for (int p = 1; p <= report.PoolCount(); ++p) {
        for (const PoolUsage usage : {PoolUsage::Random, PoolUsage::Sequential}) {
            const std::vector<MatchedRule> rules = MatchedRulesFor(report, p, usage);
            for (const int n : {1, 2, 4, 6, 18, 22, 30, 31, 32, 34, 36}) {
                EXPECT_FALSE(Has(rules, n)) << "pool " << p << " rule " << n;
            }
        }
        RuleBook book;
        book.LoadRuleTexts();
        const std::vector<std::string> shown =
            ShowRuleAnalysis(report, p, book.EvaluateRules(report, p, PoolUsage::Random)).rules;
        ASSERT_FALSE(shown.empty());
        EXPECT_TRUE(shown.back().ends_with("not applied: not in this input")) << shown.back();
    }
    EXPECT_FALSE(GroupPoolsAdvice(report).empty());
}

} // namespace
} // namespace ornexa
