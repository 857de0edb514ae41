// InstallConfig: the installer record. The values of install.ini together
// with the choices and lists of the current install run. A plain record that
// owns all its members; the workflow reads and fills its fields directly.
#pragma once
#include <windows.h>
#include <vector>
#include "app/TypeEntry.h"
#include "base/OCString.h"
#include "gfx/OCDialog.h"

class InstallConfig {
public:
    InstallConfig();
    InstallConfig(const InstallConfig&) = delete;    // owns the progress dialog
    InstallConfig& operator=(const InstallConfig&) = delete;

    // Fills the record from install.ini (on disk, else in the current folder's
    // archives). A missing key keeps the field's value. When the file cannot
    // be opened every read asks the user; Abort throws OCErrorException.
    void Load();

    HWND ownerWindow;                    // the menu, owner of the workflow's boxes
    OCString windowTitle;                // "<Title> インストーラー (Ver.<Version>)"
    OCString name, title, brand, exec;   // [install] Name, Title, Brand, Exec
    OCString targetFolder;               // chosen in the folder dialog
    OCString installFolder;              // targetFolder\brand\installPath
    OCString installPath, dataPath;      // [install] InstallPath, DataPath
    OCString version;                    // [install] Version
    int selectedType;                    // index into types
    std::vector<TypeEntry> types;        // TYPE1..TYPE9 that have a title, in order
    OCDialog progress;                   // the progress dialog while copying runs
    std::vector<OCString> filePaths;     // path part of each `file` entry
    std::vector<OCString> discLabels;    // disc label of each entry, in step with filePaths
    std::vector<OCString> unPackList;    // one archive name per entry
    DWORD requiredBytes;                 // the type's size in bytes, modulo 2^32
    int copyResult;                      // 1 when copying completed, else 0

private:
    void LoadInstallSection();
    void LoadType(int number);
    void FormWindowTitle();
};
