// The serial port component's error: a message, plus " (Error: %d)" with the system error
// code when there is one.
#pragma once

#include <QString>
#include <stdexcept>

class EComPort : public std::runtime_error {
public:
    explicit EComPort(const QString& message, int systemError = 0)
        : std::runtime_error(Compose(message, systemError).toStdString()),
          mSystemError(systemError) {}
    int SystemError() const { return mSystemError; }

private:
    static QString Compose(const QString& message, int code) {
        return code ? QString("%1 (Error: %2)").arg(message).arg(code) : message;
    }
    int mSystemError;
};

namespace ComError {
inline const char* const OpenFailed = "Unable to open com port";
inline const char* const NotOpen = "Port Not Open";
inline const char* const WriteFailed = "Unable to write to com port";
inline const char* const ReadFailed = "Unable to read from com port";
inline const char* const SetupFailed = "Unable to apply com port settings";
inline const char* const PurgeFailed = "Unable to discard com port buffers";
inline const char* const StoreFailed = "Failed to store settings";
inline const char* const LoadFailed = "Failed to load settings";
}  // namespace ComError
