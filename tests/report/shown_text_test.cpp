#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "report/shown_text.h"

namespace ornexa {
namespace {

TEST(ShownText, ControlCharactersOfNamesAreShownEscaped) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"DB.TS1", "DB.TS1"},                   // plain names unchanged byte for byte
        {"\xC3\x84RGER.TS", "\xC3\x84RGER.TS"}, // so are letters beyond ASCII
        {"DB\x1b[2J.TS", "DB\\x1b[2J.TS"},      // ESC: a terminal would clear the screen
        {"A\nB\rC\tD", "A\\x0aB\\x0dC\\x09D"},  // line ends and tabs
        {"A\x7f"
         "B",
         "A\\x7fB"}, // DEL
        {"A\xC2\x9B"
         "2J",
         "A\\x9b2J"}, // CSI as UTF-8 writes it
        {"A\xC2\xA0"
         "B",
         "A\xC2\xA0"
         "B"}, // a no-break space is no control character
        {std::string("A\0B", 3), "A\\x00B"},
    };
    for (const auto& [text, shown] : cases) {
        EXPECT_EQ(EscapeControls(text), shown) << shown;
    }
    EXPECT_EQ(EscapeControls("line 1\nline\x1b 2\n", "\n"), "line 1\nline\\x1b 2\n"); // a whole text keeps its lines
}

TEST(ShownText, AFieldIsShownTrimmedWithItsLatin1AsUtf8) {
    FixedText<8> name;
    name = " BP\xC4 ";
    EXPECT_EQ(ShownText(name), "BP\xC3\x84");
    EXPECT_EQ(ShownText("  "), "");
    EXPECT_EQ(ShownText("a  b"), "a  b");
}

} // namespace
} // namespace ornexa
