#pragma once

#include "report/report_model.h"
#include "rules/config_rules.h"
#include "rules/pool_usage.h"
#include "session/page_version.h"

namespace ornexa {

// The "Pool Stat Analysis" tab: the rules that apply to the pool shown under the usage chosen.
class RuleAnalysisPage : public PageVersion {
public:
    explicit RuleAnalysisPage(const Report& report) : report_(report) {}

    // A pool is shown (0 for none): every pool starts as a random pool.
    void SetPool(int p);
    // "Pool Usage Intent": the rules under that usage.
    void SetUsage(PoolUsage usage);

    [[nodiscard]] PoolUsage Usage() const { return usage_; }
    // The option button of the usage shown: 1 Random, 0 Sequential.
    [[nodiscard]] int UsageOption() const { return usage_ == PoolUsage::Sequential ? 0 : 1; }
    [[nodiscard]] const RuleAnalysis& Analysis() const { return analysis_; }

private:
    const Report& report_;
    int pool_ = 0;
    PoolUsage usage_ = PoolUsage::None;
    RuleBook rules_;
    RuleAnalysis analysis_;
};

} // namespace ornexa
