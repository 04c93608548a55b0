#include "session/rule_analysis_page.h"

#include "report/number_format.h"

namespace ornexa {

void RuleAnalysisPage::SetPool(int p) {
    pool_ = p;
    rules_.LoadRuleTexts();
    metrics_.clear();
    if (report_.HasPool(p)) {
        for (const MetricRow& row : MetricRows(ComputePoolMetrics(report_, p))) {
            metrics_.push_back(
                {row.caption, row.value ? FormatPicture(*row.value, "#,##0.00", style_) : std::string(), row.note});
        }
    }
    SetUsage(PoolUsage::Random);
}

void RuleAnalysisPage::SetUsage(PoolUsage usage) {
    usage_ = usage;
    const RuleFindings findings = rules_.EvaluateRules(report_, pool_, usage_); // once for each change
    analysis_ = ShowRuleAnalysis(report_, pool_, findings);
    advice_ = report_.HasPool(pool_) ? PoolCommands(report_, sim_, pool_, usage_) : PoolAdvice{};
    commandsText_ = report_.HasPool(pool_)
                        ? CommandsFileText({{std::string(report_.Pools(pool_).PoolName.Trimmed()), advice_}})
                        : std::string();
    Changed();
}

} // namespace ornexa
