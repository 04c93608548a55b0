#include "report/table_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>

namespace ornexa {

namespace {

// A figure as the lists write it: "-12.5", "-1e-05", "-1,234.5"; nothing else.
bool ReadsAsNumber(std::string_view cell) {
    std::string digits(cell);
    std::erase(digits, ',');
    double value = 0;
    const char* end = digits.data() + digits.size();
    const auto [ptr, ec] = std::from_chars(digits.data(), end, value);
    return ec == std::errc{} && ptr == end && std::isfinite(value);
}

void AppendCsvField(std::string& out, std::string_view cell, bool alone) {
    if (alone && cell.empty()) { // a blank line would be read as no record at all
        out += "\"\"";
        return;
    }
    if (cell.find_first_of(",\"\r\n") == std::string_view::npos) {
        out += cell;
        return;
    }
    out += '"';
    for (const char c : cell) {
        out += c;
        if (c == '"') {
            out += '"';
        }
    }
    out += '"';
}

void AppendTsvField(std::string& out, std::string_view cell, bool /*alone*/) {
    const std::size_t start = out.size();
    out += cell;
    std::replace_if(
        out.begin() + static_cast<std::ptrdiff_t>(start), out.end(),
        [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
}

template <class AppendField>
void AppendRecord(std::string& out, const std::vector<std::string>& cells, char separator, std::string_view lineEnd,
                  AppendField append) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0) {
            out += separator;
        }
        append(out, cells[i], cells.size() == 1);
    }
    out += lineEnd;
}

template <class AppendField>
std::string TableText(const TextTable& table, char separator, std::string_view lineEnd, AppendField append) {
    std::string out;
    AppendRecord(out, table.header, separator, lineEnd, append);
    for (const std::vector<std::string>& row : table.rows) {
        AppendRecord(out, row, separator, lineEnd, append);
    }
    return out;
}

} // namespace

bool RunsAsFormula(std::string_view cell) {
    return !cell.empty() && std::string_view("=+-@\t\r").find(cell.front()) != std::string_view::npos &&
           !ReadsAsNumber(cell);
}

std::string CsvText(const TextTable& table, CsvCells cells) {
    if (cells == CsvCells::Raw) {
        return TableText(table, ',', "\r\n", AppendCsvField);
    }
    return TableText(table, ',', "\r\n", [](std::string& out, std::string_view cell, bool alone) {
        if (RunsAsFormula(cell)) {
            AppendCsvField(out, "'" + std::string(cell), alone);
        } else {
            AppendCsvField(out, cell, alone);
        }
    });
}

std::string TsvText(const TextTable& table) {
    return TableText(table, '\t', "\n", AppendTsvField);
}

} // namespace ornexa
