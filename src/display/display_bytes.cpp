#include "display/display_bytes.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstddef>
#include <cstdint>

namespace ornexa {

namespace {

// "DSNB" and "DSNB401I" in EBCDIC (the same in both code pages).
constexpr std::string_view EbcdicDsnb = "\xC4\xE2\xD5\xC2";
constexpr std::string_view EbcdicDsnb401 = "\xC4\xE2\xD5\xC2\xF4\xF0\xF1\xC9";
constexpr std::size_t SniffBytes = std::size_t{64} * 1024;

struct IconvHandle {
    iconv_t handle;
    explicit IconvHandle(const char* from) : handle(iconv_open("ISO-8859-1", from)) {}
    ~IconvHandle() {
        if (Ok()) {
            iconv_close(handle);
        }
    }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;
    IconvHandle(IconvHandle&&) = delete;
    IconvHandle& operator=(IconvHandle&&) = delete;
    // iconv_open's failure value is (iconv_t)-1.
    [[nodiscard]] bool Ok() const { return reinterpret_cast<std::intptr_t>(handle) != -1; }
};

bool LooksEbcdic(std::string_view head) {
    const bool ebcdicDsnb = head.find(EbcdicDsnb) != std::string_view::npos;
    const bool asciiDsnb = head.find("DSNB") != std::string_view::npos;
    if (ebcdicDsnb != asciiDsnb) {
        return ebcdicDsnb;
    }
    std::size_t ebcdicBlanks = 0;
    std::size_t asciiBlanks = 0;
    std::size_t asciiLetters = 0;
    std::size_t ebcdicLineEnds = 0;
    std::size_t asciiLineEnds = 0;
    for (const char c : head) {
        const auto b = static_cast<unsigned char>(c);
        ebcdicBlanks += b == 0x40 ? 1 : 0;
        asciiBlanks += b == 0x20 ? 1 : 0;
        asciiLetters += (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') ? 1 : 0;
        ebcdicLineEnds += b == 0x15 || b == 0x25 ? 1 : 0;
        asciiLineEnds += b == '\n' ? 1 : 0;
    }
    // Db2 output is mostly blanks: in EBCDIC they are 0x40, which ASCII shows as '@'.
    return ebcdicBlanks > asciiBlanks && ebcdicBlanks * 4 > head.size() && asciiLetters * 4 < head.size() &&
           ebcdicLineEnds >= asciiLineEnds;
}

} // namespace

DisplayEncoding DetectDisplayEncoding(std::string_view bytes) {
    const std::string_view head = bytes.substr(0, SniffBytes);
    if (!LooksEbcdic(head)) {
        return DisplayEncoding::Ascii;
    }
    // The brackets: AD and BD in IBM1047, BA and BB in IBM037.
    std::size_t brackets1047 = 0;
    std::size_t brackets037 = 0;
    for (const char c : head) {
        const auto b = static_cast<unsigned char>(c);
        brackets1047 += b == 0xAD || b == 0xBD ? 1 : 0;
        brackets037 += b == 0xBA || b == 0xBB ? 1 : 0;
    }
    return brackets1047 > brackets037 ? DisplayEncoding::Ebcdic1047 : DisplayEncoding::Ebcdic037;
}

std::string_view CodePageName(DisplayEncoding encoding) {
    switch (encoding) {
    case DisplayEncoding::Ebcdic037:
        return "IBM037";
    case DisplayEncoding::Ebcdic1047:
        return "IBM1047";
    case DisplayEncoding::Ascii:
        break;
    }
    return {};
}

std::optional<std::string> ConvertEbcdic(std::string_view bytes, DisplayEncoding from) {
    const std::string name(CodePageName(from));
    if (name.empty()) {
        return std::nullopt;
    }
    const IconvHandle conv(name.c_str());
    if (!conv.Ok()) {
        return std::nullopt;
    }
    // Both code pages are single-byte and map into ISO-8859-1 one to one.
    std::string out(bytes.size(), '\0');
    std::string in(bytes); // iconv's input pointer is not const
    char* inPtr = in.data();
    std::size_t inLeft = in.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    if (iconv(conv.handle, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0) {
        return std::nullopt;
    }
    out.resize(out.size() - outLeft);
    std::replace(out.begin(), out.end(), '\x85', '\n'); // the EBCDIC new line
    return out;
}

bool HoldsDb2Display(std::string_view bytes) {
    return bytes.find("DSNB401I") != std::string_view::npos || bytes.find(EbcdicDsnb401) != std::string_view::npos;
}

namespace {

// "DSNB" followed by three digits and "I" at `at`, in the digits `zero` of its code.
bool BufferPoolMessageAt(std::string_view bytes, std::size_t at, char zero, char i) {
    if (at + 8 > bytes.size()) {
        return false;
    }
    for (std::size_t d = at + 4; d < at + 7; ++d) {
        if (bytes[d] < zero || bytes[d] > static_cast<char>(zero + 9)) {
            return false;
        }
    }
    return bytes[at + 7] == i;
}

bool HoldsMessageOf(std::string_view bytes, std::string_view dsnb, char zero, char i) {
    for (std::size_t at = bytes.find(dsnb); at != std::string_view::npos; at = bytes.find(dsnb, at + 1)) {
        if (BufferPoolMessageAt(bytes, at, zero, i)) {
            return true;
        }
    }
    return false;
}

} // namespace

bool HoldsDb2BufferPoolMessages(std::string_view bytes) {
    return HoldsMessageOf(bytes, "DSNB", '0', 'I') || HoldsMessageOf(bytes, EbcdicDsnb, '\xF0', '\xC9');
}

} // namespace ornexa
