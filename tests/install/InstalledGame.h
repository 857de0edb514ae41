// A real installed state for the uninstall tests: the install folder with
// files, the game key, the uninstall entry, a per-user key and the Start-menu
// shortcuts, written by the installer's own functions; install.ini lies in
// the installer's folder, which is the current folder while the object lives.
#pragma once
#include <windows.h>
#include <string>
#include "install/InstallConfig.h"
#include "support/TempDir.h"

std::string ProgramsFolder();
bool Exists(const std::string& path);
bool KeyExists(HKEY root, const std::string& path);
// Creates the key with one value.
void CreateKey(HKEY root, const std::string& path);

class InstalledGame {
public:
    // Installs into <target>\<brand>\<folderName> unless `installFolder` is given.
    InstalledGame(const std::string& brand, const std::string& name, const std::string& title,
                  const std::string& installFolder = "");
    ~InstalledGame();
    InstalledGame(const InstalledGame&) = delete;
    InstalledGame& operator=(const InstalledGame&) = delete;

    void WriteInstallIni(const std::string& text) { installer.Write("install.ini", text); }
    void WriteGameIni(const std::string& text);
    // Replaces the uninstall entry's "UninstallString".
    void SetUninstallString(const std::string& command);

    std::string GameKey() const { return "SOFTWARE\\" + brand + "\\" + name; }
    std::string EntryKey() const;
    std::string MenuFolder() const { return ProgramsFolder() + "\\" + brand + "\\" + title; }

    TempDir installer, target;
    std::string brand, name, title;
    std::string folder;               // the install folder
    InstallConfig config;

private:
    std::string m_savedFolder;
};
