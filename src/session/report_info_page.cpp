#include "session/report_info_page.h"

#include "report/field_presence.h"
#include "report/number_format.h"
#include "report/record_catalogue.h"

namespace ornexa {

namespace {

// The header fields of the facts, in label order.
constexpr std::array<std::string_view, ReportDataCount> DataFields{"CollectionDate", "CollectionTime", "ElapsedTime",
                                                                   "SystemName",     "SubSystemName",  "Db2Version"};
constexpr std::size_t ElapsedTimeFact = 2;
constexpr std::size_t RateTotal = 4; // "Total I/Os per second"
constexpr std::size_t HitRatioColumn = 4;
constexpr std::size_t RateColumn = 5; // "I/O Sec"

std::string InputKindOf(const Db2Facts& facts) {
    std::string kind = "Db2 display";
    if (facts.from.empty()) {
        return kind;
    }
    kind += (facts.cumulative ? ", cumulative since " : ", from ") + facts.from;
    return facts.to.empty() ? kind : kind + " to " + facts.to;
}

} // namespace

void ReportInfoPage::Load() {
    data_ = ReportData(report_.Header);
    poolList_.clear();
    for (int p = 1; p <= report_.PoolCount(); ++p) {
        poolList_.push_back({p, PoolListRow(report_, p, style_)});
    }
    const OverallFigureTexts totals = OverallFigures(report_, style_);
    for (std::size_t i = 0; i < totals.size(); ++i) {
        if (totals[i]) { // a figure that cannot be computed keeps the label's text
            totals_[i] = *totals[i];
        }
    }
    inputKind_.clear();
    if (report_.Db2Display) {
        ShowDisplayFacts();
    }
    selectedRow_.reset();
    Changed();
}

void ReportInfoPage::ShowDisplayFacts() {
    inputKind_ = InputKindOf(*report_.Db2Display);
    const auto catalogue = RecordCatalogue<ReportHeader>(HeaderCatalogue());
    for (std::size_t i = 0; i < data_.size(); ++i) {
        if (!HeaderFieldGiven(report_, FieldIndex(catalogue, DataFields[i]))) {
            data_[i] = std::string(i == ElapsedTimeFact ? NotKnown : NotInThisInput);
        }
    }
    // The hit ratio is worked out from Db2's counters: shown to two decimals, as a monitor writes it.
    for (PoolListEntry& entry : poolList_) {
        entry.cells[HitRatioColumn] = FormatReadBack(report_.Pools(entry.pool).PoolHitRatio, "##0.00", style_);
    }
    if (report_.ElapsedSeconds == 0) { // no interval length, no rates
        totals_[RateTotal] = std::string(NotKnown);
        for (PoolListEntry& entry : poolList_) {
            entry.cells[RateColumn] = std::string(NotKnown);
        }
    }
}

void ReportInfoPage::ShowPool(int p) {
    if (report_.HasPool(p) && selectedRow_ != p - 1) {
        selectedRow_ = p - 1;
        Changed();
    }
}

} // namespace ornexa
