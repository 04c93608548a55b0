#include "stats/pool_list_figures.h"

#include <cstdint>

#include "report/number_format.h"
#include "report/latin1.h"

namespace ornexa {

namespace {

// Read plus write I/Os; summed wide so two large counters never overflow.
std::int64_t PoolIOs(const PoolRecord& pool) {
    return static_cast<std::int64_t>(pool.PoolReadIOs) + static_cast<std::int64_t>(pool.PoolWriteIOs);
}

FigureText Ratio(double numerator, double denominator, const char* picture, NumberStyle style) {
    if (denominator == 0) {
        return std::nullopt;
    }
    return FormatPicture(numerator / denominator, picture, style);
}

} // namespace

PoolListCells PoolListRow(const Report& report, int p, NumberStyle style) {
    const PoolRecord& pool = report.Pools(p);
    const auto ios = static_cast<double>(PoolIOs(pool));
    PoolListCells row;
    row[0] = Latin1ToUtf8(pool.PoolName.Str());
    row[1] = PlainText(PoolIOs(pool));
    row[2] = PlainText(static_cast<std::int64_t>(pool.PoolGetPages));
    row[3] = PlainText(static_cast<std::int64_t>(pool.PoolUpdates));
    row[4] = PlainText(pool.PoolHitRatio, style);
    if (report.ElapsedSeconds != 0) {
        row[5] = FormatReadBack(ios / report.ElapsedSeconds, "#,###.00", style);
    }
    const double pagesPerWrite =
        pool.PoolWriteIOs < 1 ? 0.0 : static_cast<double>(pool.PoolPagesWritten) / pool.PoolWriteIOs;
    row[6] = FormatReadBack(pagesPerWrite, "#,###.00", style);
    return row;
}

const std::array<std::string, PoolListColumnCount>& PoolListCaptions() {
    static const std::array<std::string, PoolListColumnCount> captions{"Pool",      "I/O",     "Get Pages",  "Updates",
                                                                       "Hit Ratio", "I/O Sec", "Pages/Write"};
    return captions;
}

OverallFigureTexts OverallFigures(const Report& report, NumberStyle style) {
    double ios = 0;
    double getPages = 0;
    double pagesRead = 0;
    double updates = 0;
    double pagesWritten = 0;
    double writeIOs = 0;
    for (int p = 1; p <= report.PoolCount(); ++p) {
        const PoolRecord& pool = report.Pools(p);
        ios += static_cast<double>(PoolIOs(pool));
        getPages += pool.PoolGetPages;
        pagesRead += pool.PoolPagesRead;
        updates += pool.PoolUpdates;
        pagesWritten += pool.PoolPagesWritten;
        writeIOs += pool.PoolWriteIOs;
    }
    OverallFigureTexts texts;
    texts[0] = FormatPicture(ios, "#,###,###", style);
    texts[1] = Ratio((getPages - pagesRead) * 100, getPages, "###.00", style);
    texts[2] = FormatPicture(updates, "#,###,###", style);
    texts[3] = FormatPicture(getPages, "#,###,###", style);
    texts[4] = Ratio(ios, report.ElapsedSeconds, "#,###.00", style);
    texts[5] = Ratio(pagesWritten, writeIOs, "#,###.00", style);
    return texts;
}

const std::array<std::string, OverallFigureCount>& OverallFigureCaptions() {
    static const std::array<std::string, OverallFigureCount> captions{"Total Read/Write IO",   "Overall Sys Hit Ratio",
                                                                      "Total Updates",         "Total Get Pages",
                                                                      "Total I/Os per second", "Pages per write"};
    return captions;
}

std::array<std::string, ReportDataCount> ReportData(const ReportHeader& header) {
    return {Latin1ToUtf8(header.CollectionDate.Str()), Latin1ToUtf8(header.CollectionTime.Str()),
            Latin1ToUtf8(header.ElapsedTime.Str()),    Latin1ToUtf8(header.SystemName.Str()),
            Latin1ToUtf8(header.SubSystemName.Str()),  Latin1ToUtf8(header.Db2Version.Str())};
}

const std::array<std::string, ReportDataCount>& ReportDataCaptions() {
    static const std::array<std::string, ReportDataCount> captions{"Date",   "Time",       "Elapsed Time",
                                                                   "System", "Sub System", "Db2 Version"};
    return captions;
}

} // namespace ornexa
