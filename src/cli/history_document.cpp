#include "cli/history_document.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

#include "cli/aligned_columns.h"
#include "report/number_format.h"

namespace ornexa::cli {

using Json = nlohmann::ordered_json;

namespace {

constexpr int ShownDecimals = 2;

Json Optional(const std::optional<double>& value) {
    return value && std::isfinite(*value) ? Json(*value) : Json(nullptr);
}

Json Optional(const std::optional<std::int64_t>& value) {
    return value ? Json(*value) : Json(nullptr);
}

Json FilterDocument(const HistoryFilter& filter) {
    return {{"system", filter.system.empty() ? Json(nullptr) : Json(filter.system)},
            {"subsystem", filter.subsystem.empty() ? Json(nullptr) : Json(filter.subsystem)}};
}

} // namespace

std::string FigureCell(const std::optional<double>& value, FigureStyle style) {
    if (!value || !std::isfinite(*value)) {
        return style == FigureStyle::Plain ? "" : "-";
    }
    if (style == FigureStyle::Plain) {
        return PlainText(*value);
    }
    std::array<char, 64> buffer{};
    const auto [end, ec] =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), *value, std::chars_format::fixed, ShownDecimals);
    return ec == std::errc{} ? std::string(buffer.data(), end) : PlainText(*value);
}

std::string AlignedText(const TextTable& table, const std::vector<bool>& rightAligned) {
    AlignedColumns columns(rightAligned);
    columns.Measure(table.header);
    for (const auto& row : table.rows) {
        columns.Measure(row);
    }
    std::string text = columns.Line(table.header);
    for (const auto& row : table.rows) {
        text += columns.Line(row);
    }
    return text;
}

namespace {

std::string Flags(const HistoryReportInfo& info) {
    std::string flags = info.hasSimulation ? "simulation" : "";
    if (info.db2Display) {
        flags += (flags.empty() ? "" : ", ") + std::string("Db2 display");
    }
    if (info.sameTimeAs) {
        flags += (flags.empty() ? "" : ", ") + std::string("same time as ") + std::to_string(*info.sameTimeAs);
    }
    return flags;
}

} // namespace

Json HistoryListDocument(const std::vector<HistoryReportInfo>& reports, const HistoryFilter& filter) {
    Json list = Json::array();
    for (const HistoryReportInfo& info : reports) {
        list.push_back({{"id", info.id},
                        {"system", info.system},
                        {"subsystem", info.subsystem},
                        {"collected", info.collectedAt},
                        // Db2's display names no Db2 version, and an interval without an end has no length.
                        {"db2_version", info.db2Display ? Json(nullptr) : Json(info.db2Version)},
                        {"elapsed_seconds",
                         info.db2Display && info.elapsedSeconds == 0 ? Json(nullptr) : Json(info.elapsedSeconds)},
                        {"pools", info.pools},
                        {"objects", info.objects},
                        {"file", info.fileName},
                        {"imported_at", info.importedAt},
                        {"has_simulation", info.hasSimulation},
                        {"same_time_as", info.sameTimeAs ? Json(*info.sameTimeAs) : Json(nullptr)},
                        {"kind", info.db2Display ? "db2-display" : "statistics"}});
    }
    return {{"schema", "ornexa-history/1"}, {"filter", FilterDocument(filter)}, {"reports", list}};
}

TextTable HistoryListTable(const std::vector<HistoryReportInfo>& reports) {
    TextTable table;
    table.header = {"Id", "System", "Subsystem", "Collected", "Pools", "Objects", "File", "Imported", "Flag"};
    for (const HistoryReportInfo& info : reports) {
        table.rows.push_back({std::to_string(info.id), info.system, info.subsystem, info.collectedAt,
                              std::to_string(info.pools), std::to_string(info.objects), info.fileName, info.importedAt,
                              Flags(info)});
    }
    return table;
}

std::vector<bool> HistoryListNumbers() {
    return {true, false, false, false, true, true, false, false, false};
}

namespace {

std::string SettingCell(const std::optional<std::int64_t>& value, FigureStyle style) {
    return value ? std::to_string(*value) : FigureCell(std::nullopt, style);
}

} // namespace

std::vector<std::vector<PoolSettingChange>> PoolSettingChanges(const std::vector<PoolTrendPoint>& points) {
    std::vector<std::vector<PoolSettingChange>> changes(points.size());
    // A setting the input did not give is no change.
    const auto add = [&changes](std::size_t i, const char* setting, std::optional<std::int64_t> before,
                                std::optional<std::int64_t> after) {
        if (before && after && *before != *after) {
            changes[i].push_back({setting, static_cast<Long>(*before), static_cast<Long>(*after)});
        }
    };
    for (std::size_t i = 1; i < points.size(); ++i) {
        add(i, "VPSIZE", points[i - 1].VPSize(), points[i].VPSize());
        add(i, "VPSEQT", points[i - 1].VPSeqThreshold(), points[i].VPSeqThreshold());
    }
    return changes;
}

std::string ChangeText(const std::vector<PoolSettingChange>& changes) {
    std::string text;
    for (const PoolSettingChange& change : changes) {
        text += (text.empty() ? "" : ", ") + std::string(change.setting) + " " + std::to_string(change.before) +
                " -> " + std::to_string(change.after);
    }
    return text;
}

Json PoolTrendDocument(std::string_view poolName, const std::vector<PoolTrendPoint>& points,
                       const HistoryFilter& filter) {
    const auto changes = PoolSettingChanges(points);
    Json list = Json::array();
    for (std::size_t i = 0; i < points.size(); ++i) {
        const PoolTrendPoint& point = points[i];
        Json changeList = Json::array();
        for (const PoolSettingChange& change : changes[i]) {
            changeList.push_back({{"setting", change.setting}, {"before", change.before}, {"after", change.after}});
        }
        list.push_back({{"report", point.report.id},
                        {"system", point.report.system},
                        {"subsystem", point.report.subsystem},
                        {"collected", point.report.collectedAt},
                        {"file", point.report.fileName},
                        {"hit_ratio", Optional(point.hitRatio)},
                        {"getpages_per_second", Optional(point.getPagesPerSecond)},
                        {"sync_read_ios_per_second", Optional(point.syncReadIOsPerSecond)},
                        {"pages_written_per_second", Optional(point.pagesWrittenPerSecond)},
                        {"vpsize", Optional(point.VPSize())},
                        {"vpseqt", Optional(point.VPSeqThreshold())},
                        {"change", changes[i].empty() ? Json(nullptr) : Json(ChangeText(changes[i]))},
                        {"changes", changeList}});
    }
    return {{"schema", "ornexa-trend/1"}, {"pool", poolName}, {"filter", FilterDocument(filter)}, {"points", list}};
}

TextTable PoolTrendTable(const std::vector<PoolTrendPoint>& points, FigureStyle style) {
    const auto changes = PoolSettingChanges(points);
    TextTable table;
    table.header = {"Report",           "Collected",       "File",   "Hit Ratio", "Getpages/s",
                    "Sync Read I/Os/s", "Pages Written/s", "VPSize", "VPSEQT",    "Change"};
    for (std::size_t i = 0; i < points.size(); ++i) {
        const PoolTrendPoint& point = points[i];
        table.rows.push_back({std::to_string(point.report.id), point.report.collectedAt, point.report.fileName,
                              FigureCell(point.hitRatio, style), FigureCell(point.getPagesPerSecond, style),
                              FigureCell(point.syncReadIOsPerSecond, style),
                              FigureCell(point.pagesWrittenPerSecond, style), SettingCell(point.VPSize(), style),
                              SettingCell(point.VPSeqThreshold(), style), ChangeText(changes[i])});
    }
    return table;
}

std::vector<bool> PoolTrendNumbers() {
    return {true, false, false, true, true, true, true, true, true, false};
}

} // namespace ornexa::cli
