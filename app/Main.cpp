// The entry function and the process-wide objects: reads the product name,
// marks the installer as running with a named event, runs the install menu,
// starts the game the menu chose, and cleans up on every way out.
#include <windows.h>
#include <commctrl.h>
#include "app/Launch.h"
#include "app/Menu.h"
#include "app/Shutdown.h"
#include "archive/OCFile.h"
#include "archive/Ini.h"
#include "base/Messages.h"
#include "base/OCException.h"
#include "resources/resource.h"
#include "base/Sys.h"

// Constructed in this order before WinMain, destroyed in reverse after it.
OCDibImage g_menuBackground;
OCDibImage g_menuButtons[3];
InstallConfig g_installConfig;
OCDialog* g_currentMenu = NULL;

namespace {

const char kConfigFile[] = "install.ini";
const char kDefaultProductName[] = "Installer";

// Owner of the event that tells other programs the installer is running.
// Never waited on or signalled; closed exactly once.
class RunningMark {
public:
    RunningMark() : m_event(NULL) {}
    ~RunningMark() { Close(); }
    RunningMark(const RunningMark&) = delete;
    RunningMark& operator=(const RunningMark&) = delete;

    // Manual reset, initially signalled. A failure leaves no handle; an event
    // of that name from another installer is simply shared.
    void Create(const char* name) { m_event = sys::MakeNamedEvent(TRUE, TRUE, name); }
    void Close() {
        if (m_event) CloseHandle(m_event);
        m_event = NULL;
    }

private:
    HANDLE m_event;  // NULL when not created or closed
};

void ReadProductName(OCString& name) {
    name = kDefaultProductName;
    IniReadValue("install", "Name", name, kConfigFile);
}

// One box, no owner, the system's default caption, on top of everything,
// for whatever exception reached the top. Called inside a catch block.
void ReportError() {
    OCString message;
    const LONG code = DescribeCurrentException(message);
    OCString text;
    text.Format(kFmtErrorReport, (unsigned)code, message.GetBuffer() ? message.GetBuffer() : "");
    sys::ShowMessage(NULL, text.GetBuffer() ? text.GetBuffer() : "", NULL, MB_OK | MB_TOPMOST);
}

// The menu's end code, -1 when it could not be opened. Throws what the menu threw.
int RunMenu(MenuState& state) {
    OCDialog menu(IDD_INSTALL_MENU);
    menu.SetUp(NULL, MenuDlgProc, &state);
    int result = menu.RunModal();
    g_currentMenu = NULL;
    return result;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    InitCommonControls();
    RunningMark running;
    MenuState state;
    int result = 0;
    try {
        OCString productName;
        ReadProductName(productName);
        running.Create(productName.GetBuffer());
        g_quietOpen = 0;
        result = RunMenu(state);
    } catch (...) {
        g_currentMenu = NULL;
        result = 0;
        ReportError();
    }
    if (result == 1) {
        // The game starts once, after the mark is gone: it may look for it.
        running.Close();
        StartGame(state.gameCommand.GetBuffer());
    }
    RemoveTemporaryFiles();
    ScheduleSelfDeletion();
    running.Close();
    return result;
}
