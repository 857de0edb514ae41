// tour.exe: the demo's scripted walk through the installer on the sample
// discs. It maps disc 1 as CD-ROM drive Q:, runs setup.exe from it, clicks
// through install (swapping to disc 2 at the prompt), starts the game, runs
// setup.exe again and uninstalls. Before each step it asks the demo script
// for a screenshot: it writes the picture's name to <shots>\request and waits
// until the script has taken the picture and deleted the file.
//
//   tour.exe DISC1 DISC2 SHOTS     (Windows paths, e.g. Z:\...\disc1)
//   tour.exe --insert DISC         maps DISC as Q: and ends (a manual disc swap)
#include <windows.h>
#include <cstdio>
#include <stdexcept>
#include <string>
#include "app/SetupRunner.h"
#include "resources/resource.h"
#include "support/CdDrive.h"

namespace {

const char kDrive = 'Q';
const char kGameWindowClass[] = "SampleGameWindow";
const char kInstallFolder[] = "C:\\Program Files\\SAMPLESOFT\\Hoshizora";
// Captions of the installer's message boxes (Shift-JIS, as the program shows them).
const char kCaptionInsertDisc[] = "Discを入れ替えてください";
const char kCaptionInstall[] = "install";
const char kCaptionConfirm[] = "確認";
const char kCaptionUninstall[] = "uninstall";

struct Paths {
    std::string disc1, disc2, shots;
};

void Step(const char* text) { printf("tour: %s\n", text); fflush(stdout); }

template <class T>
T Need(T value, const std::string& what) {
    if (!value) throw std::runtime_error(what);
    return value;
}

// Lets the window paint, then waits for the script to take the picture.
void Shot(const Paths& paths, const char* name) {
    Sleep(700);
    const std::string request = paths.shots + "\\request";
    const std::string temporary = request + ".tmp";
    FILE* file = fopen(temporary.c_str(), "wb");
    if (!file) throw std::runtime_error("cannot write " + temporary);
    fprintf(file, "%s\n", name);
    fclose(file);
    MoveFileExA(temporary.c_str(), request.c_str(), MOVEFILE_REPLACE_EXISTING);
    for (int i = 0; i < 300 && GetFileAttributesA(request.c_str()) != INVALID_FILE_ATTRIBUTES; i++)
        Sleep(100);
    printf("tour:   screenshot %s\n", name);
}

void InsertDisc(const std::string& folder) {
    Need(MapCdDrive(kDrive, folder), "cannot map " + folder + " as drive Q:");
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Answers a message box of the installer with `button` after its picture.
void AnswerBox(const SetupRun& setup, const Paths& paths, const char* caption, const char* shot, int button) {
    HWND box = Need(setup.WaitForDialog(caption, true, 30000), std::string("no box: ") + caption);
    printf("tour:   box \"%s\"\n", BoxText(box).c_str());
    Shot(paths, shot);
    PressButton(box, button);
}

HWND WaitForStep(const SetupRun& setup, int control, const char* what) {
    return Need(setup.WaitForDialogWithControl(control, 30000), std::string("no ") + what + ": " + setup.Describe());
}

void ClickThroughWizard(const SetupRun& setup, const Paths& paths) {
    PressButton(Need(setup.WaitForMenu(), "no menu"), IDC_MENU_INSTALL);
    HWND folder = WaitForStep(setup, IDC_FOLDER_EDIT, "folder dialog");
    Shot(paths, "02-folder-dialog");
    PressButton(folder, IDOK);
    HWND type = WaitForStep(setup, IDC_TYPE_FIRST, "type dialog");
    Shot(paths, "03-type-dialog");
    PressButton(type, IDOK);
    HWND confirm = WaitForStep(setup, IDC_CONFIRM_SUMMARY, "confirmation");
    Shot(paths, "04-confirmation");
    PressButton(confirm, IDOK);
}

// Disc 1 is done when the prompt for disc 2 appears: the progress dialog is
// pictured without the box, then with it; then the disc is swapped.
void SwapDiscs(const SetupRun& setup, const Paths& paths) {
    WaitForStep(setup, IDC_PROGRESS_BAR, "progress dialog");
    HWND box = Need(setup.WaitForDialog(kCaptionInsertDisc, true, 60000), "no disc prompt");
    printf("tour:   box \"%s\"\n", BoxText(box).c_str());
    ShowWindow(box, SW_HIDE);
    Shot(paths, "05-progress");
    ShowWindow(box, SW_SHOWNA);
    Shot(paths, "06-disc-prompt");
    Step("swapping discs: disc 2 into Q:");
    InsertDisc(paths.disc2);
    PressButton(box, IDOK);
}

void Install(const Paths& paths) {
    Step("setup.exe from disc 1, INSTALL");
    SetupRun setup;
    Need(setup.Start(std::string(1, kDrive) + ":\\setup.exe", std::string(1, kDrive) + ":\\"), "cannot start setup.exe");
    Need(setup.WaitForMenu(), "no menu");
    Shot(paths, "01-menu");
    ClickThroughWizard(setup, paths);
    SwapDiscs(setup, paths);
    AnswerBox(setup, paths, kCaptionInstall, "07-directx-question", IDNO);
    AnswerBox(setup, paths, kCaptionConfirm, "08-completion", IDOK);
    Step("installed; GAME");
    HWND menu = Need(setup.WaitForMenu(), "no menu after the install");
    Shot(paths, "09-menu-installed");
    PressButton(menu, IDC_MENU_GAME);
    Need(setup.Wait(15000) == 1, "setup.exe did not end with 1 after GAME");
    HWND game = NULL;
    for (int i = 0; i < 150 && !(game = FindWindowA(kGameWindowClass, NULL)); i++) Sleep(100);
    Need(game, "the game's window did not appear");
    Shot(paths, "10-game-window");
    PostMessageA(game, WM_CLOSE, 0, 0);
    Need(Exists(std::string(kInstallFolder) + "\\game.log"), "the game wrote no game.log");
}

void Uninstall(const Paths& paths) {
    Step("disc 1 back into Q:, setup.exe, UNINSTALL");
    InsertDisc(paths.disc1);
    SetupRun setup;
    Need(setup.Start(std::string(1, kDrive) + ":\\setup.exe", std::string(1, kDrive) + ":\\"), "cannot start setup.exe");
    PressButton(Need(setup.WaitForMenu(), "no menu"), IDC_MENU_UNINSTALL);
    AnswerBox(setup, paths, kCaptionUninstall, "11-uninstall-question", IDYES);
    AnswerBox(setup, paths, kCaptionConfirm, "12-uninstall-done", IDOK);
    Need(setup.Wait(15000) == 0, "setup.exe did not end with 0 after UNINSTALL");
    Need(!Exists(kInstallFolder), "the install folder is still there");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--insert") return MapCdDrive(kDrive, argv[2]) ? 0 : 1;
    if (argc != 4) {
        fprintf(stderr, "usage: tour.exe DISC1 DISC2 SHOTS | tour.exe --insert DISC\n");
        return 2;
    }
    const Paths paths = {argv[1], argv[2], argv[3]};
    int result = 0;
    try {
        InsertDisc(paths.disc1);
        Install(paths);
        Uninstall(paths);
        Step("done");
    } catch (const std::exception& error) {
        fprintf(stderr, "tour: FAILED: %s\n", error.what());
        result = 1;
    }
    UnmapDrive(kDrive);
    return result;
}
