#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "display/display_messages.h"

namespace ornexa {

// One "LABEL = value" of a message. The label is the text between the previous value (or the start
// of the line) and the "="; `heading` is the text before it on earlier lines that no "=" took
// ("PGFIX ATTRIBUTE -" above "CURRENT = YES"). The value is the token after the "=" on the same
// line, empty when there is none; `second` the number after a comma ("80,  0").
struct LabelValue {
    std::int64_t line = 0;
    std::string_view heading;
    std::string_view label;
    std::string_view value;
    std::string_view second;
    bool singleBlanks = true; // the label has no run of blanks inside
};

// The label = value pairs of a message's lines, in order, into `pairs` (cleared first).
void ReadLabelValues(const std::vector<MessageLine>& lines, std::vector<LabelValue>& pairs);

// LabelEndsWith past its look at the last character.
bool LabelEndsWithSlowly(const LabelValue& pair, std::string_view suffix);

// Whether the label, read after its heading, ends with `suffix` at a word boundary, in upper case
// with single blanks between words ("seq.  getpage" ends with "SEQ. GETPAGE" and "GETPAGE").
inline bool LabelEndsWith(const LabelValue& pair, std::string_view suffix) {
    // Most labels end elsewhere: their last character tells.
    const std::string_view own = pair.label;
    if (!own.empty() && !suffix.empty()) {
        const char last =
            own.back() >= 'a' && own.back() <= 'z' ? static_cast<char>(own.back() - 'a' + 'A') : own.back();
        if (last != suffix.back()) {
            return false;
        }
    }
    return LabelEndsWithSlowly(pair, suffix);
}

// Whether the heading or the label holds `word` (upper case).
bool LabelMentions(const LabelValue& pair, std::string_view word);

// The label as shown in a fault: upper case, single blanks.
std::string NormalisedLabel(std::string_view label);

// A whole number, or why it is none: "not a number: 12X4", "exceeds 64 bits: 99999999999999999999".
struct NumberRead {
    std::optional<std::int64_t> value;
    std::string fault;
};
NumberRead ReadNumber(std::string_view text);

} // namespace ornexa
