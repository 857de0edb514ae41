// Finding and driving the installer's wizard dialogs from a test's driver
// thread. All of them share the installer's title, so a dialog is told apart
// by a control that only it has.
#pragma once
#include <windows.h>
#include <string>

// Waits up to `timeoutMs` for a visible dialog of this process with the
// caption and a control `controlId`; NULL when none appeared.
HWND WaitForWizard(const char* caption, int controlId, int timeoutMs = 10000);
// Waits until `dialog` is gone; false on timeout.
bool WaitUntilClosed(HWND dialog, int timeoutMs = 10000);
// Presses a button as the user does, through the button itself, and waits
// until the dialog has handled it.
void PressButton(HWND dialog, int controlId);
bool IsChecked(HWND dialog, int controlId);
bool IsShown(HWND dialog, int controlId);
// Texts of all child windows, to look for a title that must not be offered.
std::string AllChildTexts(HWND dialog);
