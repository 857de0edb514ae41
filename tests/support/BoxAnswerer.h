// Answers this process's boxes of one caption from a thread of its own, one button per expected
// box, in order. While it has answers left, TestMain's guard leaves boxes of its caption alone.
#pragma once
#include <windows.h>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

class BoxAnswerer {
public:
    BoxAnswerer(const char* caption, std::vector<int> buttons);
    ~BoxAnswerer();  // unanswered boxes stay open
    std::vector<std::string> Texts();  // of the boxes answered so far
    int Answered() { return (int)Texts().size(); }
    // Runs `action` while box number `index` (0-based) is still open.
    void BeforeAnswer(int index, void (*action)(void*), void* context);

private:
    friend bool BoxIsExpected(const std::string& caption);
    std::string m_caption;
    std::vector<int> m_buttons;
    std::vector<std::string> m_texts;
    std::atomic<bool> m_stop{false};
    int m_hookIndex = -1;
    void (*m_hook)(void*) = nullptr;
    void* m_hookContext = nullptr;
    std::thread m_thread;
};

bool BoxIsExpected(const std::string& caption);
