// The sample game: a window that says the game has started and where it runs
// from. Each start appends one line to game.log beside the program, so a
// script can see that it ran; "/quit" ends it right after that line.
#include <windows.h>
#include <cstdio>
#include <string>
#include "base/Sys.h"

namespace {

const char kWindowClass[] = "SampleGameWindow";
const char kCaption[] = "星空の約束";
const char kStarted[] = "ゲームが起動しました。";
const char kQuitFlag[] = "/quit";

// The game's texts are Shift-JIS; they meet the system as UTF-16 converted
// with code page 932 (the installer's boundary), so they read the same on a
// system of any code page.
std::wstring Wide(const std::string& sjis) { return (const wchar_t*)sys::WideText(sjis.c_str()); }

std::string Sjis(const std::wstring& wide) {
    OCString sjis;
    sys::ToSjis(wide.c_str(), (int)wide.size(), sjis);
    return sjis.GetBuffer() ? sjis.GetBuffer() : "";
}

// The folder of this program, without a trailing backslash.
std::string ProgramFolder() {
    wchar_t path[MAX_PATH] = L"";
    GetModuleFileNameW(NULL, path, MAX_PATH);
    if (wchar_t* name = wcsrchr(path, L'\\')) *name = 0;
    return Sjis(path);
}

std::string CurrentFolder() {
    wchar_t path[MAX_PATH] = L"";
    GetCurrentDirectoryW(MAX_PATH, path);
    return Sjis(path);
}

// One line per start: the local time, the command line and the current folder.
void AppendLog(const std::string& folder) {
    FILE* log = _wfopen(Wide(folder + "\\game.log").c_str(), L"ab");
    if (!log) return;
    SYSTEMTIME now;
    GetLocalTime(&now);
    fprintf(log, "%04u-%02u-%02u %02u:%02u:%02u started cmd=%s cwd=%s\r\n", now.wYear, now.wMonth,
            now.wDay, now.wHour, now.wMinute, now.wSecond, Sjis(GetCommandLineW()).c_str(), CurrentFolder().c_str());
    fclose(log);
}

bool HasQuitFlag(const std::wstring& commandLine) {
    const std::wstring flag = Wide(kQuitFlag);
    for (size_t i = 0; i + flag.size() <= commandLine.size(); i++)
        if (CompareStringW(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, &commandLine[i], (int)flag.size(), flag.c_str(),
                           (int)flag.size()) == CSTR_EQUAL)
            return true;
    return false;
}

LRESULT CALLBACK GameWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void AddText(HWND parent, const std::string& text, int y, int height, HFONT font) {
    HWND label = CreateWindowExW(0, L"STATIC", Wide(text).c_str(), WS_CHILD | WS_VISIBLE | SS_CENTER, 10, y,
                                 460, height, parent, NULL, GetModuleHandleW(NULL), NULL);
    SendMessageW(label, WM_SETFONT, (WPARAM)font, FALSE);
}

HWND CreateGameWindow(const std::string& folder) {
    const std::wstring className = Wide(kWindowClass);
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = GameWndProc;
    windowClass.hInstance = GetModuleHandleW(NULL);
    windowClass.hCursor = LoadCursor(NULL, IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = className.c_str();
    if (!RegisterClassW(&windowClass)) return NULL;
    HWND window = CreateWindowExW(0, className.c_str(), Wide(kCaption).c_str(), WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                                  CW_USEDEFAULT, CW_USEDEFAULT, 480, 200, NULL, NULL,
                                  windowClass.hInstance, NULL);
    if (!window) return NULL;
    HFONT font = (HFONT)GetStockObject(DEFAULT_GUI_FONT);
    AddText(window, kStarted, 40, 24, font);
    AddText(window, folder, 80, 48, font);
    return window;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int show) {
    const std::string folder = ProgramFolder();
    AppendLog(folder);
    if (HasQuitFlag(GetCommandLineW())) return 0;
    HWND window = CreateGameWindow(folder);
    if (!window) return 1;
    ShowWindow(window, show);
    UpdateWindow(window);
    MSG message;
    while (GetMessageW(&message, NULL, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
