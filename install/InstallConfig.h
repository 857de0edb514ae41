// InstallConfig: the installer record. The values of install.ini together
// with the choices and lists of the current install run. A plain record that
// owns all its members; the workflow reads and fills its fields directly.
#pragma once
#include <windows.h>
#include <vector>
#include "install/TypeEntry.h"
#include "base/OCString.h"
#include "gfx/OCDialog.h"

class ConfigText;  // install.ini as Load reads it

class InstallConfig {
public:
    InstallConfig();
    InstallConfig(const InstallConfig&) = delete;    // owns the progress dialog
    InstallConfig& operator=(const InstallConfig&) = delete;

    // Fills the record from install.ini (on disk, else in the current folder's
    // archives). A missing key keeps the field's value. When the file cannot
    // be opened every read asks the user; Abort throws OCErrorException.
    void Load();

    // The menu's view of the records (app/Menu*.cpp).
    int IsInstalled();                   // 1 when game key and uninstall entry both exist
    int LaunchGame();                    // 1 when the game key was found and a start tried

    // The install and uninstall workflow (install/); the records and
    // shortcuts are free functions over the record (install/Records.h,
    // install/Shortcuts.h).
    int RunInstall();                    // 1 installed, 0 stopped
    int ChooseInstallFolder();           // 1 accepted, 0 cancelled
    int PrepareCopy();                   // builds the lists; 1 when the space suffices
    int CopyFiles();                     // on the worker thread; the copy result
    void CopyEntry(const char* sourceFolder, const char* installTo, const char* entryPath);
    int SetupDirectX();                  // 1 when DirectX setup wants a restart
    void FinishInstall(int restart);
    int StartUninstall();                // always 1

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
    ULONGLONG requiredBytes;             // the type's size in bytes, in 64 bits (4096 MB and more)
    int copyResult;                      // 1 when copying completed, else 0
    HANDLE progressEnded;                // set once the progress dialog's loop is over (or never ran)

private:
    void LoadInstallSection(ConfigText& text);
    void LoadType(ConfigText& text, int number);
    void FormWindowTitle();
};
