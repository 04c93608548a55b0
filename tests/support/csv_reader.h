#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ornexa::test {

// A strict RFC 4180 reader for the files the program writes: every record ends with CRLF, a quote
// only opens a field or, doubled, stands for itself inside a quoted one. Nothing for text that
// breaks a rule, so a test sees a wrong file rather than a near guess.
inline std::optional<std::vector<std::vector<std::string>>> ReadCsv(std::string_view text) {
    std::vector<std::vector<std::string>> records;
    std::vector<std::string> record;
    std::string field;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == '"') {
            ++i;
            for (;;) {
                if (i >= text.size()) {
                    return std::nullopt; // a quote left open
                }
                if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        field += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += text[i++];
            }
        } else {
            while (i < text.size() && text[i] != ',' && text[i] != '\r' && text[i] != '\n') {
                if (text[i] == '"') {
                    return std::nullopt; // a quote inside a field that is not quoted
                }
                field += text[i++];
            }
        }
        if (i < text.size() && text[i] == ',') {
            record.push_back(std::move(field));
            field.clear();
            ++i;
            continue;
        }
        if (text.substr(i, 2) != "\r\n") {
            return std::nullopt; // a bare CR or LF, text after a closing quote, or no line end at the end
        }
        record.push_back(std::move(field));
        field.clear();
        records.push_back(std::move(record));
        record.clear();
        i += 2;
    }
    return records;
}

} // namespace ornexa::test
