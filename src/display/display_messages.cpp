#include "display/display_messages.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <optional>
#include <utility>

namespace ornexa {

namespace {

// SYSLOG keeps at most this many multi-line messages open at once; an older one is handed out.
constexpr std::size_t MaxOpenMessages = 32;
// A continuation line's multi-line id stands far to the right of its record type.
constexpr std::size_t MinMultiLineIdColumn = 10;
constexpr std::size_t FlagsLength = 8;
constexpr std::size_t DateLength = 5;
constexpr std::size_t TimeLength = 11; // hh:mm:ss.th

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsUpper(char c) {
    return c >= 'A' && c <= 'Z';
}
bool IsAlnum(char c) {
    return IsDigit(c) || IsUpper(c) || (c >= 'a' && c <= 'z');
}
bool IsHex(char c) {
    return IsDigit(c) || (c >= 'A' && c <= 'F');
}

std::string_view TrimLeft(std::string_view s) {
    return s.substr(SkipBlanks(s, 0));
}

std::string_view TrimRight(std::string_view s) {
    return s.substr(0, EndOfText(s));
}

// The first blank-delimited token of `s` (which starts with no blank) and the text after it.
std::pair<std::string_view, std::string_view> SplitToken(std::string_view s) {
    const std::size_t i = FindBlank(s, 0);
    return {s.substr(0, i), s.substr(SkipBlanks(s, i))};
}

template <class Pred> bool AllOf(std::string_view s, Pred pred) {
    if (s.empty()) {
        return false;
    }
    for (const char c : s) {
        if (!pred(c)) {
            return false;
        }
    }
    return true;
}

bool IsTime(std::string_view t) {
    return t.size() == TimeLength && IsDigit(t[0]) && IsDigit(t[1]) && t[2] == ':' && IsDigit(t[3]) && IsDigit(t[4]) &&
           t[5] == ':' && IsDigit(t[6]) && IsDigit(t[7]) && t[8] == '.' && IsDigit(t[9]) && IsDigit(t[10]);
}

bool IsFlags(std::string_view t) {
    return t.size() == FlagsLength && AllOf(t, [](char c) { return IsHex(c); });
}

struct SyslogFirst {
    std::string_view system;
    std::string_view date;
    std::string_view time;
    std::string_view text;
};

// A SYSLOG line that opens a message: record type (and routing), system, date yyddd, time, job id,
// perhaps the flags, then the message.
std::optional<SyslogFirst> ParseSyslogFirst(std::string_view line) {
    // Its time has colons: a line without one (most continuation lines) is none.
    if (line.empty() || !IsUpper(line[0]) || std::memchr(line.data(), ':', line.size()) == nullptr) {
        return std::nullopt;
    }
    constexpr std::size_t maxHeadTokens = 5;
    std::array<std::string_view, maxHeadTokens + 1> tokens{};
    std::string_view rest = line;
    std::size_t count = 0;
    while (count < tokens.size() && !rest.empty()) {
        auto [token, after] = SplitToken(rest);
        tokens[count++] = token;
        rest = after;
        if (count >= 3 && IsTime(token)) {
            break;
        }
    }
    if (count < 4 || !IsTime(tokens[count - 1])) {
        return std::nullopt;
    }
    const std::string_view date = tokens[count - 2];
    if (date.size() != DateLength || !AllOf(date, [](char c) { return IsDigit(c); })) {
        return std::nullopt;
    }
    SyslogFirst first{tokens[count - 3], date, tokens[count - 1], {}};
    // The job id, then the flags (either may be blank).
    const auto [job, afterJob] = SplitToken(rest);
    const auto [flags, afterFlags] = SplitToken(afterJob);
    if (IsFlags(flags)) {
        rest = afterFlags;
    } else if (IsFlags(job) || !IsMessageId(job)) {
        rest = afterJob;
    }
    first.text = rest;
    return first;
}

struct SyslogNext {
    char recordType = 0;
    std::string_view multiLineId;
    std::string_view text;
    // The length of the line's start (up to its text) that fixes where the multi-line id and the text
    // stand in any line that starts the same: its columns end with the flags and blanks. 0 when the
    // columns have no flags.
    std::size_t columns = 0;
};

// A SYSLOG continuation line: record type (label, data, end), blank columns, the multi-line id,
// perhaps the flags, then the text.
std::optional<SyslogNext> ParseSyslogNext(std::string_view line) {
    if (line.empty() || (line[0] != 'D' && line[0] != 'L' && line[0] != 'E' && line[0] != 'S')) {
        return std::nullopt;
    }
    auto [type, rest] = SplitToken(line);
    if (type.size() > 2 || !AllOf(type, [](char c) { return IsUpper(c); })) {
        return std::nullopt;
    }
    const std::size_t idColumn = line.size() - rest.size();
    auto [id, afterId] = SplitToken(rest);
    if (idColumn < MinMultiLineIdColumn || !AllOf(id, [](char c) { return IsDigit(c); })) {
        return std::nullopt;
    }
    rest = afterId;
    auto [flags, afterFlags] = SplitToken(rest);
    std::size_t columns = 0;
    if (IsFlags(flags)) {
        rest = afterFlags;
        const auto flagsEnd = static_cast<std::size_t>(flags.data() + flags.size() - line.data());
        const std::size_t textFrom = line.size() - rest.size();
        columns = textFrom > flagsEnd ? textFrom : 0;
    }
    return SyslogNext{line[0], id, rest, columns};
}

bool IsCarriageControl(char c) {
    return c == '1' || c == '0' || c == '-' || c == '+';
}

} // namespace

bool IsMessageId(std::string_view token) {
    constexpr std::size_t minLength = 5;
    constexpr std::size_t maxLength = 10;
    if (token.size() < minLength || token.size() > maxLength) {
        return false;
    }
    std::size_t i = 0;
    while (i < token.size() && (IsUpper(token[i]) || token[i] == '$' || token[i] == '#' || token[i] == '@')) {
        ++i;
    }
    if (i < 3) {
        return false;
    }
    const std::size_t digitsFrom = i;
    while (i < token.size() && (IsDigit(token[i]) || IsUpper(token[i]))) {
        ++i;
    }
    if (i != token.size()) {
        return false;
    }
    // At least three digits after the letters: "DSNB401I", "DSN9022I", "IEF403I", "$HASP395".
    const auto digits = std::count_if(token.begin() + static_cast<std::ptrdiff_t>(digitsFrom), token.end(), IsDigit);
    return digits >= 3;
}

MessageSplitter::MessageSplitter(Sink sink) : sink_(std::move(sink)) {}

void MessageSplitter::Emit(Open& open) {
    if (!open.message.id.empty()) {
        sink_(open.message);
    }
    open.message.id = {};
    open.message.lines.clear();
}

MessageSplitter::Open& MessageSplitter::NewOpen() {
    if (open_.size() >= MaxOpenMessages) {
        Emit(open_.front());
        open_.erase(open_.begin());
    }
    open_.emplace_back();
    return open_.back();
}

void MessageSplitter::Start(Open& open, std::int64_t number, std::string_view id, std::string_view rest) {
    Emit(open);
    std::string_view prefix;
    if (!rest.empty() && !IsAlnum(rest[0])) {
        constexpr std::size_t maxPrefix = 8;
        auto [token, after] = SplitToken(rest);
        if (token.size() <= maxPrefix) {
            prefix = token;
            rest = after;
        }
    }
    if (prefix.size() > 1) {
        open.ownerPrefix = prefix;
    }
    open.message.id = id;
    open.message.prefix = prefix.size() > 1 || open.ownerPrefix.empty() ? prefix : open.ownerPrefix;
    open.message.lines.push_back({number, TrimRight(rest)});
}

void MessageSplitter::Continue(Open& open, std::int64_t number, std::string_view text) {
    if (!open.message.id.empty() && !text.empty()) {
        open.message.lines.push_back({number, text});
    }
}

void MessageSplitter::ContinueSyslog(std::int64_t number, char recordType, std::string_view multiLineId,
                                     const SyslogText& line) {
    // The open message of that multi-line id, else the latest multi-line one that has none yet,
    // else the latest one that has none.
    auto it = std::find_if(open_.rbegin(), open_.rend(), [&](const Open& o) { return o.multiLineId == multiLineId; });
    if (it == open_.rend()) {
        it = std::find_if(open_.rbegin(), open_.rend(),
                          [](const Open& o) { return o.multiLine && o.multiLineId.empty(); });
    }
    if (it == open_.rend()) {
        it = std::find_if(open_.rbegin(), open_.rend(), [](const Open& o) { return o.multiLineId.empty(); });
    }
    if (it == open_.rend()) {
        return;
    }
    it->multiLineId = multiLineId;
    if (IsMessageId(line.firstWord)) {
        Start(*it, number, line.firstWord, line.rest);
    } else {
        Continue(*it, number, line.text);
    }
    if (recordType == 'E') {
        Emit(*it);
        open_.erase(std::next(it).base());
    }
}

void MessageSplitter::Line(std::int64_t number, std::string_view line) {
    // Continuation lines of one message share their columns: a line that starts as the last one
    // parsed did has its multi-line id and text where that one had them. Its record type, multi-line
    // id and flags are no system, date and time: it opens a message only when the first or second
    // word of its text is a date (before a time).
    if (!columns_.empty() && line.starts_with(columns_)) {
        const std::string_view text = line.substr(SkipBlanks(line, columns_.size()));
        const auto [word, rest] = SplitToken(text);
        const auto isDate = [](std::string_view t) {
            return t.size() == DateLength && AllOf(t, [](char c) { return IsDigit(c); });
        };
        if (!isDate(word) && !isDate(rest.substr(0, FindBlank(rest, 0)))) {
            // The text without its trailing blanks has the same first word, and the rest of it
            // without them.
            ContinueSyslog(number, line[0], line.substr(columnsId_, columnsIdSize_),
                           {TrimRight(text), word, TrimRight(rest)});
            return;
        }
    }
    if (const auto first = ParseSyslogFirst(line)) {
        syslog_ = true;
        const std::string_view text = TrimRight(first->text);
        const auto [id, rest] = SplitToken(text);
        const std::string_view prefix = SplitToken(rest).first;
        // A new message of a subsystem closes that subsystem's earlier ones.
        for (std::size_t i = 0; i < open_.size();) {
            Open& o = open_[i];
            if (!o.ownerPrefix.empty() && o.ownerPrefix == prefix) {
                Emit(o);
                open_.erase(open_.begin() + static_cast<std::ptrdiff_t>(i));
            } else {
                ++i;
            }
        }
        Open& open = NewOpen();
        open.multiLine = line[0] == 'M';
        open.message.system = first->system;
        open.message.date = first->date;
        open.message.time = first->time;
        if (IsMessageId(id)) {
            Start(open, number, id, rest);
        }
        return;
    }
    if (syslog_) {
        const auto next = ParseSyslogNext(line);
        if (!next) {
            return;
        }
        columns_.assign(line.substr(0, next->columns));
        columnsId_ = static_cast<std::size_t>(next->multiLineId.data() - line.data());
        columnsIdSize_ = next->multiLineId.size();
        const std::string_view text = TrimRight(next->text);
        const auto [word, rest] = SplitToken(text);
        ContinueSyslog(number, next->recordType, next->multiLineId, {text, word, rest});
        return;
    }
    // Batch output or a screen copy: one stream of messages.
    if (open_.empty()) {
        open_.emplace_back();
    }
    std::string_view text = line;
    if (text.size() > 1 && IsCarriageControl(text[0]) && IsUpper(text[1])) {
        text.remove_prefix(1);
    }
    text = TrimRight(TrimLeft(text));
    if (const auto [id, rest] = SplitToken(text); IsMessageId(id)) {
        Start(open_.front(), number, id, rest);
    } else {
        Continue(open_.front(), number, text);
    }
}

void MessageSplitter::Finish() {
    for (Open& open : open_) {
        Emit(open);
    }
    open_.clear();
}

} // namespace ornexa
