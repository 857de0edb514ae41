// The registry records an install leaves behind: the game's own key under
// HKEY_LOCAL_MACHINE and the system's uninstall entry. The menu reads them
// to tell whether the game is installed; uninstall deletes them.
#pragma once
#include "base/OCString.h"

class InstallConfig;

extern const char kUninstallProgram[];     // "Uninst.exe", one of the game's own files

// "SOFTWARE\<brand>\<name>" below HKEY_LOCAL_MACHINE. False, `out`
// untouched, when either name is empty: the path would name a shared key.
bool FormGameKeyPath(OCString& out, const char* brand, const char* name);
// "SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\<name>"; false,
// `out` untouched, for an empty name (the system's Uninstall key itself).
bool FormUninstallKeyPath(OCString& out, const char* name);

// Game key: "execute" = <install folder>\<Exec>, "installType" = the selected
// type. Always 1; a key that cannot be created, or an empty Brand or Name,
// is skipped silently.
int WriteGameKey(const InstallConfig& config);
// Uninstall entry: "DisplayName" = Title, "UninstallString" =
// "<install folder>\Uninst.exe" "<install folder>". Always 1; skipped
// silently when the key cannot be created or Name is empty.
int WriteUninstallEntry(const InstallConfig& config);
