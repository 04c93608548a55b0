#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "display/display_parse.h"

namespace ornexa {

// Tells an EBCDIC file from an ASCII one by its first bytes: the EBCDIC "DSNB" (C4 E2 D5 C2), or
// mostly bytes of the EBCDIC letter and blank ranges with few ASCII letters and EBCDIC line ends.
// Between the two EBCDIC code pages it decides by the brackets, the characters where they differ
// that Db2 output may show; IBM037 when the bytes do not tell.
DisplayEncoding DetectDisplayEncoding(std::string_view bytes);

// The text of EBCDIC bytes in ISO-8859-1, the EBCDIC new line (0x15) made a line feed; nothing when
// the system cannot convert the code page or the bytes are not of it.
std::optional<std::string> ConvertEbcdic(std::string_view bytes, DisplayEncoding from);

// The iconv name of a code page: "IBM037", "IBM1047"; empty for ASCII.
std::string_view CodePageName(DisplayEncoding encoding);

} // namespace ornexa
