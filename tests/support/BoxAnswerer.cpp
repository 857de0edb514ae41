#include "support/BoxAnswerer.h"
#include <algorithm>
#include <mutex>
#include "support/DialogDriver.h"

namespace {
std::mutex g_lock;  // the live answerers and their texts
std::vector<BoxAnswerer*> g_live;
}  // namespace

BoxAnswerer::BoxAnswerer(const char* caption, std::vector<int> buttons)
    : m_caption(caption), m_buttons(std::move(buttons)) {
    std::lock_guard<std::mutex> live(g_lock);
    g_live.push_back(this);
    m_thread = std::thread([this] {
        for (; !m_stop; Sleep(20)) {
            HWND box = WaitForProcessDialog(m_caption.c_str(), 0);
            std::unique_lock<std::mutex> hold(g_lock);
            const size_t index = m_texts.size();
            if (!box || index >= m_buttons.size()) continue;
            const bool hook = (int)index == m_hookIndex;
            hold.unlock();
            const std::string text = BoxText(box);
            if (hook) m_hook(m_hookContext);
            hold.lock();
            m_texts.push_back(text);
            hold.unlock();
            ClickDialogButton(box, m_buttons[index]);  // a click works for every box style
            WaitUntilGone(box, 5000);                  // so that it is not answered twice
        }
    });
}

BoxAnswerer::~BoxAnswerer() {
    {
        std::lock_guard<std::mutex> hold(g_lock);
        g_live.erase(std::find(g_live.begin(), g_live.end(), this));
    }
    m_stop = true;
    m_thread.join();
}

bool BoxIsExpected(const std::string& caption) {
    std::lock_guard<std::mutex> hold(g_lock);
    for (BoxAnswerer* a : g_live)
        if (a->m_caption == caption && a->m_texts.size() < a->m_buttons.size()) return true;
    return false;
}

std::vector<std::string> BoxAnswerer::Texts() {
    std::lock_guard<std::mutex> hold(g_lock);
    return m_texts;
}

void BoxAnswerer::BeforeAnswer(int index, void (*action)(void*), void* context) {
    std::lock_guard<std::mutex> hold(g_lock);
    m_hookIndex = index;
    m_hook = action;
    m_hookContext = context;
}
