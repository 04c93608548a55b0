#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "report/report_model.h"
#include "rules/pool_usage.h"

namespace ornexa {

inline constexpr int RuleTextCount = 36;
inline constexpr int MaxMatchedRules = 50;

// Rule n's text (1..36); every text starts with two blanks.
std::string_view RuleText(int n);

// Properties of pool p that the rules look at.
enum class ObjectMix { IndexesAndTableSpaces = 9, NoTableSpace = -1, TableSpacesOnly = 1 };
ObjectMix PoolObjectMix(const Report& report, int p);
bool AllSystemObjects(const Report& report, int p);     // catalog, resource-limit, "*" and "U" objects only
enum class SortWork { None = -9, Only = 1, Mixed = 0 }; // DSNDB07 objects among the pool's objects
SortWork SortWorkPlacement(const Report& report, int p);
bool HasBP32Pool(const Report& report);            // a pool named with "BP32" among the pools read
int RandomIndexCheck(const Report& report, int p); // -1 when an object has random getpages below 10 %

// A matched rule: its number, its text as listed, and the figure its text ends with (the VWTH of
// rule 24, the DWTH of rule 26) when it has one.
struct MatchedRule {
    int number = 0;
    std::string text;
    std::optional<int> figure;
};

// The rules matched for one pool, in list order.
class RuleFindings {
public:
    // Findings listed with the rules' texts, or (for a rule book without them) with empty texts.
    explicit RuleFindings(bool withTexts = true) : withTexts_(withTexts) {}

    // Appends rule n's text, or `text` built from it; the list holds at most 50.
    void AddRule(int n, std::string text = {});
    // The same with the figure the text ends with.
    void AddRule(int n, std::string text, int figure);
    // Rule n was not applied: a figure it reads is not in the report's input (listed once).
    void SkipRule(int n);

    [[nodiscard]] const std::vector<std::string>& MatchedRules() const { return matched_; }
    // The rules left out because their figures are not in the input, in the order they were met.
    [[nodiscard]] const std::vector<int>& SkippedRules() const { return skipped_; }
    [[nodiscard]] int MatchedRuleCount() const { return static_cast<int>(matched_.size()); }
    // The matched rules with their numbers and figures, in list order.
    [[nodiscard]] std::vector<MatchedRule> Matched() const;
    // Rule n's text as this list shows it.
    [[nodiscard]] std::string Text(int n) const { return withTexts_ ? std::string(RuleText(n)) : std::string{}; }

private:
    std::vector<std::string> matched_;
    std::vector<int> numbers_;
    std::vector<std::optional<int>> figures_;
    std::vector<int> skipped_;
    bool withTexts_ = true;
};

// The rule texts and the evaluation of the rules: the report and the book stay as they are.
class RuleBook {
public:
    // Loads the 36 texts.
    void LoadRuleTexts() { loaded_ = true; }
    // The rules that apply to pool p under `usage`; each rule is evaluated on its own.
    [[nodiscard]] RuleFindings EvaluateRules(const Report& report, int p, PoolUsage usage) const;

private:
    bool loaded_ = false;
};

// The one line of the rule list that names the rules not applied to a pool, "  Rules 6, 30, 31 not
// applied: not in this input"; empty when every rule was applied.
std::string SkippedRulesLine(const std::vector<int>& skipped);

// The rule page: its caption and the list of matched rules, then the line of the rules not applied.
struct RuleAnalysis {
    std::string caption; // "Buffer Pool Stat Analysis - " and the pool name as stored
    std::vector<std::string> rules;
};
RuleAnalysis ShowRuleAnalysis(const Report& report, int p, const RuleFindings& findings);

// Loads, evaluates and shows in one: the rules of pool p under `usage`.
std::vector<std::string> RulesFor(const Report& report, int p, PoolUsage usage);
std::vector<MatchedRule> MatchedRulesFor(const Report& report, int p, PoolUsage usage);

} // namespace ornexa
