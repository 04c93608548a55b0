#include <gtest/gtest.h>

#include <algorithm>

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
    // An index space with a quote in its name is no Db2 name: it is listed, never quoted into the SELECT.
    EXPECT_TRUE(c.statements.empty());
    EXPECT_EQ(c.comments.size(), 3U);
    EXPECT_EQ(c.refused, std::vector<std::string>{"APP.O'NE (type I) is not moved: its index space name holds a "
                                                  "character other than letters, digits, #, @, $ and _"});
}

// Every line of the file that is not a comment is one statement: a single ";", at its end.
void ExpectOneStatementPerLine(const std::string& text) {
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        const std::string line = text.substr(start, end - start);
        start = end == std::string::npos ? text.size() : end + 1;
        if (line.empty() || line.starts_with("-- ")) {
            continue;
        }
        EXPECT_TRUE(line.starts_with("ALTER TABLESPACE ") || line.starts_with("SELECT 'ALTER INDEX ")) << line;
        // The SELECT's one literal ";" is inside 'ALTER INDEX ... BUFFERPOOL BPx;'.
        const std::size_t allowed = line.starts_with("SELECT") ? 2 : 1;
        EXPECT_EQ(static_cast<std::size_t>(std::count(line.begin(), line.end(), ';')), allowed) << line;
        EXPECT_TRUE(line.ends_with(";")) << line;
    }
}

TEST(Regroup, NamesThatAreNoDb2IdentifiersStayOutOfTheStatements) {
    struct Hostile {
        std::string name;
        char type;
        std::string reason;
    };
    const std::vector<Hostile> hostile = {
        {"X.Y;DROP DATABASE PAYR;--", 'T', "its table space name is longer than 8 characters"},
        {"X.Y;DROP", 'T', "its table space name holds a character other than letters, digits, #, @, $ and _"},
        {"PAY'R.TS1", 'T', "its database name holds a character other than letters, digits, #, @, $ and _"},
        {"PAYR.IX'1", 'I', "its index space name holds a character other than letters, digits, #, @, $ and _"},
        {"PAY R.TS1", 'T', "its database name holds a character other than letters, digits, #, @, $ and _"},
        {"PAYR.--X", 'T', "its table space name does not begin with a letter, #, @ or $"},
        {"PAYR./*X*/", 'I', "its index space name does not begin with a letter, #, @ or $"},
        {"PAYR.TS\n;DROP", 'T', "its table space name holds a character other than letters, digits, #, @, $ and _"},
        {"PAYR.TS\r1", 'I', "its index space name holds a character other than letters, digits, #, @, $ and _"},
        {"P\xc3\x84YR.TS1", 'T', "its database name holds a character other than letters, digits, #, @, $ and _"},
        {"PAYR.\"TS1\"", 'T', "its table space name does not begin with a letter, #, @ or $"},
        {"1PAYR.TS1", 'T', "its database name does not begin with a letter, #, @ or $"},
        {"PAYROLL01.TS1", 'T', "its database name is longer than 8 characters"},
        // The longest name an object line holds.
        {"ABCDEFGHIJKLMNOPQRSTUVW.TS1", 'I', "its database name is longer than 8 characters"},
        {"X.ABCDEFGHIJKLMNOPQRSTUVWXY", 'T', "its table space name is longer than 8 characters"},
    };
    // Valid names beside them: every character class, the longest lengths.
    const std::vector<std::string> valid = {"#PAY@$_9.TS_1", "ABCDEFGH.ABCDEFGH", "$DB.@IX", "payr.ts1"};
    const std::vector<std::string> validIndexes = {"@DB.IX#1", "ABCDEFGH.IXABCDEF"};

    Regrouping r;
    std::vector<ObjectRecord> objects;
    for (const Hostile& h : hostile) {
        ObjectRecord o = test::TestObject("BP1", "", h.type);
        o.ObjName = h.name;
        objects.push_back(o);
    }
    for (const std::string& name : valid) {
        objects.push_back(test::TestObject("BP1", name, 'T'));
    }
    for (const std::string& name : validIndexes) {
        objects.push_back(test::TestObject("BP1", name, 'I'));
    }
    test::AddPool(r.report, test::TestPool("BP1"), objects);
    r.run.result = 1;
    for (std::size_t i = 1; i <= objects.size(); ++i) {
        r.run.ClusterMembers.push_back(static_cast<int>(i));
        r.run.ClusterOfMember.push_back(1);
    }

    const std::vector<ClusterStatements> clusters = RegroupStatements(r.report, 1, r.run, {"BP7"});
    ASSERT_EQ(clusters.size(), 1U);
    std::vector<std::string> expectedStatements;
    for (const std::string& name : valid) { // byte for byte as the report names them
        expectedStatements.push_back("ALTER TABLESPACE " + name + " BUFFERPOOL BP7;");
    }
    expectedStatements.push_back("SELECT 'ALTER INDEX ' CONCAT STRIP(CREATOR) CONCAT '.' CONCAT STRIP(NAME) CONCAT ' "
                                 "BUFFERPOOL BP7;' FROM SYSIBM.SYSINDEXES WHERE DBNAME = '@DB' AND INDEXSPACE IN "
                                 "('IX#1');");
    expectedStatements.push_back("SELECT 'ALTER INDEX ' CONCAT STRIP(CREATOR) CONCAT '.' CONCAT STRIP(NAME) CONCAT ' "
                                 "BUFFERPOOL BP7;' FROM SYSIBM.SYSINDEXES WHERE DBNAME = 'ABCDEFGH' AND INDEXSPACE "
                                 "IN ('IXABCDEF');");
    EXPECT_EQ(clusters[0].statements, expectedStatements);
    ASSERT_EQ(clusters[0].refused.size(), hostile.size());
    EXPECT_EQ(clusters[0].comments, clusters[0].refused);
    for (std::size_t i = 0; i < hostile.size(); ++i) {
        const std::string& comment = clusters[0].refused[i];
        EXPECT_NE(comment.find(hostile[i].reason), std::string::npos) << comment;
        EXPECT_EQ(comment.find_first_of("\r\n"), std::string::npos) << comment;
    }
    EXPECT_EQ(clusters[0].refused[7], "PAYR.TS\\x0a;DROP (type T) is not moved: its table space name holds a "
                                      "character other than letters, digits, #, @, $ and _");

    const std::string text = RegroupText(r.report, 1, r.run, {"BP7"});
    ExpectOneStatementPerLine(text);
    EXPECT_EQ(text.find("DROP DATABASE PAYR;\n"), std::string::npos);
    EXPECT_NE(text.find("\n-- X.Y;DROP DATABASE PAYR;-- (type T) is not moved: its table space name is longer"),
              std::string::npos);
}

TEST(Regroup, ATargetWithALineEndStaysInItsComment) {
    const Regrouping r = TwoClusters();
    const std::string text = RegroupText(r.report, 1, r.run, {"BP5\nDROP DATABASE SALES;", "BP6"});
    EXPECT_NE(text.find("-- Cluster 1: not moved: \"BP5\\x0aDROP DATABASE SALES;\" is not a buffer-pool name\n"),
              std::string::npos)
        << text;
    ExpectOneStatementPerLine(text);
}
} // namespace
} // namespace ornexa
