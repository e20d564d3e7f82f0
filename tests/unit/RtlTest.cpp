#include <gtest/gtest.h>

#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <iconv.h>
#include <limits>
#include <string>

#include "rtl/AnsiString.h"
#include "rtl/Cp1251.h"
#include "rtl/SysUtils.h"
#include "tests/unit/Outcome.h"

namespace {

// ---- AnsiString ---------------------------------------------------------

TEST(AnsiString, OneBasedEditing) {
    AnsiString s("2+3*4");
    EXPECT_EQ(s.Length(), 5);
    EXPECT_EQ(s[1], '2');
    EXPECT_EQ(s[5], '4');
    EXPECT_EQ(s.SubString(3, 3), "3*4");
    EXPECT_EQ(s.SubString(4, 100), "*4");
    EXPECT_EQ(s.SubString(6, 1), "");
    EXPECT_EQ(s.Pos("*"), 4);
    EXPECT_EQ(s.Pos("/"), 0);
    s.Delete(3, 3);
    EXPECT_EQ(s, "2+");
    s.Insert("12", 3);
    EXPECT_EQ(s, "2+12");
    s.Delete(1, 100);
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_EQ(AnsiString("a") + "b", "ab");
    EXPECT_TRUE(AnsiString("a") < AnsiString("b"));
    EXPECT_NE(AnsiString("a"), AnsiString("b"));
}

// ---- Windows-1251 -------------------------------------------------------

// glibc's own converter is the independent reference for the table.
std::string IconvToUtf8(unsigned char byte) {
    iconv_t cd = iconv_open("UTF-8", "CP1251");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return "(no iconv)";
    char in[1] = {static_cast<char>(byte)};
    char out[8];
    char* inp = in;
    char* outp = out;
    size_t inLeft = 1, outLeft = sizeof out;
    const size_t rc = iconv(cd, &inp, &inLeft, &outp, &outLeft);
    iconv_close(cd);
    if (rc == static_cast<size_t>(-1))
        return "(unassigned)";
    return std::string(out, outp);
}

TEST(Cp1251, EveryHighByteMatchesTheSystemTableAndRoundTrips) {
    for (int b = 0x80; b <= 0xFF; ++b) {
        SCOPED_TRACE(b);
        const AnsiString byte(std::string(1, static_cast<char>(b)));
        const std::string utf8 = Cp1251ToUtf8(byte);
        if (b == 0x98) {
            EXPECT_EQ(IconvToUtf8(0x98), "(unassigned)");
            EXPECT_EQ(utf8, "\xEF\xBF\xBD"); // U+FFFD
            EXPECT_EQ(Utf8ToCp1251(utf8), "?");
            continue;
        }
        EXPECT_EQ(utf8, IconvToUtf8(static_cast<unsigned char>(b)));
        EXPECT_EQ(Utf8ToCp1251(utf8), byte);
    }
}

TEST(Cp1251, AsciiPassesThrough) {
    std::string all;
    for (int b = 0; b < 0x80; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(Cp1251ToUtf8(AnsiString(all)), all);
    EXPECT_EQ(Utf8ToCp1251(all).str(), all);
}

TEST(Cp1251, RussianText) {
    // "Макс. 9 знаков!"
    EXPECT_EQ(Utf8ToCp1251("\xD0\x9C\xD0\xB0\xD0\xBA\xD1\x81. 9 "
                           "\xD0\xB7\xD0\xBD\xD0\xB0\xD0\xBA\xD0\xBE\xD0\xB2!"),
              "\xCC\xE0\xEA\xF1. 9 \xE7\xED\xE0\xEA\xEE\xE2!");
}

TEST(Cp1251, UnmappableAndMalformedBecomeQuestionMarks) {
    struct Row {
        const char* name;
        std::string utf8;
        std::string cp1251;
    } rows[] = {
        {"cjk",
         "a\xE4\xB8\xAD"
         "b",
         "a?b"},
        {"emoji", "\xF0\x9F\x98\x80", "?"},
        {"latin1 e-acute", "\xC3\xA9", "?"},
        {"euro", "\xE2\x82\xAC", "\x88"},
        {"lone continuation",
         "\x80"
         "1",
         "?1"},
        {"overlong slash", "\xC0\xAF", "??"},
        {"truncated at end", "1\xE2\x82", "1?"},
        {"truncated before ascii",
         "\xD0"
         "x",
         "?x"},
        {"surrogate", "\xED\xA0\x80", "???"},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", "????"},
        {"nul kept", std::string("a\0b", 3), std::string("a\0b", 3)},
    };
    for (const Row& r : rows)
        EXPECT_EQ(Utf8ToCp1251(r.utf8).str(), r.cp1251) << r.name;
}

// ---- Text to floating-point number --------------------------------------

TEST(StrToFloat, ValuesAreCorrectlyRounded) {
    struct Row {
        const char* name;
        std::string text;
        double value;
    } rows[] = {
        {"integer", "12", 12.0},
        {"fraction", "12,5", 12.5},
        {"tenth", "0,1", 0.1},
        {"leading comma", ",5", 0.5},
        {"trailing comma", "5,", 5.0},
        {"negative", "-3", -3.0},
        {"plus", "+3", 3.0},
        {"exponent", "1,5E3", 1500.0},
        {"negative exponent", "25e-1", 2.5},
        {"tie goes to even", "9007199254740993", 9007199254740992.0},
        {"just above the tie", "9007199254740993,0000001", 9007199254740994.0},
        {"largest double", "1,7976931348623157E308", DBL_MAX},
        {"smallest denormal", "4,9406564584124654E-324", std::numeric_limits<double>::denorm_min()},
        {"underflow to zero", "0," + std::string(400, '0') + "1", 0.0},
        {"long exact fraction", "0,1000000000000000055511151231257827021181583404541015625", 0.1},
    };
    for (const Row& r : rows) {
        double v = -1;
        EXPECT_EQ(Capture([&] { v = StrToFloat(AnsiString(r.text)); }), NoError()) << r.name;
        EXPECT_EQ(v, r.value) << r.name;
    }
}

TEST(StrToFloat, UnderflowIsZeroWithoutError) {
    const std::string tiny = "0," + std::string(400, '0') + "1";
    EXPECT_EQ(StrToFloat(AnsiString(tiny)), 0.0);
    EXPECT_EQ(StrToFloat(AnsiString("1E-400")), 0.0);
    EXPECT_TRUE(std::signbit(StrToFloat(AnsiString("-1E-400"))));
}

TEST(StrToFloat, Failures) {
    const std::string big(400, '9');
    struct Row {
        const char* name;
        std::string text;
        Outcome outcome;
    } rows[] = {
        {"empty", "", BadFloat("")},
        {"comma alone", ",", BadFloat(",")},
        {"minus alone", "-", BadFloat("-")},
        {"point", "1.5", BadFloat("1.5")},
        {"two commas", "1,2,3", BadFloat("1,2,3")},
        {"blank", " 1", BadFloat(" 1")},
        {"letters", "abc", BadFloat("abc")},
        {"exponent without digits", "1E", BadFloat("1E")},
        {"exponent alone", "E5", BadFloat("E5")},
        {"400 digits", big, Overflow()},
        {"negative 400 digits", "-" + big, Overflow()},
        {"beyond the largest double", "1,8E308", Overflow()},
        {"huge exponent", "0,001E99999999999999999999", Overflow()},
        {"tiny huge exponent", "1000E-99999999999999999999", NoError()},
    };
    for (const Row& r : rows)
        EXPECT_EQ(Capture([&] { StrToFloat(AnsiString(r.text)); }), r.outcome) << r.name;
}

// ---- General format, precision 10 ---------------------------------------

TEST(FloatToStrGeneral10, Table) {
    const long double belowHalf = std::nextafter(1234567890.5L, 0.0L);
    struct Row {
        const char* name;
        long double value;
        const char* text;
    } rows[] = {
        {"zero", 0.0L, "0"},
        {"negative zero", -0.0L, "0"},
        {"integer", 14.0L, "14"},
        {"negative", -2.5L, "-2,5"},
        {"ten digits", 9999999999.0L, "9999999999"},
        {"1E10 is scientific", 10000000000.0L, "1E10"},
        {"eleven digits round up", 12345678905.0L, "1,234567891E10"},
        {"eleven digits round down", 12345678904.0L, "1,23456789E10"},
        {"carry out of the first digit", 99999999995.0L, "1E11"},
        {"product", 999999.0L * 999999.0L, "9,99998E11"},
        {"beyond the exact path", 1e20L, "1E20"},
        {"two thirds", 2.0L / 3.0L, "0,6666666667"},
        {"third", 1.0L / 3.0L, "0,3333333333"},
        {"small plain", 1.0L / 8000.0L, "0,000125"},
        {"smallest plain", 0.0001L, "0,0001"},
        {"first small scientific", 0.00001L, "1E-5"},
        {"rounded up into the plain form", 0.000099999999999L, "0,0001"},
        {"rounded up into 1E10", 9999999999.5L, "1E10"},
        {"sum of doubles", static_cast<long double>(0.1) + static_cast<long double>(0.2), "0,3"},
        {"tiny", 1e-300L, "1E-300"},
        {"long double range", 1e4000L, "1E4000"},
        {"negative scientific", -1.5e-7L, "-1,5E-7"},
        // 1234567890,49999999988... is 1234567890,50000000 at 18 digits, whose
        // 11th digit then rounds up; one rounding at 10 digits would give ...890.
        {"two-step rounding carries", belowHalf, "1234567891"},
        {"no carry from the 18th digit", 1234567890.49999999L, "1234567890"},
        {"two-step rounding in a fraction", 0.1234567890499999999999L, "0,1234567891"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(FloatToStrGeneral10(r.value), r.text) << r.name;
}

TEST(FloatToStrGeneral10, DiffersFromOneRoundingAtTenDigits) {
    // The guard against a plain printf-based shortcut.
    const long double v = std::nextafter(1234567890.5L, 0.0L);
    char once[64];
    std::snprintf(once, sizeof once, "%.10Lg", v);
    EXPECT_STREQ(once, "1234567890");
    EXPECT_EQ(FloatToStrGeneral10(v), "1234567891");
}

TEST(FloatToStrGeneral10, NoInfinityOrNanBecomesText) {
    EXPECT_EQ(Capture([] { FloatToStrGeneral10(std::numeric_limits<long double>::infinity()); }),
              Overflow());
    EXPECT_EQ(Capture([] { FloatToStrGeneral10(-std::numeric_limits<long double>::infinity()); }),
              Overflow());
    EXPECT_EQ(Capture([] { FloatToStrGeneral10(std::numeric_limits<long double>::quiet_NaN()); }),
              InvalidOp());
}

// ---- Locale independence ------------------------------------------------

// The gadget calls setlocale; a comma locale must change nothing. Without an
// installed comma locale this test is skipped (LOCPATH can point to one made
// with localedef).
TEST(Locale, ConversionsIgnoreTheLocale) {
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    const char* found = nullptr;
    for (const char* name :
         {"de_DE.UTF-8", "ru_RU.UTF-8", "de_DE.utf8", "ru_RU.utf8", "fr_FR.UTF-8"})
        if ((found = std::setlocale(LC_ALL, name)) != nullptr)
            break;
    if (!found)
        GTEST_SKIP() << "no locale with a decimal comma installed";
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 2.5);
    EXPECT_STREQ(probe, "2,5") << "the locale in use does not write a comma";
    EXPECT_EQ(StrToFloat("2,5"), 2.5);
    EXPECT_EQ(Capture([] { StrToFloat("2.5"); }), BadFloat("2.5"));
    EXPECT_EQ(FloatToStrGeneral10(2.5L), "2,5");
    EXPECT_EQ(FloatToStrGeneral10(1.0L / 3.0L), "0,3333333333");
    EXPECT_EQ(FloatToStrGeneral10(1.5e-7L), "1,5E-7");
    EXPECT_EQ(FloatToStrGeneral10(1e20L), "1E20");
    std::setlocale(LC_ALL, saved.c_str());
}

// ---- Integers ----------------------------------------------------------

TEST(StrToInt, Table) {
    struct Row {
        const char* name;
        const char* text;
        int value;
        Outcome outcome;
    } rows[] = {
        {"zero", "0", 0, NoError()},
        {"nine digits", "999999999", 999999999, NoError()},
        {"largest", "2147483647", 2147483647, NoError()},
        {"smallest", "-2147483648", -2147483647 - 1, NoError()},
        {"plus", "+7", 7, NoError()},
        {"dollar hex", "$1F", 31, NoError()},
        {"0x hex", "0xff", 255, NoError()},
        {"32-bit hex", "$FFFFFFFF", -1, NoError()},
        {"too large", "2147483648", 0, BadInteger("2147483648")},
        {"too small", "-2147483649", 0, BadInteger("-2147483649")},
        {"empty", "", 0, BadInteger("")},
        {"scientific", "1E11", 0, BadInteger("1E11")},
        {"cut scientific", "1E", 0, BadInteger("1E")},
        {"fraction", "2,5", 0, BadInteger("2,5")},
        {"blank", "1 ", 0, BadInteger("1 ")},
        {"hex too long", "$100000000", 0, BadInteger("$100000000")},
        {"sign alone", "-", 0, BadInteger("-")},
    };
    for (const Row& r : rows) {
        int v = -12345;
        EXPECT_EQ(Capture([&] { v = StrToInt(r.text); }), r.outcome) << r.name;
        if (r.outcome == NoError()) {
            EXPECT_EQ(v, r.value) << r.name;
        }
    }
}

TEST(IntToStrAndHex, Table) {
    EXPECT_EQ(IntToStr(0), "0");
    EXPECT_EQ(IntToStr(-5), "-5");
    EXPECT_EQ(IntToStr(68719476735LL), "68719476735");
    EXPECT_EQ(IntToHex(0), "0");
    EXPECT_EQ(IntToHex(14), "E");
    EXPECT_EQ(IntToHex(255), "FF");
    EXPECT_EQ(IntToHex(999999999), "3B9AC9FF");
    EXPECT_EQ(IntToHex(68719476735LL), "FFFFFFFFF");
    EXPECT_EQ(IntToHex(-1), "FFFFFFFFFFFFFFFF");
}

TEST(Exceptions, HierarchyAndMessages) {
    const EZeroDivide e;
    const Exception& base = e;
    EXPECT_STREQ(base.what(), "Floating point division by zero");
    EXPECT_EQ(Capture([] { throw ERangeError(); }), RangeError());
    EXPECT_EQ(Capture([] { throw EOverflow(); }), Overflow());
    EXPECT_EQ(Capture([] { throw EInvalidOp(); }), InvalidOp());
    EXPECT_EQ(Capture([] { throw Exception("\xCE\xF8\xE8\xE1\xEA\xE0"); }),
              Error("Exception", "\xCE\xF8\xE8\xE1\xEA\xE0"));
    try {
        throw EConvertError("x");
    } catch (const std::exception& ex) {
        EXPECT_STREQ(ex.what(), "x");
    }
}

} // namespace
