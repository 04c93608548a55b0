#include "rules/pool_usage.h"

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>

namespace ornexa {

PoolUsage SelectPoolUsage(int index) {
    return index != 0 ? PoolUsage::Random : PoolUsage::Sequential;
}

char UsageLetter(PoolUsage usage) {
    switch (usage) {
    case PoolUsage::Random:
        return 'R';
    case PoolUsage::Sequential:
        return 'S';
    case PoolUsage::None:
        break;
    }
    return ' ';
}

std::filesystem::path UsageThresholdPath(const std::filesystem::path& folder, PoolUsage usage) {
    return folder / (usage == PoolUsage::Random ? RandomThresholdFile : SequentialThresholdFile);
}

namespace {

// The first field of a comma-delimited line: leading blanks skipped; a quoted field runs to its
// closing quote, any other to the first comma or the end of the line.
std::string_view FirstField(std::string_view text) {
    const auto lineEnd = text.find_first_of("\r\n");
    std::string_view line = text.substr(0, lineEnd);
    const auto start = line.find_first_not_of(' ');
    if (start == std::string_view::npos) {
        return {};
    }
    line = line.substr(start);
    if (line.front() == '"') {
        const auto close = text.find('"', start + 1); // a quoted field may run over line ends
        return text.substr(start + 1, close == std::string_view::npos ? std::string_view::npos : close - start - 1);
    }
    return line.substr(0, line.find(','));
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

double ParseUsageThreshold(std::string_view text) {
    // The number at the start: sign, digits, a point and digits, an exponent; blanks and tabs
    // inside are skipped and the first character that cannot continue it ends it.
    std::string number;
    bool digits = false;
    bool point = false;
    bool exponent = false;
    bool exponentDigits = false;
    for (const char c : FirstField(text)) {
        if (c == ' ' || c == '\t') {
            continue;
        }
        const char last = number.empty() ? '\0' : number.back();
        if ((c == '+' || c == '-') && (number.empty() || last == 'e')) {
            number += c;
        } else if (IsDigit(c)) {
            number += c;
            digits = digits || !exponent;
            exponentDigits = exponentDigits || exponent;
        } else if (c == '.' && !point && !exponent) {
            number += c;
            point = true;
        } else if ((c == 'e' || c == 'E' || c == 'd' || c == 'D') && digits && !exponent) {
            number += 'e';
            exponent = true;
        } else {
            break;
        }
    }
    if (!digits) {
        return 0;
    }
    if (exponent && !exponentDigits) {
        number.erase(number.find('e'));
    }
    std::istringstream in(number);
    in.imbue(std::locale::classic());
    double value = 0;
    in >> value;
    return in.fail() || !std::isfinite(value) ? 0.0 : value;
}

double ReadUsageThreshold(const std::filesystem::path& folder, PoolUsage usage) {
    std::ifstream in(UsageThresholdPath(folder, usage), std::ios::binary);
    if (!in) {
        return 0;
    }
    std::string text(4096, '\0'); // the first field lies in the first line
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    return ParseUsageThreshold(text);
}

} // namespace ornexa
