// ProgressRelay: what the progress dialog shows (the file being copied, the
// bar's position), handed from the copy worker to the dialog's thread without
// the worker ever waiting for the dialog to repaint.
#pragma once
#include <windows.h>
#include "base/OCString.h"

// Posted by the worker to the progress dialog; its procedure answers with
// ShowProgress (install/CopyWorker.h).
const UINT kMsgShowProgress = WM_APP + 1;

class ProgressRelay {
public:
    // A message is posted at most every `interval` ms: names of small files
    // change faster than anyone can read them, and every repaint takes the
    // dialog's thread (and the system's server) away from the copying. Each
    // message shows the latest name and position.
    explicit ProgressRelay(DWORD interval = 40);
    virtual ~ProgressRelay();
    ProgressRelay(const ProgressRelay&) = delete;
    ProgressRelay& operator=(const ProgressRelay&) = delete;

    // Worker side. Attach takes over the bar's range and position as the
    // dialog holds them; the others record and post at most one message
    // while the dialog has not shown the last one.
    void Attach(HWND dialog);
    HWND GetDialog() const { return m_dialog; }
    void SetText(const char* text);
    void Advance(unsigned kib);
    void SetPosition(LONG position);
    // Shows the latest state at once and returns when it is shown: before
    // the worker asks something of the user, and as its last act.
    void Flush();

    // Dialog side, on kMsgShowProgress: shows the latest state.
    void Show(HWND dialog);

private:
    void PostIfDue();             // with the lock held

    CRITICAL_SECTION m_lock;
    HWND m_dialog;                // the attached dialog; worker only
    OCString m_text;              // the latest file name
    bool m_textChanged;           // m_text not shown yet
    LONGLONG m_position;          // as the bar itself would hold it: within the range
    LONGLONG m_posted;            // the position of the last message posted
    LONGLONG m_high;
    LONGLONG m_step;              // the smallest bar move worth a message
    bool m_pending;               // a message is on its way
    const DWORD m_interval;
    DWORD m_lastPost;             // GetTickCount of the last message posted
};
