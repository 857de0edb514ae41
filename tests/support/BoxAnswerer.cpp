#include "support/BoxAnswerer.h"
#include <algorithm>
#include "support/DialogDriver.h"

namespace {

// The answerers alive now, for BoxIsExpected.
std::mutex g_liveLock;
std::vector<BoxAnswerer*> g_live;

}  // namespace

bool IsVisibleDialog(HWND window, DWORD pid) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != pid || !IsWindowVisible(window)) return false;
    char cls[64] = "";
    GetClassNameA(window, cls, sizeof cls);
    return lstrcmpA(cls, "#32770") == 0;
}

HWND FindProcessDialog(const char* caption) { return FindDialog({GetCurrentProcessId(), caption, 0, -1}); }

std::string WindowText(HWND window) {
    char text[4096] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

BoxAnswerer::BoxAnswerer(const char* caption, std::vector<int> buttons)
    : m_caption(caption), m_buttons(std::move(buttons)) {
    {
        std::lock_guard<std::mutex> hold(g_liveLock);
        g_live.push_back(this);
    }
    m_thread = std::thread([this] { Run(); });
}

BoxAnswerer::~BoxAnswerer() {
    {
        std::lock_guard<std::mutex> hold(g_liveLock);
        g_live.erase(std::find(g_live.begin(), g_live.end(), this));
    }
    m_stop = true;
    m_thread.join();
}

bool BoxIsExpected(const std::string& caption) {
    std::lock_guard<std::mutex> hold(g_liveLock);
    for (BoxAnswerer* answerer : g_live)
        if (answerer->m_caption == caption && answerer->Answered() < (int)answerer->m_buttons.size()) return true;
    return false;
}

std::vector<std::string> BoxAnswerer::Texts() {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_texts;
}

int BoxAnswerer::Answered() {
    std::lock_guard<std::mutex> hold(m_lock);
    return (int)m_texts.size();
}

void BoxAnswerer::BeforeAnswer(int index, void (*action)(void*), void* context) {
    std::lock_guard<std::mutex> hold(m_lock);
    m_hookIndex = index;
    m_hook = action;
    m_hookContext = context;
}

void BoxAnswerer::Run() {
    while (!m_stop) {
        HWND box = FindProcessDialog(m_caption.c_str());
        if (box && Answered() < (int)m_buttons.size()) {
            AnswerOne(box);
            WaitUntilGone(box, 5000);  // so that it is not answered twice
        }
        Sleep(20);
    }
}

void BoxAnswerer::AnswerOne(HWND box) {
    const std::string text = BoxText(box);
    std::unique_lock<std::mutex> hold(m_lock);
    const int index = (int)m_texts.size();
    if (index == m_hookIndex && m_hook) {
        hold.unlock();
        m_hook(m_hookContext);
        hold.lock();
    }
    m_texts.push_back(text);
    hold.unlock();
    // A click on the button works for every box style, including those
    // without a Cancel button that ignore IDCANCEL.
    ClickDialogButton(box, m_buttons[index]);
}
