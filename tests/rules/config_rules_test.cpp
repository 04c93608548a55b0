#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "rules/config_rules.h"
#include "stat_fixture.h"

namespace ornexa {
namespace {

// Rule numbers of the matched texts.
std::vector<int> Numbers(const std::vector<std::string>& rules) {
    std::vector<int> numbers;
    numbers.reserve(rules.size());
    for (const std::string& text : rules) {
        numbers.push_back(std::stoi(text.substr(text.find('#') + 1)));
    }
    return numbers;
}

PoolRecord QuietPool(std::string_view name) {
    PoolRecord p = test::TestPool(name);
    p.VPSeqThreshold = 0;
    p.HPSize = 0;
    p.PoolWriteIOs = 0; // no deferred-write rules unless a test asks for them
    p.DWTH = 50;
    p.VWTH = 0;
    return p;
}

// Three pools so that the placement rules of larger reports apply; the pool under test is pool 1.
Report ThreePools(const PoolRecord& pool, const std::vector<ObjectRecord>& objects) {
    Report report;
    test::AddPool(report, pool, objects);
    test::AddPool(report, QuietPool("BP8"));
    test::AddPool(report, QuietPool("BP9"));
    report.Header.ReportPoolCount = 3;
    return report;
}

ObjectRecord Obj(std::string_view name, char type) {
    return test::TestObject("BP1", name, type);
}

struct RuleCase {
    const char* name;
    Report report;
    PoolUsage usage;
    std::vector<int> expected;
};

TEST(EvaluateRules, ApplyTheirConditions) {
    const auto pool = [](const std::function<void(PoolRecord&)>& set) {
        PoolRecord p = QuietPool("BP1");
        set(p);
        return p;
    };
    const auto randomIndex = [](std::string_view name) {
        ObjectRecord o = Obj(name, 'I');
        o.GetPagesByAccess(1) = 10;
        o.GetPagesByAccess(2) = 90;
        return o;
    };
    const auto scannedIndex = [](std::string_view name) {
        ObjectRecord o = Obj(name, 'I');
        o.GetPagesByAccess(1) = 95;
        o.GetPagesByAccess(2) = 5;
        return o;
    };
    const PoolRecord quiet = QuietPool("BP1");
    const RuleCase cases[] = {
        {"indexes and table spaces", ThreePools(quiet, {Obj("A.T", 'T'), Obj("A.I", 'I')}), PoolUsage::Random, {3}},
        {"catalog objects may share",
         ThreePools(quiet, {Obj("DSNDB06.T", 'T'), Obj("DSNDB06.I", 'I'), Obj("X", 'U')}),
         PoolUsage::Random,
         {}},
        {"random indexes only", ThreePools(quiet, {randomIndex("A.I1"), randomIndex("A.I2")}), PoolUsage::Random, {4}},
        {"a scanned index among them",
         ThreePools(quiet, {randomIndex("A.I1"), scannedIndex("A.I2")}),
         PoolUsage::Random,
         {}},
        {"no index, no rule 4", ThreePools(quiet, {Obj("X1", '*'), Obj("X2", 'U')}), PoolUsage::Random, {}},
        {"empty pool, no rule 4", ThreePools(quiet, {}), PoolUsage::Random, {}},
        {"sort work mixed in BP0",
         ThreePools(QuietPool("BP0"), {Obj("DSNDB07.W1", 'T'), Obj("A.T", 'T')}),
         PoolUsage::Random,
         {5}},
        {"sort work mixed elsewhere",
         ThreePools(quiet, {Obj("DSNDB07.W1", 'T'), Obj("A.T", 'T')}),
         PoolUsage::Random,
         {5, 8}},
        {"sort work with a hiperpool",
         ThreePools(pool([](PoolRecord& p) { p.HPSize = 100; }), {Obj("DSNDB07.W1", 'T')}),
         PoolUsage::Random,
         {6, 18}},
        {"random VPSEQT 0", ThreePools(quiet, {}), PoolUsage::Random, {}},
        {"random VPSEQT 1 is tuning practice",
         ThreePools(pool([](PoolRecord& p) { p.VPSeqThreshold = 1; }), {}),
         PoolUsage::Random,
         {}},
        {"random VPSEQT 25", ThreePools(pool([](PoolRecord& p) { p.VPSeqThreshold = 25; }), {}), PoolUsage::Random, {}},
        {"random VPSEQT 26",
         ThreePools(pool([](PoolRecord& p) { p.VPSeqThreshold = 26; }), {}),
         PoolUsage::Random,
         {10}},
        {"random pool caching sequential pages in its hiperpool",
         ThreePools(pool([](PoolRecord& p) {
                        p.HPSize = 10;
                        p.HPSeqThreshold = 5;
                    }),
                    {}),
         PoolUsage::Random,
         {18}},
        {"sequential VPSEQT 90 without sort work",
         ThreePools(pool([](PoolRecord& p) { p.VPSeqThreshold = 90; }), {}),
         PoolUsage::Sequential,
         {20}},
        {"sequential VPSEQT 26 is fine",
         ThreePools(pool([](PoolRecord& p) { p.VPSeqThreshold = 26; }), {}),
         PoolUsage::Sequential,
         {}},
        {"dedicated sort pool at VPSEQT 89",
         ThreePools(pool([](PoolRecord& p) { p.VPSeqThreshold = 89; }), {Obj("DSNDB07.W1", 'T')}),
         PoolUsage::Sequential,
         {21}},
        {"dedicated sort pool at 95 with a hiperpool",
         ThreePools(pool([](PoolRecord& p) {
                        p.VPSeqThreshold = 95;
                        p.HPSize = 10;
                    }),
                    {Obj("DSNDB07.W1", 'T')}),
         PoolUsage::Sequential,
         {6, 22}},
        {"no usage yet: no threshold rules",
         ThreePools(pool([](PoolRecord& p) { p.VPSeqThreshold = 99; }), {}),
         PoolUsage::None,
         {}},
        {"sync I/O 31", ThreePools(pool([](PoolRecord& p) { p.AvgSyncIOTime = 31; }), {}), PoolUsage::Random, {30}},
        {"sync I/O 23", ThreePools(pool([](PoolRecord& p) { p.AvgSyncIOTime = 23; }), {}), PoolUsage::Random, {31}},
        {"sync I/O 22", ThreePools(pool([](PoolRecord& p) { p.AvgSyncIOTime = 22; }), {}), PoolUsage::Random, {}},
        {"prefetch times",
         ThreePools(pool([](PoolRecord& p) {
                        p.AvgSeqPrefetchIOTime = 61;
                        p.AvgListPrefetchIOTime = 81;
                        p.AvgDynPrefetchIOTime = 61;
                    }),
                    {}),
         PoolUsage::Random,
         {32, 34, 36}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Numbers(RulesFor(c.report, 1, c.usage)), c.expected);
    }
}

TEST(EvaluateRules, SmallReportsGetThePlacementRulesByPoolSize) {
    const auto rules = [](const std::vector<PoolRecord>& pools) {
        Report report;
        for (const auto& p : pools) {
            test::AddPool(report, p);
        }
        report.Header.ReportPoolCount = static_cast<Integer>(pools.size() + 5); // declares more than it holds
        return Numbers(RulesFor(report, 1, PoolUsage::None));
    };
    PoolRecord big = QuietPool("BP1");
    big.VPSize = 5000;
    big.HPSize = 1000;
    EXPECT_EQ(rules({big}), (std::vector<int>{1, 2, 3}));
    big.HPSize = 999;
    EXPECT_EQ(rules({big}), std::vector<int>{});
    big.VPSize = 6000;
    EXPECT_EQ(rules({big, QuietPool("BP32K")}), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(rules({big, QuietPool("BP8")}), std::vector<int>{});
}

TEST(EvaluateRules, ComputeTheDeferredWriteThresholds) {
    PoolRecord pool = QuietPool("BP1");
    pool.PoolPagesWritten = 3000;
    pool.PoolWriteIOs = 100;
    pool.VPSize = 1000;
    pool.VWTH = 10;
    pool.DWTH = 50;
    const std::vector<ObjectRecord> two{Obj("A.T1", 'T'), Obj("A.T2", 'T')};
    const auto texts = [&](const PoolRecord& p, const std::vector<ObjectRecord>& objects) {
        return RulesFor(ThreePools(p, objects), 1, PoolUsage::None);
    };
    EXPECT_EQ(texts(pool, two), (std::vector<std::string>{"  Rule # 24 - Lower the VWTH to :  3%",
                                                          "  Rule # 26 - Lower the DWTH to :   6%"}));
    pool.VWTH = 3;
    pool.DWTH = 60;
    EXPECT_EQ(texts(pool, two), (std::vector<std::string>{"  Rule # 26 - Lower the DWTH to :  20%"}));
    pool.DWTH = 5;
    EXPECT_TRUE(texts(pool, two).empty());

    // A dedicated sort pool never gets rule 24, and rule 26 by its number of objects.
    pool.VWTH = 10;
    const std::vector<ObjectRecord> sortWork{Obj("DSNDB07.W1", 'T'), Obj("DSNDB07.W2", 'T')};
    EXPECT_EQ(Numbers(texts(pool, sortWork)), (std::vector<int>{26}));
    EXPECT_EQ(texts(pool, sortWork).back(), "  Rule # 26 - Lower the DWTH to :  30%");

    // Without a pool size there is no percentage to compute.
    pool.VPSize = 0;
    pool.DWTH = 60;
    EXPECT_TRUE(texts(pool, two).empty());
}

TEST(RuleBook, ListsAtMostFiftyAndShowsThePoolName) {
    RuleFindings book;
    for (int i = 0; i < 60; ++i) {
        book.AddRule(3);
    }
    EXPECT_EQ(book.MatchedRuleCount(), 50);
    Report report;
    test::AddPool(report, QuietPool("BP1"));
    EXPECT_EQ(ShowRuleAnalysis(report, 1, book).caption, "Buffer Pool Stat Analysis - BP1     ");
    EXPECT_EQ(RuleText(9), "  Rule # 9 - ");
}

TEST(EvaluateRules, OneBookEvaluatesAConstReportForAnyPoolAndUsageAlike) {
    PoolRecord busy = QuietPool("BP1");
    busy.VPSeqThreshold = 80; // rule 10 under Random
    busy.AvgSyncIOTime = 40;  // rule 30 under any usage
    const Report report = ThreePools(busy, {Obj("A.T", 'T'), Obj("A.I", 'I')});
    RuleBook loaded;
    loaded.LoadRuleTexts();
    const RuleBook& book = loaded;
    const RuleFindings random = book.EvaluateRules(report, 1, PoolUsage::Random);
    const RuleFindings sequential = book.EvaluateRules(report, 1, PoolUsage::Sequential);
    const RuleFindings other = book.EvaluateRules(report, 2, PoolUsage::Random);
    EXPECT_EQ(Numbers(random.MatchedRules()), (std::vector<int>{3, 10, 30}));
    EXPECT_EQ(Numbers(sequential.MatchedRules()), (std::vector<int>{3, 30}));
    EXPECT_TRUE(other.MatchedRules().empty());
    // An earlier evaluation is kept as it was, and evaluating again gives the same list.
    EXPECT_EQ(book.EvaluateRules(report, 1, PoolUsage::Random).MatchedRules(), random.MatchedRules());
    EXPECT_EQ(random.MatchedRules(), RulesFor(report, 1, PoolUsage::Random));
    EXPECT_TRUE(book.EvaluateRules(report, 9, PoolUsage::Random).MatchedRules().empty()); // no such pool
    // A book without its texts lists the rules matched with empty texts.
    const RuleFindings untitled = RuleBook{}.EvaluateRules(report, 1, PoolUsage::Random);
    EXPECT_EQ(untitled.MatchedRules(), std::vector<std::string>(3));
}

} // namespace
} // namespace ornexa
