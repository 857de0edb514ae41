// tour.exe: the demo's scripted walk through the installer on the sample
// discs. It maps disc 1 as CD-ROM drive Q:, runs setup.exe from it, clicks
// through install (swapping to disc 2 at the prompt), starts the game, runs
// setup.exe again and uninstalls. Before each step it asks the demo script
// for a screenshot: it writes the picture's name to <shots>\request and waits
// until the script has taken the picture and deleted the file.
//
//   tour.exe DISC1 DISC2 SHOTS     (Windows paths, e.g. Z:\...\disc1)
//   tour.exe --insert DISC         maps DISC as Q: and ends (a manual disc swap)
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

// Lets the window paint, then waits for the script to take the picture.
void Shot(const char* name) {
    Sleep(700);
    const std::string request = g_shots + "\\request";
    Need(WriteBytes(request + ".tmp", std::string(name) + "\n"), "cannot write " + request);
    MoveFileExA((request + ".tmp").c_str(), request.c_str(), MOVEFILE_REPLACE_EXISTING);
    for (int i = 0; i < 300 && Exists(request); i++) Sleep(100);
    printf("tour:   screenshot %s\n", name);
}

void Insert(const std::string& disc) { Need(MapCdDrive('Q', disc), "cannot map " + disc + " as drive Q:"); }

void StartSetup(ProgramRun& setup, const char* what) {
    printf("tour: %s\n", what);
    Need(setup.Start("Q:\\setup.exe", "Q:\\"), "cannot start setup.exe");
}

// Pictures a box of the installer (caption `caption`), then presses `button`.
void Answer(const ProgramRun& setup, const char* caption, const char* shot, int button) {
    HWND box = Need(setup.WaitForBox(caption, 60000), std::string("no box: ") + caption);
    printf("tour:   box \"%s\"\n", BoxText(box).c_str());
    Shot(shot);
    ClickDialogButton(box, button);
    WaitUntilGone(box);
}

// Pictures the dialog with `control`, then presses `button`.
HWND Step(const ProgramRun& setup, int control, const char* shot, int button) {
    HWND dialog = Need(setup.WaitForStep(control, 30000), std::string("no ") + shot + "\n" + setup.Describe());
    Shot(shot);
    if (button) ClickDialogButton(dialog, button);
    return dialog;
}

void Install(const std::string& disc2) {
    ProgramRun setup;
    StartSetup(setup, "setup.exe from disc 1, INSTALL");
    Step(setup, IDC_MENU_INSTALL, "01-menu", IDC_MENU_INSTALL);
    Step(setup, IDC_FOLDER_EDIT, "02-folder-dialog", IDOK);
    Step(setup, IDC_TYPE_FIRST, "03-type-dialog", IDOK);
    Step(setup, IDC_CONFIRM_SUMMARY, "04-confirmation", IDOK);
    // Disc 1 is done when the prompt for disc 2 appears: the progress dialog
    // is pictured without the box, then with it; then the disc is swapped.
    HWND box = Need(setup.WaitForBox("Discを入れ替えてください", 60000), "no disc prompt");
    ShowWindow(box, SW_HIDE);
    Step(setup, IDC_PROGRESS_BAR, "05-progress", 0);
    ShowWindow(box, SW_SHOWNA);
    Shot("06-disc-prompt");
    printf("tour: swapping discs: disc 2 into Q:\n");
    Insert(disc2);
    ClickDialogButton(box, IDOK);
    Answer(setup, "install", "07-directx-question", IDNO);
    Answer(setup, "確認", "08-completion", IDOK);
    printf("tour: installed; GAME\n");
    Step(setup, IDC_MENU_GAME, "09-menu-installed", IDC_MENU_GAME);
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
    StartSetup(setup, "disc 1 back into Q:, setup.exe, UNINSTALL");
    ClickDialogButton(Need(setup.WaitForStep(IDC_MENU_UNINSTALL), "no menu"), IDC_MENU_UNINSTALL);
    Answer(setup, "uninstall", "11-uninstall-question", IDYES);
    Answer(setup, "確認", "12-uninstall-done", IDOK);
    Need(setup.Wait() == 0, "setup.exe did not end with 0 after UNINSTALL");
    Need(!Exists("C:\\Program Files\\SAMPLESOFT\\Hoshizora"), "the install folder is still there");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--insert") return MapCdDrive('Q', argv[2]) ? 0 : 1;
    if (argc != 4) {
        fprintf(stderr, "usage: tour.exe DISC1 DISC2 SHOTS | tour.exe --insert DISC\n");
        return 2;
    }
    setvbuf(stdout, NULL, _IONBF, 0);
    g_shots = argv[3];
    int result = 0;
    try {
        Insert(argv[1]);
        Install(argv[2]);
        Uninstall(argv[1]);
        printf("tour: done\n");
    } catch (const std::exception& error) {
        fprintf(stderr, "tour: FAILED: %s\n", error.what());
        result = 1;
    }
    UnmapDrive('Q');
    return result;
}
