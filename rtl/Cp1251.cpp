#include "rtl/Cp1251.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

// Code points of the bytes 0x80-0xBF; 0xC0-0xFF are U+0410-U+044F in order.
constexpr char16_t kHigh[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, // B8
};

// (code point, byte) pairs of 0x80-0xBF sorted by code point, for the way back.
struct ReverseTable {
    std::array<std::pair<char32_t, unsigned char>, 63> entries{};
    ReverseTable() {
        std::size_t n = 0;
        for (int i = 0; i < 64; ++i)
            if (kHigh[i] != 0xFFFD)
                entries[n++] = {kHigh[i], static_cast<unsigned char>(0x80 + i)};
        std::sort(entries.begin(), entries.end());
    }
};

const ReverseTable& reverseTable() {
    static const ReverseTable table;
    return table;
}

char unicodeToCp1251(char32_t cp) {
    if (cp < 0x80)
        return static_cast<char>(cp);
    if (cp >= 0x0410 && cp <= 0x044F)
        return static_cast<char>(0xC0 + (cp - 0x0410));
    const auto& entries = reverseTable().entries;
    const auto it =
        std::lower_bound(entries.begin(), entries.end(), std::pair<char32_t, unsigned char>{cp, 0});
    if (it != entries.end() && it->first == cp)
        return static_cast<char>(it->second);
    return '?';
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

} // namespace

char32_t Cp1251ToUnicode(unsigned char byte) {
    if (byte < 0x80)
        return byte;
    if (byte >= 0xC0)
        return 0x0410 + (byte - 0xC0);
    return kHigh[byte - 0x80];
}

std::string Cp1251ToUtf8(const AnsiString& text) {
    std::string out;
    out.reserve(text.str().size() * 2);
    for (const char c : text.str())
        appendUtf8(out, Cp1251ToUnicode(static_cast<unsigned char>(c)));
    return out;
}

AnsiString Utf8ToCp1251(const std::string& utf8) {
    std::string out;
    out.reserve(utf8.size());
    const std::size_t n = utf8.size();
    std::size_t i = 0;
    while (i < n) {
        const unsigned char lead = static_cast<unsigned char>(utf8[i]);
        if (lead < 0x80) {
            out += static_cast<char>(lead);
            ++i;
            continue;
        }
        int extra;
        char32_t cp;
        unsigned char lo = 0x80, hi = 0xBF; // allowed range of the second byte
        if (lead >= 0xC2 && lead <= 0xDF) {
            extra = 1;
            cp = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            extra = 2;
            cp = lead & 0x0F;
            if (lead == 0xE0)
                lo = 0xA0; // overlong
            if (lead == 0xED)
                hi = 0x9F; // surrogates
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            extra = 3;
            cp = lead & 0x07;
            if (lead == 0xF0)
                lo = 0x90; // overlong
            if (lead == 0xF4)
                hi = 0x8F; // beyond U+10FFFF
        } else {
            out += '?';
            ++i;
            continue;
        }
        // A broken sequence becomes one '?' covering its longest valid prefix.
        std::size_t j = i + 1;
        bool ok = true;
        for (int k = 0; k < extra; ++k, ++j) {
            if (j >= n) {
                ok = false;
                break;
            }
            const unsigned char b = static_cast<unsigned char>(utf8[j]);
            const unsigned char min = k == 0 ? lo : 0x80;
            const unsigned char max = k == 0 ? hi : 0xBF;
            if (b < min || b > max) {
                ok = false;
                break;
            }
            cp = (cp << 6) | (b & 0x3F);
        }
        out += ok ? unicodeToCp1251(cp) : '?';
        i = j;
    }
    return AnsiString(std::move(out));
}
