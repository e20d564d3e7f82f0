#pragma once

#include <cstdint>
#include <exception>

#include "rtl/AnsiString.h"

// Base of every error the program reports; the message is Windows-1251 text.
class Exception : public std::exception {
public:
    explicit Exception(const AnsiString& message) : message_(message) {}
    const char* what() const noexcept override { return message_.c_str(); }
    const AnsiString& Message() const { return message_; }

private:
    AnsiString message_;
};

class EConvertError : public Exception {
public:
    using Exception::Exception;
};

class EZeroDivide : public Exception {
public:
    using Exception::Exception;
    EZeroDivide() : Exception("Floating point division by zero") {}
};

class EInvalidOp : public Exception {
public:
    using Exception::Exception;
    EInvalidOp() : Exception("Invalid floating point operation") {}
};

class EOverflow : public Exception {
public:
    using Exception::Exception;
    EOverflow() : Exception("Floating point overflow") {}
};

class ERangeError : public Exception {
public:
    using Exception::Exception;
    ERangeError() : Exception("Range check error") {}
};

// Text to double. The decimal separator is always ',' whatever the locale:
// [+|-] digits [',' digits] [('E'|'e') [+|-] digits], with at least one digit
// before the exponent. Correctly rounded. Malformed text raises EConvertError
// "'<text>' is not a valid floating point value"; a magnitude beyond the
// largest finite double raises EOverflow; an underflow gives 0 or a denormal.
double StrToFloat(const AnsiString& text);

// The general format with precision 10 and no exponent digits: rounded to 18
// significant digits, then to 10 by the 11th digit alone; ',' as separator;
// scientific form ("1E-5", "9,99998E11") below 1E-4 and from 1E10 on.
// An infinity raises EOverflow, a NaN EInvalidOp.
AnsiString FloatToStrGeneral10(long double value);

// Decimal text to a 32-bit integer, with an optional sign; "$hex" and "0xhex"
// (up to 32 bits) are read as hexadecimal. Anything else, or a value outside
// the 32-bit range, raises EConvertError "'<text>' is not a valid integer value".
int StrToInt(const AnsiString& text);

AnsiString IntToStr(long long value);

// Upper-case hexadecimal without prefix or leading zeros ("0" for zero). A
// negative value is written as its 64-bit two's complement.
AnsiString IntToHex(long long value);
