// What the installer does on its way out, whatever the menu's outcome.
#pragma once

// Deletes install.pak, DSETUP.dll and dsetup32.dll from the temporary folder,
// read-only copies included. Files that are not there are ignored.
void RemoveTemporaryFiles();

// Schedules the deletion of the program's own file at the next restart, but
// only when that file lies in the temporary folder (the copy the installer
// runs from there); a program started from a disc or a user's folder is never
// touched. Windows 95 family: a "nul=<short path>" line in [rename] of
// WININIT.INI. NT family: MoveFileExA with MOVEFILE_DELAY_UNTIL_REBOOT.
// Failures are not reported.
void ScheduleSelfDeletion();
