// The wizard as the user meets it, driven from a second thread while the
// test's thread sits in the dialog's modal loop: the folder step with its
// default, browser and refusals, the type choice, the summary. (That only the
// worker ends the progress dialog is checked with the copy step.)
#include <gtest/gtest.h>
#include <windows.h>
#include <shlwapi.h>
#include <string>
#include "base/Messages.h"
#include "install/InstallConfig.h"
#include "install/WizardDialogs.h"
#include "resources/resource.h"
#include "support/BoxAnswerer.h"
#include "support/DialogDriver.h"
#include "support/Registry.h"

namespace {

const char kTitle[] = "表示ゲーム インストーラー (Ver.1.00)";  // 表 ends in 0x5C
const char kVersionKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

HWND Step(int control) {  // the wizard dialog that has `control`
    HWND dialog = WaitForDialog({GetCurrentProcessId(), kTitle, control, 0});
    EXPECT_TRUE(dialog) << "no wizard step with control " << control;
    return dialog;
}

bool Checked(HWND dialog, int control) { return SendDlgItemMessageA(dialog, control, BM_GETCHECK, 0, 0) == BST_CHECKED; }

std::string Str(const OCString& s) { return s.GetBuffer() ? s.GetBuffer() : ""; }

class Wizard : public ::testing::Test {
protected:
    void SetUp() override {
        saved = RegString(HKEY_LOCAL_MACHINE, kVersionKey, "ProgramFilesDir");
        config.windowTitle = kTitle;
        config.brand = "B";
        config.installPath = "G";
    }
    void TearDown() override { SetDefault(saved[0] == '(' ? NULL : saved.c_str()); }
    void SetDefault(const char* folder) {  // the system's program-files value; NULL removes it
        if (folder) SHSetValueA(HKEY_LOCAL_MACHINE, kVersionKey, "ProgramFilesDir", REG_SZ, folder, lstrlenA(folder) + 1);
        else SHDeleteValueA(HKEY_LOCAL_MACHINE, kVersionKey, "ProgramFilesDir");
    }
    void AddTypes(int count) {
        for (int i = 1; i <= count; i++) {
            config.types.emplace_back();
            config.types.back().title.Format("タイプ%d", i);
        }
    }
    int Run(int templateId, DLGPROC procedure) {
        OCDialog dialog(templateId);
        dialog.SetUp(NULL, procedure, &config);
        return dialog.RunModal();
    }
    std::string saved;
    InstallConfig config;
};

TEST_F(Wizard, TheFolderStepStartsAtProgramFilesDirAndFormsTheInstallFolder) {
    const struct {
        const char *preset, *typed, *shown, *target, *install;
    } cases[] = {
        {"D:\\Apps\\表", "D:\\Apps\\表", "D:\\Apps\\表", "D:\\Apps\\表", "D:\\Apps\\表\\B\\G"},
        {NULL, "C:\\Games\\", "", "C:\\Games", "C:\\Games\\B\\G"},
        {"X:\\", "C:\\", "X:\\", "C:", "C:\\B\\G"},
        {"X:\\", "C:\\Games\\\\", "X:\\", "C:\\Games\\", "C:\\Games\\\\B\\G"},
        {"X:\\", "C:\\ゲーム表\\", "X:\\", "C:\\ゲーム表", "C:\\ゲーム表\\B\\G"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        SetDefault(c.preset);
        std::string shown;
        DialogDriver driver([&] {
            HWND dialog = Step(IDC_FOLDER_EDIT);
            shown = DialogItemText(dialog, IDC_FOLDER_EDIT);
            SetDialogItemText(dialog, IDC_FOLDER_EDIT, c.typed);
            SendButtonClick(dialog, IDOK);
        });
        EXPECT_EQ(1, config.ChooseInstallFolder());
        EXPECT_EQ(c.shown, shown);
        EXPECT_EQ(c.target, Str(config.targetFolder));
        EXPECT_EQ(c.install, Str(config.installFolder));
    }
}

TEST_F(Wizard, AFolderThatCannotServeIsRefusedTheDefaultOfferedAgainAndCancelEndsTheStep) {
    SetDefault("C:\\Program Files");
    const std::string tooLong = "C:\\" + std::string(240, 'L');
    BoxAnswerer refusals(kCaptionConfirm, {IDOK, IDOK});
    std::vector<std::string> offered;
    DialogDriver driver([&] {
        const std::pair<const char*, int> steps[] = {{"\\\\server\\share", IDOK}, {tooLong.c_str(), IDOK}, {"C:\\", IDCANCEL}};
        for (const auto& step : steps) {
            HWND dialog = Step(IDC_FOLDER_EDIT);
            offered.push_back(DialogItemText(dialog, IDC_FOLDER_EDIT));
            SetDialogItemText(dialog, IDC_FOLDER_EDIT, step.first);
            SendButtonClick(dialog, step.second);
            WaitUntilGone(dialog);
        }
    });
    EXPECT_EQ(0, config.ChooseInstallFolder());
    EXPECT_EQ((std::vector<std::string>{kMsgLocalDriveOnly, kMsgPathTooLong}), refusals.Texts());
    EXPECT_EQ(std::vector<std::string>(3, "C:\\Program Files"), offered);
}

// The browser starts at the stored folder, not at the edit's text: cancelled,
// it puts that folder back. (Wine's own browser takes a selection only now and
// then when driven from outside, so the pick itself is not checked here.)
TEST_F(Wizard, ACancelledBrowsePutsTheStoredFolderBack) {
    SetDefault("C:\\Program Files");
    std::string afterBrowse;
    DialogDriver driver([&] {
        HWND dialog = Step(IDC_FOLDER_EDIT);
        SetDialogItemText(dialog, IDC_FOLDER_EDIT, "E:\\typed");
        ClickDialogButton(dialog, IDC_FOLDER_BROWSE);
        HWND browser = WaitForProcessDialog(kCaptionFolderBrowser);  // the title the installer gives it
        ClickDialogButton(browser, IDCANCEL);
        WaitUntilGone(browser);
        Sleep(100);
        afterBrowse = DialogItemText(dialog, IDC_FOLDER_EDIT);
        SendButtonClick(dialog, IDOK);
    });
    EXPECT_EQ(1, config.ChooseInstallFolder());
    EXPECT_EQ("C:\\Program Files", afterBrowse);
    EXPECT_EQ("C:\\Program Files\\B\\G", Str(config.installFolder));
}

TEST_F(Wizard, TheTypeStepOffersUpToThreeTypesTheFirstSelected) {
    const struct {
        int types, press, result, chosen;
        const char* offered;
    } cases[] = {
        {0, IDOK, 0, 5, ""},  // nothing to choose: the index stays
        {1, IDOK, 0, 0, "*タイプ1|"},
        {2, IDC_TYPE_SECOND, 0, 1, "*タイプ1|タイプ2|"},
        {4, IDC_TYPE_THIRD, 0, 2, "*タイプ1|タイプ2|タイプ3|"},
        {3, IDCANCEL, 255, 5, "*タイプ1|タイプ2|タイプ3|"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.types);
        config.types.clear();
        AddTypes(c.types);
        config.selectedType = 5;
        std::string offered;  // the radios shown, "*" for the checked one
        DialogDriver driver([&] {
            HWND dialog = Step(IDC_TYPE_FIRST);
            for (int id : {IDC_TYPE_FIRST, IDC_TYPE_SECOND, IDC_TYPE_THIRD})
                if (IsWindowVisible(GetDlgItem(dialog, id)))
                    offered += (Checked(dialog, id) ? "*" : "") + DialogItemText(dialog, id) + "|";
            SendButtonClick(dialog, c.press);
            if (c.press >= IDC_TYPE_FIRST) SendButtonClick(dialog, IDOK);
        });
        EXPECT_EQ(c.result, Run(IDD_INSTALL_TYPE, TypeDialogProc));
        EXPECT_EQ(c.chosen, config.selectedType);
        EXPECT_EQ(c.offered, offered);
    }
}

TEST_F(Wizard, TheSummaryShowsFolderAndTypeInFourLines) {
    AddTypes(2);
    config.types[1].title = "T";
    config.selectedType = 1;
    config.installFolder = "C:\\P\\B\\G";
    std::string summary;
    DialogDriver driver([&] {
        HWND dialog = Step(IDC_CONFIRM_SUMMARY);
        summary = DialogItemText(dialog, IDC_CONFIRM_SUMMARY);
        SendButtonClick(dialog, IDOK);
        WaitUntilGone(dialog);
        SendButtonClick(Step(IDC_CONFIRM_SUMMARY), IDCANCEL);
    });
    EXPECT_EQ(0, Run(IDD_INSTALL_CONFIRM, ConfirmDialogProc));
    EXPECT_EQ("インストール先：\r\nC:\\P\\B\\G\r\nインストールタイプ：T\r\n", summary);
    EXPECT_EQ(255, Run(IDD_INSTALL_CONFIRM, ConfirmDialogProc));
}

TEST_F(Wizard, AnInstallWithoutAnyTypeStopsAtTheTypeStep) {
    BoxAnswerer stopped(kCaptionConfirm, {IDOK});
    DialogDriver driver([&] {
        HWND folder = Step(IDC_FOLDER_EDIT);
        SetDialogItemText(folder, IDC_FOLDER_EDIT, "C:\\Games");
        SendButtonClick(folder, IDOK);
        SendButtonClick(Step(IDC_TYPE_FIRST), IDOK);
    });
    EXPECT_EQ(0, config.RunInstall());
    EXPECT_EQ(std::vector<std::string>{kMsgInstallStopped}, stopped.Texts());
}

}  // namespace
