// Clean-up on the way out: the auxiliary files in the temporary folder and
// the reboot-time deletion of the installer's program file.
#include "app/Shutdown.h"
#include "archive/Ini.h"
#include "base/OCException.h"
#include "base/OCString.h"

namespace {

const char* const kTemporaryFiles[] = {"install.pak", "DSETUP.dll", "dsetup32.dll"};

// Fills `out` through an API that takes a buffer and its size and returns
// the length written; false (and `out` empty) when the call failed or the
// text did not fit.
template <class Call>
bool GetPathText(OCString& out, Call call) {
    out.Assign(NULL, 260);
    char* buffer = out.GetBuffer();
    if (!buffer) return false;
    DWORD length = call(buffer, (DWORD)out.GetCapacity());
    if (length == 0 || length >= (DWORD)out.GetCapacity()) {
        buffer[0] = 0;
        return false;
    }
    return true;
}

// "<folder>\<name>", with one backslash whether or not `folder` ends in one.
void JoinPath(OCString& out, const char* folder, const char* name) {
    const char* end = folder + lstrlenA(folder);
    bool endsInSeparator = end > folder && *CharPrevA(folder, end) == '\\';
    out.Format(endsInSeparator ? "%s%s" : "%s\\%s", folder, name);
}

bool GetTempFolder(OCString& out) {
    return GetPathText(out, [](char* b, DWORD n) { return GetTempPathA(n, b); });
}

bool GetShortForm(OCString& out, const char* path) {
    return GetPathText(out, [path](char* b, DWORD n) { return GetShortPathNameA(path, b, n); });
}

DWORD PlatformId() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;  // 148
    return GetVersionExA(&version) ? version.dwPlatformId : 0;
}

// Windows 95 family: WININIT.INI takes short paths only.
void ScheduleByWininit(const char* own) {
    OCString shortPath, windows, wininit;
    if (!GetShortForm(shortPath, own)) return;
    if (!GetPathText(windows, [](char* b, DWORD n) { return GetWindowsDirectoryA(b, n); })) return;
    JoinPath(wininit, windows.GetBuffer(), "WININIT.INI");
    try {
        IniWriteValue("rename", "nul", shortPath.GetBuffer(), wininit.GetBuffer());
    } catch (const OCErrorException&) {
        // not reported: the copy simply stays
    }
}

void ScheduleByMoveFile(const char* own) {
    SetFileAttributesA(own, FILE_ATTRIBUTE_NORMAL);
    MoveFileExA(own, NULL, MOVEFILE_DELAY_UNTIL_REBOOT);
}

}  // namespace

void RemoveTemporaryFiles() {
    OCString temp, path;
    if (!GetTempFolder(temp)) return;
    for (const char* name : kTemporaryFiles) {
        JoinPath(path, temp.GetBuffer(), name);
        SetFileAttributesA(path.GetBuffer(), FILE_ATTRIBUTE_NORMAL);  // a read-only copy goes too
        DeleteFileA(path.GetBuffer());
    }
}

// The installer is meant to run from the copy that the disc's launcher put
// into the temporary folder. The 95 family names the running program's own
// file; the NT family always names the temporary folder's setup.exe.
void ScheduleSelfDeletion() {
    DWORD platform = PlatformId();
    OCString path;
    if (platform == VER_PLATFORM_WIN32_WINDOWS) {
        if (GetPathText(path, [](char* b, DWORD n) { return GetModuleFileNameA(NULL, b, n); }))
            ScheduleByWininit(path.GetBuffer());
    } else if (platform == VER_PLATFORM_WIN32_NT) {
        OCString temp;
        if (!GetTempFolder(temp)) return;
        JoinPath(path, temp.GetBuffer(), "setup.exe");
        ScheduleByMoveFile(path.GetBuffer());
    }
}
