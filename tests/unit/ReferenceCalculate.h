#pragma once

// The evaluator written the slow, obvious way: every operation deletes its
// operands from the text and inserts the result, and the scan goes on from
// the result's first character. Used to check the fast evaluator against.

#include <string>
#include <vector>

#include "rtl/AnsiString.h"
#include "rtl/SysUtils.h"

namespace reference {

struct Operands {
    double left = 0;
    double right = 0;
};

inline bool isNumberChar(char c) {
    return c == ',' || (c >= '0' && c <= '9');
}

// Carries out the operation at position p and moves p to the result's first character.
inline void operate(AnsiString& s, int& p, bool secondPass, Operands& operands) {
    int k = p - 1;
    int leftStart = 0;
    while (k >= 1 && isNumberChar(s[k])) {
        if (secondPass && k == 2 && s[1] == '-') {
            leftStart = 1;
            break;
        }
        --k;
    }
    if (leftStart == 0)
        leftStart = k + 1;
    const AnsiString left = s.SubString(leftStart, p - leftStart);
    operands.left = StrToFloat(left);
    int m = p + 1;
    while (m <= s.Length() && isNumberChar(s[m]))
        ++m;
    const AnsiString right = s.SubString(p + 1, m - p - 1);
    operands.right = StrToFloat(right);

    const long double l = operands.left, r = operands.right;
    long double result = 0;
    switch (s[p]) {
    case '+':
        result = l + r;
        break;
    case '-':
        result = l - r;
        break;
    case '*':
        result = l * r;
        break;
    case '/':
        if (r == 0) {
            if (l == 0)
                throw EInvalidOp();
            throw EZeroDivide();
        }
        result = l / r;
        break;
    }
    const AnsiString written = FloatToStrGeneral10(result);
    const int a = left.Length(), b = right.Length();
    s.Delete(p - a, a + b + 1);
    s.Insert(written, p - a);
    p = p - a;
}

// `trace`, when given, receives the text after each operation.
inline void Calculate(AnsiString& s, Operands& operands,
                      std::vector<std::string>* trace = nullptr) {
    const auto step = [&](int& p, bool secondPass) {
        operate(s, p, secondPass, operands);
        if (trace)
            trace->push_back(s.str());
    };
    int p = 1;
    while (p <= s.Length()) {
        if (s[p] == '*')
            step(p, false);
        if (s[p] == '/')
            step(p, false);
        ++p;
    }
    p = 1;
    while (p <= s.Length()) {
        if (s[p] == '+') {
            step(p, true);
            if (s[p] == '-')
                ++p;
        }
        if (p <= s.Length() && s[p] == '-')
            step(p, true);
        ++p;
    }
}

} // namespace reference
