#pragma once
// The one failure type of the serial link, EComPort, with its error numbers
// and their fixed texts. The platform code it carries is errno.
#include "platform/errors.h"

#include <QString>

// Error numbers of EComPort; the texts are ComErrorText's.
namespace ComError {
inline constexpr int OpenFailed = 1;
inline constexpr int WriteFailed = 2;
inline constexpr int ReadFailed = 3;
inline constexpr int InvalidAsync = 4;
inline constexpr int PurgeFailed = 5;
inline constexpr int AsyncStatus = 6;
inline constexpr int SetStateFailed = 7;
inline constexpr int TimeoutsFailed = 8;
inline constexpr int SetupFailed = 9;
inline constexpr int ClearErrorFailed = 10;
inline constexpr int ModemStatusFailed = 11;
inline constexpr int EscapeFailed = 12;
inline constexpr int TransmitFailed = 13;
inline constexpr int PropertyWhileConnected = 14;
inline constexpr int EnumPortsFailed = 15;
inline constexpr int StoreFailed = 16;
inline constexpr int LoadFailed = 17;
inline constexpr int LinkFailed = 18;
inline constexpr int LedState = 19;
inline constexpr int ThreadCreated = 20;
inline constexpr int WaitFailed = 21;
inline constexpr int HasLink = 22;
inline constexpr int RegistryError = 23;
}  // namespace ComError

// The fixed text of an error number (1 to 23); empty for any other number.
QString ComErrorText(int errorNumber);

// The message is the number's text, followed by " (win error code: %d)" with
// SystemError when the failure has a platform code (errno here); SystemError
// is -1 when it has none.
class EComPort : public Exception {
public:
    explicit EComPort(int errorNumber, int systemError = -1);
    int ErrorNumber;
    int SystemError;
};
