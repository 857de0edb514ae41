// The wizard dialogs on the real templates, driven from a second thread while
// the test's thread sits in the dialog's modal loop: the folder step with its
// default, browser and local-drive rule, the type choice, the summary and the
// progress dialog's end.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <string>
#include "install/InstallConfig.h"
#include "install/WizardDialogs.h"
#include "resources/resource.h"
#include "support/BoxAnswerer.h"
#include "support/DialogDriver.h"
#include "support/TempDir.h"
#include "WizardDriver.h"

namespace {

const char kTitle[] = "表示ゲーム インストーラー (Ver.1.00)";  // 表 ends in 0x5C
const char kVersionKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const char kBrowserTitle[] = "フォルダの指定";
const char kLocalDriveOnly[] = "インストール先にはローカルドライブを指定してください。";

// The system's program-files value, changed by a test and put back after it.
class ProgramFilesDir {
public:
    ProgramFilesDir() { m_present = Read(m_saved); }
    ~ProgramFilesDir() {
        if (m_present) Set(m_saved);
        else Remove();
    }
    ProgramFilesDir(const ProgramFilesDir&) = delete;
    ProgramFilesDir& operator=(const ProgramFilesDir&) = delete;

    static bool Read(std::string& value) {
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kVersionKey, 0, KEY_READ, &key)) return false;
        char data[1024] = "";
        DWORD size = sizeof data - 1, type = 0;
        LONG status = RegQueryValueExA(key, "ProgramFilesDir", NULL, &type, (BYTE*)data, &size);
        RegCloseKey(key);
        if (status || type != REG_SZ) return false;
        value = data;
        return true;
    }
    static void Set(const std::string& value) {
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kVersionKey, 0, KEY_SET_VALUE, &key)) return;
        RegSetValueExA(key, "ProgramFilesDir", 0, REG_SZ, (const BYTE*)value.c_str(), (DWORD)value.size() + 1);
        RegCloseKey(key);
    }
    static void Remove() {
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kVersionKey, 0, KEY_SET_VALUE, &key)) return;
        RegDeleteValueA(key, "ProgramFilesDir");
        RegCloseKey(key);
    }

private:
    std::string m_saved;
    bool m_present;
};

class WizardTest : public ::testing::Test {
protected:
    void SetUp() override {
        config.windowTitle = kTitle;
        config.brand = "B";
        config.installPath = "G";
    }
    void AddTypes(int count) {
        for (int i = 1; i <= count; i++) {
            TypeEntry type;
            type.title.Format("タイプ%d", i);
            config.types.push_back(type);
        }
    }
    std::string TypeTitle(int index) const { return config.types[index].title.GetBuffer(); }
    int Run(int templateId, DLGPROC procedure) {
        OCDialog dialog(templateId);
        dialog.SetUp(NULL, procedure, &config);
        return dialog.RunModal();
    }

    InstallConfig config;
    ProgramFilesDir restore;
};

std::string Str(const OCString& s) { return s.GetBuffer() ? s.GetBuffer() : ""; }

// Dialog 104 and the folder step ----------------------------------------

// Runs the folder step; the driver types `typed` into dialog 104 and presses OK.
int ChooseTyped(InstallConfig& config, const char* typed, std::string* shown = nullptr) {
    DialogDriver driver([&] {
        HWND dialog = WaitForWizard(kTitle, IDC_FOLDER_EDIT);
        ASSERT_TRUE(dialog);
        if (shown) *shown = DialogItemText(dialog, IDC_FOLDER_EDIT);
        SetDialogItemText(dialog, IDC_FOLDER_EDIT, typed);
        PressButton(dialog, IDOK);
    });
    return config.ChooseInstallFolder();
}

TEST_F(WizardTest, FolderStartsFromProgramFilesDirAndFormsInstallFolder) {
    std::string system, shown;
    ASSERT_TRUE(ProgramFilesDir::Read(system));
    ASSERT_FALSE(system.empty());
    DialogDriver driver([&] {
        HWND dialog = WaitForWizard(kTitle, IDC_FOLDER_EDIT);
        ASSERT_TRUE(dialog);
        EXPECT_EQ(kTitle, WindowText(dialog));
        shown = DialogItemText(dialog, IDC_FOLDER_EDIT);
        PressButton(dialog, IDOK);
    });
    EXPECT_EQ(1, config.ChooseInstallFolder());
    EXPECT_EQ(system, shown);
    EXPECT_EQ(system, Str(config.targetFolder));
    EXPECT_EQ(system + "\\B\\G", Str(config.installFolder));
}

TEST_F(WizardTest, FolderDefaultFollowsTheRegistryAndIsEmptyWithoutIt) {
    std::string shown;
    ProgramFilesDir::Set("D:\\Apps\\表");
    EXPECT_EQ(1, ChooseTyped(config, "D:\\Apps\\表", &shown));
    EXPECT_EQ("D:\\Apps\\表", shown);
    EXPECT_EQ("D:\\Apps\\表\\B\\G", Str(config.installFolder));  // a trail byte 0x5C is no backslash

    ProgramFilesDir::Remove();
    EXPECT_EQ(1, ChooseTyped(config, "E:\\x", &shown));
    EXPECT_EQ("", shown);
}

TEST_F(WizardTest, FolderDropsOneTrailingBackslash) {
    struct Case {
        const char* typed;
        const char* target;
        const char* install;
    } cases[] = {
        {"C:\\Games\\", "C:\\Games", "C:\\Games\\B\\G"},
        {"C:\\", "C:", "C:\\B\\G"},
        {"C:\\Games", "C:\\Games", "C:\\Games\\B\\G"},
        {"C:\\Games\\\\", "C:\\Games\\", "C:\\Games\\\\B\\G"},
        {"C:\\ゲーム表\\", "C:\\ゲーム表", "C:\\ゲーム表\\B\\G"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        EXPECT_EQ(1, ChooseTyped(config, c.typed));
        EXPECT_EQ(c.target, Str(config.targetFolder));
        EXPECT_EQ(c.install, Str(config.installFolder));
    }
}

TEST_F(WizardTest, FolderRefusesUncAndOffersTheDefaultAgain) {
    ProgramFilesDir::Set("C:\\Program Files");
    BoxAnswerer boxes("確認", {IDOK});
    std::string shownAgain;
    DialogDriver driver([&] {
        HWND first = WaitForWizard(kTitle, IDC_FOLDER_EDIT);
        ASSERT_TRUE(first);
        SetDialogItemText(first, IDC_FOLDER_EDIT, "\\\\server\\share");
        PressButton(first, IDOK);
        ASSERT_TRUE(WaitUntilClosed(first));
        for (int i = 0; i < 500 && boxes.Answered() == 0; i++) Sleep(20);
        HWND second = WaitForWizard(kTitle, IDC_FOLDER_EDIT);
        ASSERT_TRUE(second);
        shownAgain = DialogItemText(second, IDC_FOLDER_EDIT);
        SetDialogItemText(second, IDC_FOLDER_EDIT, "C:\\Local");
        PressButton(second, IDOK);
    });
    EXPECT_EQ(1, config.ChooseInstallFolder());
    ASSERT_EQ(1, boxes.Answered());
    EXPECT_EQ(kLocalDriveOnly, boxes.Texts()[0]);
    EXPECT_EQ("C:\\Program Files", shownAgain);
    EXPECT_EQ("C:\\Local\\B\\G", Str(config.installFolder));
}

TEST_F(WizardTest, FolderCancelEndsTheStepWithoutAnInstallFolder) {
    config.installFolder = "unchanged";
    DialogDriver driver([&] {
        HWND dialog = WaitForWizard(kTitle, IDC_FOLDER_EDIT);
        ASSERT_TRUE(dialog);
        SetDialogItemText(dialog, IDC_FOLDER_EDIT, "C:\\Typed");
        PressButton(dialog, IDCANCEL);
        ASSERT_TRUE(WaitUntilClosed(dialog));
        PressButton(WaitForWizard(kTitle, IDC_FOLDER_EDIT), IDCANCEL);
    });
    EXPECT_EQ(0, config.ChooseInstallFolder());
    EXPECT_EQ("unchanged", Str(config.installFolder));
    EXPECT_EQ(255, Run(IDD_INSTALL_FOLDER, FolderDialogProc));
}

TEST_F(WizardTest, BrowseCancelledPutsTheStoredFolderBack) {
    ProgramFilesDir::Set("C:\\Program Files");
    std::string afterBrowse;
    DialogDriver driver([&] {
        HWND dialog = WaitForWizard(kTitle, IDC_FOLDER_EDIT);
        ASSERT_TRUE(dialog);
        SetDialogItemText(dialog, IDC_FOLDER_EDIT, "E:\\typed");
        ClickDialogButton(dialog, IDC_FOLDER_BROWSE);
        HWND browser = WaitForProcessDialog(kBrowserTitle);
        ASSERT_TRUE(browser);
        ClickDialogButton(browser, IDCANCEL);
        ASSERT_TRUE(WaitUntilClosed(browser));
        Sleep(100);
        afterBrowse = DialogItemText(dialog, IDC_FOLDER_EDIT);
        PressButton(dialog, IDOK);
    });
    EXPECT_EQ(1, config.ChooseInstallFolder());
    EXPECT_EQ("C:\\Program Files", afterBrowse);
    EXPECT_EQ("C:\\Program Files", Str(config.targetFolder));
}

TEST_F(WizardTest, BrowseStartsAtTheStoredFolderAndReturnsThePick) {
    TempDir start;
    ProgramFilesDir::Set(start.Path());
    std::string afterBrowse, status;
    bool okEnabled = false;
    DialogDriver driver([&] {
        HWND dialog = WaitForWizard(kTitle, IDC_FOLDER_EDIT);
        ASSERT_TRUE(dialog);
        SetDialogItemText(dialog, IDC_FOLDER_EDIT, "E:\\typed");
        ClickDialogButton(dialog, IDC_FOLDER_BROWSE);
        HWND browser = WaitForProcessDialog(kBrowserTitle);
        ASSERT_TRUE(browser);
        // The browser selects the start folder once its tree is filled.
        const std::string shown = "|" + start.Path() + "|";
        for (int waited = 0; waited < 5000; waited += 50) {
            status = AllChildTexts(browser);
            if (status.find(shown) != std::string::npos) break;
            Sleep(50);
        }
        okEnabled = IsWindowEnabled(GetDlgItem(browser, IDOK)) != FALSE;
        ClickDialogButton(browser, IDOK);
        ASSERT_TRUE(WaitUntilClosed(browser));
        Sleep(100);
        afterBrowse = DialogItemText(dialog, IDC_FOLDER_EDIT);
        PressButton(dialog, IDCANCEL);
    });
    EXPECT_EQ(0, config.ChooseInstallFolder());
    EXPECT_TRUE(okEnabled);  // a folder with a file-system path may be taken
    EXPECT_NE(std::string::npos, status.find("|" + start.Path() + "|")) << status;  // shown as status
    EXPECT_EQ(0, lstrcmpiA(start.Path().c_str(), afterBrowse.c_str())) << afterBrowse;
}

// Dialog 105 -------------------------------------------------------------

TEST_F(WizardTest, TypeWithOneTypeOffersNoEmptyChoice) {
    AddTypes(1);
    DialogDriver driver([&] {
        HWND dialog = WaitForWizard(kTitle, IDC_TYPE_FIRST);
        ASSERT_TRUE(dialog);
        EXPECT_EQ(kTitle, WindowText(dialog));
        EXPECT_EQ(TypeTitle(0), DialogItemText(dialog, IDC_TYPE_FIRST));
        EXPECT_TRUE(IsChecked(dialog, IDC_TYPE_FIRST));
        EXPECT_FALSE(IsShown(dialog, IDC_TYPE_SECOND));
        EXPECT_FALSE(IsShown(dialog, IDC_TYPE_THIRD));
        // Even a checked radio without a type must not become the choice.
        SendDlgItemMessageA(dialog, IDC_TYPE_FIRST, BM_SETCHECK, BST_UNCHECKED, 0);
        SendDlgItemMessageA(dialog, IDC_TYPE_SECOND, BM_SETCHECK, BST_CHECKED, 0);
        PressButton(dialog, IDOK);
    });
    EXPECT_EQ(0, Run(IDD_INSTALL_TYPE, TypeDialogProc));
    EXPECT_EQ(0, config.selectedType);
}

TEST_F(WizardTest, TypeOffersTheFirstThreeWithTheFirstSelected) {
    AddTypes(4);
    config.selectedType = 2;
    DialogDriver driver([&] {
        HWND dialog = WaitForWizard(kTitle, IDC_TYPE_FIRST);
        ASSERT_TRUE(dialog);
        EXPECT_TRUE(IsChecked(dialog, IDC_TYPE_FIRST));
        EXPECT_FALSE(IsChecked(dialog, IDC_TYPE_SECOND));
        EXPECT_FALSE(IsChecked(dialog, IDC_TYPE_THIRD));
        EXPECT_TRUE(IsShown(dialog, IDC_TYPE_SECOND));
        EXPECT_TRUE(IsShown(dialog, IDC_TYPE_THIRD));
        EXPECT_EQ(TypeTitle(1), DialogItemText(dialog, IDC_TYPE_SECOND));
        EXPECT_EQ(TypeTitle(2), DialogItemText(dialog, IDC_TYPE_THIRD));
        EXPECT_EQ(std::string::npos, AllChildTexts(dialog).find(TypeTitle(3)));
        PressButton(dialog, IDC_TYPE_THIRD);
        PressButton(dialog, IDOK);
    });
    EXPECT_EQ(0, Run(IDD_INSTALL_TYPE, TypeDialogProc));
    EXPECT_EQ(2, config.selectedType);
}

TEST_F(WizardTest, TypeStoresTheSecondOfTwoAndCancelKeepsTheIndex) {
    AddTypes(2);
    DialogDriver driver([&] {
        HWND dialog = WaitForWizard(kTitle, IDC_TYPE_FIRST);
        ASSERT_TRUE(dialog);
        EXPECT_FALSE(IsShown(dialog, IDC_TYPE_THIRD));
        PressButton(dialog, IDC_TYPE_SECOND);
        PressButton(dialog, IDOK);
        ASSERT_TRUE(WaitUntilClosed(dialog));
        HWND again = WaitForWizard(kTitle, IDC_TYPE_FIRST);
        ASSERT_TRUE(again);
        EXPECT_TRUE(IsChecked(again, IDC_TYPE_FIRST));  // the stored choice is not preselected
        PressButton(again, IDC_TYPE_FIRST);
        PressButton(again, IDCANCEL);
    });
    EXPECT_EQ(0, Run(IDD_INSTALL_TYPE, TypeDialogProc));
    EXPECT_EQ(1, config.selectedType);
    EXPECT_EQ(255, Run(IDD_INSTALL_TYPE, TypeDialogProc));
    EXPECT_EQ(1, config.selectedType);
}

// Dialog 106 -------------------------------------------------------------

TEST_F(WizardTest, ConfirmShowsFolderAndTypeInFourLines) {
    AddTypes(2);
    config.types[1].title = "T";
    config.selectedType = 1;
    config.installFolder = "C:\\P\\B\\G";
    std::string summary;
    DialogDriver driver([&] {
        HWND dialog = WaitForWizard(kTitle, IDC_CONFIRM_SUMMARY);
        ASSERT_TRUE(dialog);
        EXPECT_EQ(kTitle, WindowText(dialog));
        summary = DialogItemText(dialog, IDC_CONFIRM_SUMMARY);
        PressButton(dialog, IDOK);
        ASSERT_TRUE(WaitUntilClosed(dialog));
        PressButton(WaitForWizard(kTitle, IDC_CONFIRM_SUMMARY), IDCANCEL);
    });
    EXPECT_EQ(0, Run(IDD_INSTALL_CONFIRM, ConfirmDialogProc));
    EXPECT_EQ("インストール先：\r\nC:\\P\\B\\G\r\nインストールタイプ：T\r\n", summary);
    EXPECT_EQ(255, Run(IDD_INSTALL_CONFIRM, ConfirmDialogProc));
}

// Dialog 107 -------------------------------------------------------------

TEST_F(WizardTest, ProgressEndsOnlyOnTheWorkersClose) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    config.progress.SetTemplate(IDD_INSTALL_PROGRESS);
    config.progress.SetUp(NULL, ProgressDialogProc, &config);
    bool survivedUserClose = false;
    HWND seen = NULL;
    DialogDriver driver([&] {
        HWND dialog = WaitForWizard(kTitle, IDC_PROGRESS_BAR);
        ASSERT_TRUE(dialog);
        seen = config.progress.GetWindow();
        EXPECT_EQ(kTitle, WindowText(dialog));
        PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);  // what Alt+F4 does
        survivedUserClose = !WaitUntilClosed(dialog, 500);
        SendMessageA(dialog, WM_CLOSE, 0, 0);               // what the worker does
    });
    EXPECT_EQ(0, config.progress.RunModal());
    EXPECT_TRUE(survivedUserClose);
    EXPECT_NE(nullptr, seen);  // the worker finds the window through the dialog object
}

}  // namespace
