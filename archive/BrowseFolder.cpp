// OCPath::BrowseForFolder: the shell's folder browser, starting at the held
// path. Only a pick with a file-system path replaces the held path.
#include "archive/OCPath.h"
#include <shlobj.h>
#include "base/Messages.h"
#include "base/Sys.h"

namespace {

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

// Titles the browser and preselects the starting folder; on each selection
// change enables OK only for an item with a file-system path the program can
// hold (a name outside code page 932 is refused here, with the reason as the
// status text) and shows that path. Other notifications carry no item list.
int CALLBACK BrowseCallback(HWND window, UINT message, LPARAM param, LPARAM startItem) {
    if (message == BFFM_INITIALIZED) {
        sys::SetText(window, kCaptionFolderBrowser);
        if (startItem) sys::SetBrowseSelection(window, (LPCITEMIDLIST)startItem);
    } else if (message == BFFM_SELCHANGED) {
        OCString path;
        SetLastError(ERROR_SUCCESS);
        const bool usable = param && sys::GetPathFromItems((LPCITEMIDLIST)param, path);
        const bool unnameable = !usable && GetLastError() == ERROR_NO_UNICODE_TRANSLATION;
        SendMessageA(window, BFFM_ENABLEOK, 1, usable ? 1 : 0);
        if (usable || unnameable) sys::SetBrowseStatus(window, usable ? path.GetBuffer() : kMsgFolderNameUnusable);
    }
    return 0;
}

}  // namespace

void OCPath::BrowseForFolder(HWND owner, const char* title) {
    ComScope com;
    LPITEMIDLIST startItem = sys::ParsePath(m_path.GetBuffer());
    if (LPITEMIDLIST chosen = sys::BrowseForFolder(owner, title, BrowseCallback, (LPARAM)startItem)) {
        OCString path;
        if (sys::GetPathFromItems(chosen, path)) m_path = path;
        CoTaskMemFree(chosen);
    }
    CoTaskMemFree(startItem);
}
