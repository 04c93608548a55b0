#include <gtest/gtest.h>

#include <string>

#include "report/latin1.h"

namespace ornexa {
namespace {

TEST(Latin1, EveryByteGoesToUtf8AndBack) {
    std::string bytes;
    for (int b = 1; b < 256; ++b) {
        bytes += static_cast<char>(b);
    }
    const std::string text = Latin1ToUtf8(bytes);
    EXPECT_EQ(text.size(), 127U + 2U * 128U);
    EXPECT_EQ(Utf8ToLatin1(text), bytes);
    EXPECT_EQ(Latin1ToUtf8("INVENTR\xE9.TS1"), "INVENTR\u00E9.TS1");
    // What Latin-1 cannot hold is marked, one mark a character, and never cut into bytes.
    EXPECT_EQ(Utf8ToLatin1("1\u202F234\u2019x\U0001F600"), "1?234?x?");
    EXPECT_EQ(Utf8ToLatin1("cut \xE2\x80"), "cut ?");
}

} // namespace
} // namespace ornexa
