#include "support/BoxAnswerer.h"

namespace {

struct FindContext {
    const char* caption;
    HWND found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM param) {
    FindContext* ctx = (FindContext*)param;
    if (!IsVisibleDialog(window, GetCurrentProcessId())) return TRUE;
    if (WindowText(window) != ctx->caption) return TRUE;
    ctx->found = window;
    return FALSE;
}

}  // namespace

bool IsVisibleDialog(HWND window, DWORD pid) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != pid || !IsWindowVisible(window)) return false;
    char cls[64] = "";
    GetClassNameA(window, cls, sizeof cls);
    return lstrcmpA(cls, "#32770") == 0;
}

HWND FindProcessDialog(const char* caption) {
    FindContext ctx = {caption, NULL};
    EnumWindows(MatchDialog, (LPARAM)&ctx);
    return ctx.found;
}

std::string WindowText(HWND window) {
    char text[4096] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

BoxAnswerer::BoxAnswerer(const char* caption, std::vector<int> buttons)
    : m_caption(caption), m_buttons(std::move(buttons)), m_thread([this] { Run(); }) {}

BoxAnswerer::~BoxAnswerer() {
    m_stop = true;
    m_thread.join();
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
        if (box && Answered() < (int)m_buttons.size() && AnswerOne(box)) {
            // wait until the box is gone so it is not answered twice
            for (int i = 0; i < 500 && IsWindow(box) && !m_stop; i++) Sleep(10);
        }
        Sleep(20);
    }
}

bool BoxAnswerer::AnswerOne(HWND box) {
    HWND textControl = GetDlgItem(box, 0xFFFF);
    std::string text = textControl ? WindowText(textControl) : std::string();
    int index;
    void (*hook)(void*);
    void* context;
    {
        std::lock_guard<std::mutex> hold(m_lock);
        index = (int)m_texts.size();
        hook = index == m_hookIndex ? m_hook : nullptr;
        context = m_hookContext;
    }
    if (hook) hook(context);
    int button = m_buttons[index];
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_texts.push_back(text);
    }
    // A click on the button works for every box style, including those
    // without a Cancel button that ignore IDCANCEL.
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), (LPARAM)GetDlgItem(box, button));
    return true;
}
