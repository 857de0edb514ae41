#include "InstalledGame.h"
#include <shlobj.h>
#include "install/OCRegKey.h"
#include "install/Records.h"
#include "install/Shortcuts.h"
#include "archive/OCFile.h"
#include <cstdio>

namespace {
void WriteBytes(const std::string& path, const std::string& bytes) {
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return;
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
}
}  // namespace

std::string ProgramsFolder() {
    char path[MAX_PATH] = "";
    SHGetSpecialFolderPathA(NULL, path, CSIDL_PROGRAMS, FALSE);
    return path;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool KeyExists(HKEY root, const std::string& path) {
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

void CreateKey(HKEY root, const std::string& path) {
    OCRegKey key;
    key.Open(root, path.c_str(), 1);
    key.SetString("saved", OCString("1", -1));
}

InstalledGame::InstalledGame(const std::string& brandName, const std::string& gameName,
                             const std::string& gameTitle, const std::string& installFolder)
    : brand(brandName), name(gameName), title(gameTitle) {
    folder = installFolder.empty() ? target.Path() + "\\" + brand + "\\Game" : installFolder;
    config.brand = brand.c_str();
    config.name = name.c_str();
    config.title = title.c_str();
    config.exec = "game.exe";
    config.installFolder = folder.c_str();
    config.selectedType = 1;
    CreateDirectoryPath(folder.c_str());
    for (const char* file : {"game.exe", "Uninst.exe"}) WriteBytes(folder + "\\" + file, "MZ");
    CreateDirectoryA((folder + "\\save").c_str(), NULL);
    WriteBytes(folder + "\\save\\slot1.dat", "saved game");
    CreateShortcuts(config);
    WriteGameKey(config);
    WriteUninstallEntry(config);
    CreateKey(HKEY_CURRENT_USER, GameKey());
    WriteInstallIni("[install]\r\nName=" + name + "\r\nBrand=" + brand + "\r\n");
    char current[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, current);
    m_savedFolder = current;
    SetCurrentDirectoryA(installer.Path().c_str());
}

InstalledGame::~InstalledGame() {
    SetCurrentDirectoryA(m_savedFolder.c_str());
    RemoveTree(MenuFolder());
    RemoveDirectoryA((ProgramsFolder() + "\\" + brand).c_str());
    RemoveTree(folder);
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        RegDeleteKeyA(root, GameKey().c_str());
        RegDeleteKeyA(root, ("SOFTWARE\\" + brand).c_str());
    }
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, EntryKey().c_str());
}

void InstalledGame::WriteGameIni(const std::string& text) { WriteBytes(folder + "\\game.ini", text); }

std::string InstalledGame::EntryKey() const {
    return "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + name;
}

void InstalledGame::SetUninstallString(const std::string& command) {
    OCRegKey key;
    key.Open(HKEY_LOCAL_MACHINE, EntryKey().c_str(), 0);
    key.SetString("UninstallString", OCString(command.c_str(), -1));
}
