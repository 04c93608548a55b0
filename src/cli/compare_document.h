#pragma once

#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "history/history_store.h"
#include "history/report_compare.h"
#include "report/report_model.h"

namespace ornexa::cli {

// One side of a comparison: a report file as read, or a report of the history.
struct ComparedReport {
    std::optional<std::int64_t> id; // the history's report id; nothing for a file
    std::string file;               // the path read, or the one the report was imported from
    std::string system;
    std::string subsystem;
    std::string collected; // as the history writes it: "2026-11-30T10:15:00", else the header's texts
};

ComparedReport ComparedFile(const Report& report, const std::filesystem::path& path);
ComparedReport ComparedStored(const HistoryReportInfo& info);

// The document of --compare: "ornexa-compare/1".
nlohmann::ordered_json CompareDocument(const ComparedReport& before, const ComparedReport& after,
                                       const ReportComparison& comparison);

// The same content for reading, figures with two decimals.
void WriteCompareText(std::ostream& out, const ComparedReport& before, const ComparedReport& after,
                      const ReportComparison& comparison);

} // namespace ornexa::cli
