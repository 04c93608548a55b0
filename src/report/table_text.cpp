#include "report/table_text.h"

#include <algorithm>
#include <string_view>

namespace ornexa {

namespace {

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

std::string CsvText(const TextTable& table) {
    return TableText(table, ',', "\r\n", AppendCsvField);
}

std::string TsvText(const TextTable& table) {
    return TableText(table, '\t', "\n", AppendTsvField);
}

} // namespace ornexa
