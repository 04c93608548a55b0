#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "advice/pool_commands.h"
#include "cluster/clustering.h"
#include "report/report_model.h"

namespace ornexa {

// The clusters of `run`, numbered 1..run.result; none when the run gave no cluster.
int RegroupClusterCount(const ClusterRun& run);

// A target pool per cluster: the buffer-pool names of pool p's page size that the report does not
// use, in name order, one per cluster; an empty name when there are not enough (or p's name is no
// buffer-pool name).
std::vector<std::string> DefaultTargets(const Report& report, int p, const ClusterRun& run);

// Why `target` cannot take objects of pool p: it is no buffer-pool name, or it has another page
// size; absent when it can.
std::optional<std::string> TargetProblem(const Report& report, int p, std::string_view target);

// What one cluster's move writes: ALTER TABLESPACE per table-space member, a SELECT writing the
// ALTER INDEX statements per database of its index members, other members as comments (as is a
// member whose database or space name is no Db2 ordinary identifier, with the reason). A cluster
// whose target is refused has `problem` set and no statement.
struct ClusterStatements {
    int cluster = 0;
    std::string target;
    std::optional<std::string> problem;
    std::vector<std::string> statements;
    std::vector<std::string> comments; // without the leading "-- "
    // The comments of members whose database or space name is no Db2 name, and so in no statement.
    std::vector<std::string> refused;
};
// targets[q - 1] is cluster q's target; a missing one counts as empty.
std::vector<ClusterStatements> RegroupStatements(const Report& report, int p, const ClusterRun& run,
                                                 const std::vector<std::string>& targets);

// The statements as advice, source "cluster q", kind Sql.
std::vector<Advice> RegroupAdvice(const std::vector<ClusterStatements>& clusters);

// The whole .sql file: the top comment (when the change takes effect), then per cluster a comment
// line, its statements and comments.
std::string RegroupText(const Report& report, int p, const ClusterRun& run, const std::vector<std::string>& targets);

} // namespace ornexa
