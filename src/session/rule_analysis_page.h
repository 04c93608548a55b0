#pragma once

#include <string>
#include <vector>

#include "advice/pool_commands.h"
#include "advice/pool_metrics.h"
#include "report/numbers.h"
#include "report/report_model.h"
#include "rules/config_rules.h"
#include "rules/pool_usage.h"
#include "session/page_version.h"
#include "simulation/sim_data.h"

namespace ornexa {

// One row of the "Pool Metrics" table as the window shows it.
struct MetricCells {
    std::string caption; // with its unit
    std::string value;   // in the window's figures; empty when absent
    std::string note;    // the verdict, or why the value is absent
    friend bool operator==(const MetricCells&, const MetricCells&) = default;
};

// The "Pool Stat Analysis" tab: the rules that apply to the pool shown under the usage chosen, the
// pool's derived metrics, and the commands that carry the findings out.
class RuleAnalysisPage : public PageVersion {
public:
    RuleAnalysisPage(const Report& report, const SimulationData& sim, NumberStyle style = {})
        : report_(report), sim_(sim), style_(style) {}

    // A pool is shown (0 for none): every pool starts as a random pool.
    void SetPool(int p);
    // "Pool Usage Intent": the rules under that usage.
    void SetUsage(PoolUsage usage);

    [[nodiscard]] PoolUsage Usage() const { return usage_; }
    // The option button of the usage shown: 1 Random, 0 Sequential.
    [[nodiscard]] int UsageOption() const { return usage_ == PoolUsage::Sequential ? 0 : 1; }
    [[nodiscard]] const RuleAnalysis& Analysis() const { return analysis_; }
    [[nodiscard]] const std::vector<MetricCells>& Metrics() const { return metrics_; }
    [[nodiscard]] const PoolAdvice& Advice() const { return advice_; }
    // The pool's commands as a file ready for the host; empty without a pool.
    [[nodiscard]] const std::string& CommandsText() const { return commandsText_; }

private:
    const Report& report_;
    const SimulationData& sim_;
    NumberStyle style_;
    int pool_ = 0;
    PoolUsage usage_ = PoolUsage::None;
    RuleBook rules_;
    RuleAnalysis analysis_;
    std::vector<MetricCells> metrics_;
    PoolAdvice advice_;
    std::string commandsText_;
};

} // namespace ornexa
