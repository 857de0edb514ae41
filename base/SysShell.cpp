// Shell folders, item lists, shortcuts and process start through the system
// boundary.
#include "base/Sys.h"
#include <shlobj.h>

namespace sys {

namespace {

// The folders of `path` above its first character code page 932 cannot hold.
bool ToSjisHead(const WCHAR* path, OCString& out) {
    int cut = 0;
    for (int i = 0; path[i]; i++) {
        const int width = IS_HIGH_SURROGATE(path[i]) && path[i + 1] ? 2 : 1;
        BOOL lossy = FALSE;
        WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, path + i, width, NULL, 0, NULL, &lossy);
        if (lossy) break;
        if (path[i] == L'\\') cut = i;
        i += width - 1;
    }
    return cut > 0 && ToSjis(path, cut, out);
}

bool PathFromItems(LPCITEMIDLIST items, OCString& out, Fit fit) {
    out = "";
    if (!IsNtFamily()) {
        char path[MAX_PATH] = "";                    // the size the call requires
        if (!SHGetPathFromIDListA(items, path)) return false;
        out = path;
        return true;
    }
    WCHAR path[MAX_PATH] = L"";
    if (!SHGetPathFromIDListW(items, path)) return false;
    return ToSjis(path, -1, out) || (fit == kHeadWillDo && ToSjisHead(path, out));
}

}  // namespace

bool GetPathFromItems(LPCITEMIDLIST items, OCString& out) { return PathFromItems(items, out, kWhole); }

bool GetSpecialFolder(int csidl, OCString& out, Fit fit) {
    out = "";
    LPITEMIDLIST items = NULL;
    if (FAILED(SHGetSpecialFolderLocation(NULL, csidl, &items))) return false;
    const bool found = PathFromItems(items, out, fit);
    CoTaskMemFree(items);
    return found;
}

LPITEMIDLIST ParsePath(const char* path) {
    if (!path || !*path) return NULL;
    IShellFolder* desktop = NULL;
    if (FAILED(SHGetDesktopFolder(&desktop)) || !desktop) return NULL;
    WideText wide(path);
    LPITEMIDLIST item = NULL;
    ULONG eaten = 0;
    if (FAILED(desktop->ParseDisplayName(NULL, NULL, const_cast<WCHAR*>(static_cast<const WCHAR*>(wide)),
                                         &eaten, &item, NULL)))
        item = NULL;
    desktop->Release();
    return item;
}

namespace {

// Saves the link under `linkPath`; the file name is wide for both interfaces.
bool SaveLink(IUnknown* link, const char* linkPath) {
    IPersistFile* file = NULL;
    if (FAILED(link->QueryInterface(IID_IPersistFile, (void**)&file))) return false;
    const bool saved = file->Save(WideText(linkPath), TRUE) == S_OK;
    file->Release();
    return saved;
}

bool SaveWideLink(const char* linkPath, const char* target, const char* arguments, const char* folder,
                  int showCommand) {
    IShellLinkW* link = NULL;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkW, (void**)&link)))
        return false;
    link->SetPath(WideText(target));
    if (arguments) link->SetArguments(WideText(arguments));
    if (folder) link->SetWorkingDirectory(WideText(folder));
    link->SetShowCmd(showCommand);
    const bool saved = SaveLink(link, linkPath);
    link->Release();
    return saved;
}

bool SaveAnsiLink(const char* linkPath, const char* target, const char* arguments, const char* folder,
                  int showCommand) {
    IShellLinkA* link = NULL;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA, (void**)&link)))
        return false;
    link->SetPath(target);
    if (arguments) link->SetArguments(arguments);
    if (folder) link->SetWorkingDirectory(folder);
    link->SetShowCmd(showCommand);
    const bool saved = SaveLink(link, linkPath);
    link->Release();
    return saved;
}

}  // namespace

bool SaveShortcut(const char* linkPath, const char* target, const char* arguments,
                  const char* workingFolder, int showCommand) {
    // Every successful CoInitialize, S_FALSE included, needs its CoUninitialize.
    const HRESULT com = CoInitialize(NULL);
    const bool saved = IsNtFamily() ? SaveWideLink(linkPath, target, arguments, workingFolder, showCommand)
                                    : SaveAnsiLink(linkPath, target, arguments, workingFolder, showCommand);
    if (SUCCEEDED(com)) CoUninitialize();
    return saved;
}

bool StartProcess(const char* program, const char* commandLine, const char* folder,
                  PROCESS_INFORMATION* started) {
    if (!IsNtFamily()) {
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_SHOWDEFAULT;
        OCString line(commandLine, -1);              // CreateProcessA may write into it
        return CreateProcessA(program, line.GetBuffer(), NULL, NULL, TRUE, 0, NULL, folder, &startup,
                              started) != FALSE;
    }
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWDEFAULT;
    WideText line(commandLine);                      // CreateProcessW may write into it
    return CreateProcessW(WideText(program), const_cast<WCHAR*>(static_cast<const WCHAR*>(line)), NULL, NULL,
                          TRUE, 0, NULL, WideText(folder), &startup, started) != FALSE;
}

}  // namespace sys
