// InstallConfig::RunInstall: the install from the INSTALL button to the
// completion message, on the user-interface thread.
#include <windows.h>
#include <commctrl.h>
#include "install/InstallConfig.h"
#include "base/Messages.h"
#include "base/Sys.h"
#include <shlobj.h>
#include "install/CopyWorker.h"
#include "install/OCRegKey.h"
#include "install/OCThread.h"
#include "install/Records.h"
#include "install/Shortcuts.h"
#include "install/Uninstall.h"
#include "install/WizardDialogs.h"
#include "resources/resource.h"

namespace {

void ShowConfirmBox(const InstallConfig& config, const char* text) {
    OCString(text, -1).ShowMessageBox(config.ownerWindow, kCaptionConfirm, MB_OK | MB_TASKMODAL);
}

// Every stopped install ends here.
int Stop(const InstallConfig& config) {
    ShowConfirmBox(config, kMsgInstallStopped);
    return 0;
}

// The progress dialog could not be opened: the worker copied nothing.
void ReportDialogFailure(const InstallConfig& config, DWORD error) {
    OCString text;
    text.Format(kFmtErrorReport, (unsigned)(error ? error : ERROR_INVALID_WINDOW_HANDLE), "");
    text.ShowMessageBox(config.ownerWindow, NULL, MB_OK | MB_TASKMODAL);
}

// A manual-reset event, not signalled at first; NULL when the system refused.
class OCEvent {
public:
    OCEvent() : m_event(CreateEventA(NULL, TRUE, FALSE, NULL)) {}
    ~OCEvent() {
        if (m_event) CloseHandle(m_event);
    }
    OCEvent(const OCEvent&) = delete;
    OCEvent& operator=(const OCEvent&) = delete;
    HANDLE Get() const { return m_event; }
    void Set() {
        if (m_event) SetEvent(m_event);
    }

private:
    HANDLE m_event;
};

// A game installed before under the same Name is removed without a word.
// No Name, no removal: the key would be the system's whole Uninstall key.
void RemovePreviousInstall(const InstallConfig& config) {
    OCString keyPath;
    if (!FormUninstallKeyPath(keyPath, config.name.GetBuffer())) return;
    OCRegKey entry;
    if (!entry.Open(HKEY_LOCAL_MACHINE, keyPath.GetBuffer(), 0)) return;
    entry.Close();
    Uninstall(config.ownerWindow, config.name.GetBuffer(), NULL);
}

int RunWizardDialog(InstallConfig& config, int templateId, DLGPROC procedure) {
    OCDialog dialog(templateId);
    dialog.SetUp(NULL, procedure, &config);
    return dialog.RunModal();
}

// Folder, type and space check; a refused space check goes back to the
// folder and then to the type, first type selected. 1 when the space suffices.
int ChooseFolderAndType(InstallConfig& config) {
    if (!config.ChooseInstallFolder()) return 0;
    for (;;) {
        config.selectedType = 0;
        if (RunWizardDialog(config, IDD_INSTALL_TYPE, TypeDialogProc) != 0) return 0;
        if (config.selectedType >= (int)config.types.size()) return 0;  // no type to install
        if (config.PrepareCopy()) return 1;
        ShowConfirmBox(config, kMsgNotEnoughSpace);
        if (!config.ChooseInstallFolder()) return 0;
    }
}

}  // namespace

int RunCopyStep(InstallConfig& config) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);  // the dialog's progress bar
    config.copyResult = 0;            // a worker that never reports has not copied
    config.progress.SetTemplate(IDD_INSTALL_PROGRESS);
    config.progress.SetUp(NULL, ProgressDialogProc, &config);
    RegisterDiscFolders(config);
    OCEvent ended;
    config.progressEnded = ended.Get();
    OCThread worker;
    worker.Start(CopyThreadProc, &config, 1);
    const int shown = config.progress.RunModal();
    const DWORD error = GetLastError();
    ended.Set();                      // a worker still waiting for the window gives up
    worker.Close();
    config.progressEnded = NULL;
    if (shown == -1 && !config.copyResult) ReportDialogFailure(config, error);
    return config.copyResult;
}

namespace {

// The Start menu's folder must be nameable in the program's texts before
// anything is written: the shortcuts go there last.
bool CanNameStartMenu(const InstallConfig& config) {
    OCString programs;
    if (sys::GetSpecialFolder(CSIDL_PROGRAMS, programs)) return true;
    ShowConfirmBox(config, kMsgStartMenuUnusable);
    return false;
}

}  // namespace

int InstallConfig::RunInstall() {
    if (!CanNameStartMenu(*this)) return 0;
    RemovePreviousInstall(*this);
    if (!ChooseFolderAndType(*this)) return Stop(*this);
    if (RunWizardDialog(*this, IDD_INSTALL_CONFIRM, ConfirmDialogProc) != 0) return Stop(*this);
    if (!RunCopyStep(*this)) return Stop(*this);
    CreateShortcuts(*this);
    WriteGameKey(*this);
    WriteUninstallEntry(*this);
    FinishInstall(SetupDirectX());
    return 1;
}
