#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "report/column_tables.h"
#include "report/record_fields.h"
#include "report/report_model.h"

namespace ornexa::samplegen {

// How a Statistics report is written out.
struct StatFileOptions {
    std::string country = "USA"; // the last three characters of the environment line
    std::string lineEnd = "\r\n";
    bool decorate = true; // headings, "BPO" and "*BPP" lines that a reader skips
};

// One field's text as the host writes it: numbers right-aligned in the field, one decimal for the
// percentages, the report's decimal separator; text left-aligned. Throws std::length_error when a
// value does not fit its field.
std::string FieldImage(const FieldRef& value, const ColumnDef& column, bool usa);

// Puts `image` at the columns of `column` in `line`, growing the line with blanks as needed.
void PlaceField(std::string& line, const ColumnDef& column, std::string_view image);

// Puts every field of `fields` at the columns of its table entry.
template <class Columns, class Fields>
void PlaceFields(std::string& line, const Columns& columns, const Fields& fields, bool usa) {
    for (std::size_t i = 0; i < std::size(columns); ++i) {
        PlaceField(line, columns[i], FieldImage(fields[i], columns[i], usa));
    }
}

std::string EnvironmentLine(std::string_view country);
std::string HeaderLine(const ReportHeader& header, bool usa);
std::string PoolLine(const PoolRecord& pool, bool usa);
std::string ObjectLine(const ObjectRecord& object, bool usa);

// The whole report: environment line, header line, each pool line followed by its objects.
std::string StatisticsText(const Report& report, const StatFileOptions& options = {});

// Writes `text` to `path`; throws std::runtime_error naming the file when that fails.
void WriteTextFile(const std::filesystem::path& path, std::string_view text);

} // namespace ornexa::samplegen
