#include "gfx/OCDialog.h"
#include "base/Sys.h"

OCDialog::OCDialog()
    : m_window(NULL), m_template(0), m_parent(NULL), m_userValue(NULL),
      m_procedure(NULL), m_ownsWindow(0) {}

OCDialog::OCDialog(int templateId) : OCDialog() { m_template = templateId; }

OCDialog::~OCDialog() {
    if (m_ownsWindow && m_window) DestroyWindow(m_window);
}

void OCDialog::SetUp(HWND parent, DLGPROC procedure, void* userValue) {
    m_parent = parent;
    m_procedure = procedure;
    m_userValue = userValue;
}

int OCDialog::RunModal() {
    m_ownsWindow = 0;
    m_error = nullptr;
    INT_PTR code = sys::RunDialog(GetModuleHandleA(NULL), m_template, m_parent, m_procedure, (LPARAM)this);
    // The window is gone: a stale handle could name some later window.
    m_window = NULL;
    if (m_error) {
        std::exception_ptr error = m_error;
        m_error = nullptr;
        std::rethrow_exception(error);
    }
    return (int)code;
}

// Rounds x to the nearest multiple of 8 (add 4, clear the low three bits);
// y stays as it is. The divisions truncate toward zero.
void OCDialog::Centre() {
    RECT own, outer;
    if (!GetWindowRect(m_window, &own)) return;     // no window yet
    HWND parent = GetParent(m_window);
    GetWindowRect(parent ? parent : GetDesktopWindow(), &outer);
    int width = own.right - own.left, height = own.bottom - own.top;
    int x = outer.left + (outer.right - outer.left - width) / 2;
    int y = outer.top + (outer.bottom - outer.top - height) / 2;
    x = (x + 4) & ~7;
    if (x < 0) x = 0;
    if (y < 0) y = 0;
    MoveWindow(m_window, x, y, width, height, FALSE);
}

bool OCDialog::GetItemText(int controlId, OCString& text) const {
    return sys::GetItemText(m_window, controlId, text);
}

OCDialog* OCDialog::FromInitParam(HWND window, LPARAM param) {
    OCDialog* dialog = (OCDialog*)param;
    if (dialog) dialog->Attach(window);
    return dialog;
}

void OCDialog::KeepError(HWND window) {
    if (!m_error) m_error = std::current_exception();
    EndDialog(window, -1);
}
