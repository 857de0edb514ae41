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
    char text[1024] = "";
    shell->GetPath(text, sizeof text, NULL, SLGP_RAWPATH);
    link.target = text;
    text[0] = 0;
    shell->GetArguments(text, sizeof text);
    link.arguments = text;
    text[0] = 0;
    shell->GetWorkingDirectory(text, sizeof text);
    link.folder = text;
    shell->GetShowCmd(&link.show);
    shell->Release();
    return link;
}
