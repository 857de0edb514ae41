#include "CopyFixture.h"
#include <commctrl.h>
#include <algorithm>
#include "archive/PakBuilder.h"
#include "install/CopyWorker.h"
#include "install/OCThread.h"
#include "install/ProgressRelay.h"
#include "resources/resource.h"
#include "support/BoxAnswerer.h"
#include "support/CdDrive.h"

namespace {

ProgressLog* g_log = NULL;              // the running test's log (user-interface thread only)
WNDPROC g_barProcedure = NULL;

LRESULT CALLBACK BarSpy(HWND bar, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == PBM_SETPOS) g_log->positions.push_back((int)wParam);
    if (message == PBM_SETRANGE32) g_log->rangeHigh = (int)lParam;
    return CallWindowProcA(g_barProcedure, bar, message, wParam, lParam);
}

// Stores the window through OCDialog::FromInitParam, shows what the worker
// posts and ends the dialog at WM_CLOSE, as the program's own procedure does.
INT_PTR CALLBACK SpyProgressProc(HWND window, UINT message, WPARAM, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        OCDialog::FromInitParam(window, lParam);
        g_barProcedure = (WNDPROC)SetWindowLongPtrA(GetDlgItem(window, IDC_PROGRESS_BAR),
                                                    GWLP_WNDPROC, (LONG_PTR)BarSpy);
        SetTimer(window, 1, 30000, NULL);
        return TRUE;
    case kMsgShowProgress:
        ShowProgress(window);
        return TRUE;
    case WM_CLOSE:
        g_log->lastText = WindowText(GetDlgItem(window, IDC_PROGRESS_TEXT));
        EndDialog(window, 0);
        return TRUE;
    case WM_TIMER:
        EndDialog(window, kDialogTimedOut);
        return TRUE;
    }
    return FALSE;
}

void MakeFolders(const std::string& path) {
    for (size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1))
        CreateDirectoryA(path.substr(0, at).c_str(), NULL);
    CreateDirectoryA(path.c_str(), NULL);
}

}  // namespace

void ExpectBarSteps(const std::vector<int>& sums, std::vector<int> shown) {
    shown.erase(std::unique(shown.begin(), shown.end()), shown.end());
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(sums.front(), shown.front());
    EXPECT_EQ(sums.back(), shown.back());
    size_t next = 0;
    for (int position : shown) {
        while (next < sums.size() && sums[next] != position) next++;
        EXPECT_LT(next, sums.size()) << "the bar showed " << position << ", not a running sum in order";
    }
}

void CopyFixture::SetUp() {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    config.name = "GAME";
    config.title = "ゲーム";
    config.brand = "Maker";
    config.dataPath = "DATA";
    config.installFolder = (dir / "Games\\Maker\\ソフト").c_str();
    config.types.resize(1);
    config.types[0].title = "full";
    config.selectedType = 0;
}

void CopyFixture::TearDown() { UnmapDrive('Q'); }

std::string CopyFixture::MakeDisc(const std::string& folder, const std::string& label) {
    const std::string disc = dir / folder;
    MakeFolders(disc + "\\DATA");
    PakBuilder markers(1);
    markers.Stored("readme", "disc");
    if (!label.empty()) markers.Stored("GAME_" + label + ".INI", "");
    dir.Write(folder + "\\DATA\\disc.pak", markers.Bytes());
    return disc;
}

void CopyFixture::PutOnDisc(const std::string& disc, const std::string& relative,
                            const std::string& bytes) {
    const std::string path = disc + "\\DATA\\" + relative;
    MakeFolders(path.substr(0, path.rfind('\\')));
    FILE* file = fopen(path.c_str(), "wb");
    ASSERT_TRUE(file != NULL) << path;
    fwrite(bytes.data(), 1, bytes.size(), file);
    fclose(file);
}

void CopyFixture::InsertDisc(const std::string& disc) { ASSERT_TRUE(MapCdDrive('Q', disc)); }

void CopyFixture::ChooseType(const char* unPack, const char* file, int sizeMegabytes) {
    config.types[0].unPack = unPack;
    config.types[0].file = file;
    config.types[0].size = sizeMegabytes;
    config.PrepareCopy();
}

void CopyFixture::RunWorker(DWORD dialogDelayMs) {
    g_log = &log;
    config.copyResult = -1;
    config.progress.SetTemplate(IDD_INSTALL_PROGRESS);
    config.progress.SetUp(NULL, SpyProgressProc, &config);
    OCThread worker;
    worker.Start(CopyThreadProc, &config, 1);
    Sleep(dialogDelayMs);
    log.endCode = config.progress.RunModal();
    worker.Close();
    g_log = NULL;
}

std::string CopyFixture::Installed(const std::string& relative) const {
    std::string bytes;
    FILE* file = fopen((std::string(config.installFolder.GetBuffer()) + "\\" + relative).c_str(), "rb");
    if (!file) return "(missing)";
    char chunk[4096];
    for (size_t n; (n = fread(chunk, 1, sizeof chunk, file)) > 0;) bytes.append(chunk, n);
    fclose(file);
    return bytes;
}

bool CopyFixture::InstalledExists(const std::string& relative) const {
    std::string path = config.installFolder.GetBuffer();
    if (!relative.empty()) path += "\\" + relative;
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

OwnedBoxAnswerer::OwnedBoxAnswerer(const InstallConfig& config) : m_config(config), m_stop(0) {
    InitializeCriticalSection(&m_lock);
    m_thread = CreateThread(NULL, 0, Run, this, 0, NULL);
}

OwnedBoxAnswerer::~OwnedBoxAnswerer() {
    InterlockedExchange(&m_stop, 1);
    WaitForSingleObject(m_thread, INFINITE);
    CloseHandle(m_thread);
    DeleteCriticalSection(&m_lock);
}

std::vector<std::string> OwnedBoxAnswerer::Texts() {
    EnterCriticalSection(&m_lock);
    std::vector<std::string> texts = m_texts;
    LeaveCriticalSection(&m_lock);
    return texts;
}

namespace {

struct OwnedSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK MatchOwned(HWND window, LPARAM param) {
    OwnedSearch* search = (OwnedSearch*)param;
    if (!IsVisibleDialog(window, GetCurrentProcessId()) || GetWindow(window, GW_OWNER) != search->owner)
        return TRUE;
    search->found = window;
    return FALSE;
}

}  // namespace

DWORD WINAPI OwnedBoxAnswerer::Run(void* param) {
    OwnedBoxAnswerer* self = (OwnedBoxAnswerer*)param;
    while (!self->m_stop) {
        OwnedSearch search = {self->m_config.progress.GetWindow(), NULL};
        if (search.owner) EnumWindows(MatchOwned, (LPARAM)&search);
        if (search.found) {
            std::string text = WindowText(search.found) + "|" + WindowText(GetDlgItem(search.found, 0xFFFF));
            EnterCriticalSection(&self->m_lock);
            self->m_texts.push_back(text);
            LeaveCriticalSection(&self->m_lock);
            PostMessageA(search.found, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                         (LPARAM)GetDlgItem(search.found, IDOK));
            for (int i = 0; i < 300 && IsWindow(search.found); i++) Sleep(10);
        }
        Sleep(20);
    }
    return 0;
}
