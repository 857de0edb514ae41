// Holds Wine's desktop process for a whole test run. The desktop starts with
// the first window and inherits that program's standard handles: started by
// a test, it would keep CTest's output pipe open after the test ended, and
// CTest would wait for it up to the time-out. Started by the test script
// first, detached, the desktop belongs to this program instead.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    GetDesktopWindow();
    Sleep(INFINITE);
    return 0;
}
