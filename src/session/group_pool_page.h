#pragma once

#include <optional>
#include <string>
#include <vector>

#include "advice/pool_commands.h"
#include "report/numbers.h"
#include "report/report_model.h"

namespace ornexa {

// One cell of the group buffer pool list: its text in the window's figures, and the number it sorts
// by (none for the name, nor for a figure the display did not show).
struct GroupPoolCell {
    std::string text;
    std::optional<double> value;
    friend bool operator==(const GroupPoolCell&, const GroupPoolCell&) = default;
};

// The "Group Buffer Pools" tab of a report of Db2's display: one row per group buffer pool with each
// figure Db2 showed, the findings on them and the commands that mend them. The report is read once:
// it does not change while a window shows it.
class GroupPoolPage {
public:
    explicit GroupPoolPage(const Report& report, NumberStyle style = {});

    // Whether the tab is shown: only a report with group buffer pools has it.
    [[nodiscard]] bool Shown() const { return !rows_.empty(); }
    // The column captions: the pool's name, then Db2's label of each figure.
    [[nodiscard]] const std::vector<std::string>& Captions() const { return captions_; }
    [[nodiscard]] const std::vector<std::vector<GroupPoolCell>>& Rows() const { return rows_; }
    [[nodiscard]] const std::vector<GroupPoolAdvice>& Advice() const { return advice_; }
    // The findings with their sources and commands, as the tab lists them, one line each.
    [[nodiscard]] const std::vector<std::string>& FindingLines() const { return findingLines_; }
    // The commands as a file section for the host; empty without findings.
    [[nodiscard]] const std::string& CommandsText() const { return commandsText_; }

private:
    std::vector<std::string> captions_;
    std::vector<std::vector<GroupPoolCell>> rows_;
    std::vector<GroupPoolAdvice> advice_;
    std::vector<std::string> findingLines_;
    std::string commandsText_;
};

} // namespace ornexa
