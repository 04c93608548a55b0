#pragma once

#include <string>
#include <vector>

namespace ornexa {

// A list as the window shows it: the column captions and the rows of cell texts, as UTF-8.
struct TextTable {
    std::vector<std::string> header;
    std::vector<std::vector<std::string>> rows;
};

// RFC 4180: CRLF after every record, the header line included; a field holding a comma, a quote,
// CR or LF is quoted with its quotes doubled. Spreadsheets and scripts read it back unchanged.
std::string CsvText(const TextTable& table);

// Tab-separated lines with the header first, as spreadsheets paste them; a tab, CR or LF inside a
// cell becomes a blank, since TSV cannot quote.
std::string TsvText(const TextTable& table);

} // namespace ornexa
