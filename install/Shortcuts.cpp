// Shell links through IShellLinkA and IPersistFile.
#include "install/Shortcuts.h"
#include "install/InstallConfig.h"
#include "archive/OCFile.h"
#include "archive/OCPath.h"
#include "base/Messages.h"
#include "install/Records.h"
#include <shlobj.h>
#include <vector>

namespace {

const char* Text(const OCString& s) { return s.GetBuffer() ? s.GetBuffer() : ""; }

// 1 when the link was saved under `linkPath`.
int SaveLink(IShellLinkA* link, const char* linkPath) {
    IPersistFile* file = NULL;
    if (FAILED(link->QueryInterface(IID_IPersistFile, (void**)&file))) return 0;
    std::vector<wchar_t> wide((size_t)lstrlenA(linkPath) + 1);
    ToWide(wide.data(), linkPath, (int)wide.size());
    const int saved = file->Save(wide.data(), TRUE) == S_OK ? 1 : 0;
    file->Release();
    return saved;
}

}  // namespace

int CreateShortcut(const char* linkPath, const char* target, const char* arguments,
                   const char* workingFolder, int showCommand) {
    // Every successful CoInitialize, S_FALSE included, needs its CoUninitialize.
    const HRESULT com = CoInitialize(NULL);
    int result = 0;
    IShellLinkA* link = NULL;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   (void**)&link))) {
        link->SetPath(target);
        if (arguments) link->SetArguments(arguments);
        if (workingFolder) link->SetWorkingDirectory(workingFolder);
        link->SetShowCmd(showCommand);
        result = SaveLink(link, linkPath);
        link->Release();
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return result;
}

int CreateShortcuts(const InstallConfig& config) {
    OCPath programs;
    programs.SetSpecialFolder(CSIDL_PROGRAMS);
    const char* folder = Text(config.installFolder);
    OCString menu, link, target, arguments;
    menu.Format("%s\\%s\\%s", Text(programs.GetPath()), Text(config.brand), Text(config.title));
    CreateDirectoryPath(menu.GetBuffer());

    link.Format("%s\\%s.lnk", menu.GetBuffer(), Text(config.title));
    target.Format("\"%s\\%s\"", folder, Text(config.exec));
    CreateShortcut(link.GetBuffer(), target.GetBuffer(), NULL, folder, SW_SHOWNORMAL);

    link.Format("%s\\%s.lnk", menu.GetBuffer(), kNameUninstallShortcut);
    target.Format("\"%s\\%s\"", folder, kUninstallProgram);
    arguments.Format("\"%s\"", folder);
    CreateShortcut(link.GetBuffer(), target.GetBuffer(), arguments.GetBuffer(), folder, SW_SHOWNORMAL);
    return 1;
}
