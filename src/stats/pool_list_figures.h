#pragma once

#include <array>
#include <optional>
#include <string>

#include "report/numbers.h"
#include "report/report_model.h"

namespace ornexa {

// A figure as shown, or nothing where it cannot be computed (a division by zero).
using FigureText = std::optional<std::string>;

// The pool list's row of pool p: name, I/O, Get Pages, Updates, Hit Ratio, I/O Sec, Pages/Write.
inline constexpr int PoolListColumnCount = 7;
using PoolListCells = std::array<FigureText, PoolListColumnCount>;
PoolListCells PoolListRow(const Report& report, int p, NumberStyle style = {});

// Captions of the pool list columns.
const std::array<std::string, PoolListColumnCount>& PoolListCaptions();

// The Report Info totals over all pools, in label order: Total Read/Write IO, Overall Sys Hit
// Ratio, Total Updates, Total Get Pages, Total I/Os per second, Pages per write.
inline constexpr int OverallFigureCount = 6;
using OverallFigureTexts = std::array<FigureText, OverallFigureCount>;
OverallFigureTexts OverallFigures(const Report& report, NumberStyle style = {});
const std::array<std::string, OverallFigureCount>& OverallFigureCaptions();

// The header facts of the Report Info tab, in label order: Date, Time, Elapsed Time, System,
// Sub System, Db2 Version.
inline constexpr int ReportDataCount = 6;
std::array<std::string, ReportDataCount> ReportData(const ReportHeader& header);
const std::array<std::string, ReportDataCount>& ReportDataCaptions();

} // namespace ornexa
