#pragma once

#include <filesystem>
#include <iosfwd>
#include <vector>

#include <nlohmann/json.hpp>

#include "report/messages.h"
#include "report/report_model.h"
#include "report/stat_reader.h"

namespace ornexa::cli {

// What one run of ornexa-report read.
struct ReadOutcome {
    std::filesystem::path statPath;
    StatReadResult stat;
    std::vector<Message> statMessages;
};

// Reads the Statistics file into a fresh report, as "&Open" does, and sets ElapsedSeconds as the
// analysis window does when it loads.
ReadOutcome ReadReport(Report& report, const std::filesystem::path& statPath);

// The JSON document of ornexa-report.
nlohmann::ordered_json ReportDocument(const Report& report, const ReadOutcome& outcome);

// The same content as readable text.
void WriteTextReport(std::ostream& out, const Report& report, const ReadOutcome& outcome);

} // namespace ornexa::cli
