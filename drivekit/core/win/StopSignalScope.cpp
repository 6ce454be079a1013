#include "drivekit/core/StopSignalScope.h"

#include <windows.h>

#include <algorithm>
#include <csignal>
#include <cstring>

#include "drivekit/core/StopRequest.h"

namespace drivekit::core {

namespace {

char giveUpLine[1024];
volatile LONG giveUpLength = 0;

// The console runs the handler on a thread of its own: it may wait out the grace period there.
BOOL WINAPI onConsoleEvent(DWORD event) {
    const int signalNumber = event == CTRL_C_EVENT ? SIGINT : event == CTRL_BREAK_EVENT ? SIGBREAK : SIGTERM;
    if (!StopRequest::requested()) {
        StopRequest::request(signalNumber);
        return TRUE;
    }
    ::Sleep(StopSignalScope::graceSeconds * 1000);
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(STD_ERROR_HANDLE), giveUpLine, static_cast<DWORD>(giveUpLength), &written, nullptr);
    ::ExitProcess(static_cast<UINT>(128 + StopRequest::signalNumber()));
    return TRUE;
}

}  // namespace

StopSignalScope::StopSignalScope() {
    StopRequest::clear();
    ::SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

StopSignalScope::~StopSignalScope() { ::SetConsoleCtrlHandler(onConsoleEvent, FALSE); }

void StopSignalScope::setGiveUpLine(const std::string& line) {
    giveUpLength = 0;
    const size_t length = std::min(line.size(), sizeof(giveUpLine));
    std::memcpy(giveUpLine, line.data(), length);
    giveUpLength = static_cast<LONG>(length);
}

}  // namespace drivekit::core
