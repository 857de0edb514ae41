// A shortcut read back through the shell's IShellLinkA, as the Start menu
// sees it. The caller has initialised COM.
#pragma once
#include <windows.h>
#include <string>

struct ShellLinkInfo {
    HRESULT loaded = E_FAIL;
    std::string target, arguments, folder;
    int show = -1;
};
ShellLinkInfo ReadShellLink(const std::string& path);
