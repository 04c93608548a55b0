#include "rules/config_rules.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>
#include <stdexcept>

#include "report/field_presence.h"
#include "report/latin1.h"
#include "report/number_format.h"
#include "report/record_catalogue.h"

namespace ornexa {

std::string_view RuleText(int n) {
    static constexpr std::array<std::string_view, RuleTextCount> texts{
        "  Rule # 1 - Guaranteed Better Performance With more than one 4K Pool",
        "  Rule # 2 - Separate Indexes and DSNDB07 from Table Spaces",
        "  Rule # 3 - Separate Indexes from Table Spaces",
        "  Rule # 4 - Separate Scanned Indexes from Random Indexes",
        "  Rule # 5 - Move Sort Work Objects into their own pool",
        "  Rule # 6 - DSNDB07 should not have a HiperPool Allocated",
        "  Rule # 7 - All 4K-DSNDB07 objects should be in the same pool",
        "  Rule # 8 - DSNDB07 should have a dedicated pool",
        "  Rule # 9 - ",
        "  Rule # 10 - VP Sequential Threshold should not be > 25% for Random Pools",
        "  Rule # 11 - VP Sequential Threshold should not provide < 128 buffers.",
        "  Rule # 12 - ",
        "  Rule # 13 - ",
        "  Rule # 14 - ",
        "  Rule # 15 - VP Sequential Threshold should not be > 25% for Random Pools",
        "  Rule # 16 - VP Sequential Threshold should not provide < 256 buffers.",
        "  Rule # 17 - ",
        "  Rule # 18 - HP should not cache Seq. Pages for a Random Pool. HPSEQT should be 0",
        "  Rule # 19 - ",
        "  Rule # 20 - VPSEQT should not be > 90% to allow some random pages to stay resident",
        "  Rule # 21 - VPSEQT for dedicated sort pool should be > 90% to 95%",
        "  Rule # 22 - Dedicated sort pool should not have or use a HiperPool",
        "  Rule # 23 - ",
        "  Rule # 24 - Lower the VWTH to :",
        "  Rule # 25 - ",
        "  Rule # 26 - Lower the DWTH to :",
        "  Rule # 27 - ",
        "  Rule # 28 - ",
        "  Rule # 29 - ",
        "  Rule # 30 - Avg. Synchronous I/O times too high > 30Ms",
        "  Rule # 31 - Avg. Synchronous I/O times too high > 22Ms",
        "  Rule # 32 - Avg. Sequential Prefetch I/O times too high > 60Ms",
        "  Rule # 33 - ",
        "  Rule # 34 - Avg. List Prefetch I/O times too high > 80Ms",
        "  Rule # 35 - ",
        "  Rule # 36 - Avg. Dynamic Prefetch I/O times too high > 60Ms",
    };
    if (n < 1 || n > RuleTextCount) {
        throw std::out_of_range("rules are numbered 1 to 36");
    }
    return texts[static_cast<std::size_t>(n - 1)];
}

namespace {

bool NameHas(const ObjectRecord& o, std::string_view part) {
    return o.ObjName.Padded().find(part) != std::string_view::npos;
}

// Calls f for each object of pool p.
template <class F> void ForEachObject(const Report& report, int p, F f) {
    const ObjectRange range = PoolObjects(report, p);
    for (const int o : range) {
        f(report.Objects(o));
    }
}

} // namespace

ObjectMix PoolObjectMix(const Report& report, int p) {
    bool indexes = false;
    bool tables = false;
    ForEachObject(report, p, [&](const ObjectRecord& o) {
        indexes = indexes || o.ObjType.Padded() == "I";
        tables = tables || o.ObjType.Padded() == "T";
    });
    if (indexes && tables) {
        return ObjectMix::IndexesAndTableSpaces;
    }
    return tables ? ObjectMix::TableSpacesOnly : ObjectMix::NoTableSpace;
}

bool AllSystemObjects(const Report& report, int p) {
    int system = 0;
    ForEachObject(report, p, [&](const ObjectRecord& o) {
        const bool special = o.ObjType.Padded() == "*" || o.ObjType.Padded() == "U";
        system += NameHas(o, "DSNRLST") || NameHas(o, "DSNDB06") || special ? 1 : 0;
    });
    return system == PoolObjects(report, p).Count();
}

SortWork SortWorkPlacement(const Report& report, int p) {
    int sortWork = 0;
    ForEachObject(report, p, [&](const ObjectRecord& o) { sortWork += NameHas(o, "DSNDB07") ? 1 : 0; });
    if (sortWork == 0) {
        return SortWork::None;
    }
    return sortWork == PoolObjects(report, p).Count() ? SortWork::Only : SortWork::Mixed;
}

bool HasBP32Pool(const Report& report) {
    // Only the pools read: a header may declare more than the file holds.
    const int pools = std::min<int>(report.Header.ReportPoolCount, report.PoolCount());
    for (int p = 1; p <= pools; ++p) {
        if (report.Pools(p).PoolName.Padded().find("BP32") != std::string_view::npos) {
            return true;
        }
    }
    return false;
}

int RandomIndexCheck(const Report& report, int p) {
    int check = 1;
    ForEachObject(report, p, [&](const ObjectRecord& o) {
        const double total = static_cast<double>(o.GetPagesByAccess(1)) + o.GetPagesByAccess(2) + o.GetPagesByAccess(3);
        if (o.GetPagesByAccess(2) < 0.1 * total) {
            check = -1;
        }
    });
    return check;
}

void RuleFindings::AddRule(int n, std::string text) {
    if (MatchedRuleCount() < MaxMatchedRules) {
        matched_.push_back(text.empty() ? Text(n) : std::move(text));
        numbers_.push_back(n);
        figures_.emplace_back();
    }
}

void RuleFindings::AddRule(int n, std::string text, int figure) {
    if (MatchedRuleCount() < MaxMatchedRules) {
        AddRule(n, std::move(text));
        figures_.back() = figure;
    }
}

void RuleFindings::SkipRule(int n) {
    if (std::find(skipped_.begin(), skipped_.end(), n) == skipped_.end()) {
        skipped_.push_back(n);
    }
}

std::vector<MatchedRule> RuleFindings::Matched() const {
    std::vector<MatchedRule> rules;
    for (std::size_t i = 0; i < matched_.size(); ++i) {
        rules.push_back({numbers_[i], matched_[i], figures_[i]});
    }
    return rules;
}

namespace {

// Which figures of pool p its input gives: a rule that reads a figure the input does not give is
// left out (a zero there is no measurement), and said so once.
class PoolInputs {
public:
    PoolInputs(const Report& report, int p) : report_(report), p_(p) {}

    [[nodiscard]] bool Give(std::initializer_list<std::string_view> fields) const {
        return std::all_of(fields.begin(), fields.end(),
                           [this](std::string_view name) { return PoolFieldGiven(report_, p_, name); });
    }
    // The getpages by access of every object of the pool.
    [[nodiscard]] bool GiveObjectAccess() const {
        const std::array<std::size_t, 3> fields{FieldIndex<ObjectRecord>(ObjectCatalogue(), "GetPagesByAccess(1)"),
                                                FieldIndex<ObjectRecord>(ObjectCatalogue(), "GetPagesByAccess(2)"),
                                                FieldIndex<ObjectRecord>(ObjectCatalogue(), "GetPagesByAccess(3)")};
        for (const int o : PoolObjects(report_, p_)) {
            for (const std::size_t f : fields) {
                if (!ObjectFieldGiven(report_, o, f)) {
                    return false;
                }
            }
        }
        return true;
    }

private:
    const Report& report_;
    int p_;
};

// 1. Placement of indexes and table spaces.
void AddPlacementRules(RuleFindings& found, const Report& report, int p, const PoolInputs& given) {
    const PoolRecord& pool = report.Pools(p);
    if (report.PoolCount() > 2) {
        const ObjectMix mix = PoolObjectMix(report, p);
        bool anyIndex = false;
        ForEachObject(report, p, [&](const ObjectRecord& o) { anyIndex = anyIndex || o.ObjType.Padded() == "I"; });
        if (mix == ObjectMix::IndexesAndTableSpaces && !AllSystemObjects(report, p)) {
            found.AddRule(3);
        } else if (mix == ObjectMix::NoTableSpace && anyIndex) {
            if (!given.GiveObjectAccess()) {
                found.SkipRule(4);
            } else if (RandomIndexCheck(report, p) > 0) {
                found.AddRule(4);
            }
        }
    } else if (HasBP32Pool(report) || report.PoolCount() == 1) {
        if (!given.Give({"VPSize", "HPSize"})) {
            found.SkipRule(1);
            found.SkipRule(2);
            found.SkipRule(3);
        } else if (static_cast<std::int64_t>(pool.VPSize) + pool.HPSize >= 6000) {
            found.AddRule(1);
            found.AddRule(2);
            found.AddRule(3);
        }
    }
}

// 2. Sort work.
void AddSortWorkRules(RuleFindings& found, const PoolRecord& pool, SortWork s, const PoolInputs& given) {
    if (s == SortWork::None) {
        return;
    }
    if (s == SortWork::Mixed) {
        found.AddRule(5);
    }
    if (!given.Give({"HPSize"})) {
        found.SkipRule(6);
    } else if (pool.HPSize >= 1) {
        found.AddRule(6);
    }
    if (pool.PoolName.Padded().find("BP0") == std::string_view::npos && s == SortWork::Mixed) {
        found.AddRule(8);
    }
}

// 3. Thresholds by usage.
void AddUsageThresholdRules(RuleFindings& found, const PoolRecord& pool, PoolUsage usage, SortWork s,
                            const PoolInputs& given) {
    if (usage == PoolUsage::Random) {
        if (!given.Give({"VPSeqThreshold"})) {
            found.SkipRule(10);
        } else if (pool.VPSeqThreshold > 25) {
            found.AddRule(10);
        }
        if (!given.Give({"HPSize", "HPSeqThreshold"})) {
            found.SkipRule(18);
        } else if (pool.HPSize > 0 && pool.HPSeqThreshold != 0) {
            found.AddRule(18);
        }
    } else if (usage == PoolUsage::Sequential) {
        if (!given.Give({"VPSeqThreshold"})) {
            for (const int n : s == SortWork::Only ? std::vector<int>{21, 22} : std::vector<int>{20}) {
                found.SkipRule(n);
            }
        } else if (pool.VPSeqThreshold < 90) {
            if (s == SortWork::Only) {
                found.AddRule(21);
            }
        } else {
            if (s == SortWork::None) {
                found.AddRule(20);
            }
            if (s == SortWork::Only && !given.Give({"HPSize"})) {
                found.SkipRule(22);
            } else if (s == SortWork::Only && pool.HPSize > 0) {
                found.AddRule(22);
            }
        }
    }
}

// 4. Average I/O times.
void AddIOTimeRules(RuleFindings& found, const PoolRecord& pool, const PoolInputs& given) {
    if (!given.Give({"AvgSyncIOTime"})) {
        found.SkipRule(30);
        found.SkipRule(31);
    } else if (pool.AvgSyncIOTime > 30) {
        found.AddRule(30);
    } else if (pool.AvgSyncIOTime > 22) {
        found.AddRule(31);
    }
    const auto timeRule = [&](int n, std::string_view field, double time, double limit) {
        if (!given.Give({field})) {
            found.SkipRule(n);
        } else if (time > limit) {
            found.AddRule(n);
        }
    };
    timeRule(32, "AvgSeqPrefetchIOTime", pool.AvgSeqPrefetchIOTime, 60);
    timeRule(34, "AvgListPrefetchIOTime", pool.AvgListPrefetchIOTime, 80);
    timeRule(36, "AvgDynPrefetchIOTime", pool.AvgDynPrefetchIOTime, 60);
}

// 5. and 6. Deferred write thresholds, in percent of the pool: there is none without a size.
void AddDeferredWriteRules(RuleFindings& found, const PoolRecord& pool, SortWork s, int objects,
                           const PoolInputs& given) {
    if (!given.Give({"VPSize", "PoolPagesWritten", "PoolWriteIOs", "VWTH", "DWTH"})) {
        found.SkipRule(24);
        found.SkipRule(26);
        return;
    }
    if (pool.VPSize == 0) {
        return;
    }
    const auto ppw = pool.PoolWriteIOs == 0
                         ? 0.0F
                         : static_cast<float>(static_cast<double>(pool.PoolPagesWritten) / pool.PoolWriteIOs);
    auto t = static_cast<float>(static_cast<double>(ppw) / pool.VPSize * 100);
    const double u = t;
    t = (t - std::floor(t) > 0.5F) ? std::floor(t) + 1 : std::floor(t);
    t = std::max(t, 0.0F);
    if (s != SortWork::Only && static_cast<float>(pool.VWTH) > t) {
        found.AddRule(24, found.Text(24) + "  " + FormatPicture(t, "###0") + "%", static_cast<int>(t));
    }
    if (s == SortWork::Only) {
        if (pool.PoolWriteIOs > 20) {
            found.AddRule(26, found.Text(26) + (objects <= 3 ? "  30%" : "  20%"), objects <= 3 ? 30 : 20);
        }
    } else {
        const double y = u * objects;
        if (y > 2 && y < pool.DWTH && pool.DWTH <= 50) {
            found.AddRule(26, found.Text(26) + "  " + StrText(std::ceil(y)) + "%", static_cast<int>(std::ceil(y)));
        } else if (pool.DWTH > 50) {
            found.AddRule(26, found.Text(26) + "  20%", 20);
        }
    }
}

} // namespace

RuleFindings RuleBook::EvaluateRules(const Report& report, int p, PoolUsage usage) const {
    RuleFindings found(loaded_);
    if (!report.HasPool(p)) {
        return found;
    }
    const PoolRecord& pool = report.Pools(p);
    const SortWork s = SortWorkPlacement(report, p);
    const PoolInputs given(report, p);
    AddPlacementRules(found, report, p, given);
    AddSortWorkRules(found, pool, s, given);
    AddUsageThresholdRules(found, pool, usage, s, given);
    AddIOTimeRules(found, pool, given);
    AddDeferredWriteRules(found, pool, s, PoolObjects(report, p).Count(), given);
    return found;
}

std::string SkippedRulesLine(const std::vector<int>& skipped) {
    if (skipped.empty()) {
        return {};
    }
    std::vector<int> numbers = skipped;
    std::sort(numbers.begin(), numbers.end());
    std::string line = numbers.size() == 1 ? "  Rule " : "  Rules ";
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        line += (i == 0 ? "" : ", ") + std::to_string(numbers[i]);
    }
    return line + " not applied: " + std::string(NotInThisInput);
}

RuleAnalysis ShowRuleAnalysis(const Report& report, int p, const RuleFindings& findings) {
    RuleAnalysis analysis;
    analysis.caption = "Buffer Pool Stat Analysis - ";
    if (report.HasPool(p)) {
        analysis.caption += Latin1ToUtf8(report.Pools(p).PoolName.Padded());
    }
    analysis.rules = findings.MatchedRules();
    if (const std::string skipped = SkippedRulesLine(findings.SkippedRules()); !skipped.empty()) {
        analysis.rules.push_back(skipped);
    }
    return analysis;
}

std::vector<std::string> RulesFor(const Report& report, int p, PoolUsage usage) {
    RuleBook book;
    book.LoadRuleTexts();
    return book.EvaluateRules(report, p, usage).MatchedRules();
}

std::vector<MatchedRule> MatchedRulesFor(const Report& report, int p, PoolUsage usage) {
    RuleBook book;
    book.LoadRuleTexts();
    return book.EvaluateRules(report, p, usage).Matched();
}

} // namespace ornexa
