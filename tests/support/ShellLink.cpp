#include "support/ShellLink.h"
#include "support/Files.h"
#include <shlobj.h>

ShellLinkInfo ReadShellLink(const std::string& path) {
    ShellLinkInfo link;
    IShellLinkW* shell = NULL;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkW, (void**)&shell)))
        return link;
    IPersistFile* file = NULL;
    if (SUCCEEDED(shell->QueryInterface(IID_IPersistFile, (void**)&file))) {
        link.loaded = file->Load(Wide(path).c_str(), STGM_READ);
        file->Release();
    }
    wchar_t text[3][1024] = {};
    shell->GetPath(text[0], 1024, NULL, SLGP_RAWPATH);
    shell->GetArguments(text[1], 1024);
    shell->GetWorkingDirectory(text[2], 1024);
    link.target = Sjis(text[0]), link.arguments = Sjis(text[1]), link.folder = Sjis(text[2]);
    shell->GetShowCmd(&link.show);
    shell->Release();
    return link;
}
