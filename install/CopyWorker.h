// The copy worker: runs InstallConfig::CopyFiles on its own thread behind the
// progress dialog, which it drives by window messages only.
#pragma once
#include <windows.h>

class InstallConfig;
class OCDialog;

// The install sequence's copy step: progress dialog 107 run modally on this
// thread while CopyThreadProc copies; returns the copy result.
int RunCopyStep(InstallConfig& config);

// Adds the data folder of every CD-ROM drive to the search folders, so that
// the disc markers and names inside their archives can be opened. On the
// user-interface thread, before the worker starts.
void RegisterDiscFolders(const InstallConfig& config);

// Thread function (argument: the InstallConfig). Waits until the progress
// dialog has its window, sets the copy result to CopyFiles() and ends the
// dialog with WM_CLOSE; without a dialog it copies nothing. Nothing is
// thrown out of it.
unsigned __stdcall CopyThreadProc(void* config);

// The progress dialog's answer to kMsgShowProgress (install/ProgressRelay.h),
// which the worker posts: shows the file being copied and the bar's position.
void ShowProgress(HWND dialog);

// ProgressCallback of CopyFileWithTimes (user: the progress OCDialog):
// moves the bar on by bytes / 1024.
void AdvanceProgress(unsigned bytes, DWORD_PTR dialog);

// The space check: the free space must exceed the requirement by at least
// one whole KiB (both counted in whole KiB).
int SpaceSuffices(ULONGLONG freeBytes, ULONGLONG requiredBytes);

// The dialog's window, once the dialog procedure has stored it. Waits for it:
// the worker may start before the dialog exists. NULL once `ended` is set
// first: a dialog that could not be opened never gets a window.
HWND WaitForDialogWindow(const OCDialog& dialog, HANDLE ended);
