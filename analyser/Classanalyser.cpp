#include "analyser/Classanalyser.h"

#include <cmath>
#include <cstdint>
#include <string>

namespace {

const char kUnknown[] = "???";
const char kTooLong[] = "\xCC\xE0\xEA\xF1. 9 \xE7\xED\xE0\xEA\xEE\xE2!"; // "Макс. 9 знаков!"

} // namespace

TAnalyser::TAnalyser() {
    for (unsigned char c = '0'; c <= '9'; ++c)
        Digits.set(c);
    for (unsigned char c = 'A'; c <= 'F'; ++c) {
        HexLetters.set(c);
        HexLetters.set(c + ('a' - 'A'));
    }
    for (const unsigned char c : {'+', '-', '*', '/', ','})
        Operators.set(c);
    UpperDigits = "0123456789ABCDEF";
    LowerDigits = "0123456789abcdef";
}

AnsiString TAnalyser::Analyse(AnsiString text) {
    const AnsiString prefix = text.SubString(1, 2);
    if (prefix == "0x" || prefix == "0X") {
        HexToDec(text);
        return text;
    }
    Normalise(text);
    if (text.IsEmpty())
        return AnsiString(kUnknown);
    if (isOperator(text[1]))
        return AnsiString(kUnknown);
    Calculate(text);
    return text;
}

AnsiString TAnalyser::ToHex(AnsiString text) {
    if (text == kUnknown)
        return text;
    if (text.IsEmpty())
        throw ERangeError(); // the first character is read unchecked
    if (text[1] == '-')
        text.Delete(1, 1);
    if (text.Length() > 9)
        return AnsiString(kTooLong);
    for (int i = 1; i <= text.Length(); ++i) {
        if (isOperator(text[i])) {
            text.Delete(i, text.Length() - i + 1);
            break;
        }
    }
    return IntToHex(StrToInt(text));
}

void TAnalyser::HexToDec(AnsiString& text) {
    const int n = text.Length();
    if (n == 2) {
        text = kUnknown;
        return;
    }
    if (n > 11) {
        text = kTooLong;
        return;
    }
    text.Delete(1, 2);
    const int m = text.Length();
    for (int j = 1; j <= m; ++j) {
        const unsigned char c = static_cast<unsigned char>(text[j]);
        if (!HexLetters.test(c) && !Digits.test(c)) {
            text = kUnknown;
            return;
        }
    }
    std::int64_t sum = 0;
    for (int j = 1; j <= m; ++j) {
        const char digit[2] = {text[j], '\0'};
        int v = UpperDigits.Pos(digit) - 1;
        if (v < 0)
            v = LowerDigits.Pos(digit) - 1;
        sum += static_cast<std::int64_t>(std::pow(16.0, m - j) * v);
    }
    text = IntToStr(sum);
}

void TAnalyser::Normalise(AnsiString& text) {
    std::string& s = text.str();
    // s[i] is the character at position i + 1.
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '.')
            s[i] = ',';
        const char c = s[i];
        const bool op = isOperator(c);
        if (!op && !isDigit(c)) {
            s.resize(i);
            return;
        }
        if (op && i + 1 == s.size()) {
            s.resize(i);
            return;
        }
        if (op && !isDigit(s[i + 1])) {
            s.resize(i);
            return;
        }
        if (c == ',') {
            const std::size_t j = s.find_first_of(".,", i + 1);
            if (j != std::string::npos) {
                s.resize(j);
                return;
            }
        }
    }
}

// Each operation replaces "left op right" in the text by its result and the
// scan goes on at the result's second character (its first is a digit or a
// minus that is never an operator here). Copying the tail of the text for
// every operation would make a long expression quadratic, so the text is
// kept in two parts: `done`, the characters before the scan position, and
// `rest`, the characters from the scan position on, reversed so that both
// ends being worked on are at the back of a string.
void TAnalyser::calculatePass(AnsiString& text, bool additive) {
    std::string done;
    done.reserve(text.str().size());
    std::string rest(text.str().rbegin(), text.str().rend());

    const auto restore = [&] {
        done.append(rest.rbegin(), rest.rend());
        text = AnsiString(std::move(done));
    };

    while (!rest.empty()) {
        const char op = rest.back();
        const bool ours = additive ? (op == '+' || op == '-') : (op == '*' || op == '/');
        if (!ours) {
            done += op;
            rest.pop_back();
            continue;
        }

        std::size_t leftBegin = done.size();
        while (leftBegin > 0 && isNumberChar(done[leftBegin - 1]))
            --leftBegin;
        // A minus at position 1 belongs to the left operand, in this pass only.
        if (additive && leftBegin == 1 && done.size() > 1 && done[0] == '-')
            leftBegin = 0;

        std::size_t rightEnd = rest.size() - 1; // rest[rightEnd] is the operator
        while (rightEnd > 0 && isNumberChar(rest[rightEnd - 1]))
            --rightEnd;

        long double result;
        try {
            LeftOperand = StrToFloat(AnsiString(done.substr(leftBegin)));
            RightOperand =
                StrToFloat(AnsiString(std::string(rest.rbegin() + 1, rest.rend() - rightEnd)));
            const long double left = LeftOperand, right = RightOperand;
            switch (op) {
            case '+':
                result = left + right;
                break;
            case '-':
                result = left - right;
                break;
            case '*':
                result = left * right;
                break;
            default:
                if (right == 0) {
                    if (left == 0)
                        throw EInvalidOp();
                    throw EZeroDivide();
                }
                result = left / right;
                break;
            }
        } catch (...) {
            restore();
            throw;
        }
        AnsiString written;
        try {
            written = FloatToStrGeneral10(result);
        } catch (...) {
            restore();
            throw;
        }

        done.resize(leftBegin);
        rest.resize(rightEnd);
        const std::string& r = written.str();
        done += r[0];
        rest.append(r.rbegin(), r.rend() - 1);
    }
    text = AnsiString(std::move(done));
}

void TAnalyser::Calculate(AnsiString& text) {
    calculatePass(text, false);
    calculatePass(text, true);
}
