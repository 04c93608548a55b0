#include "session/report_info_page.h"

namespace ornexa {

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
    selectedRow_.reset();
    Changed();
}

void ReportInfoPage::ShowPool(int p) {
    if (report_.HasPool(p) && selectedRow_ != p - 1) {
        selectedRow_ = p - 1;
        Changed();
    }
}

} // namespace ornexa
