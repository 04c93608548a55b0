#include "history/history_location.h"

#include <algorithm>
#include <cctype>

namespace ornexa {

namespace {

constexpr std::string_view Blanks = " \t\r\n\f\v";

bool IsBlank(char c) {
    return Blanks.find(c) != std::string_view::npos;
}

bool IsWordStart(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) != 0 || c == '_';
}

bool IsWordChar(char c) {
    return IsWordStart(c) || std::isdigit(static_cast<unsigned char>(c)) != 0;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

bool IsPostgresUri(std::string_view location) {
    return location.starts_with("postgresql://") || location.starts_with("postgres://");
}

// The `key=value` parameters of a URI's query, each with where it stands in the location.
struct QueryParameter {
    std::size_t begin = 0;
    std::size_t valueBegin = 0;
    std::size_t end = 0;
    std::string key; // decoded
};

std::vector<QueryParameter> QueryParameters(std::string_view location, std::size_t query) {
    std::vector<QueryParameter> parameters;
    std::size_t pos = query + 1;
    while (pos <= location.size()) {
        const std::size_t end = std::min(location.find_first_of("&#", pos), location.size());
        const std::string_view param = location.substr(pos, end - pos);
        const std::size_t equals = param.find('=');
        if (!param.empty()) {
            const std::size_t valueBegin = equals == std::string_view::npos ? end : pos + equals + 1;
            parameters.push_back({pos, valueBegin, end, PercentDecoded(param.substr(0, equals))});
        }
        if (end >= location.size() || location[end] == '#') {
            break;
        }
        pos = end + 1;
    }
    return parameters;
}

void AddUriPasswords(std::string_view uri, std::vector<PasswordPart>& parts) {
    const std::size_t authority = uri.find("://") + 3;
    // The user part ends at the first '@' before any '/', as libpq reads it.
    const std::size_t at = uri.find_first_of("@/", authority);
    if (at != std::string_view::npos && uri[at] == '@') {
        const std::size_t colon = uri.find(':', authority);
        if (colon < at) {
            parts.push_back({colon, colon + 1, at, PercentDecoded(uri.substr(colon + 1, at - colon - 1))});
        }
    }
    const std::size_t query = uri.find('?');
    if (query == std::string_view::npos) {
        return;
    }
    for (const QueryParameter& param : QueryParameters(uri, query)) {
        if (param.key == "password" && param.valueBegin < param.end) {
            parts.push_back({param.begin, param.valueBegin, param.end,
                             PercentDecoded(uri.substr(param.valueBegin, param.end - param.valueBegin))});
        }
    }
}

// Reads `keyword = value` pairs as libpq does: a value in single quotes may hold blanks; a backslash
// takes the next character as it is.
void AddKeywordPasswords(std::string_view text, std::vector<PasswordPart>& parts) {
    std::size_t pos = 0;
    const auto skipBlanks = [&] {
        while (pos < text.size() && IsBlank(text[pos])) {
            ++pos;
        }
    };
    while (true) {
        skipBlanks();
        if (pos >= text.size()) {
            return;
        }
        const std::size_t begin = pos;
        while (pos < text.size() && !IsBlank(text[pos]) && text[pos] != '=') {
            ++pos;
        }
        const std::string_view keyword = text.substr(begin, pos - begin);
        skipBlanks();
        if (pos >= text.size() || text[pos] != '=') {
            return; // libpq refuses the rest; nothing more is a value
        }
        ++pos;
        skipBlanks();
        const std::size_t valueBegin = pos;
        std::string value;
        if (pos < text.size() && text[pos] == '\'') {
            ++pos;
            while (pos < text.size() && text[pos] != '\'') {
                if (text[pos] == '\\' && pos + 1 < text.size()) {
                    ++pos;
                }
                value += text[pos++];
            }
            pos = std::min(pos + 1, text.size());
        } else {
            while (pos < text.size() && !IsBlank(text[pos])) {
                if (text[pos] == '\\' && pos + 1 < text.size()) {
                    ++pos;
                }
                value += text[pos++];
            }
        }
        if (keyword == "password" && pos > valueBegin) {
            parts.push_back({begin, valueBegin, pos, value});
        }
    }
}

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
    if (from.empty()) {
        return;
    }
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
}

std::string Quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

} // namespace

bool IsKeywordConnectionString(std::string_view location) {
    std::size_t pos = location.find_first_not_of(Blanks);
    if (pos == std::string_view::npos || !IsWordStart(location[pos])) {
        return false;
    }
    while (pos < location.size() && IsWordChar(location[pos])) {
        ++pos;
    }
    pos = location.find_first_not_of(Blanks, pos);
    return pos != std::string_view::npos && location[pos] == '=';
}

std::optional<std::string> UnkeptHistoryReason(std::string_view location) {
    const std::string shown = Quoted(location);
    const std::string inMemory = " is a database in memory: the history would keep nothing once the program ends";
    if (location.find_first_not_of(Blanks) == std::string_view::npos) {
        return "The history location is empty: the history would keep nothing once the program ends";
    }
    if (IsPostgresUri(location) || IsKeywordConnectionString(location)) {
        return std::nullopt;
    }
    if (location == ":memory:") {
        return shown + inMemory;
    }
    // SQLite reads "file:" names as URIs: file:[//authority]path[?query][#fragment].
    if (!location.starts_with("file:")) {
        return std::nullopt;
    }
    std::string_view rest = location.substr(5);
    rest = rest.substr(0, rest.find('#'));
    const std::size_t query = rest.find('?');
    std::string_view path = rest.substr(0, query);
    if (path.starts_with("//")) {
        const std::size_t slash = path.find('/', 2);
        path = slash == std::string_view::npos ? std::string_view() : path.substr(slash);
    }
    const std::string file = PercentDecoded(path);
    if (file == ":memory:") {
        return shown + inMemory;
    }
    if (query != std::string_view::npos) {
        const std::string_view queryText = rest.substr(query);
        for (const QueryParameter& param : QueryParameters(queryText, 0)) {
            const std::string value = PercentDecoded(queryText.substr(param.valueBegin, param.end - param.valueBegin));
            if ((param.key == "mode" && value == "memory") || (param.key == "vfs" && value == "memdb")) {
                return shown + inMemory;
            }
        }
    }
    if (file.empty()) {
        return shown + " names no file: the history would keep nothing once the program ends";
    }
    return std::nullopt;
}

std::vector<PasswordPart> PasswordParts(std::string_view location) {
    std::vector<PasswordPart> parts;
    if (IsPostgresUri(location)) {
        AddUriPasswords(location, parts);
    } else if (IsKeywordConnectionString(location)) {
        AddKeywordPasswords(location, parts);
    }
    return parts;
}

bool CarriesPassword(std::string_view location) {
    return !PasswordParts(location).empty();
}

std::string MaskedLocation(std::string_view location) {
    // The values as spans of the text, in order, those that overlap as one (a URI's user part may run
    // on into what reads as its query, as libpq takes the first '@').
    std::vector<std::pair<std::size_t, std::size_t>> spans;
    for (const PasswordPart& part : PasswordParts(location)) {
        spans.emplace_back(part.valueBegin, part.end);
    }
    std::sort(spans.begin(), spans.end());
    std::string masked;
    std::size_t done = 0;
    for (std::size_t i = 0; i < spans.size();) {
        const std::size_t begin = std::max(spans[i].first, done);
        std::size_t end = spans[i].second;
        for (++i; i < spans.size() && spans[i].first <= end; ++i) {
            end = std::max(end, spans[i].second);
        }
        masked.append(location.substr(done, begin - done)).append("***");
        done = std::max(end, begin);
    }
    return masked.append(location.substr(std::min(done, location.size())));
}

std::string MaskedPasswords(std::string message, std::string_view location) {
    const std::vector<PasswordPart> parts = PasswordParts(location);
    if (parts.empty()) {
        return message;
    }
    ReplaceAll(message, location, MaskedLocation(location));
    for (const PasswordPart& part : parts) {
        // The part with its surroundings: ":pw@" of a user part, "password=pw" of a parameter or keyword.
        const std::string_view lead = location.substr(part.begin, part.valueBegin - part.begin);
        const std::string_view written = location.substr(part.valueBegin, part.end - part.valueBegin);
        const bool userPart = lead == ":";
        const std::string trail = userPart ? "@" : "";
        ReplaceAll(message, std::string(lead) + std::string(written) + trail, std::string(lead) + "***" + trail);
        // libpq quotes the token it could not read ("invalid percent-encoded token: \"pw\"").
        ReplaceAll(message, Quoted(written), Quoted("***"));
        if (!part.value.empty()) {
            ReplaceAll(message, Quoted(part.value), Quoted("***"));
        }
    }
    return message;
}

std::string PercentDecoded(std::string_view text) {
    std::string decoded;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 && HexDigit(text[i + 2]) >= 0) {
            decoded += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
            i += 2;
        } else {
            decoded += text[i];
        }
    }
    return decoded;
}

} // namespace ornexa
