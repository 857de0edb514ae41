// Child processes for the DirectX tests, with some of Wine's builtin
// libraries switched off. Wine 8 gives a child started from a Windows
// process the WINEDLLOVERRIDES of the Unix environment, whatever the
// environment block says, so the switch is Wine's per-program registry key
// HKCU\Software\Wine\AppDefaults\<program>\DllOverrides instead.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

struct ChildRun {
    bool started = false;
    DWORD exitCode = 0xFFFFFFFF;
    std::vector<std::string> debugTexts;   // OutputDebugStringA texts, in order
};

// Switches the libraries `dlls` ("ddraw", "dinput"...) off for the program
// `exeName` while the object lives.
class DllsSwitchedOff {
public:
    DllsSwitchedOff(const std::string& exeName, const std::vector<std::string>& dlls);
    ~DllsSwitchedOff();
    DllsSwitchedOff(const DllsSwitchedOff&) = delete;
    DllsSwitchedOff& operator=(const DllsSwitchedOff&) = delete;

private:
    std::string m_key;
};

// Runs `commandLine` as its debugger; collects the debug texts and the exit code.
ChildRun RunDebugged(const std::string& commandLine);

// Runs `commandLine` with the variable `name` set to `value`, and waits for
// its exit code.
ChildRun RunChild(const std::string& commandLine, const char* name, const char* value);

// The full path of a file beside the test executable.
std::string BesideExecutable(const char* name);
