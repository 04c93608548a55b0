#include "session/rule_analysis_page.h"

namespace ornexa {

void RuleAnalysisPage::SetPool(int p) {
    pool_ = p;
    rules_.LoadRuleTexts();
    SetUsage(PoolUsage::Random);
}

void RuleAnalysisPage::SetUsage(PoolUsage usage) {
    usage_ = usage;
    rules_.EvaluateRules(report_, pool_, usage_); // once for each change
    analysis_ = ShowRuleAnalysis(report_, pool_, rules_);
    Changed();
}

} // namespace ornexa
