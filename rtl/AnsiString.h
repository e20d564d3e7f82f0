#pragma once

#include <cstddef>
#include <string>

// An 8-bit text in the Windows-1251 code page. Positions count from 1, as the
// program's algorithms expect; the underlying std::string is open for the
// few routines that need to work on it directly.
class AnsiString {
public:
    AnsiString() = default;
    AnsiString(const char* text) : data_(text ? text : "") {}
    AnsiString(std::string text) : data_(std::move(text)) {}
    AnsiString(const char* text, std::size_t length) : data_(text, length) {}

    const char* c_str() const { return data_.c_str(); }
    int Length() const { return static_cast<int>(data_.size()); }
    bool IsEmpty() const { return data_.empty(); }

    // 1-based character access; no range check.
    char& operator[](int pos) { return data_[static_cast<std::size_t>(pos - 1)]; }
    char operator[](int pos) const { return data_[static_cast<std::size_t>(pos - 1)]; }

    // Characters pos .. pos+len-1; positions outside the text are left out.
    AnsiString SubString(int pos, int len) const;
    // Removes up to len characters from pos on; a pos outside the text removes nothing.
    AnsiString& Delete(int pos, int len);
    // Inserts text before position pos (clamped to 1 .. Length()+1).
    AnsiString& Insert(const AnsiString& text, int pos);
    // 1-based position of the first occurrence of sub, 0 when absent or sub is empty.
    int Pos(const AnsiString& sub) const;

    AnsiString& operator+=(const AnsiString& other) {
        data_ += other.data_;
        return *this;
    }
    AnsiString& operator+=(char c) {
        data_ += c;
        return *this;
    }

    const std::string& str() const { return data_; }
    std::string& str() { return data_; }

    friend AnsiString operator+(AnsiString a, const AnsiString& b) { return a += b; }
    friend bool operator==(const AnsiString& a, const AnsiString& b) { return a.data_ == b.data_; }
    friend bool operator!=(const AnsiString& a, const AnsiString& b) { return a.data_ != b.data_; }
    friend bool operator<(const AnsiString& a, const AnsiString& b) { return a.data_ < b.data_; }

private:
    std::string data_;
};
