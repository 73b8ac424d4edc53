#pragma once
// The program's failures. Every failure is an exception carrying the text the
// user sees in the standard error box; the classes mirror the runtime's
// families so callers can tell a conversion failure from a file failure.
#include <QString>
#include <stdexcept>

class Exception : public std::runtime_error {
public:
    explicit Exception(const QString& message);
    // The message as given. what() is a C string and ends at the first NUL,
    // which a conversion failure on a received NUL byte carries.
    QString Message() const { return message_; }

private:
    QString message_;
};

// A text that does not convert to a number.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// What the program makes of the system's error codes (errno), in this one
// place: the kinds it tells apart, the runtime's texts for file failures and
// the system's own wording for the command line. Code elsewhere asks for a
// kind instead of naming errno values.
enum class SystemErrorKind {
    NotFound,      // no such file, folder or device
    NotAFolder,    // a path through something that is not a folder
    Exists,        // the name is taken
    NameTooLong,
    TooManyFiles,  // the process's or the system's descriptors are used up
    AccessDenied,  // permission
    ReadOnly,      // a read-only file system
    DiskFull,      // no space, or the quota
    Busy,          // held by someone else
    NotATerminal,  // a device that is no terminal, where one was needed
    Gone,          // the device went away (hang-up, pulled adapter)
    ReaderGone,    // the reading end of a pipe was closed (`| head`)
    Other,
};
SystemErrorKind KindOfSystemError(int err);

// Whether the error says a device simply has not got the operation (modem
// lines or error counters on a pseudo-terminal): "not supported", not a fault.
bool IsUnsupportedOperation(int err);

// The system's own description of an error code, in the user's language
// where the system has one ("Permission denied").
QString SystemErrorText(int err);

// A file that cannot be created or written; carries the errno it came from.
class EInOutError : public Exception {
public:
    EInOutError(const QString& message, int errorCode) : Exception(message), ErrorCode(errorCode) {}
    // The runtime's text for an errno: "File not found" (a missing file or
    // folder), "Path not found" (a path through something that is not a
    // folder), "Too many open files", "File access denied" (permission, a
    // read-only file system), "Disk full" (no space, quota), otherwise
    // "I/O error %d" with the errno.
    static EInOutError fromErrno(int err);
    int ErrorCode;
};
