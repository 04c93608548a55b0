#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "display/display_model.h"
#include "report/line_reader.h"

namespace ornexa {

// Something the read of a display noticed and went on past: a pool cut off in the middle, a duplicate
// display. Always with the line it concerns.
struct DisplayNote {
    std::int64_t line = 0;
    std::string messageId; // the message it concerns; empty when none
    std::string text;      // "the display ends inside pool BP3: its figures are those read up to here"
    friend bool operator==(const DisplayNote&, const DisplayNote&) = default;
};

// What stops the read: a value that is not a number, a number beyond 64 bits.
struct DisplayFault {
    std::int64_t line = 0;
    std::string messageId;   // "DSNB411I"
    std::string label;       // "RANDOM GETPAGE"; empty when the fault is not one value's
    std::string description; // "not a number: 12X4", "exceeds 64 bits: 99999999999999999999"
    friend bool operator==(const DisplayFault&, const DisplayFault&) = default;
};

// A message id the reader does not know (a newer Db2): how often it came and where first.
struct UnknownMessage {
    std::string id;
    std::int64_t firstLine = 0;
    std::int64_t count = 0;
    friend bool operator==(const UnknownMessage&, const UnknownMessage&) = default;
};

// Where the bytes came from: read as they are, or converted from an EBCDIC code page.
enum class DisplayEncoding { Ascii, Ebcdic037, Ebcdic1047 };

struct DisplayParse {
    std::vector<Db2Display> displays; // in file order
    std::vector<DisplayNote> notes;
    std::vector<UnknownMessage> unknown; // in order of first appearance
    std::optional<DisplayFault> fault;   // when set, `displays` holds what was read before it
    DisplayEncoding encoding = DisplayEncoding::Ascii;
    std::int64_t lines = 0; // lines read
};

// Whether bytes (the start of a file is enough) hold Db2's display output: a DSNB401I message, in
// ASCII or in EBCDIC.
bool HoldsDb2Display(std::string_view bytes);
// Whether bytes hold any of Db2's buffer pool messages (DSNB and three digits), in ASCII or EBCDIC: a
// file of them without a DSNB401I is told as a display that is none.
bool HoldsDb2BufferPoolMessages(std::string_view bytes);

// Reads the displays in `bytes`: a SYSLOG or console extract, the output of a batch job, lines
// copied from a screen, LF or CRLF, ASCII or EBCDIC (told by its bytes). Messages it does not read
// are skipped; those of the DSNB family it does not know are listed in `unknown`.
DisplayParse ParseDisplays(std::string_view bytes, const ProgressFn& progress = {});

} // namespace ornexa
