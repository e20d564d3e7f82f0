// libFuzzer target: Analyse and ToHex on arbitrary bytes. Besides crashes and
// undefined behaviour it checks the shapes of the results and failures, and
// compares the evaluator with the literal in-place rewriting on short texts.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "analyser/Classanalyser.h"
#include "tests/unit/Outcome.h"
#include "tests/unit/ReferenceCalculate.h"

namespace {

const std::string kTooLong = "\xCC\xE0\xEA\xF1. 9 \xE7\xED\xE0\xEA\xEE\xE2!"; // "Макс. 9 знаков!"

[[noreturn]] void Fail(const char* what, const std::string& detail) {
    std::fprintf(stderr, "invariant broken: %s: [%s]\n", what, detail.c_str());
    std::abort();
}

void Check(bool ok, const char* what, const std::string& detail) {
    if (!ok)
        Fail(what, detail);
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// digits [',' digits] at s[i..], advancing i.
bool ReadNumber(const std::string& s, std::size_t& i) {
    const std::size_t start = i;
    while (i < s.size() && IsDigit(s[i]))
        ++i;
    if (i == start)
        return false;
    if (i < s.size() && s[i] == ',') {
        const std::size_t fraction = ++i;
        while (i < s.size() && IsDigit(s[i]))
            ++i;
        if (i == fraction)
            return false;
    }
    return true;
}

// A value written by the evaluator: [-]digits[,digits]. Once a scientific
// result stands in the text its 'E' ends operand scans, so later operations
// write around it ("1E1E11", "-1E---3"); such texts hold only digits, ',', 'E'
// and '-' and end in a digit.
bool IsValueText(const std::string& s) {
    if (s.find('E') == std::string::npos) {
        std::size_t i = 0;
        if (i < s.size() && s[i] == '-')
            ++i;
        return ReadNumber(s, i) && i == s.size();
    }
    return s.find_first_not_of("0123456789,E-") == std::string::npos && IsDigit(s.back()) &&
           (IsDigit(s[0]) || s[0] == '-');
}

bool IsHexText(const std::string& s) {
    if (s.empty() || (s.size() > 1 && s[0] == '0'))
        return false;
    for (const char c : s)
        if (!IsDigit(c) && !(c >= 'A' && c <= 'F'))
            return false;
    return true;
}

bool IsFloatMessage(const std::string& m) {
    const std::string tail = "' is not a valid floating point value";
    if (m.size() < tail.size() + 1 || m[0] != '\'' ||
        m.compare(m.size() - tail.size(), tail.size(), tail) != 0)
        return false;
    // The operand is a run of number characters, with the sign rule's minus.
    const std::string operand = m.substr(1, m.size() - 1 - tail.size());
    for (std::size_t i = 0; i < operand.size(); ++i)
        if (!IsDigit(operand[i]) && operand[i] != ',' && !(i == 0 && operand[i] == '-'))
            return false;
    return true;
}

TAnalyser& Analyser() {
    static TAnalyser analyser;
    return analyser;
}

void CheckToHex(const std::string& line) {
    AnsiString hex;
    const Outcome o = Capture([&] { hex = Analyser().ToHex(AnsiString(line)); });
    if (o.error.empty()) {
        const std::string& h = hex.str();
        Check(h == "???" || h == kTooLong || IsHexText(h), "ToHex result", line + " -> " + h);
        // A short decimal line shows the hexadecimal form of its integer part.
        std::string digits = line;
        if (!digits.empty() && digits[0] == '-')
            digits.erase(0, 1);
        const std::size_t comma = digits.find(',');
        if (digits.size() <= 9 && !digits.empty() && IsDigit(digits[0]) &&
            digits.find_first_not_of("0123456789,") == std::string::npos) {
            const std::string integral = digits.substr(0, comma);
            if (!integral.empty())
                Check(h == IntToHex(std::stoll(integral)).str(), "ToHex value", line + " -> " + h);
        }
        return;
    }
    const std::string tail = "' is not a valid integer value";
    const bool convert = o.error == "EConvertError" && o.message.size() > tail.size() &&
                         o.message[0] == '\'' &&
                         o.message.compare(o.message.size() - tail.size(), tail.size(), tail) == 0;
    const bool range = o.error == "ERangeError" && o.message == "Range check error" && line.empty();
    Check(convert || range, "ToHex failure", line + " -> " + o.error + " " + o.message);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    TAnalyser& a = Analyser();

    AnsiString line;
    const Outcome o = Capture([&] { line = a.Analyse(AnsiString(input)); });
    const bool hexPath =
        input.size() >= 2 && input[0] == '0' && (input[1] == 'x' || input[1] == 'X');

    AnsiString normalised(input);
    a.Normalise(normalised);
    // A cut at a second separator may leave other characters behind it.
    const bool clean = normalised.str().find_first_not_of("0123456789+-*/,") == std::string::npos;

    if (o.error.empty()) {
        const std::string& l = line.str();
        Check(!l.empty(), "Analyse returned an empty line", input);
        if (hexPath) {
            const bool digits = !l.empty() && l.size() <= 11 &&
                                l.find_first_not_of("0123456789") == std::string::npos &&
                                std::stoll(l) <= 68719476735LL;
            Check(l == "???" || l == kTooLong || digits, "hexadecimal line", input + " -> " + l);
        } else if (clean) {
            Check(l == "???" || IsValueText(l), "expression line", input + " -> " + l);
        }
        CheckToHex(l);
    } else {
        Check(!hexPath, "the hexadecimal path failed", input);
        const bool known = (o.error == "EConvertError" && IsFloatMessage(o.message)) ||
                           o.error == "EZeroDivide" || o.error == "EInvalidOp" ||
                           o.error == "EOverflow";
        Check(known, "unexpected failure", input + " -> " + o.error + " " + o.message);
        Check(o == ZeroDivide() || o == InvalidOp() || o == Overflow() ||
                  o.error == "EConvertError",
              "failure message", o.message);
    }
    CheckToHex(input);

    // The evaluator against the literal rewriting, on the raw and the cleaned text.
    if (size <= 256) {
        for (const AnsiString& text : {AnsiString(input), normalised}) {
            AnsiString fast(text), slow(text);
            reference::Operands operands;
            a.LeftOperand = a.RightOperand = 0;
            const Outcome fastOutcome = Capture([&] { a.Calculate(fast); });
            const Outcome slowOutcome = Capture([&] { reference::Calculate(slow, operands); });
            Check(fastOutcome == slowOutcome, "Calculate failure differs", text.str());
            Check(fast == slow, "Calculate text differs", text.str() + " -> " + fast.str());
            Check(a.LeftOperand == operands.left, "left operand differs", text.str());
            Check(a.RightOperand == operands.right, "right operand differs", text.str());
        }
    }
    return 0;
}
