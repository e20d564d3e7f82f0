#include "rtl/AnsiString.h"

AnsiString AnsiString::SubString(int pos, int len) const {
    const int size = Length();
    if (pos < 1) {
        len += pos - 1;
        pos = 1;
    }
    if (len <= 0 || pos > size)
        return AnsiString();
    if (len > size - pos + 1)
        len = size - pos + 1;
    return AnsiString(
        data_.substr(static_cast<std::size_t>(pos - 1), static_cast<std::size_t>(len)));
}

AnsiString& AnsiString::Delete(int pos, int len) {
    const int size = Length();
    if (pos < 1 || pos > size || len <= 0)
        return *this;
    if (len > size - pos + 1)
        len = size - pos + 1;
    data_.erase(static_cast<std::size_t>(pos - 1), static_cast<std::size_t>(len));
    return *this;
}

AnsiString& AnsiString::Insert(const AnsiString& text, int pos) {
    if (pos < 1)
        pos = 1;
    if (pos > Length() + 1)
        pos = Length() + 1;
    data_.insert(static_cast<std::size_t>(pos - 1), text.data_);
    return *this;
}

int AnsiString::Pos(const AnsiString& sub) const {
    if (sub.data_.empty())
        return 0;
    const std::size_t at = data_.find(sub.data_);
    return at == std::string::npos ? 0 : static_cast<int>(at) + 1;
}
