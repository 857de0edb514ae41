#include "support/ShellLink.h"
#include <shlobj.h>

ShellLinkInfo ReadShellLink(const std::string& path) {
    ShellLinkInfo link;
    IShellLinkA* shell = NULL;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA, (void**)&shell)))
        return link;
    IPersistFile* file = NULL;
    if (SUCCEEDED(shell->QueryInterface(IID_IPersistFile, (void**)&file))) {
        wchar_t wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
        link.loaded = file->Load(wide, STGM_READ);
        file->Release();
    }
    char text[3][1024] = {};
    shell->GetPath(text[0], 1024, NULL, SLGP_RAWPATH);
    shell->GetArguments(text[1], 1024);
    shell->GetWorkingDirectory(text[2], 1024);
    link.target = text[0], link.arguments = text[1], link.folder = text[2];
    shell->GetShowCmd(&link.show);
    shell->Release();
    return link;
}
