#pragma once

#include <iosfwd>
#include <vector>

#include <nlohmann/json.hpp>

#include "history/change_check.h"

namespace ornexa::cli {

// The "setting_changes" of --trend and --compare: per change the intervals compared, the figures
// before and after with their verdicts, and the prediction of a VPSIZE change.
nlohmann::ordered_json ChangeChecksDocument(const std::vector<ChangeCheck>& checks);

// The same for reading, under "Setting changes:"; nothing at all when there is no change.
void WriteChangeChecksText(std::ostream& out, const std::vector<ChangeCheck>& checks);

} // namespace ornexa::cli
