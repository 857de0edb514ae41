// OCDialog: one dialog built from a template in the program's resources and
// run modally. The dialog procedure receives the object as the parameter of
// WM_INITDIALOG, stores the window into it (Attach), keeps the object's
// address in a process-wide pointer of its own for later messages, reaches
// its data through the user value and ends the dialog with EndDialog.
#pragma once
#include <windows.h>
#include <exception>
#include "base/OCString.h"

class OCDialog {
public:
    OCDialog();
    explicit OCDialog(int templateId);
    virtual ~OCDialog();                             // destroys the window only if it owns one
    OCDialog(const OCDialog&) = delete;              // a copy would destroy the window twice
    OCDialog& operator=(const OCDialog&) = delete;

    void SetUp(HWND parent, DLGPROC procedure, void* userValue);
    void SetTemplate(int templateId) { m_template = templateId; }

    // The end code given to EndDialog, or -1 when the dialog could not be
    // created. Rethrows an exception that the procedure handed to Guard.
    int RunModal();
    // Places the window over its parent (the desktop when it has none):
    // x on a multiple of 8, neither coordinate below 0.
    void Centre();
    // The control's text; empty when the control does not exist.
    // False (and `text` empty) when the text has a character code page 932 cannot hold.
    bool GetItemText(int controlId, OCString& text) const;

    // For the dialog procedure.
    static OCDialog* FromInitParam(HWND window, LPARAM param);  // at WM_INITDIALOG; Attaches
    void Attach(HWND window) { m_window = window; }
    HWND GetWindow() const { return m_window; }
    void* GetUserValue() const { return m_userValue; }

    // Runs one message handler of the procedure. An exception must not unwind
    // through the system's dialog code: it is kept, the dialog ends, and
    // RunModal rethrows it once DialogBoxParamA has returned.
    template <class Handler>
    INT_PTR Guard(HWND window, Handler handler) {
        try {
            return handler();
        } catch (...) {
            KeepError(window);
            return TRUE;
        }
    }

private:
    void KeepError(HWND window);

    HWND m_window;              // the dialog while it runs; NULL before and after
    int m_template;             // resource id of the dialog template
    HWND m_parent;              // owner window; NULL for the menu
    void* m_userValue;          // what the procedure works on
    DLGPROC m_procedure;
    DWORD m_ownsWindow;         // the window must be destroyed by this object; a modal run clears it
    std::exception_ptr m_error; // thrown inside the procedure, rethrown by RunModal
};
