// The seam's real side on Windows: the drive opened with CreateFile, each request one
// DeviceIoControl. Built only for Windows.
#include <windows.h>

#include <algorithm>

#include "host/devices/win/IoControl.h"

namespace host::win_drives {

namespace {

class DeviceIoControlFile : public IoControl {
public:
    DeviceIoControlFile(HANDLE handle, std::string path) : handle_(handle), path_(std::move(path)) {}
    ~DeviceIoControlFile() override { CloseHandle(handle_); }
    DeviceIoControlFile(const DeviceIoControlFile&) = delete;
    DeviceIoControlFile& operator=(const DeviceIoControlFile&) = delete;

    IoAnswer call(uint32_t controlCode, const std::vector<uint8_t>& input, std::size_t outputSize) override {
        IoAnswer answer;
        std::vector<uint8_t> in = input;
        answer.output.resize(outputSize);
        DWORD returned = 0;
        if (!DeviceIoControl(handle_, controlCode, in.empty() ? nullptr : in.data(), static_cast<DWORD>(in.size()),
                             answer.output.empty() ? nullptr : answer.output.data(),
                             static_cast<DWORD>(answer.output.size()), &returned, nullptr)) {
            answer.systemError = GetLastError();
            answer.output.clear();
            return answer;
        }
        // Never more than the buffer that was given, whatever the driver says.
        answer.output.resize(std::min<std::size_t>(returned, outputSize));
        return answer;
    }
    const std::string& path() const override { return path_; }

private:
    HANDLE handle_;
    std::string path_;
};

}  // namespace

std::unique_ptr<IoControl> openIoControl(const std::string& path, Access access, uint32_t& systemError) {
    const DWORD rights = access == Access::readWrite ? GENERIC_READ | GENERIC_WRITE : 0;
    const HANDLE handle =
        CreateFileA(path.c_str(), rights, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        systemError = GetLastError();
        return nullptr;
    }
    systemError = 0;
    return std::make_unique<DeviceIoControlFile>(handle, path);
}

}  // namespace host::win_drives
