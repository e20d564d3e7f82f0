#pragma once

#include <bitset>

#include "rtl/AnsiString.h"
#include "rtl/SysUtils.h"

// Reads a clipboard text as a number: a "0x" hexadecimal text or an
// arithmetic expression with + - * / and decimal commas.
class TAnalyser {
public:
    TAnalyser();

    std::bitset<256> Digits;     // '0'..'9'
    std::bitset<256> HexLetters; // 'A'..'F', 'a'..'f'
    std::bitset<256> Operators;  // '+', '-', '*', '/' and the decimal comma
    double LeftOperand = 0;      // operands of the last operation of Calculate
    double RightOperand = 0;
    AnsiString UpperDigits;
    AnsiString LowerDigits;

    // The first display line for a clipboard text.
    AnsiString Analyse(AnsiString text);
    // The third display line for a first line.
    AnsiString ToHex(AnsiString text);

    void HexToDec(AnsiString& text);
    void Normalise(AnsiString& text);
    void Calculate(AnsiString& text);

private:
    bool isDigit(char c) const { return Digits.test(static_cast<unsigned char>(c)); }
    bool isOperator(char c) const { return Operators.test(static_cast<unsigned char>(c)); }
    bool isNumberChar(char c) const { return c == ',' || isDigit(c); }
    void calculatePass(AnsiString& text, bool additive);
};
