// The menu's view of the registry records: IsInstalled and LaunchGame.
#include "app/Launch.h"
#include "install/InstallConfig.h"
#include "archive/OCPath.h"
#include "install/OCRegKey.h"
#include "install/Records.h"
#include "base/Sys.h"

namespace {

// 1 when the key opens (it is closed again at once); never creates it.
int KeyExists(const OCString& path) {
    OCRegKey key;
    return key.Open(HKEY_LOCAL_MACHINE, path.GetBuffer(), 0) ? 1 : 0;
}

}  // namespace

// Both keys are always tried. An empty Name or Brand counts as not installed:
// the path would name a shared key.
int InstallConfig::IsInstalled() {
    OCString uninstallKey, gameKey;
    int uninstall = FormUninstallKeyPath(uninstallKey, name.GetBuffer()) && KeyExists(uninstallKey);
    int game = FormGameKeyPath(gameKey, brand.GetBuffer(), name.GetBuffer()) && KeyExists(gameKey);
    return uninstall && game;
}

int InstallConfig::LaunchGame() {
    OCString command;
    if (!ReadGameCommand(*this, command)) return 0;
    StartGame(command.GetBuffer());
    return 1;
}

int ReadGameCommand(const InstallConfig& config, OCString& command) {
    OCString path;
    if (!FormGameKeyPath(path, config.brand.GetBuffer(), config.name.GetBuffer())) return 0;
    OCRegKey key;
    if (!key.Open(HKEY_LOCAL_MACHINE, path.GetBuffer(), 0)) return 0;
    command.Assign(NULL, 512);
    key.QueryString("execute", command);
    return 1;
}

namespace {

bool IsFile(const char* path) {
    const DWORD attributes = sys::GetAttributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

void SplitCommand(const char* command, OCString& program, OCString& arguments) {
    program = "";
    arguments = "";
    while (*command == ' ') ++command;
    if (*command == '"') {
        const char* end = command + 1;
        while (*end && *end != '"') end = sjis::Next(end);
        program.Assign(command + 1, (int)(end - command - 1));
        if (*end) ++end;
        while (*end == ' ') ++end;
        arguments = end;
        return;
    }
    program = command;
    if (IsFile(command)) return;
    for (const char* p = command + lstrlenA(command); p > command;) {
        p = sjis::Prev(command, p);
        if (*p != ' ') continue;
        OCString head(command, (int)(p - command));
        if (!IsFile(head.GetBuffer())) continue;
        program = head;
        arguments = p + 1;
        return;
    }
}

void StartGame(const char* command) {
    if (!command || !*command) return;
    OCString program, arguments;
    SplitCommand(command, program, arguments);
    OCString commandLine;
    commandLine.Format(arguments.IsEmpty() ? "\"%s\"" : "\"%s\" %s", program.GetBuffer(),
                       arguments.GetBuffer() ? arguments.GetBuffer() : "");
    OCString folder;
    OCPath path;
    path.Set(program.GetBuffer());
    path.GetDirectory(folder);
    PROCESS_INFORMATION process = {};
    if (sys::StartProcess(program.GetBuffer(), commandLine.GetBuffer(), folder.GetBuffer(), &process)) {
        // The game runs on its own; the installer keeps nothing of it.
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}
