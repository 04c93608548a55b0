#include "advice/regroup.h"

namespace ornexa {

int RegroupClusterCount(const ClusterRun& run) { return run.result > 0 ? run.result : 0; }

std::vector<std::string> DefaultTargets(const Report& /*report*/, int /*p*/, const ClusterRun& run) {
    return std::vector<std::string>(static_cast<std::size_t>(RegroupClusterCount(run)));
}

std::optional<std::string> TargetProblem(const Report& /*report*/, int /*p*/, std::string_view /*target*/) {
    return std::nullopt;
}

std::vector<ClusterStatements> RegroupStatements(const Report& /*report*/, int /*p*/, const ClusterRun& /*run*/,
                                                 const std::vector<std::string>& /*targets*/) {
    return {};
}

std::vector<Advice> RegroupAdvice(const std::vector<ClusterStatements>& /*clusters*/) { return {}; }

std::string RegroupText(const Report& /*report*/, int /*p*/, const ClusterRun& /*run*/,
                        const std::vector<std::string>& /*targets*/) {
    return {};
}

} // namespace ornexa
