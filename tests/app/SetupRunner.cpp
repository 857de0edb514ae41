#include "SetupRunner.h"
#include "support/BoxAnswerer.h"
#include <cstdio>
#include <cstdlib>

std::string ProgramFolder() {
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, MAX_PATH);
    std::string text = path;
    return text.substr(0, text.rfind('\\'));  // our own path: ASCII build folder
}

SetupRun::~SetupRun() {
    if (!m_process) return;
    if (Running()) {
        TerminateProcess(m_process, 99);
        WaitForSingleObject(m_process, 5000);
    }
    CloseHandle(m_process);
}

bool SetupRun::Start(const std::string& exe, const std::string& folder) {
    std::string command = "\"" + exe + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(exe.c_str(), &command[0], NULL, NULL, FALSE, 0, NULL, folder.c_str(),
                        &startup, &info))
        return false;
    CloseHandle(info.hThread);
    m_process = info.hProcess;
    m_id = info.dwProcessId;
    return true;
}

DWORD SetupRun::Wait(int timeoutMs) {
    if (!m_process || WaitForSingleObject(m_process, timeoutMs) != WAIT_OBJECT_0) return kStillRunning;
    DWORD code = kStillRunning;
    GetExitCodeProcess(m_process, &code);
    return code;
}

bool SetupRun::Running() const {
    return m_process && WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT;
}

std::string BoxText(HWND box);

namespace {

struct Search {
    DWORD pid;
    const char* caption;
    bool box;
    HWND found;
    int control = 0;   // when non-zero: any dialog that has this control
};

std::string TextOf(HWND window) {
    char text[4096] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

BOOL CALLBACK Match(HWND window, LPARAM param) {
    Search* s = (Search*)param;
    if (!IsVisibleDialog(window, s->pid)) return TRUE;
    if (s->control && !GetDlgItem(window, s->control)) return TRUE;
    if (!s->control && (GetDlgItem(window, 0xFFFF) != NULL) != s->box) return TRUE;
    if (s->caption && TextOf(window) != s->caption) return TRUE;
    s->found = window;
    return FALSE;
}

}  // namespace

HWND SetupRun::WaitForDialog(const char* caption, bool box, int timeoutMs) const {
    for (int waited = 0; waited <= timeoutMs; waited += 25) {
        Search s = {m_id, caption, box, NULL};
        EnumWindows(Match, (LPARAM)&s);
        if (s.found) return s.found;
        if (!Running()) return NULL;
        Sleep(25);
    }
    return NULL;
}

namespace {

struct Listing {
    DWORD pid;
    std::string text;
};

BOOL CALLBACK List(HWND window, LPARAM param) {
    Listing* l = (Listing*)param;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != l->pid || !IsWindowVisible(window)) return TRUE;
    char cls[64] = "";
    GetClassNameA(window, cls, sizeof cls);
    l->text += std::string("[") + cls + "] " + TextOf(window) + " / " + BoxText(window) + "\n";
    return TRUE;
}

}  // namespace

std::string SetupRun::Describe() const {
    Listing l = {m_id, "windows of the child:\n"};
    EnumWindows(List, (LPARAM)&l);
    return l.text;
}

HWND SetupRun::WaitForDialogWithControl(int id, int timeoutMs) const {
    for (int waited = 0; waited <= timeoutMs; waited += 25) {
        Search s = {m_id, NULL, false, NULL, id};
        EnumWindows(Match, (LPARAM)&s);
        if (s.found) return s.found;
        if (!Running()) return NULL;
        Sleep(25);
    }
    return NULL;
}

std::string BoxText(HWND box) {
    HWND text = GetDlgItem(box, 0xFFFF);
    return text ? TextOf(text) : std::string();
}

void PressButton(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dialog, id));
}

COLORREF ScreenPixel(int x, int y) {
    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 1;
    info.bmiHeader.biHeight = 1;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = NULL;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    COLORREF colour = CLR_INVALID;
    if (BitBlt(memory, 0, 0, 1, 1, screen, x, y, SRCCOPY)) {
        GdiFlush();
        const BYTE* p = (const BYTE*)bits;  // B, G, R, unused
        colour = RGB(p[2], p[1], p[0]);
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
    return colour;
}

bool SameColour(COLORREF a, COLORREF b, int tolerance) {
    if (a == CLR_INVALID || b == CLR_INVALID) return false;
    return abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
           abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

bool WaitForPixel(int x, int y, COLORREF expected, int tolerance, int timeoutMs) {
    for (int waited = 0; waited <= timeoutMs; waited += 50) {
        if (SameColour(ScreenPixel(x, y), expected, tolerance)) return true;
        Sleep(50);
    }
    return false;
}

TestKey::TestKey(HKEY root, const std::string& path) : m_root(root), m_path(path) {
    HKEY key;
    if (RegCreateKeyExA(root, path.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL) ==
        ERROR_SUCCESS)
        RegCloseKey(key);
}

TestKey::~TestKey() { RegDeleteKeyA(m_root, m_path.c_str()); }

void TestKey::SetString(const char* name, const std::string& value) {
    HKEY key;
    if (RegOpenKeyExA(m_root, m_path.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    RegSetValueExA(key, name, 0, REG_SZ, (const BYTE*)value.c_str(), (DWORD)value.size() + 1);
    RegCloseKey(key);
}

std::string ReadFileBytes(const std::string& path) {
    std::string bytes;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) return bytes;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
    fclose(f);
    return bytes;
}

bool FileExistsAt(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string TempFolder() {
    char path[MAX_PATH];
    GetTempPathA(MAX_PATH, path);
    return path;
}
