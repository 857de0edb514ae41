// Install folders with spaces, with Shift-JIS names whose trail byte is a
// backslash (表 = 95 5C, ソ = 83 5C), and near the system's path limit: a
// path that does not fit is refused with a message, never written cut short.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "Scratch.h"
#include "archive/OCPath.h"
#include "archive/PakBuilder.h"
#include "base/Messages.h"
#include "base/OCException.h"
#include "install/CopyFixture.h"
#include "install/WizardDriver.h"
#include "install/Unpack.h"
#include "resources/resource.h"
#include "support/BoxAnswerer.h"
#include "support/DialogDriver.h"

namespace {

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// `folder` + "\" + a name of "x"s ending in `tail`, exactly `length` bytes long.
std::string PathOfLength(const std::string& folder, size_t length, const std::string& tail = ".dat") {
    const size_t fill = length - folder.size() - 1 - tail.size();
    return folder + "\\" + std::string(fill, 'x') + tail;
}

// A chain of folders below `base` making a folder path of exactly `length` bytes.
std::string DeepFolder(const std::string& base, size_t length) {
    std::string folder = base;
    while (folder.size() + 1 + 40 < length) folder += "\\" + std::string(39, 'd') + "表";
    folder += "\\" + std::string(length - folder.size() - 1, 'e');
    return folder;
}

std::string ErrorText(const OCErrorException& e) { return e.message.GetBuffer() ? e.message.GetBuffer() : ""; }

std::string TooLong(const std::string& path) {
    char text[1024];
    wsprintfA(text, kFmtPathTooLong, path.c_str());
    return text;
}

class LongPathTest : public CopyFixture {};

// ---- the copy primitives ----

TEST_F(LongPathTest, CopyFileWithTimesWritesUpToTheLimitAndRefusesBeyond) {
    ASSERT_TRUE(WriteBytes(dir / "source.txt", "data"));
    const std::string folder = DeepFolder(dir.Path(), 200);
    const std::string fits = PathOfLength(folder, MAX_PATH - 1);
    CopyFileWithTimes((dir / "source.txt").c_str(), fits.c_str(), 1, 0xFFFFFFFE, NULL, 0);
    EXPECT_EQ("data", dir.Read(fits.substr(dir.Path().size() + 1)));

    const std::string beyond = PathOfLength(folder, MAX_PATH);
    try {
        CopyFileWithTimes((dir / "source.txt").c_str(), beyond.c_str(), 1, 0xFFFFFFFE, NULL, 0);
        ADD_FAILURE() << "a path of MAX_PATH bytes was written";
    } catch (const OCErrorException& e) {
        EXPECT_EQ(ERROR_FILENAME_EXCED_RANGE, (DWORD)e.code);
        EXPECT_EQ(TooLong(beyond), ErrorText(e));
    }
    EXPECT_FALSE(Exists(beyond));
    EXPECT_FALSE(Exists(beyond.substr(0, MAX_PATH - 1)));   // nor its first 259 bytes
}

TEST_F(LongPathTest, UnpackRefusesAnEntryBeyondTheLimit) {
    const std::string folder = DeepFolder(dir / "out", 220);
    const std::string fitting = std::string(MAX_PATH - 1 - folder.size() - 1 - 4, 'f') + ".txt";
    const std::string tooLong = "sub\\" + std::string(MAX_PATH - folder.size() - 1 - 8, 'g') + ".txt";
    dir.Write("long.pak", PakBuilder(1).Stored(fitting, "fits").Compressed(tooLong, "does not").Bytes());
    try {
        UnpackArchive((dir / "long.pak").c_str(), folder.c_str());
        ADD_FAILURE() << "an entry beyond the limit was unpacked";
    } catch (const OCErrorException& e) {
        EXPECT_EQ(ERROR_FILENAME_EXCED_RANGE, (DWORD)e.code);
        EXPECT_EQ(TooLong(folder + "\\" + tooLong), ErrorText(e));
    }
    EXPECT_TRUE(Exists(folder + "\\" + fitting));
    EXPECT_FALSE(Exists(folder + "\\sub"));
}

// ---- the copy worker ----

TEST_F(LongPathTest, InstallFolderNearTheLimitStopsTheCopyWithAMessage) {
    config.installFolder = DeepFolder(dir / "Games", 240).c_str();
    const std::string disc = MakeDisc("disc1", "Disc1");
    PutOnDisc(disc, "ok.txt", "ok");
    PutOnDisc(disc, "voice\\" + std::string(30, 'v') + ".wav", "voice");
    InsertDisc(disc);
    ChooseType("", "Disc1:ok.txt;voice", 1);
    OwnedBoxAnswerer errors(config);
    RunWorker();
    EXPECT_EQ(0, config.copyResult);
    ASSERT_EQ(1u, errors.Texts().size());
    const std::string target = std::string(config.installFolder.GetBuffer()) + "\\voice\\" + std::string(30, 'v') + ".wav";
    char expected[1024];
    wsprintfA(expected, kFmtErrorReport, ERROR_FILENAME_EXCED_RANGE, TooLong(target).c_str());
    const std::string shown = errors.Texts()[0];
    EXPECT_EQ(expected, shown.substr(shown.find('|') + 1));
    EXPECT_FALSE(InstalledExists());                 // ok.txt, copied first, is gone again
}

// Spaces, trail bytes 0x5C at the end of folder and file names: the files
// arrive under exactly those names, and a cancelled run removes only the
// install folder, not its neighbours.
TEST_F(LongPathTest, SpacesAndTrailBytesInFolderAndFileNames) {
    const std::string parent = dir / "Program Files\\表示 ソフト";
    CreateDirectoryA((dir / "Program Files").c_str(), NULL);
    CreateDirectoryA(parent.c_str(), NULL);
    ASSERT_TRUE(WriteBytes(parent + "\\keep 表.txt", "neighbour"));
    config.installFolder = (parent + "\\Maker 表\\ゲーム ソ").c_str();
    const std::string disc = MakeDisc("disc1", "Disc1");
    PutOnDisc(disc, "表\\能 ソ.txt", "trail bytes");
    PutOnDisc(disc, "game.pak", PakBuilder(2).Compressed("cg\\構造 表.bmp", std::string(500, 'c')).Bytes());
    InsertDisc(disc);
    ChooseType("game.pak", "Disc1:表", 1);
    RunWorker();
    EXPECT_EQ(1, config.copyResult);
    EXPECT_EQ("trail bytes", Installed("表\\能 ソ.txt"));
    EXPECT_EQ(std::string(500, 'c'), Installed("cg\\構造 表.bmp"));

    ChooseType("game.pak", "Disc1:表;Disc2:missing", 1);
    BoxAnswerer cancel(kCaptionInsertDisc, {IDCANCEL});
    RunWorker();
    EXPECT_EQ(0, config.copyResult);
    EXPECT_FALSE(InstalledExists());
    EXPECT_EQ("neighbour", dir.Read("Program Files\\表示 ソフト\\keep 表.txt"));
}

// ---- the folder dialog ----

// A target folder too long to hold the install folder and its files is
// refused with a message; the dialog comes back and a shorter one is taken.
// A trailing backslash after a trail byte 0x5C is dropped, the trail byte kept.
TEST_F(LongPathTest, FolderDialogRefusesAFolderThatCannotHoldTheInstall) {
    config.windowTitle = "長いパス インストーラー";
    config.brand = "Maker";
    config.installPath = "Game";
    const std::string tooLong = "C:\\" + std::string(240, 'L');
    const std::string good = "C:\\Program Files\\表示 ソ表\\";
    BoxAnswerer refused(kCaptionConfirm, {IDOK});
    int result = -1;
    {
        DialogDriver driver([&] {
            for (const std::string& folder : {tooLong, good}) {
                HWND dialog = WaitForWizard(config.windowTitle.GetBuffer(), IDC_FOLDER_EDIT);
                if (!dialog) return;
                SetDialogItemText(dialog, IDC_FOLDER_EDIT, folder.c_str());
                PressButton(dialog, IDOK);
                WaitUntilClosed(dialog);
            }
        });
        result = config.ChooseInstallFolder();
    }
    EXPECT_EQ(1, result);
    ASSERT_EQ(1, refused.Answered());
    EXPECT_EQ(kMsgPathTooLong, refused.Texts()[0]);
    EXPECT_STREQ("C:\\Program Files\\表示 ソ表\\Maker\\Game", config.installFolder.GetBuffer());
}

}  // namespace
