// Answers message boxes for a test: a second thread waits for a top-level
// dialog window of this process with the given caption, records the box's
// text, and presses the chosen button. One answer per box, in order. While
// it has answers left, the guard against forgotten boxes (TestMain.cpp)
// leaves boxes of its caption alone.
#pragma once
#include <windows.h>
#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class BoxAnswerer {
public:
    // caption: exact window text of the box (Shift-JIS); buttons: the ids to
    // press (IDABORT, IDRETRY, IDIGNORE, IDYES ...), one per expected box.
    BoxAnswerer(const char* caption, std::vector<int> buttons);
    ~BoxAnswerer();  // stops the thread; unanswered boxes stay open
    BoxAnswerer(const BoxAnswerer&) = delete;
    BoxAnswerer& operator=(const BoxAnswerer&) = delete;

    std::vector<std::string> Texts();  // of the boxes answered so far
    int Answered();
    // Runs `action` before pressing answer number `index` (0-based), while
    // the box is still open: lets a test make a missing file appear, say.
    void BeforeAnswer(int index, void (*action)(void*), void* context);

private:
    friend bool BoxIsExpected(const std::string& caption);
    void Run();
    void AnswerOne(HWND box);
    std::string m_caption;
    std::vector<int> m_buttons;
    std::vector<std::string> m_texts;
    std::mutex m_lock;
    std::atomic<bool> m_stop{false};
    int m_hookIndex = -1;
    void (*m_hook)(void*) = nullptr;
    void* m_hookContext = nullptr;
    std::thread m_thread;
};

// True while a BoxAnswerer with answers left waits for boxes of this caption.
bool BoxIsExpected(const std::string& caption);
// True for a visible dialog window (class #32770) of process `pid`.
bool IsVisibleDialog(HWND window, DWORD pid);
// A visible top-level dialog of this process with the given caption.
HWND FindProcessDialog(const char* caption);
// Text of a window or dialog control, in the ANSI code page.
std::string WindowText(HWND window);
