#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "advice/regroup.h"
#include "stat_fixture.h"

namespace ornexa {
namespace {

// Pool BP1 (with BP2 and BP3 in the report) and a run of two clusters: two table spaces, then
// indexes of two databases with a "*" object.
struct Regrouping {
    Report report;
    ClusterRun run;
};
Regrouping TwoClusters(std::string_view pool = "BP1") {
    Regrouping r;
    test::AddPool(r.report, test::TestPool(pool),
                  {test::TestObject(pool, "SALES.TS1", 'T'), test::TestObject(pool, "SALES.TS2", 'T'),
                   test::TestObject(pool, "SALES.IX1", 'I'), test::TestObject(pool, "HR.IXA", 'I'),
                   test::TestObject(pool, "SALES.IX2", 'I'), test::TestObject(pool, "*", '*')});
    test::AddPool(r.report, test::TestPool("BP2"));
    test::AddPool(r.report, test::TestPool("BP0"));
    r.run.result = 2;
    r.run.ClusterMembers = {1, 2, 3, 4, 5, 6};
    r.run.ClusterOfMember = {1, 1, 2, 2, 2, 2};
    return r;
}

TEST(Regroup, StatementsPerClusterMember) {
    const Regrouping r = TwoClusters();
    const std::vector<ClusterStatements> clusters = RegroupStatements(r.report, 1, r.run, {"BP5", "bp6"});
    ASSERT_EQ(clusters.size(), 2U);
    EXPECT_EQ(clusters[0].statements, (std::vector<std::string>{"ALTER TABLESPACE SALES.TS1 BUFFERPOOL BP5;",
                                                                "ALTER TABLESPACE SALES.TS2 BUFFERPOOL BP5;"}));
    EXPECT_TRUE(clusters[0].comments.empty());
    EXPECT_EQ(clusters[1].target, "BP6");
    EXPECT_EQ(clusters[1].statements,
              (std::vector<std::string>{
                  "SELECT 'ALTER INDEX ' CONCAT STRIP(CREATOR) CONCAT '.' CONCAT STRIP(NAME) CONCAT ' BUFFERPOOL "
                  "BP6;' FROM SYSIBM.SYSINDEXES WHERE DBNAME = 'SALES' AND INDEXSPACE IN ('IX1', 'IX2');",
                  "SELECT 'ALTER INDEX ' CONCAT STRIP(CREATOR) CONCAT '.' CONCAT STRIP(NAME) CONCAT ' BUFFERPOOL "
                  "BP6;' FROM SYSIBM.SYSINDEXES WHERE DBNAME = 'HR' AND INDEXSPACE IN ('IXA');"}));
    EXPECT_EQ(clusters[1].comments,
              std::vector<std::string>{"* (type *) is not moved: only table spaces and indexes are"});

    const std::vector<Advice> advice = RegroupAdvice(clusters);
    ASSERT_EQ(advice.size(), 4U);
    EXPECT_EQ(advice[3].source, "cluster 2");
    EXPECT_EQ(advice[3].kind, AdviceKind::Sql);
}

TEST(Regroup, RefusesTargetsThatCannotTakeThePool) {
    const Regrouping r = TwoClusters();
    const std::pair<const char*, const char*> refused[] = {
        {"BP8K0", "BP8K0 has pages of 8 KB, the objects of BP1 pages of 4 KB"},
        {"BP32K", "BP32K has pages of 32 KB, the objects of BP1 pages of 4 KB"},
        {"POOL9", "\"POOL9\" is not a buffer-pool name"},
        {"", "no target pool"},
        {"BP1", "the objects are in BP1 already"},
    };
    for (const auto& [target, reason] : refused) {
        EXPECT_EQ(TargetProblem(r.report, 1, target), std::optional<std::string>(reason)) << target;
    }
    EXPECT_EQ(TargetProblem(r.report, 1, "bp49"), std::nullopt);
    // A refused target writes no statement for its cluster, and the file says why.
    const std::vector<ClusterStatements> clusters = RegroupStatements(r.report, 1, r.run, {"BP8K0", "BP6"});
    EXPECT_TRUE(clusters[0].statements.empty());
    EXPECT_TRUE(clusters[0].problem.has_value());
    EXPECT_EQ(clusters[1].statements.size(), 2U);
    const std::string text = RegroupText(r.report, 1, r.run, {"BP8K0"});
    EXPECT_NE(text.find("-- Cluster 1: not moved: BP8K0 has pages of 8 KB"), std::string::npos);
    EXPECT_NE(text.find("-- Cluster 2: not moved: no target pool"), std::string::npos);
    EXPECT_EQ(text.find("ALTER TABLESPACE"), std::string::npos);
}

TEST(Regroup, DefaultTargetsAreUnusedPoolsOfTheSamePageSize) {
    const Regrouping r = TwoClusters();
    EXPECT_EQ(DefaultTargets(r.report, 1, r.run), (std::vector<std::string>{"BP3", "BP4"}));
    const Regrouping big = TwoClusters("BP8K0");
    EXPECT_EQ(DefaultTargets(big.report, 1, big.run), (std::vector<std::string>{"BP8K1", "BP8K2"}));
    const Regrouping odd = TwoClusters("WORKPOOL");
    EXPECT_EQ(DefaultTargets(odd.report, 1, odd.run), (std::vector<std::string>{"", ""}));
    EXPECT_TRUE(TargetProblem(odd.report, 1, "BP3").has_value());
    ClusterRun failed;
    failed.result = 0;
    EXPECT_TRUE(DefaultTargets(r.report, 1, failed).empty());
    EXPECT_NE(RegroupText(r.report, 1, failed, {}).find("no cluster"), std::string::npos);
}

TEST(Regroup, TheFileSaysWhenTheChangeTakesEffect) {
    const Regrouping r = TwoClusters();
    const std::string text = RegroupText(r.report, 1, r.run, DefaultTargets(r.report, 1, r.run));
    EXPECT_EQ(text.rfind("-- Moves the clusters of BP1", 0), 0U);
    EXPECT_NE(text.find("next opened"), std::string::npos);
    EXPECT_NE(text.find("REORG"), std::string::npos);
    EXPECT_NE(text.find("-- Cluster 1 to BP3\nALTER TABLESPACE SALES.TS1 BUFFERPOOL BP3;\n"), std::string::npos);
    EXPECT_NE(text.find("-- * (type *) is not moved"), std::string::npos);
}

TEST(Regroup, CatalogObjectsAndUnqualifiedNamesStay) {
    Regrouping r;
    test::AddPool(r.report, test::TestPool("BP0"),
                  {test::TestObject("BP0", "DSNDB06.SYSDBASE", 'T'), test::TestObject("BP0", "NODOT", 'I'),
                   test::TestObject("BP0", "APP.O'NE", 'I')});
    r.run.result = 1;
    r.run.ClusterMembers = {1, 2, 3};
    r.run.ClusterOfMember = {1, 1, 1};
    const ClusterStatements c = RegroupStatements(r.report, 1, r.run, {"BP1"}).front();
    ASSERT_EQ(c.statements.size(), 1U);
    EXPECT_NE(c.statements[0].find("INDEXSPACE IN ('O''NE')"), std::string::npos); // quotes doubled
    EXPECT_EQ(c.comments.size(), 2U);
}

} // namespace
} // namespace ornexa
