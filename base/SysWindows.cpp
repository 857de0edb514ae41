// Message boxes, dialogs, window texts and the folder browser through the
// system boundary.
#include "base/Sys.h"

namespace sys {

int ShowMessage(HWND owner, const char* text, const char* caption, UINT flags) {
    if (!IsNtFamily()) return MessageBoxA(owner, text, caption, flags);
    return MessageBoxW(owner, WideText(text), WideText(caption), flags);
}

INT_PTR RunDialog(HINSTANCE instance, int templateId, HWND owner, DLGPROC procedure, LPARAM param) {
    if (!IsNtFamily())
        return DialogBoxParamA(instance, MAKEINTRESOURCEA(templateId), owner, procedure, param);
    return DialogBoxParamW(instance, MAKEINTRESOURCEW(templateId), owner, procedure, param);
}

bool SetText(HWND window, const char* text) {
    if (!IsNtFamily()) return SetWindowTextA(window, text) != FALSE;
    return SetWindowTextW(window, WideText(text)) != FALSE;
}

bool SetItemText(HWND dialog, int id, const char* text) {
    HWND item = GetDlgItem(dialog, id);
    return item && SetText(item, text);
}

bool GetItemText(HWND dialog, int id, OCString& out) {
    out = "";
    HWND item = GetDlgItem(dialog, id);
    if (!item) return false;
    if (!IsNtFamily()) {
        const int n = GetWindowTextLengthA(item);
        out.Assign(NULL, n + 1);
        if (!out.GetBuffer()) return false;
        GetWindowTextA(item, out.GetBuffer(), n + 1);
        out.Assign(out.GetBuffer(), -1);
        return true;
    }
    const int n = GetWindowTextLengthW(item);
    WCHAR* text = new WCHAR[n + 1];
    const int got = GetWindowTextW(item, text, n + 1);
    const bool converted = ToSjis(text, got, out);
    delete[] text;
    return converted;
}

LPITEMIDLIST BrowseForFolder(HWND owner, const char* title, BFFCALLBACK callback, LPARAM param) {
    // Folders only. "Computers only" would gray OK for every folder on shells
    // that check the flag after the callback has enabled it.
    const UINT flags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT;
    if (!IsNtFamily()) {
        char displayName[MAX_PATH] = "";
        BROWSEINFOA info = {owner, NULL, displayName, title, flags, callback, param, 0};
        return SHBrowseForFolderA(&info);
    }
    WCHAR displayName[MAX_PATH] = L"";
    WideText wideTitle(title);
    BROWSEINFOW info = {owner, NULL, displayName, wideTitle, flags, callback, param, 0};
    return SHBrowseForFolderW(&info);
}

void SetBrowseSelection(HWND browser, LPCITEMIDLIST item) {
    if (IsNtFamily()) SendMessageW(browser, BFFM_SETSELECTIONW, FALSE, (LPARAM)item);
    else SendMessageA(browser, BFFM_SETSELECTIONA, FALSE, (LPARAM)item);
}

void SetBrowseStatus(HWND browser, const char* text) {
    if (IsNtFamily()) SendMessageW(browser, BFFM_SETSTATUSTEXTW, 0, (LPARAM)(const WCHAR*)WideText(text));
    else SendMessageA(browser, BFFM_SETSTATUSTEXTA, 0, (LPARAM)text);
}

}  // namespace sys
