#pragma once

#include <string>
#include <vector>

#include "advice/regroup.h"
#include "cluster/clustering.h"
#include "report/report_model.h"

namespace ornexa {

// "Regroup Objects...": a target pool for each cluster of the run shown, and the statements that move
// the clusters' objects there, made again whenever a target changes.
class RegroupPage {
public:
    RegroupPage(const Report& report, int pool, ClusterRun run);

    [[nodiscard]] int ClusterCount() const { return static_cast<int>(targets_.size()); }
    // The pool names a target may take: those of the pool's page size, in name order.
    [[nodiscard]] const std::vector<std::string>& Choices() const { return choices_; }
    [[nodiscard]] const std::vector<std::string>& Targets() const { return targets_; }
    // Cluster q (1-based) moves to `target`; a name that cannot take the objects is refused, with
    // the reason in Statements().
    void SetTarget(int cluster, std::string target);
    [[nodiscard]] const std::vector<ClusterStatements>& Statements() const { return statements_; }
    // The reasons of every refused target and of every member left out for its name, one line each
    // ("Cluster 2: ...").
    [[nodiscard]] std::vector<std::string> Problems() const;
    // The whole file, as "Copy" and "Save..." take it.
    [[nodiscard]] const std::string& Text() const { return text_; }
    [[nodiscard]] std::string DefaultFileName() const;

private:
    void Make();

    const Report& report_;
    int pool_;
    ClusterRun run_;
    std::vector<std::string> choices_;
    std::vector<std::string> targets_;
    std::vector<ClusterStatements> statements_;
    std::string text_;
};

} // namespace ornexa
