// The sample game: a window that says the game has started and where it runs
// from. Each start appends one line to game.log beside the program, so a
// script can see that it ran; "/quit" ends it right after that line.
#include <windows.h>
#include <cstdio>
#include <string>

namespace {

const char kWindowClass[] = "SampleGameWindow";
const char kCaption[] = "星空の約束";
const char kStarted[] = "ゲームが起動しました。";
const char kQuitFlag[] = "/quit";

// The folder of this program, without a trailing backslash.
std::string ProgramFolder() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(NULL, path, MAX_PATH);
    char* name = path;
    for (char* p = path; *p; p = CharNextA(p))
        if (*p == '\\') name = p;
    *name = 0;
    return path;
}

std::string CurrentFolder() {
    char path[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, path);
    return path;
}

// One line per start: the local time, the command line and the current folder.
void AppendLog(const std::string& folder) {
    FILE* log = fopen((folder + "\\game.log").c_str(), "ab");
    if (!log) return;
    SYSTEMTIME now;
    GetLocalTime(&now);
    fprintf(log, "%04u-%02u-%02u %02u:%02u:%02u started cmd=%s cwd=%s\r\n", now.wYear, now.wMonth,
            now.wDay, now.wHour, now.wMinute, now.wSecond, GetCommandLineA(), CurrentFolder().c_str());
    fclose(log);
}

bool HasQuitFlag(const char* commandLine) {
    const size_t flagLength = sizeof kQuitFlag - 1;
    for (const char* p = commandLine; *p; p = CharNextA(p))
        if (CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, p, (int)flagLength, kQuitFlag,
                           (int)flagLength) == CSTR_EQUAL)
            return true;
    return false;
}

LRESULT CALLBACK GameWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void AddText(HWND parent, const std::string& text, int y, int height, HFONT font) {
    HWND label = CreateWindowExA(0, "STATIC", text.c_str(), WS_CHILD | WS_VISIBLE | SS_CENTER, 10, y,
                                 460, height, parent, NULL, GetModuleHandleA(NULL), NULL);
    SendMessageA(label, WM_SETFONT, (WPARAM)font, FALSE);
}

HWND CreateGameWindow(const std::string& folder) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = GameWndProc;
    windowClass.hInstance = GetModuleHandleA(NULL);
    windowClass.hCursor = LoadCursor(NULL, IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kWindowClass;
    if (!RegisterClassA(&windowClass)) return NULL;
    HWND window = CreateWindowExA(0, kWindowClass, kCaption, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                                  CW_USEDEFAULT, CW_USEDEFAULT, 480, 200, NULL, NULL,
                                  windowClass.hInstance, NULL);
    if (!window) return NULL;
    HFONT font = (HFONT)GetStockObject(DEFAULT_GUI_FONT);
    AddText(window, kStarted, 40, 24, font);
    AddText(window, folder, 80, 48, font);
    return window;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int show) {
    const std::string folder = ProgramFolder();
    AppendLog(folder);
    if (HasQuitFlag(commandLine)) return 0;
    HWND window = CreateGameWindow(folder);
    if (!window) return 1;
    ShowWindow(window, show);
    UpdateWindow(window);
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
