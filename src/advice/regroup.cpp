#include "advice/regroup.h"

#include <algorithm>
#include <cctype>

#include "cluster/cluster_views.h"
#include "report/fixed_text.h"
#include "report/latin1.h"
#include "report/letter_case.h"
#include "report/pool_choice.h"
#include "report/shown_text.h"

namespace ornexa {
namespace {

// A name inside an SQL string constant.
std::string Quoted(std::string_view name) {
    std::string quoted = "'";
    for (const char c : name) {
        quoted += c;
        if (c == '\'') {
            quoted += '\'';
        }
    }
    return quoted + "'";
}

std::string PoolNameOf(const Report& report, int p) {
    return report.HasPool(p) ? UpperCase(ShownPoolName(report, p)) : std::string{};
}

// "NAME (type X) is not moved: why"; the name as a one-line comment can hold it.
std::string NotMoved(const std::string& name, const std::string& type, std::string_view why) {
    std::string text = EscapeControls(name);
    text += " (type ";
    text += type.empty() ? std::string("blank") : EscapeControls(type);
    text += ") is not moved: ";
    text += why;
    return text;
}

// Db2 for z/OS takes a database or table-space name of at most 8 bytes as an ordinary identifier;
// a name written into a statement must be one, or the report's text would become SQL.
constexpr std::size_t MostNameBytes = 8;

bool FirstNameCharacter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '#' || c == '@' || c == '$';
}

bool NameCharacter(char c) {
    return FirstNameCharacter(c) || (c >= '0' && c <= '9') || c == '_';
}

// Why `name` (the `what` of an object) cannot be written into a statement; absent when it can.
std::optional<std::string> NameProblem(std::string_view name, std::string_view what) {
    const std::string prefix = "its " + std::string(what) + " name ";
    if (name.empty()) {
        return prefix + "is empty";
    }
    if (name.size() > MostNameBytes) {
        return prefix + "is longer than " + std::to_string(MostNameBytes) + " characters";
    }
    if (!FirstNameCharacter(name.front())) {
        return prefix + "does not begin with a letter, #, @ or $";
    }
    if (!std::all_of(name.begin(), name.end(), NameCharacter)) {
        return prefix + "holds a character other than letters, digits, #, @, $ and _";
    }
    return std::nullopt;
}

std::optional<std::string> MemberNameProblem(std::string_view db, std::string_view space, std::string_view type) {
    if (auto problem = NameProblem(db, "database")) {
        return problem;
    }
    return NameProblem(space, type == "T" ? "table space" : "index space");
}

bool SystemDatabase(std::string_view db) {
    return db == "DSNDB01" || db == "DSNDB06";
}

// The index members of one database, in member order.
struct IndexGroup {
    std::string database;
    std::vector<std::string> spaces;
};

} // namespace

int RegroupClusterCount(const ClusterRun& run) {
    return run.result > 0 ? run.result : 0;
}

std::vector<std::string> DefaultTargets(const Report& report, int p, const ClusterRun& run) {
    std::vector<std::string> targets(static_cast<std::size_t>(RegroupClusterCount(run)));
    const std::optional<int> kb = PageSizeKB(PoolNameOf(report, p));
    if (!kb) {
        return targets;
    }
    std::vector<std::string> used;
    for (int i = 1; i <= report.PoolCount(); ++i) {
        used.push_back(PoolNameOf(report, i));
    }
    std::size_t next = 0;
    for (const std::string& name : BufferPoolNames(*kb)) {
        if (next == targets.size()) {
            break;
        }
        if (std::find(used.begin(), used.end(), name) == used.end()) {
            targets[next++] = name;
        }
    }
    return targets;
}

std::optional<std::string> TargetProblem(const Report& report, int p, std::string_view target) {
    const std::string name = UpperCase(TrimBlanks(target));
    if (name.empty()) {
        return "no target pool";
    }
    const std::optional<int> kb = PageSizeKB(name);
    if (!kb) {
        return "\"" + name + "\" is not a buffer-pool name";
    }
    const std::string pool = PoolNameOf(report, p);
    const std::optional<int> poolKB = PageSizeKB(pool);
    if (!poolKB) {
        return "\"" + pool + "\" is not a buffer-pool name: the page size of its objects is not known";
    }
    if (*kb != *poolKB) {
        return name + " has pages of " + std::to_string(*kb) + " KB, the objects of " + pool + " pages of " +
               std::to_string(*poolKB) + " KB";
    }
    if (name == pool) {
        return "the objects are in " + name + " already";
    }
    return std::nullopt;
}

std::vector<ClusterStatements> RegroupStatements(const Report& report, int p, const ClusterRun& run,
                                                 const std::vector<std::string>& targets) {
    std::vector<ClusterStatements> clusters;
    const std::vector<std::vector<std::size_t>> members = MembersByCluster(run);
    for (int q = 1; q <= RegroupClusterCount(run); ++q) {
        ClusterStatements cluster;
        cluster.cluster = q;
        const auto index = static_cast<std::size_t>(q - 1);
        cluster.target = index < targets.size() ? UpperCase(TrimBlanks(targets[index])) : std::string{};
        cluster.problem = TargetProblem(report, p, cluster.target);

        std::vector<std::string> tableSpaces;
        std::vector<IndexGroup> indexes;
        for (const std::size_t j : members[index]) {
            if (!report.HasObject(run.ClusterMembers[j])) {
                continue;
            }
            const ObjectRecord& o = report.Objects(run.ClusterMembers[j]);
            const std::string name = Latin1ToUtf8(o.ObjName.Trimmed());
            const std::string type = Latin1ToUtf8(o.ObjType.Trimmed());
            const auto dot = name.find('.');
            const bool qualified = dot != std::string::npos && dot > 0 && dot + 1 < name.size();
            const std::string db = qualified ? name.substr(0, dot) : std::string{};
            const std::string space = qualified ? name.substr(dot + 1) : std::string{};
            if ((type == "T" || type == "I") && !qualified) {
                cluster.comments.push_back(NotMoved(name, type, "its name has no database"));
            } else if ((type == "T" || type == "I") && SystemDatabase(UpperCase(db))) {
                cluster.comments.push_back(NotMoved(name, type, "a catalog or directory object"));
            } else if (const auto bad =
                           (type == "T" || type == "I") ? MemberNameProblem(db, space, type) : std::nullopt) {
                cluster.comments.push_back(NotMoved(name, type, *bad));
                cluster.refused.push_back(cluster.comments.back());
            } else if (type == "T") {
                tableSpaces.push_back(name);
            } else if (type == "I") {
                auto group = std::find_if(indexes.begin(), indexes.end(),
                                          [&db](const IndexGroup& g) { return g.database == db; });
                if (group == indexes.end()) {
                    indexes.push_back({db, {}});
                    group = std::prev(indexes.end());
                }
                group->spaces.push_back(space);
            } else {
                cluster.comments.push_back(NotMoved(name, type, "only table spaces and indexes are"));
            }
        }
        if (!cluster.problem) {
            for (const std::string& ts : tableSpaces) {
                cluster.statements.push_back("ALTER TABLESPACE " + ts + " BUFFERPOOL " + cluster.target + ";");
            }
            for (const IndexGroup& group : indexes) {
                std::string list;
                for (const std::string& space : group.spaces) {
                    list += (list.empty() ? "" : ", ") + Quoted(space);
                }
                cluster.statements.push_back("SELECT 'ALTER INDEX ' CONCAT STRIP(CREATOR) CONCAT '.' CONCAT "
                                             "STRIP(NAME) CONCAT ' BUFFERPOOL " +
                                             cluster.target + ";' FROM SYSIBM.SYSINDEXES WHERE DBNAME = " +
                                             Quoted(group.database) + " AND INDEXSPACE IN (" + list + ");");
            }
        }
        clusters.push_back(std::move(cluster));
    }
    return clusters;
}

std::vector<Advice> RegroupAdvice(const std::vector<ClusterStatements>& clusters) {
    std::vector<Advice> advice;
    for (const ClusterStatements& cluster : clusters) {
        for (const std::string& statement : cluster.statements) {
            advice.push_back({"cluster " + std::to_string(cluster.cluster), AdviceKind::Sql, statement});
        }
    }
    return advice;
}

std::string RegroupText(const Report& report, int p, const ClusterRun& run, const std::vector<std::string>& targets) {
    const std::string pool = EscapeControls(PoolNameOf(report, p));
    std::string text = "-- Moves the clusters of " + pool +
                       " into pools of their own.\n"
                       "-- A new buffer pool takes effect when an object is next opened (after -STOP DATABASE\n"
                       "-- and -START DATABASE of its space, for instance). For some table-space types the\n"
                       "-- change is pending and a REORG of the table space applies it.\n"
                       "-- The SELECT statements write the ALTER INDEX statements to run next.\n";
    const std::vector<ClusterStatements> clusters = RegroupStatements(report, p, run, targets);
    if (clusters.empty()) {
        text += "\n-- The cluster run has no cluster.\n";
    }
    for (const ClusterStatements& cluster : clusters) {
        text += "\n-- Cluster " + std::to_string(cluster.cluster);
        text += cluster.problem ? ": not moved: " + EscapeControls(*cluster.problem) : " to " + cluster.target;
        text += "\n";
        for (const std::string& statement : cluster.statements) {
            text += statement + "\n";
        }
        for (const std::string& comment : cluster.comments) {
            text += "-- " + comment + "\n";
        }
    }
    return text;
}

} // namespace ornexa
