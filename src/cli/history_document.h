#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "history/history_store.h"
#include "report/table_text.h"

namespace ornexa::cli {

// How a figure of a history table is written: unrounded for CSV (as the JSON holds it), with two
// decimals for reading.
enum class FigureStyle { Plain, TwoDecimals };

// "12.35" with a `.` whatever the locale; "-" (text) or "" (CSV) for a figure that is absent.
std::string FigureCell(const std::optional<double>& value, FigureStyle style);

// A column-aligned table for reading: numbers to the right, texts to the left, two blanks apart.
std::string AlignedText(const TextTable& table, const std::vector<bool>& rightAligned);

// The document of --list: "ornexa-history/1".
nlohmann::ordered_json HistoryListDocument(const std::vector<HistoryReportInfo>& reports, const HistoryFilter& filter);
TextTable HistoryListTable(const std::vector<HistoryReportInfo>& reports);
// The list's columns that hold numbers.
std::vector<bool> HistoryListNumbers();

// A change of the pool's size or sequential threshold against the trend's previous point.
struct PoolSettingChange {
    const char* setting; // "VPSIZE" or "VPSEQT", as the command that changes it names it
    Long before = 0;
    Long after = 0;
};
// Per point, what changed against the point before it (nothing for the first).
std::vector<std::vector<PoolSettingChange>> PoolSettingChanges(const std::vector<PoolTrendPoint>& points);
// "VPSIZE 20000 -> 30000, VPSEQT 80 -> 50"
std::string ChangeText(const std::vector<PoolSettingChange>& changes);

// The document of --trend: "ornexa-trend/1".
nlohmann::ordered_json PoolTrendDocument(std::string_view poolName, const std::vector<PoolTrendPoint>& points,
                                         const HistoryFilter& filter);
TextTable PoolTrendTable(const std::vector<PoolTrendPoint>& points, FigureStyle style);
std::vector<bool> PoolTrendNumbers();

} // namespace ornexa::cli
