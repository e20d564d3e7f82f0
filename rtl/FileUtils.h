// File-name and folder routines on POSIX paths, and the file errors raised by the capture files.
#pragma once

#include "rtl/AnsiString.h"
#include "rtl/SysUtils.h"

#include <cerrno>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>

// The directory part of a file name, with its trailing '/'; empty when the name has none.
inline AnsiString ExtractFilePath(const AnsiString& fileName) {
    const std::string& s = fileName.str();
    const std::string::size_type slash = s.rfind('/');
    if (slash == std::string::npos)
        return AnsiString();
    return AnsiString(s.substr(0, slash + 1));
}

// True when the path names an existing folder (following symbolic links).
inline bool DirectoryExists(const AnsiString& path) {
    if (path.IsEmpty())
        return false;
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Creates the last folder of the path only (mode 0777, less the umask); a trailing '/' is fine.
inline bool CreateDir(const AnsiString& path) {
    if (path.IsEmpty())
        return false;
    int rc;
    do {
        rc = ::mkdir(path.c_str(), 0777);
    } while (rc != 0 && errno == EINTR);
    return rc == 0;
}

// The file name given to the two errors below is message text (Windows-1251).

// A file that cannot be created (folder missing or not writable, a file in place of the folder).
class EFCreateError : public Exception {
public:
    explicit EFCreateError(const AnsiString& fileName)
        : Exception(AnsiString("Cannot create file ") + fileName) {}
};

// A file whose content could not be written in full (disk full, file size limit, I/O error).
class EWriteError : public Exception {
public:
    explicit EWriteError(const AnsiString& fileName)
        : Exception(AnsiString("Error writing file ") + fileName) {}
};
