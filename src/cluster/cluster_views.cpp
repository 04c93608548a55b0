#include "cluster/cluster_views.h"

#include <algorithm>
#include <cctype>

#include "report/latin1.h"
#include "report/letter_case.h"
#include "report/number_format.h"
#include "report/whole_file.h"
#include "stats/object_graph.h"

namespace ornexa {

const std::array<std::string, 3>& ClusterListCaptions() {
    static const std::array<std::string, 3> captions{"Cluster", "Smallest Max WS", "Largest Max WS"};
    return captions;
}

const std::array<std::string, 3>& ClusterObjectCaptions() {
    static const std::array<std::string, 3> captions{"Object", "Max Work Set", "Type"};
    return captions;
}

namespace {

template <class F> void ForMembersOf(const SimulationData& sim, const ClusterRun& run, int q, F f) {
    for (std::size_t j = 0; j < run.ClusterMembers.size() && j < run.ClusterOfMember.size(); ++j) {
        if (run.ClusterOfMember[j] == q) {
            f(sim.Objects(run.ClusterMembers[j]));
        }
    }
}

} // namespace

Long ClusterLargestMaxWS(const SimulationData& sim, const ClusterRun& run, int q) {
    Long largest = 0;
    ForMembersOf(sim, run, q,
                 [&](const ObjectSimulation& o) { largest = std::max(largest, o.SimMaxWorkSet(run.size)); });
    return largest;
}

Long ClusterSmallestMaxWS(const SimulationData& sim, const ClusterRun& run, int q) {
    std::optional<Long> smallest;
    ForMembersOf(sim, run, q, [&](const ObjectSimulation& o) {
        smallest = std::min(smallest.value_or(o.SimMaxWorkSet(run.size)), o.SimMaxWorkSet(run.size));
    });
    return smallest.value_or(0);
}

std::vector<std::vector<std::size_t>> MembersByCluster(const ClusterRun& run) {
    const int clusters = std::max(run.result, 0);
    std::vector<std::vector<std::size_t>> members(static_cast<std::size_t>(clusters));
    for (std::size_t j = 0; j < run.ClusterMembers.size() && j < run.ClusterOfMember.size(); ++j) {
        const Long q = run.ClusterOfMember[j];
        if (q >= 1 && q <= clusters) {
            members[static_cast<std::size_t>(q - 1)].push_back(j);
        }
    }
    return members;
}

std::pair<Long, Long> MaxWorkSetRange(const SimulationData& sim, const ClusterRun& run,
                                      const std::vector<std::size_t>& members) {
    std::optional<Long> smallest;
    Long largest = 0;
    for (const std::size_t j : members) {
        const Long workSet = sim.Objects(run.ClusterMembers[j]).SimMaxWorkSet(run.size);
        smallest = std::min(smallest.value_or(workSet), workSet);
        largest = std::max(largest, workSet);
    }
    return {smallest.value_or(0), largest};
}

std::vector<ClusterListRow> FillClusterList(const SimulationData& sim, const ClusterRun& run) {
    std::vector<ClusterListRow> rows;
    int q = 0;
    for (const std::vector<std::size_t>& members : MembersByCluster(run)) {
        ++q;
        const auto [smallest, largest] = MaxWorkSetRange(sim, run, members);
        rows.push_back({q,
                        {PlainText(static_cast<std::int64_t>(q)), PlainText(static_cast<std::int64_t>(smallest)),
                         PlainText(static_cast<std::int64_t>(largest))}});
    }
    return rows;
}

ClusterObjectRow ClusterMemberRow(const Report& report, const SimulationData& sim, const ClusterRun& run, int o) {
    const ObjectRecord& object = report.Objects(o);
    return {o,
            {Latin1ToUtf8(object.ObjName.Trimmed()),
             PlainText(static_cast<std::int64_t>(sim.Objects(o).SimMaxWorkSet(run.size))),
             Latin1ToUtf8(object.ObjType.Padded())},
            IconOf(object)};
}

namespace {

std::string MembersStatus(std::size_t members, int q) {
    return std::to_string(members) + " Objects in Cluster " + std::to_string(q);
}

} // namespace

std::vector<ClusterObjects> AllClusterObjects(const Report& report, const SimulationData& sim, const ClusterRun& run) {
    std::vector<ClusterObjects> all;
    for (const std::vector<std::size_t>& members : MembersByCluster(run)) {
        ClusterObjects shown;
        for (const std::size_t j : members) {
            shown.rows.push_back(ClusterMemberRow(report, sim, run, run.ClusterMembers[j]));
        }
        shown.status = MembersStatus(shown.rows.size(), static_cast<int>(all.size()) + 1);
        all.push_back(std::move(shown));
    }
    return all;
}

std::optional<ClusterObjects> ShowClusterObjects(const Report& report, const SimulationData& sim, const ClusterRun& run,
                                                 int q) {
    if (q == 0) {
        return std::nullopt;
    }
    ClusterObjects shown;
    for (std::size_t j = 0; j < run.ClusterMembers.size() && j < run.ClusterOfMember.size(); ++j) {
        if (run.ClusterOfMember[j] == q) {
            shown.rows.push_back(ClusterMemberRow(report, sim, run, run.ClusterMembers[j]));
        }
    }
    shown.status = MembersStatus(shown.rows.size(), q);
    return shown;
}

std::filesystem::path ClusterFileName(const std::filesystem::path& chosen) {
    std::filesystem::path name = chosen;
    name.replace_extension(".qvl");
    return name;
}

ExportResult WriteClusterDataFile(const std::filesystem::path& path, const std::vector<ClusterObjectRow>& rows) {
    ExportResult result;
    if (rows.empty()) {
        return result;
    }
    std::string text;
    for (const ClusterObjectRow& row : rows) {
        const std::string& name = row.cells[0];
        const std::string& type = row.cells[2];
        if (name.find("DSNDB06") == std::string::npos && type != "U" && type != "*") {
            text += Utf8ToLatin1(name) + "\r\n"; // the host's own bytes, as the report wrote them
        }
    }
    if (const auto failure = WriteFileWhole(path, text)) {
        result.messages.push_back(
            {"Create Cluster File", "File <" + path.string() + "> not created: " + *failure, MessageIcon::Exclamation});
        return result;
    }
    result.value = "Cluster data file created";
    return result;
}

ExportResult WriteIndexExcludeFile(const Report& report, int p, const std::filesystem::path& folder) {
    ExportResult result;
    std::string text;
    int count = 0;
    const ObjectRange range = PoolObjects(report, p);
    for (const int o : range) {
        const ObjectRecord& object = report.Objects(o);
        if (ContainsIgnoringCase(object.ObjName.Padded(), "DSNDB06") || object.ObjType.Padded() != "I") {
            continue;
        }
        text += std::string(object.ObjName.Padded()) + "\r\n";
        ++count;
    }
    if (count == 0) {
        result.messages.push_back({"No Exclude Members", "File Not Created", MessageIcon::Information});
        return result;
    }
    const std::filesystem::path path = std::filesystem::absolute(folder / IndexExcludeFile);
    if (const auto failure = WriteFileWhole(path, text)) {
        result.messages.push_back({"All Index Exclude Objects", "File <" + path.string() + "> not created: " + *failure,
                                   MessageIcon::Exclamation});
        return result;
    }
    result.value.emplace();
    result.messages.push_back(
        {"All Index Exclude Objects", "File <" + path.string() + "> created.", MessageIcon::Information});
    return result;
}

} // namespace ornexa
