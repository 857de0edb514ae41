// The Start-menu folder <Programs>\<Brand>\<Title> and its two shortcuts:
// the game and the uninstaller.
#pragma once

class InstallConfig;

// Saves a shell link at `linkPath`. `arguments` and `workingFolder` may be
// NULL (not set). 1 when the link file was saved, else 0.
int CreateShortcut(const char* linkPath, const char* target, const char* arguments,
                   const char* workingFolder, int showCommand);
// Creates the Start-menu folder and both shortcuts; failures are skipped
// silently. Always 1.
int CreateShortcuts(const InstallConfig& config);
