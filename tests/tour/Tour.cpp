// tour.exe: the demo's walk through the installer (disc 1 as Q:, install with the
// disc swap, the game, uninstall). For each picture it writes the name to
// <shots>\request and waits until the demo script has taken it and deleted the file.
//   tour.exe DISC1 DISC2 SHOTS | tour.exe --insert DISC (maps DISC as Q:, a manual swap)
#include <cstdio>
#include <stdexcept>
#include "resources/resource.h"
#include "support/CdDrive.h"
#include "support/Files.h"
#include "support/Process.h"

namespace {

std::string g_shots;

template <class T>
T Need(T value, const std::string& what) {
    if (!value) throw std::runtime_error(what);
    return value;
}

void Shot(const char* name) {
    Sleep(700);  // lets the window paint
    const std::string request = g_shots + "\\request";
    Need(WriteBytes(request + ".tmp", std::string(name) + "\n"), "cannot write " + request);
    MoveFileExA((request + ".tmp").c_str(), request.c_str(), MOVEFILE_REPLACE_EXISTING);
    for (int i = 0; i < 300 && Exists(request); i++) Sleep(100);
    printf("tour:   screenshot %s\n", name);
}

void Insert(const std::string& disc) { Need(MapCdDrive('Q', disc), "cannot map " + disc + " as drive Q:"); }

// Pictures the box (or the dialog with control `control`), then presses `button`.
void Show(const ProgramRun& setup, const char* box, int control, const char* shot, int button) {
    HWND window = Need(box ? setup.WaitForBox(box, 60000) : setup.WaitForStep(control, 30000),
                       std::string("no ") + shot + "\n" + setup.Describe());
    if (box) printf("tour:   box \"%s\"\n", BoxText(window).c_str());
    Shot(shot);
    if (button) ClickDialogButton(window, button);
    if (box) WaitUntilGone(window);
}

void Install(const std::string& disc2) {
    ProgramRun setup;
    printf("tour: setup.exe from disc 1, INSTALL\n");
    Need(setup.Start("Q:\\setup.exe", "Q:\\"), "cannot start setup.exe");
    Show(setup, NULL, IDC_MENU_INSTALL, "01-menu", IDC_MENU_INSTALL);
    Show(setup, NULL, IDC_FOLDER_EDIT, "02-folder-dialog", IDOK);
    Show(setup, NULL, IDC_TYPE_FIRST, "03-type-dialog", IDOK);
    Show(setup, NULL, IDC_CONFIRM_SUMMARY, "04-confirmation", IDOK);
    // Disc 1 is done at the prompt for disc 2: the progress pictured without the box, then with it.
    HWND box = Need(setup.WaitForBox("Discを入れ替えてください", 60000), "no disc prompt");
    Sleep(500);  // an opening box may show itself once more
    ShowWindow(box, SW_HIDE);
    Show(setup, NULL, IDC_PROGRESS_BAR, "05-progress", 0);
    ShowWindow(box, SW_SHOWNA);
    Shot("06-disc-prompt");
    printf("tour: swapping discs: disc 2 into Q:\n");
    Insert(disc2);
    ClickDialogButton(box, IDOK);
    Show(setup, "install", 0, "07-directx-question", IDNO);
    Show(setup, "確認", 0, "08-completion", IDOK);
    printf("tour: installed; GAME\n");
    Show(setup, NULL, IDC_MENU_GAME, "09-menu-installed", IDC_MENU_GAME);
    Need(setup.Wait() == 1, "setup.exe did not end with 1 after GAME");
    HWND game = NULL;
    for (int i = 0; i < 150 && !(game = FindWindowA("SampleGameWindow", NULL)); i++) Sleep(100);
    Need(game, "the game's window did not appear");
    Shot("10-game-window");
    PostMessageA(game, WM_CLOSE, 0, 0);
}

void Uninstall(const std::string& disc1) {
    Insert(disc1);
    ProgramRun setup;
    printf("tour: disc 1 back into Q:, setup.exe, UNINSTALL\n");
    Need(setup.Start("Q:\\setup.exe", "Q:\\"), "cannot start setup.exe");
    ClickDialogButton(Need(setup.WaitForStep(IDC_MENU_UNINSTALL), "no menu"), IDC_MENU_UNINSTALL);
    Show(setup, "uninstall", 0, "11-uninstall-question", IDYES);
    Show(setup, "確認", 0, "12-uninstall-done", IDOK);
    Need(setup.Wait() == 0, "setup.exe did not end with 0 after UNINSTALL");
    Need(!Exists("C:\\Program Files\\SAMPLESOFT\\Hoshizora"), "the install folder is still there");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--insert") return MapCdDrive('Q', argv[2]) ? 0 : 1;
    if (argc != 4) return fprintf(stderr, "usage: tour.exe DISC1 DISC2 SHOTS | tour.exe --insert DISC\n"), 2;
    setvbuf(stdout, NULL, _IONBF, 0);
    g_shots = argv[3];
    int result = 1;
    try {
        Insert(argv[1]);
        Install(argv[2]);
        Uninstall(argv[1]);
        printf("tour: done\n");
        result = 0;
    } catch (const std::exception& error) {
        fprintf(stderr, "tour: FAILED: %s\n", error.what());
    }
    UnmapDrive('Q');
    return result;
}
