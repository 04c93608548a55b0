#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ornexa {

// A list as the window shows it: the column captions and the rows of cell texts, as UTF-8.
struct TextTable {
    std::vector<std::string> header;
    std::vector<std::vector<std::string>> rows;
};

// How a CSV file writes a text cell that a spreadsheet would run as a formula (one beginning with
// "=", "+", "-", "@", a tab or CR): behind a "'" (guarded), or as it is (raw, for scripts). A cell
// that reads as a number, such as "-12.5", is a figure and never changed.
enum class CsvCells { Guarded, Raw };

// RFC 4180: CRLF after every record, the header line included; a field holding a comma, a quote,
// CR or LF is quoted with its quotes doubled. Scripts read it back unchanged (with CsvCells::Raw).
std::string CsvText(const TextTable& table, CsvCells cells = CsvCells::Guarded);

// Whether a spreadsheet would take `cell` for a formula: it begins with "=", "+", "-", "@", a tab
// or CR and is no number.
bool RunsAsFormula(std::string_view cell);

// Tab-separated lines with the header first, as spreadsheets paste them; a tab, CR or LF inside a
// cell becomes a blank, since TSV cannot quote.
std::string TsvText(const TextTable& table);

} // namespace ornexa
