// OCPath::BrowseForFolder: the shell's folder browser, starting at the held
// path. Only a pick with a file-system path replaces the held path.
#include "archive/OCPath.h"
#include <shlobj.h>
#include <vector>
#include "base/Messages.h"

namespace {

// The shell allocator, released with this object. Frees the item lists that
// the desktop folder hands out.
class ShellAllocator {
public:
    ShellAllocator() : m_malloc(NULL) {
        if (FAILED(SHGetMalloc(&m_malloc))) m_malloc = NULL;
    }
    virtual ~ShellAllocator() {
        if (m_malloc) m_malloc->Release();
    }
    ShellAllocator(const ShellAllocator&) = delete;  // a copy would release twice
    ShellAllocator& operator=(const ShellAllocator&) = delete;
    bool IsReady() const { return m_malloc != NULL; }
    void Free(void* block) const {
        if (block) m_malloc->Free(block);
    }

private:
    IMalloc* m_malloc;
};

// COM for the browser's shell objects; balanced only when this call
// initialised it (or found it initialised the same way).
class ComScope {
public:
    ComScope() : m_initialised(SUCCEEDED(CoInitialize(NULL))) {}
    virtual ~ComScope() {
        if (m_initialised) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    bool m_initialised;
};

// The item list of `path` parsed by the desktop folder; NULL for an empty
// path or one the shell does not know. Freed through the shell allocator.
LPITEMIDLIST ParseStartingItem(const OCString& path) {
    if (path.IsEmpty()) return NULL;
    int length = MultiByteToWideChar(CP_ACP, 0, path.GetBuffer(), -1, NULL, 0);
    if (length <= 0) return NULL;
    std::vector<wchar_t> wide(length);
    MultiByteToWideChar(CP_ACP, 0, path.GetBuffer(), -1, wide.data(), length);
    IShellFolder* desktop = NULL;
    if (FAILED(SHGetDesktopFolder(&desktop)) || !desktop) return NULL;
    LPITEMIDLIST item = NULL;
    ULONG eaten = 0;
    if (FAILED(desktop->ParseDisplayName(NULL, NULL, wide.data(), &eaten, &item, NULL))) item = NULL;
    desktop->Release();
    return item;
}

// Titles the browser and preselects the starting folder; on each selection
// change enables OK only for an item with a file-system path and shows that
// path. Other notifications carry no item list and are left alone.
int CALLBACK BrowseCallback(HWND window, UINT message, LPARAM param, LPARAM startItem) {
    if (message == BFFM_INITIALIZED) {
        SetWindowTextA(window, kCaptionFolderBrowser);
        if (startItem) SendMessageA(window, BFFM_SETSELECTIONA, FALSE, startItem);
    } else if (message == BFFM_SELCHANGED) {
        char path[MAX_PATH] = "";
        if (param && SHGetPathFromIDListA((LPCITEMIDLIST)param, path)) {
            SendMessageA(window, BFFM_ENABLEOK, 1, 1);
            SendMessageA(window, BFFM_SETSTATUSTEXTA, 1, (LPARAM)path);
        } else {
            SendMessageA(window, BFFM_ENABLEOK, 1, 0);
        }
    }
    return 0;
}

}  // namespace

void OCPath::BrowseForFolder(HWND owner, const char* title) {
    ComScope com;
    ShellAllocator allocator;
    if (!allocator.IsReady()) return;
    LPITEMIDLIST startItem = ParseStartingItem(m_path);
    char displayName[MAX_PATH] = "";
    BROWSEINFOA info = {};
    info.hwndOwner = owner;
    info.pszDisplayName = displayName;
    info.lpszTitle = title;
    // Folders only. "Computers only" would gray OK for every folder on shells
    // that check the flag after the callback has enabled it.
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT;
    info.lpfn = BrowseCallback;
    info.lParam = (LPARAM)startItem;
    if (LPITEMIDLIST chosen = SHBrowseForFolderA(&info)) {
        char path[MAX_PATH] = "";
        if (SHGetPathFromIDListA(chosen, path)) m_path = path;
        CoTaskMemFree(chosen);
    }
    allocator.Free(startItem);
}
