#include "display/display_values.h"

#include <charconv>
#include <cstddef>
#include <system_error>

namespace ornexa {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string_view Trim(std::string_view s) {
    s = s.substr(0, EndOfText(s));
    return s.substr(SkipBlanks(s, 0));
}

// Reads the heading and the label backwards as one text with single blanks, upper case.
class BackwardLabel {
public:
    explicit BackwardLabel(const LabelValue& pair) : parts_{Trim(pair.label), Trim(pair.heading)} {}

    // The next character going back; 0 at the start. A run of blanks (and the joint of the parts) is
    // one blank.
    char Next() {
        while (part_ < 2) {
            std::string_view& p = parts_[part_];
            if (p.empty()) {
                ++part_;
                if (part_ < 2 && !parts_[part_].empty() && !lastBlank_ && started_) {
                    lastBlank_ = true;
                    return ' ';
                }
                continue;
            }
            const char c = p.back();
            p.remove_suffix(1);
            if (IsBlank(c)) {
                if (lastBlank_) {
                    continue;
                }
                lastBlank_ = true;
                return ' ';
            }
            lastBlank_ = false;
            started_ = true;
            return Upper(c);
        }
        return 0;
    }

private:
    std::string_view parts_[2]; // NOLINT(modernize-avoid-c-arrays): two parts, read in turn
    int part_ = 0;
    bool lastBlank_ = false;
    bool started_ = false;
};

} // namespace

void ReadLabelValues(const std::vector<MessageLine>& lines, std::vector<LabelValue>& pairs) {
    pairs.clear();
    std::string_view heading;
    for (const MessageLine& line : lines) {
        const std::string_view text = line.text;
        std::size_t from = 0;
        while (true) {
            const std::size_t eq = text.find('=', from);
            if (eq == std::string_view::npos) {
                const std::string_view rest = Trim(text.substr(from));
                if (!rest.empty()) {
                    heading = rest;
                }
                break;
            }
            const std::string_view label = Trim(text.substr(from, eq - from));
            bool singleBlanks = true;
            for (std::size_t k = 1; k < label.size(); ++k) {
                if (IsBlank(label[k]) && IsBlank(label[k - 1])) {
                    singleBlanks = false;
                    break;
                }
            }
            LabelValue& pair = pairs.emplace_back();
            pair.line = line.number;
            pair.heading = heading;
            pair.label = label;
            pair.singleBlanks = singleBlanks;
            heading = {};
            std::size_t i = SkipBlanks(text, eq + 1);
            const std::size_t valueFrom = i;
            while (i < text.size() && !IsBlank(text[i]) && text[i] != ',' && text[i] != '=') {
                ++i;
            }
            pair.value = text.substr(valueFrom, i - valueFrom);
            // "80,  0", "80 , 0", "80,0": a second number after a comma.
            std::size_t j = i;
            while (j < text.size() && IsBlank(text[j])) {
                ++j;
            }
            if (j < text.size() && text[j] == ',') {
                ++j;
                while (j < text.size() && IsBlank(text[j])) {
                    ++j;
                }
                const std::size_t secondFrom = j;
                while (j < text.size() && !IsBlank(text[j]) && text[j] != '=') {
                    ++j;
                }
                pair.second = text.substr(secondFrom, j - secondFrom);
                i = j;
            }
            from = i;
        }
    }
}

bool LabelEndsWithSlowly(const LabelValue& pair, std::string_view suffix) {
    const std::string_view own = pair.label;
    // The label alone with single blanks, as most are, compares as it stands.
    if (own.size() >= suffix.size() && pair.singleBlanks) {
        const std::size_t at = own.size() - suffix.size();
        for (std::size_t k = 0; k < suffix.size(); ++k) {
            if (Upper(own[at + k]) != suffix[k]) {
                return false;
            }
        }
        return at == 0 || IsBlank(own[at - 1]);
    }
    BackwardLabel label(pair);
    for (std::size_t k = suffix.size(); k > 0; --k) {
        if (label.Next() != suffix[k - 1]) {
            return false;
        }
    }
    const char before = label.Next();
    return before == 0 || before == ' ';
}

bool LabelMentions(const LabelValue& pair, std::string_view word) {
    for (const std::string_view part : {pair.heading, pair.label}) {
        if (part.size() < word.size()) {
            continue;
        }
        for (std::size_t at = 0; at + word.size() <= part.size(); ++at) {
            std::size_t k = 0;
            while (k < word.size() && Upper(part[at + k]) == word[k]) {
                ++k;
            }
            if (k == word.size()) {
                return true;
            }
        }
    }
    return false;
}

std::string NormalisedLabel(std::string_view label) {
    std::string out;
    bool blank = false;
    for (const char c : Trim(label)) {
        if (IsBlank(c)) {
            blank = true;
            continue;
        }
        if (blank) {
            out.push_back(' ');
            blank = false;
        }
        out.push_back(Upper(c));
    }
    return out;
}

NumberRead ReadNumber(std::string_view text) {
    NumberRead read;
    // Up to 18 digits cannot exceed 64 bits: read them at once.
    constexpr std::size_t safeDigits = 18;
    if (!text.empty() && text.size() <= safeDigits) {
        std::int64_t value = 0;
        std::size_t k = 0;
        while (k < text.size() && IsDigit(text[k])) {
            value = value * 10 + (text[k] - '0');
            ++k;
        }
        if (k == text.size()) {
            read.value = value;
            return read;
        }
    }
    std::string_view digits = text;
    if (!digits.empty() && digits.front() == '+') {
        digits.remove_prefix(1);
    }
    const bool negative = !digits.empty() && digits.front() == '-';
    const std::string_view unsignedPart = negative ? digits.substr(1) : digits;
    bool allDigits = !unsignedPart.empty();
    for (const char c : unsignedPart) {
        allDigits = allDigits && IsDigit(c);
    }
    if (!allDigits) {
        read.fault = "not a number: " + std::string(text);
        return read;
    }
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (ec == std::errc::result_out_of_range) {
        read.fault = "exceeds 64 bits: " + std::string(text);
        return read;
    }
    if (ec != std::errc() || end != digits.data() + digits.size()) {
        read.fault = "not a number: " + std::string(text);
        return read;
    }
    read.value = value;
    return read;
}

} // namespace ornexa
