#include "rtl/SysUtils.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

[[noreturn]] void throwBadFloat(const AnsiString& text) {
    throw EConvertError("'" + text + "' is not a valid floating point value");
}

[[noreturn]] void throwBadInteger(const AnsiString& text) {
    throw EConvertError("'" + text + "' is not a valid integer value");
}

// Rounds the significant digits to ten by the eleventh one and writes the
// result. `digits` starts with a non-zero digit; the value's magnitude is
// 0.<digits> * 10^e.
AnsiString formatGeneral10(std::string digits, int e, bool negative) {
    if (digits.size() > 10) {
        const bool up = digits[10] >= '5';
        digits.resize(10);
        if (up) {
            int i = 9;
            while (i >= 0 && digits[static_cast<std::size_t>(i)] == '9') {
                digits[static_cast<std::size_t>(i)] = '0';
                --i;
            }
            if (i < 0) {
                digits = "1";
                ++e;
            } else {
                ++digits[static_cast<std::size_t>(i)];
            }
        }
    }
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    const int n = static_cast<int>(digits.size());

    std::string out;
    out.reserve(24);
    if (negative)
        out += '-';
    if (e > 10 || e < -3) {
        out += digits[0];
        if (n > 1) {
            out += ',';
            out.append(digits, 1, std::string::npos);
        }
        out += 'E';
        out += std::to_string(e - 1);
    } else if (e <= 0) {
        out += "0,";
        out.append(static_cast<std::size_t>(-e), '0');
        out += digits;
    } else if (n <= e) {
        out += digits;
        out.append(static_cast<std::size_t>(e - n), '0');
    } else {
        out.append(digits, 0, static_cast<std::size_t>(e));
        out += ',';
        out.append(digits, static_cast<std::size_t>(e), std::string::npos);
    }
    return AnsiString(std::move(out));
}

} // namespace

double StrToFloat(const AnsiString& text) {
    const std::string& s = text.str();
    const std::size_t n = s.size();
    std::size_t i = 0;
    bool negative = false;
    if (i < n && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    const std::size_t intBegin = i;
    while (i < n && isDigit(s[i]))
        ++i;
    const std::size_t intEnd = i;
    std::size_t fracBegin = i, fracEnd = i;
    if (i < n && s[i] == ',') {
        fracBegin = ++i;
        while (i < n && isDigit(s[i]))
            ++i;
        fracEnd = i;
    }
    if (intEnd == intBegin && fracEnd == fracBegin)
        throwBadFloat(text);
    std::size_t expBegin = i, expEnd = i;
    if (i < n && (s[i] == 'E' || s[i] == 'e')) {
        expBegin = ++i;
        if (i < n && (s[i] == '+' || s[i] == '-'))
            ++i;
        const std::size_t expDigits = i;
        while (i < n && isDigit(s[i]))
            ++i;
        if (i == expDigits)
            throwBadFloat(text);
        expEnd = i;
    }
    if (i != n)
        throwBadFloat(text);

    // from_chars wants '.', no '+' and at least one integer digit.
    std::string buf;
    buf.reserve(n + 3);
    if (negative)
        buf += '-';
    if (intEnd == intBegin)
        buf += '0';
    else
        buf.append(s, intBegin, intEnd - intBegin);
    if (fracEnd > fracBegin) {
        buf += '.';
        buf.append(s, fracBegin, fracEnd - fracBegin);
    }
    if (expEnd > expBegin) {
        buf += 'e';
        buf.append(s, expBegin, expEnd - expBegin);
    }

    double value = 0.0;
    const auto [ptr, ec] = std::from_chars(buf.data(), buf.data() + buf.size(), value);
    if (ec == std::errc() && ptr == buf.data() + buf.size())
        return value;
    if (ec != std::errc::result_out_of_range)
        throwBadFloat(text);

    // Out of range is either an overflow or an underflow: tell them apart by
    // the decimal position of the first significant digit.
    long long magnitude = 0;
    std::size_t k = intBegin;
    while (k < intEnd && s[k] == '0')
        ++k;
    if (k < intEnd) {
        magnitude = static_cast<long long>(intEnd - k);
    } else {
        k = fracBegin;
        while (k < fracEnd && s[k] == '0')
            ++k;
        magnitude = -static_cast<long long>(k - fracBegin);
    }
    if (expEnd > expBegin) {
        std::size_t e = expBegin;
        const bool expNegative = s[e] == '-';
        if (s[e] == '+' || s[e] == '-')
            ++e;
        long long exponent = 0;
        for (; e < expEnd && exponent < 1000000000LL; ++e)
            exponent = exponent * 10 + (s[e] - '0');
        magnitude += expNegative ? -exponent : exponent;
    }
    if (magnitude > 0)
        throw EOverflow();
    return negative ? -0.0 : 0.0;
}

AnsiString FloatToStrGeneral10(long double value) {
    if (std::isnan(value))
        throw EInvalidOp();
    if (std::isinf(value))
        throw EOverflow();
    if (value == 0)
        return AnsiString("0");
    const bool negative = std::signbit(value);
    const long double magnitude = negative ? -value : value;

    char buf[64];
    // Integers below 1E18 have at most 18 digits: the first rounding is exact.
    if (magnitude < 1e18L && magnitude == std::floor(magnitude)) {
        const auto u = static_cast<unsigned long long>(magnitude);
        const auto res = std::to_chars(buf, buf + sizeof buf, u);
        const int length = static_cast<int>(res.ptr - buf);
        if (length <= 10) {
            std::string out;
            if (negative)
                out += '-';
            out.append(buf, res.ptr);
            return AnsiString(std::move(out));
        }
        return formatGeneral10(std::string(buf, res.ptr), length, negative);
    }

    // glibc prints the exact binary value rounded to nearest. Only the digits
    // and the exponent are used: the decimal point belongs to the locale.
    const int len = std::snprintf(buf, sizeof buf, "%.17Le", magnitude);
    std::string digits;
    digits.reserve(18);
    int p = 0;
    for (; p < len && buf[p] != 'e'; ++p)
        if (isDigit(buf[p]))
            digits += buf[p];
    int exponent = 0;
    if (p < len) {
        ++p;
        bool expNegative = false;
        if (buf[p] == '-' || buf[p] == '+')
            expNegative = buf[p++] == '-';
        for (; p < len && isDigit(buf[p]); ++p)
            exponent = exponent * 10 + (buf[p] - '0');
        if (expNegative)
            exponent = -exponent;
    }
    return formatGeneral10(std::move(digits), exponent + 1, negative);
}

int StrToInt(const AnsiString& text) {
    const std::string& s = text.str();
    const std::size_t n = s.size();
    std::size_t i = 0;
    bool negative = false;
    if (i < n && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < n && s[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < n && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == n)
        throwBadInteger(text);
    unsigned long long value = 0;
    for (; i < n; ++i) {
        const char c = s[i];
        int digit;
        if (isDigit(c))
            digit = c - '0';
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else
            throwBadInteger(text);
        value = value * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
        if (value > 0xFFFFFFFFULL)
            throwBadInteger(text);
    }
    long long result;
    if (base == 16) {
        // Hexadecimal covers the 32 bits, as two's complement.
        result = static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
    } else {
        if (value > (negative ? 0x80000000ULL : 0x7FFFFFFFULL))
            throwBadInteger(text);
        result = static_cast<long long>(value);
    }
    return static_cast<int>(negative ? -result : result);
}

AnsiString IntToStr(long long value) {
    char buf[24];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    return AnsiString(buf, static_cast<std::size_t>(res.ptr - buf));
}

AnsiString IntToHex(long long value) {
    static const char kDigits[] = "0123456789ABCDEF";
    auto u = static_cast<unsigned long long>(value);
    char buf[16];
    int p = 16;
    do {
        buf[--p] = kDigits[u & 0xF];
        u >>= 4;
    } while (u != 0);
    return AnsiString(buf + p, static_cast<std::size_t>(16 - p));
}
