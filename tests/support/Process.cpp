#include "support/Process.h"
#include "support/Files.h"

ProgramRun::~ProgramRun() {
    if (!m_process) return;
    if (Running()) TerminateProcess(m_process, 99), WaitForSingleObject(m_process, 5000);
    CloseHandle(m_process);
}

bool ProgramRun::Start(const std::string& exe, const std::string& folder, const std::string& arguments) {
    std::wstring command = Wide("\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments));
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(Wide(exe).c_str(), &command[0], NULL, NULL, FALSE, 0, NULL, Wide(folder).c_str(), &startup,
                        &info))
        return false;
    CloseHandle(info.hThread);
    m_process = info.hProcess;
    m_id = info.dwProcessId;
    return true;
}

DWORD ProgramRun::Wait(int timeoutMs) {
    DWORD code = kStillRunning;
    if (m_process && WaitForSingleObject(m_process, timeoutMs) == WAIT_OBJECT_0) GetExitCodeProcess(m_process, &code);
    return code;
}

std::string ProgramRun::Describe() const {
    std::string list = "windows of the child:\n";
    ForEachWindow([&](HWND window) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        if (pid == m_id && IsWindowVisible(window)) list += WindowText(window) + " / " + BoxText(window) + "\n";
        return true;
    });
    return list;
}
