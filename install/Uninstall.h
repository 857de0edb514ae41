// Uninstall: removes an installed game's registry records, its install folder
// and its Start-menu folder. A game.ini in the install folder (section
// "設定") may rename the per-user key and the Start-menu folder.
#pragma once
#include <windows.h>
#include "base/OCString.h"

// Removes the game recorded under the uninstall entry `keyName`. With a
// `confirmText` the user is asked first (No leaves everything as it was) and
// told when it is done; with NULL it runs without any message. Every removal
// is best effort and silent; recursive removals never touch a root, a system
// folder or the Programs folder itself.
void Uninstall(HWND owner, const char* keyName, const char* confirmText);

// The install folder named by an uninstall command line: the text after the
// last space outside double quotes, with the quotes removed; empty when there
// is no such space. ("\"C:\G\Uninst.exe\" \"C:\G\"" -> C:\G)
void UninstallFolderPart(const char* command, OCString& folder);

// Removes `folder` with everything in it, then the folder directly above it
// when that is left empty (the maker's folder only this game used). Never
// more than that one level; the removal guard applies to both. A folder that
// another program holds open for a moment is waited for, up to about 2 s.
void RemoveFolderAndEmptyParent(const char* folder);
