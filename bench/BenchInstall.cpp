// bench_install: times the installer's copy step on a prepared disc, the way
// the install sequence runs it after OK in the confirmation dialog: the copy
// worker on its thread behind the real progress dialog 107, until the worker
// closes the dialog. Also times the marker lookup through the archives.
//
//   bench_install install DISC INSTALLDIR UNPACK FILES SIZE_MB
//   bench_install lookup DISC MARKER COUNT
//   bench_install ui COUNT      (per file: the text naming it, one bar step)
//   bench_install files DISC INSTALLDIR ENTRY   (the file layer alone, no dialog)
//
// DISC is a Windows folder holding the data folder DATA; it is mapped as
// CD-ROM drive Q: for the run. Prints one line of key=value figures.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>
#include <cstdio>
#include <cstdlib>
#include "install/InstallConfig.h"
#include "archive/OCFile.h"
#include "base/OCException.h"
#include "install/CopyWorker.h"
#include "install/OCThread.h"
#include "install/WizardDialogs.h"
#include "resources/resource.h"
#include "support/CdDrive.h"

namespace {

const char kDrive = 'Q';

double NowMs() {
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return count.QuadPart * 1000.0 / frequency.QuadPart;
}

PROCESS_MEMORY_COUNTERS Memory() {
    PROCESS_MEMORY_COUNTERS counters;
    ZeroMemory(&counters, sizeof counters);
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters;
}

// Unmaps the disc again however the run ends.
class MappedDisc {
public:
    explicit MappedDisc(const char* folder) : m_ok(MapCdDrive(kDrive, folder)) {}
    ~MappedDisc() { if (m_ok) UnmapDrive(kDrive); }
    MappedDisc(const MappedDisc&) = delete;
    MappedDisc& operator=(const MappedDisc&) = delete;
    bool Ok() const { return m_ok; }

private:
    bool m_ok;
};

INT_PTR CALLBACK ShownOnly(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

// By OK in the confirmation dialog the program has shown dialogs already:
// the controls' code and the fonts are loaded. So they are here, untimed.
void ShowConfirmationOnce() {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    const HWND dialog = CreateDialogParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDD_INSTALL_CONFIRM),
                                           NULL, ShownOnly, 0);
    if (!dialog) return;
    ShowWindow(dialog, SW_SHOW);
    UpdateWindow(dialog);
    MSG message;
    while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    DestroyWindow(dialog);
}

int Install(char** args) {
    MappedDisc disc(args[0]);
    if (!disc.Ok()) return std::fprintf(stderr, "cannot map %s\n", args[0]), 1;
    InstallConfig config;
    config.name = "BENCH";
    config.title = "Bench";
    config.dataPath = "DATA";
    config.installFolder = args[1];
    config.types.resize(1);
    config.types[0].title = "full";
    config.types[0].unPack = args[2];
    config.types[0].file = args[3];
    config.types[0].size = std::atoi(args[4]);
    config.selectedType = 0;
    if (!config.PrepareCopy()) return std::fprintf(stderr, "not enough space\n"), 1;
    ShowConfirmationOnce();
    const PROCESS_MEMORY_COUNTERS before = Memory();
    const double start = NowMs();
    const int result = RunCopyStep(config);
    const double elapsed = NowMs() - start;
    const PROCESS_MEMORY_COUNTERS after = Memory();
    std::printf("ms=%.1f result=%d base_kib=%lu peak_kib=%lu\n", elapsed, result,
                (unsigned long)(before.WorkingSetSize / 1024),
                (unsigned long)(after.PeakWorkingSetSize / 1024));
    return result == 1 ? 0 : 1;
}

// The marker lookup of the copy worker: a quiet open by relative name, which
// falls back to the archives of the current folder and the disc's data folder.
int Lookup(char** args) {
    MappedDisc disc(args[0]);
    if (!disc.Ok()) return std::fprintf(stderr, "cannot map %s\n", args[0]), 1;
    char dataFolder[] = "Q:\\DATA";
    AddSearchDirectory(dataFolder);
    const int count = std::atoi(args[2]);
    g_quietOpen = 1;
    int found = 0;
    const double start = NowMs();
    for (int i = 0; i < count; i++) {
        OCFile marker;
        found += marker.Open(args[1], kOpenRead);
    }
    const double elapsed = NowMs() - start;
    g_quietOpen = 0;
    std::printf("ms=%.1f per_lookup_ms=%.3f found=%d\n", elapsed, count ? elapsed / count : 0.0, found);
    return found == count ? 0 : 1;
}

// The copy worker's file loop without a dialog to report to: what the file
// layer and the system cost per file.
int Files(char** args) {
    MappedDisc disc(args[0]);
    if (!disc.Ok()) return std::fprintf(stderr, "cannot map %s\n", args[0]), 1;
    InstallConfig config;
    const double start = NowMs();
    config.CopyEntry("Q:\\DATA", args[1], args[2]);
    std::printf("ms=%.1f\n", NowMs() - start);
    return 0;
}

// The dialog traffic of one copied file, measured alone from a second thread
// while dialog 107 runs: the text naming the file and one bar step.
struct UiRun {
    InstallConfig* config;
    int count;
    double textMs, barMs;
};

unsigned __stdcall UiThread(void* argument) {
    UiRun* run = (UiRun*)argument;
    const HWND dialog = WaitForDialogWindow(run->config->progress, NULL);
    SendDlgItemMessageA(dialog, IDC_PROGRESS_BAR, PBM_SETRANGE32, 0, run->count * 4);
    char text[MAX_PATH];
    double start = NowMs();
    for (int i = 0; i < run->count; i++) {
        wsprintfA(text, "C:\\Games\\Maker\\Bench\\small\\d%03d\\s%05d.dat", i / 100, i);
        SetDlgItemTextA(dialog, IDC_PROGRESS_TEXT, text);
    }
    run->textMs = NowMs() - start;
    start = NowMs();
    for (int i = 0; i < run->count; i++) AdvanceProgress(4096, (DWORD_PTR)&run->config->progress);
    run->barMs = NowMs() - start;
    SendMessageA(dialog, WM_CLOSE, 0, 0);
    return 0;
}

int Ui(char** args) {
    InstallConfig config;
    UiRun run = {&config, std::atoi(args[0]), 0, 0};
    ShowConfirmationOnce();
    config.progress.SetTemplate(IDD_INSTALL_PROGRESS);
    config.progress.SetUp(NULL, ProgressDialogProc, &config);
    OCThread worker;
    worker.Start(UiThread, &run, 1);
    config.progress.RunModal();
    worker.Close();
    std::printf("text_us=%.1f bar_us=%.1f\n", run.textMs * 1000 / run.count, run.barMs * 1000 / run.count);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        if (argc == 7 && lstrcmpA(argv[1], "install") == 0) return Install(argv + 2);
        if (argc == 5 && lstrcmpA(argv[1], "lookup") == 0) return Lookup(argv + 2);
        if (argc == 3 && lstrcmpA(argv[1], "ui") == 0) return Ui(argv + 2);
        if (argc == 5 && lstrcmpA(argv[1], "files") == 0) return Files(argv + 2);
    } catch (const OCErrorException& error) {
        std::fprintf(stderr, "error 0x%lx: %s\n", (unsigned long)error.code,
                     error.message.GetBuffer() ? error.message.GetBuffer() : "");
        return 1;
    }
    std::fprintf(stderr,
                 "usage: bench_install install DISC INSTALLDIR UNPACK FILES SIZE_MB\n"
                 "       bench_install lookup DISC MARKER COUNT\n"
                 "       bench_install ui COUNT\n"
                 "       bench_install files DISC INSTALLDIR ENTRY\n");
    return 2;
}
