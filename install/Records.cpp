// WriteGameKey and WriteUninstallEntry.
#include "install/Records.h"
#include "install/InstallConfig.h"
#include "install/OCRegKey.h"

const char kUninstallProgram[] = "Uninst.exe";

namespace {
const char kUninstallRoot[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// A string without storage formats as "", never as "(null)".
const char* Text(const OCString& s) { return s.GetBuffer() ? s.GetBuffer() : ""; }
}  // namespace

bool FormGameKeyPath(OCString& out, const char* brand, const char* name) {
    if (!brand || !*brand || !name || !*name) return false;
    out.Format("SOFTWARE\\%s\\%s", brand, name);
    return true;
}

bool FormUninstallKeyPath(OCString& out, const char* name) {
    if (!name || !*name) return false;
    out.Format("%s\\%s", kUninstallRoot, name);
    return true;
}

int WriteGameKey(const InstallConfig& config) {
    OCString keyPath, command;
    if (!FormGameKeyPath(keyPath, config.brand.GetBuffer(), config.name.GetBuffer())) return 1;
    command.Format("%s\\%s", Text(config.installFolder), Text(config.exec));
    OCRegKey key;
    key.Open(HKEY_LOCAL_MACHINE, keyPath.GetBuffer(), 1);
    key.SetString("execute", command);
    key.SetDword("installType", (DWORD)config.selectedType);
    key.Close();
    return 1;
}

int WriteUninstallEntry(const InstallConfig& config) {
    const char* folder = Text(config.installFolder);
    OCString keyPath, command;
    if (!FormUninstallKeyPath(keyPath, config.name.GetBuffer())) return 1;
    command.Format("\"%s\\%s\" \"%s\"", folder, kUninstallProgram, folder);
    OCRegKey key;
    key.Open(HKEY_LOCAL_MACHINE, keyPath.GetBuffer(), 1);
    key.SetString("DisplayName", config.title);
    key.SetString("UninstallString", command);
    key.Close();
    return 1;
}
