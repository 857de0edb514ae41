#include "ChildProcess.h"

namespace {

// The current environment with `name` set to `value`.
std::vector<char> ChildEnvironment(const char* name, const char* value) {
    std::vector<char> environment;
    const std::string prefix = name ? std::string(name) + "=" : std::string();
    char* block = GetEnvironmentStringsA();
    for (const char* p = block; *p; p += lstrlenA(p) + 1)
        if (prefix.empty() || std::string(p).compare(0, prefix.size(), prefix) != 0)
            environment.insert(environment.end(), p, p + lstrlenA(p) + 1);
    FreeEnvironmentStringsA(block);
    if (name) {
        const std::string entry = prefix + value;
        environment.insert(environment.end(), entry.c_str(), entry.c_str() + entry.size() + 1);
    }
    environment.push_back('\0');
    return environment;
}

bool Start(const std::string& commandLine, std::vector<char> environment, DWORD flags, PROCESS_INFORMATION& process) {
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    std::vector<char> command(commandLine.begin(), commandLine.end());
    command.push_back('\0');
    return CreateProcessA(NULL, command.data(), NULL, NULL, TRUE, flags, environment.data(), NULL, &startup,
                          &process) != 0;
}

std::string ReadDebugText(HANDLE process, const OUTPUT_DEBUG_STRING_INFO& info) {
    std::string text(info.nDebugStringLength, '\0');
    SIZE_T got = 0;
    ReadProcessMemory(process, info.lpDebugStringData, &text[0], text.size(), &got);
    text.resize(got);
    while (!text.empty() && text.back() == '\0') text.pop_back();
    return text;
}

void DebugLoop(const PROCESS_INFORMATION& process, ChildRun& run) {
    for (;;) {
        DEBUG_EVENT event;
        if (!WaitForDebugEvent(&event, 30000)) return;
        DWORD status = DBG_CONTINUE;
        if (event.dwDebugEventCode == OUTPUT_DEBUG_STRING_EVENT) {
            run.debugTexts.push_back(ReadDebugText(process.hProcess, event.u.DebugString));
        } else if (event.dwDebugEventCode == EXCEPTION_DEBUG_EVENT &&
                   event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT) {
            status = DBG_EXCEPTION_NOT_HANDLED;
        } else if (event.dwDebugEventCode == CREATE_PROCESS_DEBUG_EVENT) {
            CloseHandle(event.u.CreateProcessInfo.hFile);
        } else if (event.dwDebugEventCode == LOAD_DLL_DEBUG_EVENT) {
            CloseHandle(event.u.LoadDll.hFile);
        } else if (event.dwDebugEventCode == EXIT_PROCESS_DEBUG_EVENT) {
            run.exitCode = event.u.ExitProcess.dwExitCode;
            ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
            return;
        }
        ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
    }
}

}  // namespace

DllsSwitchedOff::DllsSwitchedOff(const std::string& exeName, const std::vector<std::string>& dlls)
    : m_key("Software\\Wine\\AppDefaults\\" + exeName) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, (m_key + "\\DllOverrides").c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key,
                        NULL) != ERROR_SUCCESS)
        return;
    for (const std::string& dll : dlls) RegSetValueExA(key, dll.c_str(), 0, REG_SZ, (const BYTE*)"", 1);
    RegCloseKey(key);
}

DllsSwitchedOff::~DllsSwitchedOff() {
    RegDeleteKeyA(HKEY_CURRENT_USER, (m_key + "\\DllOverrides").c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, m_key.c_str());
}

ChildRun RunDebugged(const std::string& commandLine) {
    ChildRun run;
    PROCESS_INFORMATION process;
    run.started = Start(commandLine, ChildEnvironment(NULL, NULL), DEBUG_ONLY_THIS_PROCESS, process);
    if (!run.started) return run;
    DebugLoop(process, run);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return run;
}

ChildRun RunChild(const std::string& commandLine, const char* name, const char* value) {
    ChildRun run;
    PROCESS_INFORMATION process;
    run.started = Start(commandLine, ChildEnvironment(name, value), 0, process);
    if (!run.started) return run;
    WaitForSingleObject(process.hProcess, 120000);
    GetExitCodeProcess(process.hProcess, &run.exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return run;
}

std::string BesideExecutable(const char* name) {
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.rfind('\\') + 1) + name;
}
