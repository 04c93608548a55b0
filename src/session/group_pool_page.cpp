#include "session/group_pool_page.h"

#include "report/field_presence.h"
#include "report/number_format.h"

namespace ornexa {

GroupPoolPage::GroupPoolPage(const Report& report, NumberStyle style) : advice_(GroupPoolsAdvice(report, style)) {
    if (!report.Db2Display || report.Db2Display->groupPools.empty()) {
        return;
    }
    captions_.emplace_back("GROUP BUFFER POOL");
    for (std::size_t f = 0; f < GroupPoolFigureCount; ++f) {
        captions_.emplace_back(NameOf(static_cast<GroupPoolFigure>(f)).label);
    }
    for (const Db2GroupPoolFacts& pool : report.Db2Display->groupPools) {
        std::vector<GroupPoolCell> row{{pool.name, std::nullopt}};
        for (std::size_t f = 0; f < GroupPoolFigureCount; ++f) {
            const auto figure = static_cast<GroupPoolFigure>(f);
            const auto value = pool.figures.Get(figure);
            if (!value) {
                row.push_back({std::string(NotInThisInput), std::nullopt});
            } else if (figure == GroupPoolFigure::RatioTenths) {
                // Shown as Db2 shows the ratio: 5.5, not 55 tenths.
                const double ratio = static_cast<double>(*value) / 10;
                row.push_back({FormatPicture(ratio, "#,##0.0", style), ratio});
            } else {
                const auto number = static_cast<double>(*value);
                row.push_back({FormatPicture(number, "#,##0", style), number});
            }
        }
        rows_.push_back(std::move(row));
    }
    for (const GroupPoolAdvice& pool : advice_) {
        for (const GroupPoolFindingAdvice& item : pool.findings) {
            findingLines_.push_back(pool.pool + ": " + item.finding.text);
            findingLines_.push_back("    source: " + std::string(item.finding.source));
            for (const ornexa::Advice& command : item.commands) {
                findingLines_.push_back("    " + command.text);
            }
            for (const std::string& note : item.notes) {
                findingLines_.push_back("    -- " + note);
            }
        }
    }
    if (findingLines_.empty()) {
        findingLines_.emplace_back("No finding on the group buffer pools.");
    }
    commandsText_ = GroupPoolCommandsText(advice_);
}

} // namespace ornexa
