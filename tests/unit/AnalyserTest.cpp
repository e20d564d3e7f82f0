#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "analyser/Classanalyser.h"
#include "tests/unit/Outcome.h"
#include "tests/unit/ReferenceCalculate.h"

namespace {

const std::string kTooLong = "\xCC\xE0\xEA\xF1. 9 \xE7\xED\xE0\xEA\xEE\xE2!"; // "Макс. 9 знаков!"
const std::string kI = "\xE8";                                                // "и"
const std::string kYear = "\xE3\xEE\xE4";                                     // "год"

TEST(TAnalyser, ConstructionFillsTheSetsAndDigitTexts) {
    const TAnalyser a;
    EXPECT_EQ(a.Digits.count(), 10u);
    EXPECT_EQ(a.HexLetters.count(), 12u);
    EXPECT_EQ(a.Operators.count(), 5u);
    for (const char c : std::string("0123456789"))
        EXPECT_TRUE(a.Digits.test(static_cast<unsigned char>(c)));
    for (const char c : std::string("ABCDEFabcdef"))
        EXPECT_TRUE(a.HexLetters.test(static_cast<unsigned char>(c)));
    for (const char c : std::string("+-*/,"))
        EXPECT_TRUE(a.Operators.test(static_cast<unsigned char>(c)));
    EXPECT_EQ(a.UpperDigits, "0123456789ABCDEF");
    EXPECT_EQ(a.LowerDigits, "0123456789abcdef");
}

struct TextCase {
    const char* name;
    std::string before;
    std::string after;
};

TEST(TAnalyser, HexToDec) {
    const TextCase rows[] = {
        {"upper prefix, mixed digits", "0x1A", "26"},
        {"upper X, lower digits", "0Xff", "255"},
        {"mixed case", "0xaB", "171"},
        {"prefix alone", "0x", "???"},
        {"zero", "0x0", "0"},
        {"nine digits, leading zeros", "0x000000001", "1"},
        {"nine F", "0xFFFFFFFFF", "68719476735"},
        {"nine f mixed case", "0xfFfFfFfFf", "68719476735"},
        {"nine digits, last is ten", "0x00000000A", "10"},
        {"all letters", "0xaBcDeF", "11259375"},
        {"ten digits", "0x1234567890", kTooLong},
        {"ten non-digits, length first", "0xZZZZZZZZZZ", kTooLong},
        {"letter beyond F", "0x12G", "???"},
        {"trailing blank", "0x1F ", "???"},
        {"trailing line break", "0x1F\n", "???"},
        {"minus", "0x-1", "???"},
        {"high byte", "0x1\xC0", "???"},
    };
    TAnalyser a;
    for (const TextCase& r : rows) {
        AnsiString text(r.before);
        a.HexToDec(text);
        EXPECT_EQ(text.str(), r.after) << r.name;
    }
}

TEST(TAnalyser, Normalise) {
    const TextCase rows[] = {
        {"point to comma", "12.5", "12,5"},
        {"line break", "2+3\n", "2+3"},
        {"blank", "2005 " + kYear, "2005"},
        {"letters", "abc", ""},
        {"leading blank", " 7", ""},
        {"exponent letter", "1e5", "1"},
        {"point then letters", "3.14abc", "3,14"},
        {"operator at the end", "3*", "3"},
        {"comma at the end", "1,", "1"},
        {"two operators", "5+-2", "5"},
        {"parenthesis", "2*(3+4)", "2"},
        {"comma before a letter", "1,x", "1"},
        {"two points", "1..5", "1"},
        {"second comma", "12,34,56", "12,34"},
        {"second point", "1.5.3", "1,5"},
        {"second number loses its fraction", "1,5+2,5", "1,5+2"},
        {"points in both numbers", "1.5*2.5", "1,5*2"},
        {"letters stay before the second comma", "1,5 " + kI + " 2,5", "1,5 " + kI + " 2"},
        {"ends in an operator", "1.5+.5", "1,5+"},
        {"leading minus kept", "-5", "-5"},
        {"division", "10/4", "10/4"},
        {"empty", "", ""},
        {"single comma search reaches no separator", "1,5 " + kI, "1,5"},
        {"high byte", "7\xFF", "7"},
    };
    TAnalyser a;
    for (const TextCase& r : rows) {
        AnsiString text(r.before);
        a.Normalise(text);
        EXPECT_EQ(text.str(), r.after) << r.name;
    }
}

struct CalcCase {
    const char* name;
    std::string text;
    std::vector<std::string> intermediates; // texts after each operation but the last
    std::string final;                      // the text at the end, also after a failure
    Outcome outcome;
};

const std::vector<CalcCase>& CalcCases() {
    static const std::vector<CalcCase> rows = {
        {"number alone", "12", {}, "12", NoError()},
        {"precedence", "2+3*4", {"2+12"}, "14", NoError()},
        {"product chain", "2*3*4", {"6*4"}, "24", NoError()},
        {"product then quotient", "6*2/3", {"12/3"}, "4", NoError()},
        {"fraction result", "10/4", {}, "2,5", NoError()},
        {"fraction operand", "1,5*2", {}, "3", NoError()},
        {"sign rule", "2-5-1", {"-3-1"}, "-4", NoError()},
        {"negative sum start", "1-4+1", {"-3+1"}, "-2", NoError()},
        {"left to right", "5-3+1", {"2+1"}, "3", NoError()},
        {"two negatives", "10-20-30", {"-10-30"}, "-40", NoError()},
        {"negative fraction", "0,5-1+2", {"-0,5+2"}, "1,5", NoError()},
        {"quarters", "1/4+1/4", {"0,25+1/4", "0,25+0,25"}, "0,5", NoError()},
        {"two thirds", "2/3", {}, "0,6666666667", NoError()},
        {"rounding carries forward", "1/3*3", {"0,3333333333*3"}, "0,9999999999", NoError()},
        {"small plain", "1/8000", {}, "0,000125", NoError()},
        {"ten digits", "99999*99999", {}, "9999800001", NoError()},
        {"scientific", "999999*999999", {}, "9,99998E11", NoError()},
        {"E ends the left operand", "100000*100000+1", {"1E10+1"}, "1E11", NoError()},
        {"E ends the operand of a product", "100000*100000*2", {"1E10*2"}, "1E20", NoError()},
        {"E inside a chain",
         "100000*100000*100000*100000",
         {"1E10*100000*100000", "1E1000000*100000"},
         "1E1E11",
         NoError()},
        {"product then difference", "2*3-10", {"6-10"}, "-4", NoError()},
        {"negative sum then more", "1-6+2-1", {"-5+2-1", "-3-1"}, "-4", NoError()},
        {"zero difference", "3-3-3", {"0-3"}, "-3", NoError()},
        // After 1E10-100 the text is 1E-90-1: the minus at position 3 is no sign.
        {"sign only at position 1",
         "100000*100000-100-1",
         {"1E10-100-1", "1E-90-1"},
         "1E-89",
         NoError()},
        {"leftover from a cut", "1,5 " + kI + " 2", {}, "1,5 " + kI + " 2", NoError()},
        {"leftover then difference", "1,5 " + kI + " 2-3", {}, "1,5 " + kI + " -1", NoError()},
        {"large product", "99999999999*99999999999", {}, "1E22", NoError()},
        // Failures: the text keeps what was written before the failing operation.
        {"negative exponent", "1/100000", {}, "1E-5", BadFloat("")},
        {"negative exponent later", "1/100000*3", {"1E-5*3"}, "1E-15", BadFloat("")},
        {"empty right operand", "1,5+", {}, "1,5+", BadFloat("")},
        {"division by zero", "7/0", {}, "7/0", ZeroDivide()},
        {"zero by zero", "0/0", {}, "0/0", InvalidOp()},
        {"zero by zero after a product", "2+0*5/0", {}, "2+0/0", InvalidOp()},
        {"leading minus", "-3+5", {}, "-3+5", BadFloat("")},
        {"no sign rule in the first pass", "-2*3", {}, "-6", BadFloat("")},
        {"operand beyond double",
         std::string(400, '9') + "+1",
         {},
         std::string(400, '9') + "+1",
         Overflow()},
        {"right operand beyond double",
         "2+1" + std::string(400, '0'),
         {},
         "2+1" + std::string(400, '0'),
         Overflow()},
        {"second pass after a failure-free first", "2*3+", {}, "6+", BadFloat("")},
    };
    return rows;
}

TEST(TAnalyser, Calculate) {
    TAnalyser a;
    for (const CalcCase& r : CalcCases()) {
        AnsiString text(r.text);
        EXPECT_EQ(Capture([&] { a.Calculate(text); }), r.outcome) << r.name;
        EXPECT_EQ(text.str(), r.final) << r.name;
    }
}

// The literal rewriting passes through the listed texts, and the evaluator
// ends where it ends, with the same failure.
TEST(TAnalyser, CalculateIntermediateTexts) {
    TAnalyser a;
    for (const CalcCase& r : CalcCases()) {
        AnsiString slow(r.text), fast(r.text);
        reference::Operands operands;
        std::vector<std::string> trace;
        const Outcome slowOutcome = Capture([&] { reference::Calculate(slow, operands, &trace); });
        if (!trace.empty()) {
            EXPECT_EQ(trace.back(), r.final) << r.name;
            trace.pop_back();
        }
        EXPECT_EQ(trace, r.intermediates) << r.name;
        EXPECT_EQ(slowOutcome, r.outcome) << r.name;
        EXPECT_EQ(Capture([&] { a.Calculate(fast); }), slowOutcome) << r.name;
        EXPECT_EQ(fast, slow) << r.name;
    }
}

TEST(TAnalyser, CalculateKeepsTheOperandsOfTheLastOperation) {
    struct Row {
        const char* name;
        const char* text;
        double left, right;
    } rows[] = {
        {"last is the sum", "2+3*4", 2, 12},
        {"sign rule operand", "2-5-1", -3, 1},
        {"failed division", "7/0", 7, 0},
        {"written back with ten digits", "1/3*3", 0.3333333333, 3},
    };
    TAnalyser a;
    for (const Row& r : rows) {
        a.LeftOperand = a.RightOperand = -99;
        AnsiString text(r.text);
        Capture([&] { a.Calculate(text); });
        EXPECT_EQ(a.LeftOperand, r.left) << r.name;
        EXPECT_EQ(a.RightOperand, r.right) << r.name;
    }
    // A failing left operand leaves the right one untouched.
    a.RightOperand = -99;
    AnsiString text("1/100000");
    Capture([&] { a.Calculate(text); });
    EXPECT_EQ(a.RightOperand, 100000);
}

TEST(TAnalyser, CalculateMatchesTheLiteralRewritingOnRandomTexts) {
    const std::string alphabet = "0123456789012345,,++--**//E" + kI + " 0";
    std::mt19937 rng(20240611);
    TAnalyser a;
    for (int i = 0; i < 30000; ++i) {
        std::string text;
        const int length = 1 + static_cast<int>(rng() % 24);
        for (int k = 0; k < length; ++k)
            text += alphabet[rng() % alphabet.size()];
        AnsiString fast(text), slow(text);
        reference::Operands operands;
        a.LeftOperand = a.RightOperand = 0;
        const Outcome fastOutcome = Capture([&] { a.Calculate(fast); });
        const Outcome slowOutcome = Capture([&] { reference::Calculate(slow, operands); });
        ASSERT_EQ(fastOutcome, slowOutcome) << text;
        ASSERT_EQ(fast, slow) << text;
        ASSERT_EQ(a.LeftOperand, operands.left) << text;
        ASSERT_EQ(a.RightOperand, operands.right) << text;
    }
}

TEST(TAnalyser, Analyse) {
    struct Row {
        const char* name;
        std::string text;
        std::string line;
        Outcome outcome;
    } rows[] = {
        {"hexadecimal", "0x1A", "26", NoError()},
        {"upper X", "0X1f", "31", NoError()},
        {"prefix alone", "0x", "???", NoError()},
        {"hex too long", "0x1234567890", kTooLong, NoError()},
        {"no prefix", "x1F", "???", NoError()},
        {"blank before the prefix", " 0x1F", "???", NoError()},
        {"empty", "", "???", NoError()},
        {"letters", "abc", "???", NoError()},
        {"minus", "-5", "???", NoError()},
        {"plus", "+5", "???", NoError()},
        {"times", "*5", "???", NoError()},
        {"slash", "/5", "???", NoError()},
        {"comma", ",5", "???", NoError()},
        {"point", ".5", "???", NoError()},
        {"number and word", "2005 " + kYear, "2005", NoError()},
        {"expression", "2+3*4", "14", NoError()},
        {"first line with a break", "2+3\r\n", "5", NoError()},
        {"point fraction", "12.5", "12,5", NoError()},
        {"exponent letter", "1e5", "1", NoError()},
        {"leftover from a cut", "1,5 " + kI + " 2,5", "1,5 " + kI + " 2", NoError()},
        {"ends in an operator", "1.5+.5", "", BadFloat("")},
        {"negative exponent", "1/100000", "", BadFloat("")},
        {"division by zero", "7/0", "", ZeroDivide()},
        {"zero by zero", "0/0", "", InvalidOp()},
        {"huge operand", std::string(400, '9') + "+1", "", Overflow()},
    };
    TAnalyser a;
    for (const Row& r : rows) {
        const AnsiString input(r.text);
        AnsiString line;
        EXPECT_EQ(Capture([&] { line = a.Analyse(input); }), r.outcome) << r.name;
        EXPECT_EQ(line.str(), r.line) << r.name;
        EXPECT_EQ(input.str(), r.text) << r.name;
    }
}

TEST(TAnalyser, ToHex) {
    struct Row {
        const char* name;
        std::string line;
        std::string hex;
        Outcome outcome;
    } rows[] = {
        {"unknown", "???", "???", NoError()},
        {"26", "26", "1A", NoError()},
        {"255", "255", "FF", NoError()},
        {"zero", "0", "0", NoError()},
        {"14", "14", "E", NoError()},
        {"nine digits", "999999999", "3B9AC9FF", NoError()},
        {"ten digits", "1234567890", kTooLong, NoError()},
        {"largest hex value", "68719476735", kTooLong, NoError()},
        {"limit text", kTooLong, kTooLong, NoError()},
        {"negative", "-4", "4", NoError()},
        {"minus and nine digits", "-999999999", "3B9AC9FF", NoError()},
        {"fraction cut", "2,5", "2", NoError()},
        {"negative fraction", "-0,5", "0", NoError()},
        {"long fraction", "0,6666666667", kTooLong, NoError()},
        {"long scientific", "9,99998E11", kTooLong, NoError()},
        {"leftover from a cut", "1,5 " + kI + " 2", "1", NoError()},
        {"scientific", "1E11", "", BadInteger("1E11")},
        {"negative exponent", "1E-5", "", BadInteger("1E")},
        {"minus alone", "-", "", BadInteger("")},
        {"two minuses", "--5", "", BadInteger("")},
        {"empty", "", "", RangeError()},
    };
    TAnalyser a;
    for (const Row& r : rows) {
        const AnsiString input(r.line);
        AnsiString hex;
        EXPECT_EQ(Capture([&] { hex = a.ToHex(input); }), r.outcome) << r.name;
        EXPECT_EQ(hex.str(), r.hex) << r.name;
        EXPECT_EQ(input.str(), r.line) << r.name;
    }
}

TEST(TAnalyser, LongExpressionsKeepTheirValue) {
    TAnalyser a;
    std::string sum = "1";
    for (int i = 0; i < 20000; ++i)
        sum += "+1";
    EXPECT_EQ(a.Analyse(AnsiString(sum)), "20001");
    std::string product = "2";
    for (int i = 0; i < 20000; ++i)
        product += "*1";
    EXPECT_EQ(a.Analyse(AnsiString(product)), "2");
}

} // namespace
