// Clean-up on the way out: the auxiliary files in the temporary folder and
// the reboot-time deletion of the installer's program file.
#include "app/Shutdown.h"
#include "archive/Ini.h"
#include "base/OCException.h"
#include "base/OCString.h"
#include "base/Sys.h"

namespace {

const char* const kTemporaryFiles[] = {"install.pak", "DSETUP.dll", "dsetup32.dll"};

// "<folder>\<name>", with one backslash whether or not `folder` ends in one.
void JoinPath(OCString& out, const char* folder, const char* name) {
    const char* end = folder + lstrlenA(folder);
    bool endsInSeparator = end > folder && *sjis::Prev(folder, end) == '\\';
    out.Format(endsInSeparator ? "%s%s" : "%s\\%s", folder, name);
}

DWORD PlatformId() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;  // 148
    return GetVersionExA(&version) ? version.dwPlatformId : 0;
}

// Windows 95 family: WININIT.INI takes short paths only.
void ScheduleByWininit(const char* own) {
    OCString shortPath, windows, wininit;
    if (!sys::GetShortPath(own, shortPath) || !sys::GetWindowsFolder(windows)) return;
    JoinPath(wininit, windows.GetBuffer(), "WININIT.INI");
    try {
        IniWriteValue("rename", "nul", shortPath.GetBuffer(), wininit.GetBuffer());
    } catch (const OCErrorException&) {
        // not reported: the copy simply stays
    }
}

void ScheduleByMoveFile(const char* own) {
    sys::SetAttributes(own, FILE_ATTRIBUTE_NORMAL);
    sys::Move(own, NULL, MOVEFILE_DELAY_UNTIL_REBOOT);
}

}  // namespace

void RemoveTemporaryFiles() {
    OCString temp, path;
    if (!sys::GetTempFolder(temp)) return;
    for (const char* name : kTemporaryFiles) {
        JoinPath(path, temp.GetBuffer(), name);
        sys::SetAttributes(path.GetBuffer(), FILE_ATTRIBUTE_NORMAL);  // a read-only copy goes too
        sys::RemoveFile(path.GetBuffer());
    }
}

// The installer is meant to run from the copy that the disc's launcher put
// into the temporary folder. The 95 family names the running program's own
// file; the NT family always names the temporary folder's setup.exe.
void ScheduleSelfDeletion() {
    DWORD platform = PlatformId();
    OCString path;
    if (platform == VER_PLATFORM_WIN32_WINDOWS) {
        if (sys::GetModulePath(NULL, path)) ScheduleByWininit(path.GetBuffer());
    } else if (platform == VER_PLATFORM_WIN32_NT) {
        OCString temp;
        if (!sys::GetTempFolder(temp)) return;
        JoinPath(path, temp.GetBuffer(), "setup.exe");
        ScheduleByMoveFile(path.GetBuffer());
    }
}
