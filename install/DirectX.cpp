// InstallConfig::SetupDirectX: offers DirectX from the game disc and runs
// the DirectX setup library when the installed version is older than 8.1.
#include "install/DirectX.h"
#include "install/InstallConfig.h"
#include "archive/OCFile.h"
#include "base/Messages.h"
#include "install/Drives.h"
#include "install/OCLibrary.h"
#include <vector>
#include "base/Sys.h"

namespace {

const char kRedistributableFolder[] = "directX";
const unsigned kDirectX81 = 0x801;
const DWORD kDirectXSetupFlags = 0x02010018;        // DSETUP_DIRECTX | DSETUP_USEROLDERFLAG
const int kDirectXSetupOrdinal = 5;                 // DirectXSetupA

typedef int(WINAPI* DirectXSetupFn)(HWND owner, char* root, DWORD flags);

struct SetupError {
    int result;
    const char* text;
};

const SetupError kSetupErrors[] = {
    {-16, kMsgDxUnsupportedCpu}, {-15, kMsgDxNotAdmin},  {-13, kMsgDxNotPreinstalled},
    {-12, kMsgDxCancelled},      {-11, kMsgDxUnknownOs}, {-9, kMsgDxInternal},
    {-6, kMsgDxNoDiskSpace},     {-1, kMsgDxBadWindows},
};

// "<drive>:\directX" on the first CD-ROM drive (from Z: down) that has it;
// else the path formed for the last drive tried, or empty without a drive.
void FindRedistributable(OCString& root) {
    root = "";
    for (int drive = FindDrive(DRIVE_CDROM, -1); drive != -1; drive = FindDrive(DRIVE_CDROM, drive)) {
        root.Format("%c:\\%s", 'A' + drive, kRedistributableFolder);
        if (FileExists(root.GetBuffer())) return;
    }
}

}  // namespace

const char* DirectXSetupErrorText(int result) {
    for (const SetupError& error : kSetupErrors)
        if (error.result == result) return error.text;
    return NULL;
}

// The setup library lies beside the installer: it is loaded by that full
// path, never looked for along the search path (the current folder, say).
OCString SetupLibraryPath() {
    OCString path, folder;
    if (!sys::GetModulePath(NULL, folder)) return path;
    if (folder.FindLastChar('\\')) folder.Delete(0, -1);
    path.Format("%s\\DSETUP.dll", folder.GetBuffer());
    return path;
}

int RunDirectXSetup(HWND owner, const char* root) {
    const OCString library = SetupLibraryPath();
    if (library.IsEmpty()) return 0;
    OCLibrary setup(library.GetBuffer());
    DirectXSetupFn directXSetup = setup.Export<DirectXSetupFn>(MAKEINTRESOURCEA(kDirectXSetupOrdinal));
    if (!directXSetup) return 0;
    std::vector<char> path(root, root + lstrlenA(root) + 1);   // the call takes a writable string
    return directXSetup(owner, path.data(), kDirectXSetupFlags);
}

int InstallConfig::SetupDirectX() {
    if (sys::ShowMessage(NULL, kMsgAskDirectX, kCaptionInstall, MB_YESNO | MB_TASKMODAL) != IDYES) return 0;
    OCString root;
    FindRedistributable(root);
    if (GetDirectXVersion() >= kDirectX81) return 0;
    const int result = RunDirectXSetup(ownerWindow, root.GetBuffer() ? root.GetBuffer() : "");
    if (result == 1) return 1;
    const char* text = DirectXSetupErrorText(result);
    if (text) OCString(text, -1).ShowMessageBox(ownerWindow, kCaptionDirectXError, MB_OK | MB_ICONHAND | MB_TASKMODAL);
    return 0;
}
