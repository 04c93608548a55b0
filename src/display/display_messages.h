#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace ornexa {

// One line of a message: its line number in the file and its text (on the first line, the text after
// the message id and the command prefix).
struct MessageLine {
    std::int64_t number = 0;
    std::string_view text;
};

// One message as the file holds it, its views into the file's text.
struct DisplayMessage {
    std::string_view id;     // "DSNB401I"
    std::string_view prefix; // "-DB2A", the one of its multi-line message when it shows only "-"; empty when none
    std::string_view system; // SYSLOG: the system name; empty in batch output and screen copies
    std::string_view date;   // SYSLOG: yyddd
    std::string_view time;   // SYSLOG: hh:mm:ss.th
    std::vector<MessageLine> lines;
};

// The first position at or after `i` in `s` that holds no blank (nor tab). Db2's lines have long runs
// of blanks between their columns: they are passed eight at a time.
inline std::size_t SkipBlanks(std::string_view s, std::size_t i) {
    constexpr std::uint64_t eightBlanks = 0x2020202020202020ULL;
    constexpr std::size_t word = sizeof(std::uint64_t);
    while (i + word <= s.size()) {
        std::uint64_t eight = 0;
        std::memcpy(&eight, s.data() + i, word);
        if (eight != eightBlanks) {
            break;
        }
        i += word;
    }
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) {
        ++i;
    }
    return i;
}

// The first position at or after `i` in `s` that holds a blank or a tab; the size of `s` when none
// does. Eight bytes are looked at together: a byte equal to the blank (or the tab) is a zero byte of
// the eight xor eight blanks, and the lowest zero byte the formula flags is the first one.
inline std::size_t FindBlank(std::string_view s, std::size_t i) {
    constexpr std::uint64_t ones = 0x0101010101010101ULL;
    constexpr std::uint64_t highs = 0x8080808080808080ULL;
    constexpr std::uint64_t blanks = ones * ' ';
    constexpr std::uint64_t tabs = ones * '\t';
    constexpr std::size_t word = sizeof(std::uint64_t);
    constexpr int byteBits = 8;
    // The first byte in memory is the lowest only on a little-endian machine.
    while (std::endian::native == std::endian::little && i + word <= s.size()) {
        std::uint64_t eight = 0;
        std::memcpy(&eight, s.data() + i, word);
        const std::uint64_t b = eight ^ blanks;
        const std::uint64_t t = eight ^ tabs;
        const std::uint64_t zero = (((b - ones) & ~b) | ((t - ones) & ~t)) & highs;
        if (zero != 0) {
            return i + static_cast<std::size_t>(std::countr_zero(zero) / byteBits);
        }
        i += word;
    }
    while (i < s.size() && s[i] != ' ' && s[i] != '\t') {
        ++i;
    }
    return i;
}

// The end of `s` without its trailing blanks (nor tabs), found eight at a time.
inline std::size_t EndOfText(std::string_view s) {
    constexpr std::uint64_t eightBlanks = 0x2020202020202020ULL;
    constexpr std::size_t word = sizeof(std::uint64_t);
    std::size_t n = s.size();
    while (n >= word) {
        std::uint64_t eight = 0;
        std::memcpy(&eight, s.data() + n - word, word);
        if (eight != eightBlanks) {
            break;
        }
        n -= word;
    }
    while (n > 0 && (s[n - 1] == ' ' || s[n - 1] == '\t')) {
        --n;
    }
    return n;
}

// Whether `token` has the form of a message id: three or more letters (or $ # @), digits, and
// perhaps a closing letter ("DSNB401I", "IEF403I", "$HASP395").
bool IsMessageId(std::string_view token);

// Puts the lines of a file together into messages and hands each to `sink` once it is whole. Reads
// three forms: a SYSLOG or console extract (each line with record type, system name, date yyddd,
// time and job; the continuation lines of a multi-line message with its multi-line id), the output
// of a batch job (a message id at the start of a line, perhaps after a carriage-control character,
// and indented continuation lines), and lines copied from a screen (the same, perhaps indented).
// Within a SYSLOG multi-line message every line that starts with a message id is a message of its
// own (Db2 sends a pool's DSNB402I ... lines inside its DSNB401I), with the time of the first line.
class MessageSplitter {
public:
    using Sink = std::function<void(const DisplayMessage&)>;
    explicit MessageSplitter(Sink sink);

    void Line(std::int64_t number, std::string_view line);
    // Hands out the messages still open; call at the end of the file.
    void Finish();

private:
    struct Open {
        std::string_view multiLineId; // SYSLOG only; empty until a continuation line names it
        std::string_view ownerPrefix; // the last full command prefix seen in it
        bool multiLine = false;       // SYSLOG: its first line's record type is M
        DisplayMessage message;       // the message being put together; no id while none is open
    };

    void Start(Open& open, std::int64_t number, std::string_view id, std::string_view rest);
    void Continue(Open& open, std::int64_t number, std::string_view text);
    // A SYSLOG line's text after its columns, without trailing blanks: whole, its first word and the
    // rest after that word's blanks.
    struct SyslogText {
        std::string_view text;
        std::string_view firstWord;
        std::string_view rest;
    };
    void ContinueSyslog(std::int64_t number, char recordType, std::string_view multiLineId, const SyslogText& line);
    void Emit(Open& open);
    Open& NewOpen();

    Sink sink_;
    std::vector<Open> open_; // SYSLOG: the multi-line messages still open, oldest first; otherwise one
    bool syslog_ = false;
    // SYSLOG: the start of the last continuation line parsed, up to its text, and where its
    // multi-line id stands in it; empty when its columns have no flags.
    std::string columns_;
    std::size_t columnsId_ = 0;
    std::size_t columnsIdSize_ = 0;
};

} // namespace ornexa
