// InstallConfig::FinishInstall: the completion message, or the system's
// restart dialog when DirectX setup asked for a restart.
#include "install/DirectX.h"
#include "install/InstallConfig.h"
#include "base/Messages.h"
#include "install/OCLibrary.h"
#include "base/Sys.h"

namespace {

const int kRestartDialogOrdinal = 59;                // RestartDialog of SHELL32.DLL

// The prompt is ANSI on Windows 95/98/Me and UTF-16 everywhere else.
typedef int(WINAPI* RestartDialogFn)(HWND owner, const void* prompt, DWORD flags);

void ShowRestartDialog(RestartDialogFn restartDialog, HWND owner) {
    if (sys::IsNtFamily()) restartDialog(owner, (const WCHAR*)sys::WideText(kMsgRestartPrompt), EWX_REBOOT);
    else restartDialog(owner, kMsgRestartPrompt, EWX_REBOOT);
}

}  // namespace

void OfferRestart(HWND owner, const char* shellLibrary) {
    OCLibrary shell(shellLibrary);
    if (!shell.IsLoaded()) return;
    RestartDialogFn restartDialog = shell.Export<RestartDialogFn>(MAKEINTRESOURCEA(kRestartDialogOrdinal));
    if (restartDialog) {
        ShowRestartDialog(restartDialog, owner);
        return;
    }
    shell.Free();
    if (OCString(kMsgAskRestart, -1).ShowMessageBox(owner, kCaptionConfirm, MB_YESNO | MB_TASKMODAL) == IDYES)
        ExitWindowsEx(EWX_REBOOT, 0);
}

void InstallConfig::FinishInstall(int restart) {
    if (restart) {
        OfferRestart(ownerWindow, "SHELL32.DLL");
        return;
    }
    OCString(kMsgInstallFinished, -1).ShowMessageBox(ownerWindow, kCaptionConfirm, MB_OK | MB_TASKMODAL);
}
