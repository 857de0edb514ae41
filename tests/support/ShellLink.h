// Reads a shortcut (.lnk) back through the shell's own IShellLinkA, the way
// the Start menu will see it. The caller has initialised COM.
#pragma once
#include <windows.h>
#include <string>

struct ShellLinkInfo {
    HRESULT loaded = E_FAIL;   // the result of loading the file
    std::string target, arguments, folder;
    int show = -1;             // the show command
};

ShellLinkInfo ReadShellLink(const std::string& path);
