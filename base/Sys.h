// Sys: the one place where the program's text meets Windows. Inside, every
// text is Shift-JIS in an OCString; here it is converted with code page 932
// named (never the system's ANSI code page) and handed to the wide calls, so
// the same texts and file names come out on a system of any code page. The
// 95 family has no wide calls: there the ANSI calls take the text as it is.
//
// Texts that come back from the system (folders, names, edit boxes, registry
// values) are converted back with code page 932. A character that code page
// cannot hold makes the call fail with ERROR_NO_UNICODE_TRANSLATION instead of
// handing on a mangled name.
#pragma once
#include <windows.h>
#include <shlobj.h>
#include <stdio.h>
#include "base/OCString.h"

namespace sys {

const UINT kCodePage = 932;

// True on the NT family, where the wide calls are used.
bool IsNtFamily();

// Shift-JIS text as UTF-16 for one call. NULL stays NULL.
class WideText {
public:
    explicit WideText(const char* text);
    ~WideText() { delete[] m_text; }
    WideText(const WideText&) = delete;
    WideText& operator=(const WideText&) = delete;
    operator const WCHAR*() const { return m_text; }

private:
    WCHAR* m_text;
};

// UTF-16 to Shift-JIS (`length` -1: up to the NUL). False, with
// ERROR_NO_UNICODE_TRANSLATION, when a character has no form in code page
// 932; `out` is then empty.
bool ToSjis(const WCHAR* text, int length, OCString& out);

// Upper-cases in place with the system's mapping of code page 932
// (full-width letters too); `length` -1 measures.
void UpperCase(char* text, int length);
// 0 when the texts are equal apart from case, as UpperCase folds it.
int CompareNoCase(const char* a, const char* b);

// Files and folders; each returns what the system call of that name does.
FILE* OpenStream(const char* name, const char* mode);
// CreateFile without a template; INVALID_HANDLE_VALUE on failure.
HANDLE OpenFile(const char* name, DWORD access, DWORD share, DWORD disposition, DWORD flags);
DWORD GetAttributes(const char* name);
bool SetAttributes(const char* name, DWORD attributes);
bool MakeFolder(const char* name);
bool RemoveFile(const char* name);
bool RemoveFolder(const char* name);
bool Move(const char* from, const char* to, DWORD flags);  // MoveFileEx
bool SetCurrentFolder(const char* name);
bool CopyOver(const char* from, const char* to);              // CopyFile, replacing
// A new empty file of a unique name in `folder` (GetTempFileName).
bool MakeTempFile(const char* folder, const char* prefix, OCString& out);

// A search over one pattern. A found name that code page 932 cannot hold is
// given by its short name, which the system keeps in plain ASCII.
HANDLE FindFirst(const char* pattern, WIN32_FIND_DATAA* found);
bool FindNext(HANDLE search, WIN32_FIND_DATAA* found);

// Folders and names the system reports; false when the call fails or the
// answer cannot be held in code page 932.
bool GetCurrentFolder(OCString& out);
bool GetCommandLineText(OCString& out);
bool GetTempFolder(OCString& out);
bool GetWindowsFolder(OCString& out);
bool GetSystemFolder(OCString& out);
bool GetModulePath(HMODULE module, OCString& out);
bool GetFullPath(const char* path, OCString& out);
bool GetLongPath(const char* path, OCString& out);
bool GetShortPath(const char* path, OCString& out);
// With kHeadWillDo a folder whose name code page 932 cannot hold gives the
// folders above its first such component instead of failing.
enum Fit { kWhole, kHeadWillDo };
bool GetSpecialFolder(int csidl, OCString& out, Fit fit = kWhole);
bool GetPathFromItems(LPCITEMIDLIST items, OCString& out);

// Drives: "X:\" roots.
UINT GetDriveKind(const char* root);
bool IsVolumeMounted(const char* root);
// Free and total bytes; false when the system cannot tell.
bool GetDiskSpace(const char* root, ULONGLONG* freeBytes, ULONGLONG* totalBytes);

HMODULE LoadModule(const char* path);
// A named event that other programs can open by the same name.
HANDLE MakeNamedEvent(BOOL manualReset, BOOL signalled, const char* name);
void DebugText(const char* text);

// Starts `program` (a full path) with `commandLine`; as CreateProcess.
bool StartProcess(const char* program, const char* commandLine, const char* folder,
                  PROCESS_INFORMATION* started);

// Windows and dialogs. Dialogs are wide windows on the NT family, so their
// templates' texts reach the screen as they are written.
int ShowMessage(HWND owner, const char* text, const char* caption, UINT flags);
INT_PTR RunDialog(HINSTANCE instance, int templateId, HWND owner, DLGPROC procedure, LPARAM param);
bool SetText(HWND window, const char* text);
bool SetItemText(HWND dialog, int id, const char* text);
bool GetItemText(HWND dialog, int id, OCString& out);

// The folder browser: the chosen folder's item list, NULL on Cancel. The
// callback's status text goes through SetBrowseStatus.
LPITEMIDLIST BrowseForFolder(HWND owner, const char* title, BFFCALLBACK callback, LPARAM param);
void SetBrowseSelection(HWND browser, LPCITEMIDLIST item);
void SetBrowseStatus(HWND browser, const char* text);
// The desktop folder's item list for `path`; NULL when the shell does not
// know it. Freed with CoTaskMemFree.
LPITEMIDLIST ParsePath(const char* path);

// A shell link to `target` saved under `linkPath`.
bool SaveShortcut(const char* linkPath, const char* target, const char* arguments,
                  const char* workingFolder, int showCommand);

// The registry, under keys opened here.
LONG CreateKey(HKEY root, const char* subkey, HKEY* key, DWORD* disposition);
LONG OpenKey(HKEY root, const char* subkey, HKEY* key);
LONG DeleteKey(HKEY key, const char* subkey);
LONG SetNumberValue(HKEY key, const char* name, DWORD value);
LONG SetTextValue(HKEY key, const char* name, const char* value);
// ERROR_SUCCESS only for a text value (REG_SZ or REG_EXPAND_SZ) that code
// page 932 can hold.
LONG GetTextValue(HKEY key, const char* name, OCString& out);

}  // namespace sys
