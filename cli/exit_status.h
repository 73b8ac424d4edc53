#pragma once
// The command-line client's exit codes, part of its interface (documented in
// `veltra8-cli --help`), and the failure that carries one to the end of a
// command with its one-line message.
#include <QString>

#include <stdexcept>

namespace Exit {
inline constexpr int Ok = 0;
inline constexpr int Internal = 1;  // a fault of the client itself
inline constexpr int Usage = 2;     // bad option or value, no port or several, refused without --yes
inline constexpr int Port = 3;      // cannot open, busy, no permission, device vanished
inline constexpr int NoAnswer = 4;  // no live frame, or no byte during a transfer, within --timeout
inline constexpr int Data = 5;      // confirmation failed, download or file that cannot be decoded
inline constexpr int Output = 6;    // cannot write
inline constexpr int Judged = 7;    // judged: a channel out of its limits (an alarm tripped) or without readings
// Ended by a signal: 128 + its number (130 for Ctrl-C, 143 for SIGTERM).
inline constexpr int Signalled = 128;
}  // namespace Exit

// Ends the command with `code`; `message` (without the program's name) is
// the line for standard error, empty for none.
class CliFailure : public std::runtime_error {
public:
    CliFailure(int code, const QString& message) : std::runtime_error(message.toStdString()), Code(code), Message(message) {}
    int Code;
    QString Message;
};

// Writes "veltra8-cli: <message>" as one line on standard error.
void PrintError(const QString& message);
// Writes a line on standard error as it is.
void PrintNote(const QString& line);
