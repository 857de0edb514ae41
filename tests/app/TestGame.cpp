// A stand-in for an installed game: appends one line per start to
// testgame.log beside itself, with its command line, its current folder and
// whether the installer's running mark (the event named by MENUTEST_EVENT)
// still existed when it started.
#include <windows.h>
#include <cstdio>
#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char own[MAX_PATH], folder[MAX_PATH], eventName[256] = "";
    GetModuleFileNameA(NULL, own, MAX_PATH);
    char* name = own;
    for (char* p = own; *p; p = CharNextA(p))
        if (*p == '\\') name = p + 1;
    lstrcpyA(name, "testgame.log");
    GetCurrentDirectoryA(MAX_PATH, folder);
    GetEnvironmentVariableA("MENUTEST_EVENT", eventName, sizeof eventName);
    HANDLE mark = eventName[0] ? OpenEventA(SYNCHRONIZE, FALSE, eventName) : NULL;
    FILE* log = fopen(own, "ab");
    if (!log) return 1;
    fprintf(log, "cmd=%s|cwd=%s|event=%s\n", GetCommandLineA(), folder, mark ? "open" : "closed");
    fclose(log);
    if (mark) CloseHandle(mark);
    return 0;
}
