// Uninstall and InstallConfig::StartUninstall. Order of removal: the game
// key for all users, the uninstall entry, the install folder, the game key of
// the current user, the Start-menu folder.
#include "install/Uninstall.h"
#include "install/InstallConfig.h"
#include "archive/OCFile.h"
#include "archive/OCPath.h"
#include "archive/Ini.h"
#include "base/Messages.h"
#include "install/OCRegKey.h"
#include "install/Records.h"
#include <shlobj.h>
#include "base/Sys.h"

namespace {

const char kGameIni[] = "game.ini";
const char kGameIniSection[] = "設定";

const char* Text(const OCString& s) { return s.GetBuffer() ? s.GetBuffer() : ""; }

// Sets g_quietOpen for the INI reads of one scope: a missing file is skipped
// without asking the user.
class QuietOpen {
public:
    QuietOpen() { g_quietOpen = 1; }
    ~QuietOpen() { g_quietOpen = 0; }
    QuietOpen(const QuietOpen&) = delete;
    QuietOpen& operator=(const QuietOpen&) = delete;
};

// Restores the current directory it found when it goes away.
class CurrentDirectory {
public:
    CurrentDirectory() {
        if (!sys::GetCurrentFolder(m_saved)) m_saved = "";
    }
    ~CurrentDirectory() {
        if (!m_saved.IsEmpty()) sys::SetCurrentFolder(m_saved.GetBuffer());
    }
    CurrentDirectory(const CurrentDirectory&) = delete;
    CurrentDirectory& operator=(const CurrentDirectory&) = delete;

private:
    OCString m_saved;
};

// The names the removal works with.
struct GameNames {
    OCString name, brand;          // install.ini, then possibly game.ini
    OCString displayName;          // the uninstall entry's "DisplayName"
    OCString uninstallName;        // game.ini "UninstName", else displayName
    OCString installFolder;        // folder part of "UninstallString"
};

// "X:\..." or "\\server\share\...": a folder part that does not depend on
// the current directory.
bool IsFullPath(const char* path) {
    if (path[0] == '\\' && path[1] == '\\') return true;
    return sjis::IsAsciiLetter(path[0]) && path[1] == ':' && path[2] == '\\';
}

void DeleteKey(HKEY root, const OCString& brand, const OCString& name) {
    OCString path;
    if (!FormGameKeyPath(path, brand.GetBuffer(), name.GetBuffer())) return;
    OCRegKey key;
    if (key.Open(root, path.GetBuffer(), 0)) key.DeleteSelf();
    key.Close();
}

// A folder or file that another program holds open at the moment (the
// shell watching the Start menu, a virus scanner) is only marked for
// deletion: it goes when the last handle closes, and until then the folder
// above it is not empty. Such a hold is waited out, for a while.
const int kHoldChecks = 20;
const DWORD kHoldCheckMs = 100;

// Removes `folder` with everything in it; true once it is gone.
bool RemoveTreeOutlastingHolds(OCPath& path, const char* folder) {
    for (int check = 0; check < kHoldChecks; check++) {
        if (check) Sleep(kHoldCheckMs);
        path.Remove(1, "*.*");
        if (!FileExists(folder)) return true;
    }
    return false;                                    // kept: a read-only file, or held for good
}

// Removes `folder` when it is empty (it stays when something else is in it).
void RemoveEmptyFolderOutlastingHolds(const char* folder) {
    if (!sys::RemoveFolder(folder)) return;
    for (int check = 0; check < kHoldChecks && FileExists(folder); check++) Sleep(kHoldCheckMs);
}

}  // namespace

// Further up than the maker's folder are folders the user or the system owns.
void RemoveFolderAndEmptyParent(const char* folder) {
    if (!*folder || !FileExists(folder) || !IsRemovableTree(folder)) return;
    OCPath path;
    path.Set(folder);
    if (!RemoveTreeOutlastingHolds(path, folder)) return;
    OCString parent;
    path.GetDirectory(parent);
    // A parent that ends in a backslash is the folder above an empty maker's
    // name ("C:\Games\\Title"): the user's own folder, never removed here.
    if (EndsWithBackslash(Text(parent))) return;
    if (lstrcmpA(Text(parent), folder) != 0 && IsRemovableTree(Text(parent)))
        RemoveEmptyFolderOutlastingHolds(parent.GetBuffer());
}

namespace {

// Reads the entry's values and game.ini from the install folder, then deletes the entry.
void ReadAndDeleteEntry(OCRegKey& entry, GameNames& names) {
    OCString command;
    entry.QueryString("DisplayName", names.displayName);
    entry.QueryString("UninstallString", command);
    UninstallFolderPart(Text(command), names.installFolder);
    if (!IsFullPath(Text(names.installFolder))) names.installFolder.Clear();
    {
        CurrentDirectory saved;
        if (!names.installFolder.IsEmpty()) sys::SetCurrentFolder(names.installFolder.GetBuffer());
        QuietOpen quiet;
        IniReadValue(kGameIniSection, "Name", names.name, kGameIni);
        IniReadValue(kGameIniSection, "Brand", names.brand, kGameIni);
        IniReadValue(kGameIniSection, "UninstName", names.uninstallName, kGameIni);
        entry.DeleteSelf();
    }
    if (names.uninstallName.IsEmpty()) names.uninstallName = names.displayName;
}

void RemoveStartMenuFolder(const GameNames& names) {
    OCPath programs;
    programs.SetSpecialFolder(CSIDL_PROGRAMS);
    if (programs.GetPath().IsEmpty()) return;
    OCString folder;
    folder.Format("%s\\%s\\%s", Text(programs.GetPath()), Text(names.brand), Text(names.uninstallName));
    RemoveFolderAndEmptyParent(folder.GetBuffer());
}

}  // namespace

void UninstallFolderPart(const char* command, OCString& folder) {
    folder = "";
    const char* start = command;
    const char* p = command + lstrlenA(command);
    bool quoted = false;
    while (p > start) {
        p = sjis::Prev(start, p);
        if (*p == '"') quoted = !quoted;
        else if (*p == ' ' && !quoted) break;
    }
    if (*p != ' ' || quoted) return;                 // reached the start without a separator
    for (const char* q = p + 1; *q; q = sjis::Next(q))
        if (*q != '"') folder.Append(q, (int)(sjis::Next(q) - q));
}

void Uninstall(HWND owner, const char* keyName, const char* confirmText) {
    if (confirmText && sys::ShowMessage(owner, confirmText, kCaptionUninstall, MB_YESNO | MB_TASKMODAL) != IDYES)
        return;
    GameNames names;
    {
        QuietOpen quiet;
        IniReadValue("install", "Name", names.name, "install.ini");
        IniReadValue("install", "Brand", names.brand, "install.ini");
    }
    DeleteKey(HKEY_LOCAL_MACHINE, names.brand, names.name);

    OCString entryPath;
    OCRegKey entry;
    if (FormUninstallKeyPath(entryPath, keyName) && entry.Open(HKEY_LOCAL_MACHINE, entryPath.GetBuffer(), 0)) {
        ReadAndDeleteEntry(entry, names);
        RemoveFolderAndEmptyParent(Text(names.installFolder));
    }
    if (!names.name.IsEmpty() && !names.brand.IsEmpty()) {
        DeleteKey(HKEY_CURRENT_USER, names.brand, names.name);
        if (!names.uninstallName.IsEmpty()) RemoveStartMenuFolder(names);
        if (confirmText) OCString(kMsgUninstallDone, -1).ShowMessageBox(owner, kCaptionConfirm, MB_OK | MB_TASKMODAL);
    }
    entry.Close();
}

int InstallConfig::StartUninstall() {
    Uninstall(ownerWindow, name.GetBuffer(), kMsgConfirmUninstall);
    return 1;
}
