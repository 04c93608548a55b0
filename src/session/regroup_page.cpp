#include "session/regroup_page.h"

#include "advice/pool_commands.h"
#include "report/shown_text.h"

namespace ornexa {

RegroupPage::RegroupPage(const Report& report, int pool, ClusterRun run)
    : report_(report), pool_(pool), run_(std::move(run)) {
    if (report_.HasPool(pool_)) {
        if (const auto pageSize = PageSizeKB(report_.Pools(pool_).PoolName.Trimmed())) {
            choices_ = BufferPoolNames(*pageSize);
        }
    }
    targets_ = DefaultTargets(report_, pool_, run_);
    targets_.resize(static_cast<std::size_t>(RegroupClusterCount(run_)));
    Make();
}

void RegroupPage::SetTarget(int cluster, std::string target) {
    if (cluster < 1 || cluster > ClusterCount()) {
        return;
    }
    targets_[static_cast<std::size_t>(cluster - 1)] = std::move(target);
    Make();
}

void RegroupPage::Make() {
    statements_ = RegroupStatements(report_, pool_, run_, targets_);
    text_ = RegroupText(report_, pool_, run_, targets_);
}

std::vector<std::string> RegroupPage::Problems() const {
    std::vector<std::string> problems;
    for (const ClusterStatements& cluster : statements_) {
        const std::string prefix = "Cluster " + std::to_string(cluster.cluster) + ": ";
        if (cluster.problem) {
            problems.push_back(prefix + EscapeControls(*cluster.problem));
        }
        for (const std::string& refused : cluster.refused) {
            problems.push_back(prefix + refused);
        }
    }
    return problems;
}

std::string RegroupPage::DefaultFileName() const {
    const std::string pool = report_.HasPool(pool_) ? std::string(report_.Pools(pool_).PoolName.Trimmed()) : "pool";
    return "regroup-" + pool + ".sql";
}

} // namespace ornexa
