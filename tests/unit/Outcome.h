#pragma once

// Runs a call and describes how it ended: normally, or by which of the run-time
// library's exceptions with which message, so that tables can name the failure.

#include <exception>
#include <ostream>
#include <string>

#include "rtl/SysUtils.h"

struct Outcome {
    std::string error;   // most derived exception class, empty when none was thrown
    std::string message; // the exception's message

    friend bool operator==(const Outcome& a, const Outcome& b) {
        return a.error == b.error && a.message == b.message;
    }
    friend std::ostream& operator<<(std::ostream& os, const Outcome& o) {
        if (o.error.empty())
            return os << "(no exception)";
        return os << o.error << " \"" << o.message << "\"";
    }
};

inline std::string ExceptionClass(const Exception& e) {
    if (dynamic_cast<const EConvertError*>(&e))
        return "EConvertError";
    if (dynamic_cast<const EZeroDivide*>(&e))
        return "EZeroDivide";
    if (dynamic_cast<const EInvalidOp*>(&e))
        return "EInvalidOp";
    if (dynamic_cast<const EOverflow*>(&e))
        return "EOverflow";
    if (dynamic_cast<const ERangeError*>(&e))
        return "ERangeError";
    return "Exception";
}

template <class F> Outcome Capture(F&& f) {
    try {
        f();
    } catch (const Exception& e) {
        return {ExceptionClass(e), e.Message().str()};
    } catch (const std::exception& e) {
        return {"std::exception", e.what()};
    }
    return {};
}

inline Outcome NoError() {
    return {};
}
inline Outcome Error(const char* cls, const char* message) {
    return {cls, message};
}
inline Outcome BadFloat(const std::string& text) {
    return {"EConvertError", "'" + text + "' is not a valid floating point value"};
}
inline Outcome BadInteger(const std::string& text) {
    return {"EConvertError", "'" + text + "' is not a valid integer value"};
}
inline Outcome ZeroDivide() {
    return {"EZeroDivide", "Floating point division by zero"};
}
inline Outcome InvalidOp() {
    return {"EInvalidOp", "Invalid floating point operation"};
}
inline Outcome Overflow() {
    return {"EOverflow", "Floating point overflow"};
}
inline Outcome RangeError() {
    return {"ERangeError", "Range check error"};
}
