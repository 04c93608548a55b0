#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "cluster/cluster_views.h"
#include "report/latin1.h"
#include "stat_fixture.h"

namespace ornexa {
namespace {

std::string FileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Objects with working sets at size 2; members 1, 2, 3 in cluster 1, member 4 in cluster 2.
struct Clustered {
    Report report;
    SimulationData sim;
    ClusterRun run;
    Clustered() {
        std::vector<ObjectRecord> objects;
        const std::vector<std::tuple<const char*, char, Long>> specs{
            {"DB1.TS1", 'T', 40}, {"DSNDB06.SYSX", 'I', 7}, {"DB1.IX1", 'D', 12}, {"DB1.U1", 'U', 3}};
        int o = 0;
        for (const auto& [name, type, workSet] : specs) {
            objects.push_back(test::TestObject("BP1", name, type));
            sim.Objects(++o).SimMaxWorkSet(2) = workSet;
        }
        test::AddPool(report, test::TestPool("BP1"), objects);
        run.result = 2;
        run.size = 2;
        run.ClusterMembers = {1, 2, 3, 4};
        run.ClusterOfMember = {1, 1, 1, 2};
    }
};

TEST(ClusterLists, ShowRangesAndMembers) {
    const Clustered c;
    const auto rows = FillClusterList(c.sim, c.run);
    ASSERT_EQ(rows.size(), 2U);
    EXPECT_EQ(rows[0].cells, (std::array<std::string, 3>{"1", "7", "40"}));
    EXPECT_EQ(rows[1].cells, (std::array<std::string, 3>{"2", "3", "3"}));
    EXPECT_EQ(ClusterSmallestMaxWS(c.sim, c.run, 3), 0); // no member
    EXPECT_EQ(ClusterLargestMaxWS(c.sim, c.run, 3), 0);

    const auto shown = ShowClusterObjects(c.report, c.sim, c.run, 1);
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->status, "3 Objects in Cluster 1");
    ASSERT_EQ(shown->rows.size(), 3U);
    EXPECT_EQ(shown->rows[2].cells, (std::array<std::string, 3>{"DB1.IX1", "12", "D"}));
    EXPECT_EQ(shown->rows[2].icon, ObjectIcon::TypeD); // as in the object list
    EXPECT_EQ(shown->rows[1].icon, ObjectIcon::Index);
    EXPECT_FALSE(ShowClusterObjects(c.report, c.sim, c.run, 0));
}

// Every cluster's members at once are what each cluster shows on its own, also where members of
// clusters interleave and a cluster has none; the list's ranges follow the same members.
TEST(ClusterLists, AllClustersAtOnceAreEachClusterShownAlone) {
    Clustered c;
    c.run.result = 4;
    c.run.ClusterMembers = {4, 1, 3, 2, 1};
    c.run.ClusterOfMember = {2, 1, 4, 2, 9}; // cluster 3 empty; 9 is no cluster of the run
    const auto all = AllClusterObjects(c.report, c.sim, c.run);
    ASSERT_EQ(all.size(), 4U);
    const auto rows = FillClusterList(c.sim, c.run);
    ASSERT_EQ(rows.size(), 4U);
    for (int q = 1; q <= 4; ++q) {
        SCOPED_TRACE("cluster " + std::to_string(q));
        const auto alone = ShowClusterObjects(c.report, c.sim, c.run, q);
        ASSERT_TRUE(alone);
        const auto& together = all[static_cast<std::size_t>(q - 1)];
        EXPECT_EQ(together.status, alone->status);
        ASSERT_EQ(together.rows.size(), alone->rows.size());
        for (std::size_t i = 0; i < alone->rows.size(); ++i) {
            EXPECT_EQ(together.rows[i].object, alone->rows[i].object);
            EXPECT_EQ(together.rows[i].cells, alone->rows[i].cells);
        }
        EXPECT_EQ(rows[static_cast<std::size_t>(q - 1)].cells[1],
                  std::to_string(ClusterSmallestMaxWS(c.sim, c.run, q)));
        EXPECT_EQ(rows[static_cast<std::size_t>(q - 1)].cells[2], std::to_string(ClusterLargestMaxWS(c.sim, c.run, q)));
    }
    EXPECT_EQ(all[1].status, "2 Objects in Cluster 2");
    EXPECT_EQ(all[2].status, "0 Objects in Cluster 3");
}

TEST(ClusterFileName, EndsInQvl) {
    EXPECT_EQ(ClusterFileName("/data/clusters.txt"), "/data/clusters.qvl");
    EXPECT_EQ(ClusterFileName("/data/clusters"), "/data/clusters.qvl");
    EXPECT_EQ(ClusterFileName("/my.data/clusters"), "/my.data/clusters.qvl");
    EXPECT_EQ(ClusterFileName("/data/a.b.txt"), "/data/a.b.qvl");
}

TEST(WriteClusterDataFile, ListsTheMembersButCatalogAndSpecialObjects) {
    const Clustered c;
    const test::TempDir dir;
    std::vector<ClusterObjectRow> rows = ShowClusterObjects(c.report, c.sim, c.run, 1)->rows;
    rows.push_back(ShowClusterObjects(c.report, c.sim, c.run, 2)->rows[0]);
    const auto path = dir.Path() / "Cluster.qvl";
    const ExportResult written = WriteClusterDataFile(path, rows);
    EXPECT_TRUE(written.Ok());
    EXPECT_EQ(written.value, "Cluster data file created");
    EXPECT_TRUE(written.messages.empty());
    EXPECT_EQ(FileText(path), "DB1.TS1\r\nDB1.IX1\r\n");
    const auto perms = std::filesystem::status(path).permissions();
    EXPECT_NE(perms & std::filesystem::perms::others_read, std::filesystem::perms::none); // not private
    const ExportResult none = WriteClusterDataFile(dir.Path() / "none.qvl", {}); // an empty list writes nothing
    EXPECT_FALSE(none.Ok());
    EXPECT_TRUE(none.messages.empty());
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "none.qvl"));
}

TEST(WriteClusterDataFile, WritesNamesInTheReportsOwnBytes) {
    const test::TempDir dir;
    const auto path = dir.Path() / "latin.qvl";
    const std::vector<ClusterObjectRow> rows{{1, {Latin1ToUtf8("INVENTR\xE9.TS1"), "5", "T"}, ObjectIcon::TableSpace}};
    ASSERT_TRUE(WriteClusterDataFile(path, rows).Ok());
    EXPECT_EQ(FileText(path), "INVENTR\xE9.TS1\r\n");
}

TEST(WriteClusterDataFile, ReportsAFailedWriteAndLeavesNoPartialFile) {
    const Clustered c;
    const test::TempDir dir;
    const auto target = dir.Path() / "taken.qvl";
    std::filesystem::create_directory(target); // a folder where the file should go
    const ExportResult failed = WriteClusterDataFile(target, ShowClusterObjects(c.report, c.sim, c.run, 1)->rows);
    EXPECT_FALSE(failed.Ok());
    EXPECT_FALSE(failed.value.has_value());
    ASSERT_EQ(failed.messages.size(), 1U);
    EXPECT_EQ(failed.messages[0].title, "Create Cluster File");
    EXPECT_EQ(failed.messages[0].text.rfind("File <" + target.string() + "> not created: ", 0), 0U);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1); // no temporary left
    EXPECT_TRUE(std::filesystem::is_directory(target));
}

TEST(WriteIndexExcludeFile, WritesThePoolsIndexesWithFullNames) {
    Report report;
    test::AddPool(report, test::TestPool("BP1"),
                  {test::TestObject("BP1", "DB1.IX1", 'I'), test::TestObject("BP1", "dsndb06.sysix", 'I'),
                   test::TestObject("BP1", "DB1.TS1", 'T'), test::TestObject("BP1", "DB1.IX2", 'I')});
    test::AddPool(report, test::TestPool("BP2"), {test::TestObject("BP2", "DSNDB06.IX", 'I')});
    const test::TempDir dir;
    const ExportResult written = WriteIndexExcludeFile(report, 1, dir.Path());
    EXPECT_TRUE(written.Ok());
    const auto path = std::filesystem::absolute(dir.Path() / "AINDEX.QVL");
    EXPECT_EQ(FileText(path), "DB1.IX1                    \r\nDB1.IX2                    \r\n");
    EXPECT_EQ(written.messages, (Messages{{"All Index Exclude Objects", "File <" + path.string() + "> created.",
                                           MessageIcon::Information}}));

    const ExportResult none = WriteIndexExcludeFile(report, 2, dir.Path() / "other");
    EXPECT_FALSE(none.Ok());
    EXPECT_EQ(none.messages, (Messages{{"No Exclude Members", "File Not Created", MessageIcon::Information}}));

    const ExportResult failed = WriteIndexExcludeFile(report, 1, dir.Path() / "missing-folder");
    EXPECT_FALSE(failed.Ok());
    ASSERT_EQ(failed.messages.size(), 1U);
    EXPECT_EQ(failed.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_NE(failed.messages[0].text.find("not created"), std::string::npos);
}

} // namespace
} // namespace ornexa
