// ProgressRelay. A cross-thread SendMessage to the dialog costs a round trip
// and, for the bar and the text, an immediate repaint: done per file and per
// chunk it cost more than the copying itself. The worker now only records
// and posts; the dialog's thread shows the latest state when it gets to it,
// so updates that arrive faster than it can paint are merged.
#include "install/ProgressRelay.h"
#include <commctrl.h>
#include <algorithm>
#include "install/Locked.h"
#include "resources/resource.h"
#include "base/Sys.h"

namespace {

LRESULT SendToBar(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return SendDlgItemMessageA(dialog, IDC_PROGRESS_BAR, message, wParam, lParam);
}

}  // namespace

ProgressRelay::ProgressRelay(DWORD interval)
    : m_dialog(NULL), m_textChanged(false), m_position(0), m_posted(0), m_high(0), m_step(1),
      m_pending(false), m_interval(interval), m_lastPost(GetTickCount() - interval) {
    InitializeCriticalSection(&m_lock);
}

ProgressRelay::~ProgressRelay() { DeleteCriticalSection(&m_lock); }

void ProgressRelay::Attach(HWND dialog) {
    PBRANGE range = {0, 0};
    SendToBar(dialog, PBM_GETRANGE, FALSE, (LPARAM)&range);
    const LONGLONG position = SendToBar(dialog, PBM_GETPOS, 0, 0);
    Locked locked(m_lock);
    m_dialog = dialog;
    m_high = range.iHigh;
    m_position = m_posted = position;
    m_step = std::max<LONGLONG>(range.iHigh / 1000, 1);
    m_textChanged = false;
    m_pending = false;
}

void ProgressRelay::SetText(const char* text) {
    Locked locked(m_lock);
    m_text = text;
    m_textChanged = true;
    PostIfDue();
}

void ProgressRelay::Advance(unsigned kib) {
    Locked locked(m_lock);
    m_position = std::min(m_position + kib, m_high);
    PostIfDue();
}

void ProgressRelay::SetPosition(LONG position) {
    Locked locked(m_lock);
    m_position = std::max<LONGLONG>(0, std::min<LONGLONG>(position, m_high));
    PostIfDue();
}

void ProgressRelay::PostIfDue() {
    if (m_pending || !m_dialog || GetTickCount() - m_lastPost < m_interval) return;
    const bool barDue = m_position - m_posted >= m_step || m_position < m_posted;
    if (!barDue && !m_textChanged) return;
    m_pending = PostMessageA(m_dialog, kMsgShowProgress, 0, 0) != FALSE;
    if (!m_pending) return;
    m_posted = m_position;
    m_lastPost = GetTickCount();
}

void ProgressRelay::Flush() {
    HWND dialog;
    {
        Locked locked(m_lock);
        dialog = m_dialog;
        m_posted = m_position;
    }
    if (dialog) SendMessageA(dialog, kMsgShowProgress, 0, 0);
}

void ProgressRelay::Show(HWND dialog) {
    OCString text;
    bool textChanged;
    LONGLONG position;
    {
        Locked locked(m_lock);
        textChanged = m_textChanged;
        if (textChanged) text = m_text;
        position = m_position;
        m_textChanged = false;
        m_pending = false;
    }
    if (textChanged) sys::SetItemText(dialog, IDC_PROGRESS_TEXT, text.GetBuffer() ? text.GetBuffer() : "");
    if (SendToBar(dialog, PBM_GETPOS, 0, 0) != position) SendToBar(dialog, PBM_SETPOS, (WPARAM)position, 0);
}
