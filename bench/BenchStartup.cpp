// bench_startup: starts a program and times how long its first visible
// dialog-class window takes to appear, then ends the program.
//
//   bench_startup EXE FOLDER
//
// Prints ms=<start to visible> idle_ms=<start to the window answering a message>.
#include <windows.h>
#include <cstdio>
#include <string>

namespace {

double NowMs() {
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return count.QuadPart * 1000.0 / frequency.QuadPart;
}

struct Search {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK Match(HWND window, LPARAM param) {
    Search* search = (Search*)param;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char cls[16] = "";
    GetClassNameA(window, cls, sizeof cls);
    if (pid != search->pid || !IsWindowVisible(window) || lstrcmpA(cls, "#32770") != 0) return TRUE;
    search->found = window;
    return FALSE;
}

// Owner of the child's process and thread handles; ends a child still running.
class Child {
public:
    Child() { ZeroMemory(&m_info, sizeof m_info); }
    ~Child() {
        if (!m_info.hProcess) return;
        TerminateProcess(m_info.hProcess, 0);
        WaitForSingleObject(m_info.hProcess, 5000);
        CloseHandle(m_info.hThread);
        CloseHandle(m_info.hProcess);
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    bool Start(const char* exe, const char* folder) {
        std::string line = std::string("\"") + exe + "\"";
        STARTUPINFOA startup;
        ZeroMemory(&startup, sizeof startup);
        startup.cb = sizeof startup;
        return CreateProcessA(exe, &line[0], NULL, NULL, FALSE, 0, NULL, folder, &startup, &m_info) != 0;
    }
    DWORD Id() const { return m_info.dwProcessId; }
    bool Running() const { return WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT; }

private:
    PROCESS_INFORMATION m_info;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) return std::fprintf(stderr, "usage: bench_startup EXE FOLDER\n"), 2;
    Child child;
    const double start = NowMs();
    if (!child.Start(argv[1], argv[2])) return std::fprintf(stderr, "cannot start %s\n", argv[1]), 1;
    Search search = {child.Id(), NULL};
    while (!search.found && child.Running() && NowMs() - start < 30000) {
        EnumWindows(Match, (LPARAM)&search);
        if (!search.found) Sleep(1);
    }
    if (!search.found) return std::fprintf(stderr, "no window from %s\n", argv[1]), 1;
    const double visible = NowMs() - start;
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(search.found, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &answer);
    std::printf("ms=%.1f idle_ms=%.1f\n", visible, NowMs() - start);
    return 0;
}
