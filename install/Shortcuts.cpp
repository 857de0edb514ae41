// The Start-menu shortcuts of an installed game.
#include "install/Shortcuts.h"
#include "install/InstallConfig.h"
#include "archive/OCFile.h"
#include "archive/OCPath.h"
#include "base/Messages.h"
#include "install/Records.h"
#include <shlobj.h>
#include "base/Sys.h"

namespace {

const char* Text(const OCString& s) { return s.GetBuffer() ? s.GetBuffer() : ""; }

}  // namespace

int CreateShortcut(const char* linkPath, const char* target, const char* arguments,
                   const char* workingFolder, int showCommand) {
    return sys::SaveShortcut(linkPath, target, arguments, workingFolder, showCommand) ? 1 : 0;
}

int CreateShortcuts(const InstallConfig& config) {
    OCPath programs;
    programs.SetSpecialFolder(CSIDL_PROGRAMS);
    if (programs.GetPath().IsEmpty()) return 0;     // checked before the install began
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
