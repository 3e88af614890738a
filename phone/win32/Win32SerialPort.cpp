#include "phone/win32/Win32SerialPort.h"

#include "platform/win32/UniqueHandle.h"

#include <windows.h>

#include <cctype>
#include <cstddef>

namespace vantaro {
namespace {

constexpr DWORD kBaudRate = 115200;
constexpr DWORD kReadBufferBytes = 512;
// What a read waits for until the first Read asks for its own limit.
constexpr std::uint32_t kFirstReadLimitMs = 100;

// The port's records carry no pointer: the same figures in both builds. SetCommState refuses
// a DCB whose DCBlength is not the published size.
static_assert(sizeof(DCB) == 28 && offsetof(DCB, BaudRate) == 4 && offsetof(DCB, ByteSize) == 18 &&
              offsetof(DCB, Parity) == 19 && offsetof(DCB, StopBits) == 20);
static_assert(sizeof(COMMTIMEOUTS) == 20 && offsetof(COMMTIMEOUTS, WriteTotalTimeoutConstant) == 16);

// The read's limit, and the write bound for every write from the first one on: a port that
// stops taking data fails the write instead of holding it (and the port) for ever.
bool SetTimeouts(HANDLE handle, std::uint32_t readLimitMs) {
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = kReadGapMs;
    timeouts.ReadTotalTimeoutConstant = readLimitMs;
    timeouts.WriteTotalTimeoutMultiplier = 0;
    timeouts.WriteTotalTimeoutConstant = kWriteBoundMs;
    return ::SetCommTimeouts(handle, &timeouts) != FALSE;
}

class Win32SerialPort final : public SerialPort {
public:
    explicit Win32SerialPort(UniqueKernelHandle handle) : handle_(std::move(handle)) {}

    bool Write(std::string_view bytes) override {
        DWORD written = 0;
        return handle_ && ::WriteFile(handle_.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
               written == bytes.size();
    }

    std::optional<std::string> Read(std::uint32_t timeoutMs) override {
        if (!handle_) return std::nullopt;
        // A total time-out of 0 with a gap time-out would wait for the first byte for ever.
        if (timeoutMs == 0) timeoutMs = 1;
        if (timeoutMs != readTimeoutMs_) {
            if (!SetTimeouts(handle_.get(), timeoutMs)) return std::nullopt;
            readTimeoutMs_ = timeoutMs;
        }
        std::string bytes(kReadBufferBytes, '\0');
        DWORD read = 0;
        if (!::ReadFile(handle_.get(), bytes.data(), kReadBufferBytes, &read, nullptr)) return std::nullopt;
        bytes.resize(read);
        return bytes;
    }

    void Purge() override {
        if (handle_) ::PurgeComm(handle_.get(), PURGE_RXCLEAR | PURGE_TXCLEAR | PURGE_RXABORT | PURGE_TXABORT);
    }

    void Close() override { handle_.reset(); }

private:
    UniqueKernelHandle handle_;
    std::uint32_t readTimeoutMs_ = kFirstReadLimitMs;  // as Open set it
};

PortOpenResult Failed(PortOpenError error, DWORD platformError) {
    PortOpenResult result;
    result.error = error;
    result.platformError = platformError;
    return result;
}

} // namespace

std::string DevicePath(const std::string& name) {
    if (name.empty() || name.size() > kLongestPortName) return {};
    for (char c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) return {};
    return "\\\\.\\" + name;
}

PortOpenError OpenErrorOf(std::uint32_t platformError) {
    switch (platformError) {
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_BUSY:
        return PortOpenError::Busy;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_DEV_NOT_EXIST:
        return PortOpenError::Missing;
    default:
        return PortOpenError::Refused;
    }
}

PortOpenResult Win32SerialPorts::Open(const std::string& name) {
    const std::string path = DevicePath(name);
    if (path.empty()) return Failed(PortOpenError::Refused, ERROR_INVALID_NAME);

    const HANDLE opened = ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (opened == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        return Failed(OpenErrorOf(error), error);
    }
    UniqueKernelHandle handle(opened);

    // Anything that is no serial port (a file, a printer) fails here.
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!::GetCommState(handle.get(), &dcb)) return Failed(PortOpenError::Refused, ::GetLastError());
    dcb.BaudRate = kBaudRate;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fNull = FALSE;
    dcb.fAbortOnError = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    if (!::SetCommState(handle.get(), &dcb)) return Failed(PortOpenError::Refused, ::GetLastError());
    // Before anything is written: the first command (for a PIN, the only one) is bounded too.
    if (!SetTimeouts(handle.get(), kFirstReadLimitMs)) return Failed(PortOpenError::Refused, ::GetLastError());

    PortOpenResult result;
    result.error = PortOpenError::None;
    result.port = std::make_unique<Win32SerialPort>(std::move(handle));
    return result;
}

} // namespace vantaro
