// Uninst.exe: the uninstaller that the installer copies into the install
// folder and names in the uninstall entry as  "<folder>\Uninst.exe" "<folder>".
// It finds the game by the game.ini in that folder and runs the installer's
// own uninstall, with the same confirmation.
//
// A running program's file cannot be deleted, and neither can a folder that
// is some process's current folder; so the first run copies the program into
// a scratch folder of its own below the temporary folder, starts the copy
// there and ends. The copy waits for it to end, then uninstalls, and leaves
// its scratch folder to be deleted at the next restart.
#include <windows.h>
#include <cstdlib>
#include <cstring>
#include "archive/OCFile.h"
#include "archive/Ini.h"
#include "base/Messages.h"
#include "base/OCException.h"
#include "base/Sys.h"
#include "install/Uninstall.h"

namespace {

const char kWaitFlag[] = "--wait";
const char kGameIniSection[] = "設定";

const char* Text(const OCString& s) { return s.GetBuffer() ? s.GetBuffer() : ""; }

struct GameId {
    OCString name, brand;
};

// The folder part of a path (up to its last backslash); DBCS-safe.
OCString FolderOf(const char* path) {
    const char* end = path;
    for (const char* p = path; *p; p = sjis::Next(p))
        if (*p == '\\') end = p;
    return OCString(path, (int)(end - path));
}

OCString OwnPath() {
    OCString path;
    sys::GetModulePath(NULL, path);
    return path;
}

// The install folder: the command line's last argument, else our own folder.
OCString InstallFolder(const char* commandLine) {
    OCString folder;
    UninstallFolderPart(commandLine, folder);
    if (folder.IsEmpty() || sys::CompareNoCase(Text(folder), kWaitFlag) == 0) folder = FolderOf(Text(OwnPath()));
    return folder;
}

// The handle value after "--wait", or NULL when the flag is absent.
HANDLE WaitHandle(const char* commandLine) {
    for (const char* p = commandLine; *p; p = sjis::Next(p)) {
        if (strncmp(p, kWaitFlag, sizeof kWaitFlag - 1) == 0) {
            return (HANDLE)(ULONG_PTR)strtoul(p + sizeof kWaitFlag - 1, NULL, 10);
        }
    }
    return NULL;
}

// game.ini's names, read quietly: a missing file leaves them empty.
GameId ReadGameId(const OCString& folder) {
    OCString path;
    path.Format("%s\\game.ini", Text(folder));
    GameId id;
    g_quietOpen = 1;
    IniReadValue(kGameIniSection, "Name", id.name, path.GetBuffer());
    IniReadValue(kGameIniSection, "Brand", id.brand, path.GetBuffer());
    g_quietOpen = 0;
    return id;
}

// A new, empty folder below the temporary folder; empty on failure.
OCString MakeScratchFolder() {
    OCString temp, name;
    if (!sys::GetTempFolder(temp) || !sys::MakeTempFile(Text(temp), "uni", name)) return OCString();
    sys::RemoveFile(Text(name));
    return sys::MakeFolder(Text(name)) ? name : OCString();
}

// The scratch folder's install.ini names the game, so that the uninstall
// finds the game's own key by the rule it uses on the disc.
bool PrepareScratch(const OCString& scratch, const GameId& id, OCString& copy) {
    copy.Format("%s\\Uninst.exe", Text(scratch));
    if (!sys::CopyOver(Text(OwnPath()), copy.GetBuffer())) return false;
    OCString ini;
    ini.Format("%s\\install.ini", Text(scratch));
    IniWriteValue("install", "Name", Text(id.name), ini.GetBuffer());
    IniWriteValue("install", "Brand", Text(id.brand), ini.GetBuffer());
    return true;
}

// Starts the scratch copy with a handle to this process to wait for.
bool StartCopy(const OCString& copy, const OCString& scratch, const OCString& folder) {
    HANDLE self = NULL;
    if (!DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &self,
                         SYNCHRONIZE, TRUE, 0))
        return false;
    OCString command;
    command.Format("\"%s\" %s %lu \"%s\"", Text(copy), kWaitFlag, (unsigned long)(ULONG_PTR)self,
                   Text(folder));
    PROCESS_INFORMATION info = {};
    const bool started = sys::StartProcess(copy.GetBuffer(), command.GetBuffer(), scratch.GetBuffer(), &info);
    CloseHandle(self);
    if (!started) return false;
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return true;
}

// The scratch copy goes at the next restart; its install.ini goes now.
void LeaveScratch() {
    const OCString own = OwnPath();
    const OCString scratch = FolderOf(Text(own));
    OCString ini;
    ini.Format("%s\\install.ini", Text(scratch));
    sys::RemoveFile(ini.GetBuffer());
    sys::Move(own.GetBuffer(), NULL, MOVEFILE_DELAY_UNTIL_REBOOT);
    sys::Move(scratch.GetBuffer(), NULL, MOVEFILE_DELAY_UNTIL_REBOOT);
}

int RunFirst(const OCString& folder, const GameId& id) {
    const OCString scratch = MakeScratchFolder();
    OCString copy;
    if (!scratch.IsEmpty() && PrepareScratch(scratch, id, copy) && StartCopy(copy, scratch, folder))
        return 0;
    // No scratch copy: uninstall from here; this program and its folder stay.
    Uninstall(NULL, Text(id.name), kMsgConfirmUninstall);
    return 0;
}

int RunCopy(HANDLE first, const GameId& id) {
    WaitForSingleObject(first, 30000);
    CloseHandle(first);
    Uninstall(NULL, Text(id.name), kMsgConfirmUninstall);
    LeaveScratch();
    return 0;
}

int Run(const char* commandLine) {
    const OCString folder = InstallFolder(commandLine);
    const GameId id = ReadGameId(folder);
    if (id.name.IsEmpty()) {
        OCString text;
        text.Format(kFmtUninstallNoGame, Text(folder));
        text.ShowMessageBox(NULL, kCaptionUninstall, MB_OK | MB_ICONHAND | MB_TASKMODAL);
        return 1;
    }
    const HANDLE first = WaitHandle(commandLine);
    return first ? RunCopy(first, id) : RunFirst(folder, id);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    try {
        OCString commandLine;
        sys::GetCommandLineText(commandLine);
        return Run(Text(commandLine));
    } catch (...) {
        OCString message;
        const LONG code = DescribeCurrentException(message);
        OCString text;
        text.Format(kFmtErrorReport, (unsigned)code, Text(message));
        text.ShowMessageBox(NULL, NULL, MB_OK);
        return 1;
    }
}
