// What the installer does on its way out, whatever the menu's outcome.
#pragma once

// Deletes install.pak, DSETUP.dll and dsetup32.dll from the temporary folder,
// read-only copies included. Files that are not there are ignored.
void RemoveTemporaryFiles();

// Schedules the deletion at the next restart of the copy of the installer
// that the disc's launcher puts into the temporary folder. Windows 95 family:
// a "nul=<short path>" line in [rename] of WININIT.INI naming the running
// program's own file. NT family: MoveFileExA with MOVEFILE_DELAY_UNTIL_REBOOT
// on the temporary folder's setup.exe, whether or not it is the running file.
// Failures are not reported.
void ScheduleSelfDeletion();
