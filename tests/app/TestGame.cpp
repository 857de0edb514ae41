// The installed game of the menu tests: adds a line to testgame.log beside
// itself on every start, with its current folder and whether the installer's
// running mark (the event MENUTEST) still existed when it started.
#include <windows.h>
#include <cstdio>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char log[MAX_PATH], folder[MAX_PATH];
    GetModuleFileNameA(NULL, log, MAX_PATH);
    lstrcpyA(log + lstrlenA(log) - 3, "log");  // testgame.exe -> testgame.log
    GetCurrentDirectoryA(MAX_PATH, folder);
    HANDLE mark = OpenEventA(SYNCHRONIZE, FALSE, "MENUTEST");
    FILE* file = fopen(log, "ab");
    if (!file) return 1;
    fprintf(file, "cwd=%s|mark=%s\n", folder, mark ? "open" : "gone");
    fclose(file);
    return 0;
}
