// The wizard dialogs 104 to 107 and the folder step around dialog 104.
#include "install/WizardDialogs.h"
#include "install/InstallConfig.h"
#include "archive/OCPath.h"
#include "base/Messages.h"
#include "install/CopyWorker.h"
#include "install/OCRegKey.h"
#include "install/ProgressRelay.h"
#include "resources/resource.h"
#include "base/Sys.h"

namespace {

// What a running wizard dialog works on, set at WM_INITDIALOG and forgotten
// with the window. Each procedure keeps its own.
struct WizardState {
    OCDialog* dialog = nullptr;
    InstallConfig* config = nullptr;
};

WizardState g_folderDialog, g_typeDialog, g_confirmDialog, g_progressDialog;

const int kTypeRadios[] = {IDC_TYPE_FIRST, IDC_TYPE_SECOND, IDC_TYPE_THIRD};
const int kOfferedTypes = 3;

// A string without storage reads as "".
const char* Text(const OCString& s) { return s.GetBuffer() ? s.GetBuffer() : ""; }

// Runs one handler under the dialog's guard: an exception ends the dialog and
// reaches the caller of RunModal instead of the system's dialog code.
template <class Handler>
INT_PTR Guarded(const WizardState& state, HWND window, Handler handler) {
    if (!state.dialog || !state.config) return FALSE;
    return state.dialog->Guard(window, handler);
}

// The common start: keeps the dialog and its record, centres the window over
// its parent (the desktop) and gives it the installer's title. Then `onInit`.
template <class Handler>
INT_PTR StartDialog(WizardState& state, HWND window, LPARAM param, Handler onInit) {
    state.dialog = OCDialog::FromInitParam(window, param);
    state.config = state.dialog ? (InstallConfig*)state.dialog->GetUserValue() : nullptr;
    return Guarded(state, window, [&]() -> INT_PTR {
        state.dialog->Centre();
        sys::SetText(window, Text(state.config->windowTitle));
        return onInit(*state.config);
    });
}

// Messages that come after the window is gone must not reach a dialog
// object that no longer exists.
void ForgetOnDestroy(WizardState& state, UINT message) {
    if (message == WM_NCDESTROY) state = WizardState();
}

// Dialog 104 -------------------------------------------------------------

// Browsing starts at the stored target folder, not at the edit's text; a
// cancelled browse therefore puts the stored folder back into the edit.
void FolderOnBrowse(HWND window, const InstallConfig& config) {
    OCPath folder;
    folder.Set(config.targetFolder.GetBuffer());
    folder.BrowseForFolder(window, kMsgChooseFolder);
    sys::SetItemText(window, IDC_FOLDER_EDIT, Text(folder.GetPath()));
}

INT_PTR FolderOnCommand(HWND window, int id) {
    InstallConfig& config = *g_folderDialog.config;
    if (id == IDOK) {
        OCString typed;
        if (!g_folderDialog.dialog->GetItemText(IDC_FOLDER_EDIT, typed)) {
            // asked again: the folder cannot be named in the program's texts
            sys::ShowMessage(window, kMsgFolderNameUnusable, kCaptionConfirm, MB_OK | MB_ICONEXCLAMATION);
            return TRUE;
        }
        config.targetFolder = typed;
        EndDialog(window, 0);
    } else if (id == IDCANCEL) {
        EndDialog(window, 255);
    } else if (id == IDC_FOLDER_BROWSE) {
        FolderOnBrowse(window, config);
    } else {
        return FALSE;
    }
    return TRUE;
}

// Dialog 105 -------------------------------------------------------------

// Offers the first three types with the first selected. A radio without a
// type is hidden: it would offer a choice that names nothing.
INT_PTR TypeOnInit(HWND window, const InstallConfig& config) {
    int count = (int)config.types.size();
    for (int i = 0; i < kOfferedTypes; i++) {
        HWND radio = GetDlgItem(window, kTypeRadios[i]);
        if (i >= count) {
            ShowWindow(radio, SW_HIDE);
            continue;
        }
        ShowWindow(radio, SW_SHOWNA);
        sys::SetText(radio, Text(config.types[i].title));
        SendMessageA(radio, BM_SETCHECK, i == 0 ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    return FALSE;
}

// The checked radio's type; the index stays as it was when no radio of an
// existing type is checked.
void TypeStoreChoice(HWND window, InstallConfig& config) {
    int count = (int)config.types.size();
    for (int i = 0; i < kOfferedTypes && i < count; i++) {
        if (SendDlgItemMessageA(window, kTypeRadios[i], BM_GETCHECK, 0, 0) == BST_CHECKED) {
            config.selectedType = i;
            return;
        }
    }
}

INT_PTR TypeOnCommand(HWND window, int id) {
    if (id == IDOK) {
        TypeStoreChoice(window, *g_typeDialog.config);
        EndDialog(window, 0);
    } else if (id == IDCANCEL) {
        EndDialog(window, 255);
    } else {
        return FALSE;
    }
    return TRUE;
}

// Dialog 106 -------------------------------------------------------------

INT_PTR ConfirmOnInit(HWND window, const InstallConfig& config) {
    int type = config.selectedType;
    bool known = type >= 0 && type < (int)config.types.size();
    OCString summary;
    summary.Format(kFmtSummaryFolder, Text(config.installFolder));
    summary.AppendFormat(kFmtSummaryType, known ? Text(config.types[type].title) : "");
    sys::SetItemText(window, IDC_CONFIRM_SUMMARY, Text(summary));
    return TRUE;
}

// OK and Cancel of the simple dialogs.
INT_PTR EndOnButton(HWND window, int id) {
    if (id == IDOK) EndDialog(window, 0);
    else if (id == IDCANCEL) EndDialog(window, 255);
    else return FALSE;
    return TRUE;
}

// Folder step ------------------------------------------------------------

const char kCurrentVersionKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

// The system's program-files folder; `folder` stays empty when the key cannot
// be opened or has no such value.
void ReadProgramFilesDir(OCString& folder) {
    OCRegKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, kCurrentVersionKey, 0)) key.QueryString("ProgramFilesDir", folder);
}

// Removes one trailing backslash. Stepped by characters: the Shift-JIS trail
// byte 0x5C ending a folder name is not one.
void DropTrailingBackslash(OCString& folder) {
    const char* text = folder.GetBuffer();
    if (!text) return;
    const char* last = nullptr;
    for (const char* p = text; *p; p = sjis::Next(p)) last = p;
    if (!last || *last != '\\') return;
    OCString shorter(text, (int)(last - text));  // Assign of its own start keeps the whole text
    folder = shorter;
}

int RunFolderDialog(InstallConfig& config) {
    OCDialog dialog(IDD_INSTALL_FOLDER);
    dialog.SetUp(NULL, FolderDialogProc, &config);
    return dialog.RunModal();
}

}  // namespace

INT_PTR CALLBACK FolderDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WizardState& state = g_folderDialog;
    if (message == WM_INITDIALOG)
        return StartDialog(state, window, lParam, [&](InstallConfig& config) -> INT_PTR {
            sys::SetItemText(window, IDC_FOLDER_EDIT, Text(config.targetFolder));
            return TRUE;
        });
    if (message == WM_COMMAND)
        return Guarded(state, window, [&] { return FolderOnCommand(window, LOWORD(wParam)); });
    ForgetOnDestroy(state, message);
    return FALSE;
}

INT_PTR CALLBACK TypeDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WizardState& state = g_typeDialog;
    if (message == WM_INITDIALOG)
        return StartDialog(state, window, lParam, [&](InstallConfig& config) { return TypeOnInit(window, config); });
    if (message == WM_COMMAND)
        return Guarded(state, window, [&] { return TypeOnCommand(window, LOWORD(wParam)); });
    ForgetOnDestroy(state, message);
    return FALSE;
}

INT_PTR CALLBACK ConfirmDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WizardState& state = g_confirmDialog;
    if (message == WM_INITDIALOG)
        return StartDialog(state, window, lParam, [&](InstallConfig& config) { return ConfirmOnInit(window, config); });
    if (message == WM_COMMAND)
        return Guarded(state, window, [&] { return EndOnButton(window, LOWORD(wParam)); });
    ForgetOnDestroy(state, message);
    return FALSE;
}

INT_PTR CALLBACK ProgressDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WizardState& state = g_progressDialog;
    if (message == WM_INITDIALOG)
        return StartDialog(state, window, lParam, [](InstallConfig&) -> INT_PTR { return TRUE; });
    if (message == kMsgShowProgress) {  // posted by the copy worker
        ShowProgress(window);
        return TRUE;
    }
    if (message == WM_CLOSE) {  // sent by the copy worker as its last act
        EndDialog(window, 0);
        return TRUE;
    }
    // Alt+F4 would close the dialog under a running worker, whose result
    // would then be read before it exists. Only the worker ends this dialog.
    if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE) return TRUE;
    ForgetOnDestroy(state, message);
    return FALSE;
}

namespace {

// The install folder must leave room below it for a file of an 8.3 name:
// the system's file calls take no path of MAX_PATH bytes or more.
const int kMaxInstallFolder = MAX_PATH - 1 - 12 - 1;

// Forms the install folder from the chosen target folder; the message that
// refuses it, or NULL when it is taken.
const char* FormInstallFolder(InstallConfig& config) {
    if (Text(config.targetFolder)[0] == '\\') return kMsgLocalDriveOnly;
    DropTrailingBackslash(config.targetFolder);
    config.installFolder.Format("%s\\%s\\%s", Text(config.targetFolder), Text(config.brand),
                                Text(config.installPath));
    return config.installFolder.GetLength() > kMaxInstallFolder ? kMsgPathTooLong : NULL;
}

}  // namespace

int InstallConfig::ChooseInstallFolder() {
    OCString defaultFolder;
    ReadProgramFilesDir(defaultFolder);
    for (;;) {
        targetFolder = defaultFolder;  // a refused folder is not offered again
        if (RunFolderDialog(*this) != 0) return 0;
        const char* refusal = FormInstallFolder(*this);
        if (!refusal) return 1;
        OCString(refusal, -1).ShowMessageBox(ownerWindow, kCaptionConfirm, MB_OK | MB_TASKMODAL);
    }
}
