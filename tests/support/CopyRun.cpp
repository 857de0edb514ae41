#include "support/CopyRun.h"
#include <commctrl.h>
#include <shlobj.h>
#include <algorithm>
#include "PakArchive.h"
#include "PakZlib.h"
#include "archive/PakFormat.h"
#include "install/CopyWorker.h"
#include "resources/resource.h"
#include "support/CdDrive.h"
#include "support/DialogDriver.h"
#include "support/Files.h"

std::string MakePak(unsigned version, const std::vector<PakItem>& items) {
    std::vector<pak::Entry> entries(items.size());
    std::vector<uint8_t> data;
    for (size_t i = 0; i < items.size(); i++) {
        std::vector<uint8_t> stored(items[i].bytes.begin(), items[i].bytes.end());
        pak::Entry& entry = entries[i];
        entry.name = items[i].name;
        entry.offset = (uint32_t)data.size();
        entry.size = items[i].recordedSize ? items[i].recordedSize : (uint32_t)stored.size();
        if (items[i].packed) {
            stored = pak::Deflate(stored.data(), stored.size(), 6);
            entry.compressed = 1;
            entry.packedSize = (uint32_t)stored.size();
        }
        data.insert(data.end(), stored.begin(), stored.end());
    }
    const uint32_t base = version ? 0 : pak::HeaderSize(0) + (uint32_t)pak::EncodeDirectory(0, entries).size();
    for (pak::Entry& entry : entries) entry.offset += base;  // version 0 counts from the start of the file
    const std::vector<uint8_t> bytes =
        pak::AssembleArchive(version, (uint32_t)entries.size(), pak::EncodeDirectory(version, entries), data);
    return std::string(bytes.begin(), bytes.end());
}

std::string Pattern(size_t length, int seed) {
    std::string bytes(length, '\0');
    for (size_t i = 0; i < length; i++) bytes[i] = (char)(i * seed + i / 251);
    return bytes;
}

std::string DefaultCaption() {
    char text[64] = "";
    LoadStringA(GetModuleHandleA("user32.dll"), 2, text, sizeof text);
    return text;
}

namespace {
CopyRun* g_run = NULL;  // the running test's (user-interface thread)
}

// Every message the dialog and its bar are sent, from either thread.
LRESULT CALLBACK CopyRun::Watch(int code, WPARAM wParam, LPARAM lParam) {
    const CWPSTRUCT* sent = (const CWPSTRUCT*)lParam;
    const bool bar = GetDlgCtrlID(sent->hwnd) == IDC_PROGRESS_BAR;
    if (bar && sent->message == PBM_SETPOS) g_run->positions.push_back((int)sent->wParam);
    if (bar && sent->message == PBM_SETRANGE32) {
        g_run->rangeHigh = (int)sent->lParam;
        PostMessageA(GetParent(sent->hwnd), WM_SYSCOMMAND, SC_CLOSE, 0);  // an impatient user's Alt+F4
    }
    if (sent->message == WM_CLOSE) g_run->lastText = DialogItemText(sent->hwnd, IDC_PROGRESS_TEXT);
    return CallNextHookEx(NULL, code, wParam, lParam);
}

// Holds the dialog back while it is created: the worker, started first, must wait for it.
LRESULT CALLBACK CopyRun::Hold(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) Sleep(g_run->m_delayMs);
    return CallNextHookEx(NULL, code, wParam, lParam);
}

CopyRun::CopyRun() {
    config.name = "GAME";
    config.title = "ゲーム";
    config.brand = "Maker 表";
    config.dataPath = "DATA";
    config.installFolder = (dir / "Program Files\\Maker 表\\ゲーム ソ").c_str();  // 表, ソ end in 0x5C
    config.types.resize(1);
}

void CopyRun::TearDown() { UnmapDrive('Q'); }

std::string CopyRun::MakeDisc(const std::string& folder, const std::string& label) {
    Put(dir / folder, "disc.pak", MakePak(1, {{"readme", "disc"}, {"GAME_" + label + ".INI", ""}}));
    return dir / folder;
}

void CopyRun::Put(const std::string& disc, const std::string& relative, const std::string& bytes) {
    const std::string path = disc + "\\DATA\\" + relative;
    SHCreateDirectoryExW(NULL, Wide(path.substr(0, path.rfind('\\'))).c_str(), NULL);
    ASSERT_TRUE(WriteBytes(path, bytes)) << path;
}

void CopyRun::Insert(const std::string& disc) { ASSERT_TRUE(MapCdDrive('Q', disc)); }

void CopyRun::ChooseType(const char* unPack, const char* file, int sizeMegabytes) {
    config.types[0].unPack = unPack;
    config.types[0].file = file;
    config.types[0].size = sizeMegabytes;
    config.PrepareCopy();
}

int CopyRun::Run(DWORD dialogDelayMs) {
    positions.clear();
    m_delayMs = dialogDelayMs;
    g_run = this;
    HHOOK watch = SetWindowsHookExA(WH_CALLWNDPROC, Watch, NULL, GetCurrentThreadId());
    HHOOK hold = SetWindowsHookExA(WH_CBT, Hold, NULL, GetCurrentThreadId());
    const int result = RunCopyStep(config);
    UnhookWindowsHookEx(hold);
    UnhookWindowsHookEx(watch);
    return result;
}

std::string CopyRun::Installed(const std::string& relative) const {
    const std::string path = Folder() + "\\" + relative;
    return Exists(path) ? ReadBytes(path) : "(missing)";
}

void CopyRun::ExpectBarSteps(const std::vector<int>& sums) {
    std::vector<int> shown = positions;
    shown.erase(std::unique(shown.begin(), shown.end()), shown.end());
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(sums.front(), shown.front());
    EXPECT_EQ(sums.back(), shown.back());
    for (size_t next = 0, i = 0; i < shown.size(); i++) {
        while (next < sums.size() && sums[next] != shown[i]) next++;
        EXPECT_LT(next, sums.size()) << "the bar showed " << shown[i] << ", not a running sum in order";
    }
}
