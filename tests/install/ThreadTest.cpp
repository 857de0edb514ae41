// OCThread: start, suspended start, closing a finished, finishing or stuck thread.
#include <gtest/gtest.h>
#include <windows.h>
#include <atomic>
#include "base/Messages.h"
#include "base/OCException.h"
#include "install/OCThread.h"

namespace {

struct Probe {
    std::atomic<int> ran{0};
    std::atomic<int> finished{0};
    DWORD delayMs = 0;
    HANDLE release = NULL;                       // the thread waits for it when set
};

unsigned __stdcall Work(void* argument) {
    Probe* probe = (Probe*)argument;
    probe->ran = 1;
    if (probe->release) WaitForSingleObject(probe->release, INFINITE);
    Sleep(probe->delayMs);
    probe->finished = 1;
    return 7;
}

bool WaitFor(const std::atomic<int>& flag, DWORD ms) {
    for (DWORD waited = 0; waited < ms && !flag; waited += 10) Sleep(10);
    return flag != 0;
}

TEST(OCThreadTest, RunsTheFunctionWithItsArgumentAndClosesOnce) {
    Probe probe;
    OCThread thread;
    thread.Start(Work, &probe, 1);
    ASSERT_NE((HANDLE)NULL, thread.GetHandle());
    EXPECT_NE(0u, thread.GetId());
    EXPECT_TRUE(WaitFor(probe.finished, 5000));
    Sleep(50);
    EXPECT_EQ(1, thread.Close());
    EXPECT_EQ((HANDLE)NULL, thread.GetHandle());
    EXPECT_EQ(0, thread.Close());
}

TEST(OCThreadTest, SuspendedStartWaitsAndSecondStartKeepsTheFirstThread) {
    Probe probe, other;
    OCThread thread;
    thread.Start(Work, &probe, 0);
    const HANDLE first = thread.GetHandle();
    thread.Start(Work, &other, 1);
    EXPECT_EQ(first, thread.GetHandle());
    Sleep(200);
    EXPECT_EQ(0, probe.ran.load());
    EXPECT_EQ(0, other.ran.load());
    ResumeThread(thread.GetHandle());
    EXPECT_TRUE(WaitFor(probe.finished, 5000));
    EXPECT_EQ(0, other.ran.load());
}

// The worker's last act is a message to the dialog; the dialog's end lets
// the caller close the thread while it is still returning.
TEST(OCThreadTest, CloseLetsAThreadThatIsFinishingEnd) {
    Probe probe;
    probe.delayMs = 300;
    OCThread thread;
    thread.Start(Work, &probe, 1);
    ASSERT_TRUE(WaitFor(probe.ran, 5000));
    EXPECT_EQ(1, thread.Close());
    EXPECT_EQ(1, probe.finished.load());
}

TEST(OCThreadTest, CloseTerminatesAStuckThread) {
    Probe probe;
    probe.release = CreateEventA(NULL, TRUE, FALSE, NULL);
    OCThread thread;
    thread.Start(Work, &probe, 1);
    ASSERT_TRUE(WaitFor(probe.ran, 5000));
    HANDLE watch = NULL;
    DuplicateHandle(GetCurrentProcess(), thread.GetHandle(), GetCurrentProcess(), &watch, 0,
                    FALSE, DUPLICATE_SAME_ACCESS);
    EXPECT_EQ(1, thread.Close());
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(watch, 5000));
    DWORD code = 1;
    GetExitCodeThread(watch, &code);
    EXPECT_EQ(0u, code);
    SetEvent(probe.release);
    Sleep(100);
    EXPECT_EQ(0, probe.finished.load());
    CloseHandle(watch);
    CloseHandle(probe.release);
}

TEST(OCThreadTest, InvalidArgumentThrowsWithTheRunTimeLibrarysMessage) {
    OCThread thread;
    try {
        thread.Start(NULL, NULL, 1);
        FAIL() << "no exception";
    } catch (const OCErrorException& error) {
        EXPECT_STREQ(kMsgThreadBadArgument, error.message.GetBuffer());
    }
    EXPECT_EQ((HANDLE)NULL, thread.GetHandle());
}

}  // namespace
