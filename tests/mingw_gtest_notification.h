#pragma once

// GoogleTest 1.12 builds its Notification on std::mutex, which mingw-w64's
// win32 thread model lacks before GCC 13. This one waits on a Windows event;
// GTEST_HAS_NOTIFICATION_ has gtest-port.h take it instead of its own.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace testing::internal {

class Notification {
public:
    Notification()
        : event(CreateEventW(nullptr, TRUE, FALSE, nullptr))
    {
    }
    ~Notification() { CloseHandle(event); }
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify() { SetEvent(event); }
    void WaitForNotification() { WaitForSingleObject(event, INFINITE); }

private:
    HANDLE event;
};

}  // namespace testing::internal

#define GTEST_HAS_NOTIFICATION_ 1
