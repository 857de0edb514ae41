// The copy worker end to end: archives and files from discs mapped as Q:,
// disc prompts answered (and discs swapped) from a second thread, the
// progress dialog driven by the worker.
#include <algorithm>
#include <string>
#include "CopyFixture.h"
#include "archive/PakBuilder.h"
#include "base/Messages.h"
#include "support/BoxAnswerer.h"
#include "support/CdDrive.h"

namespace {

std::string Bytes(size_t length, int seed) {
    std::string bytes(length, '\0');
    for (size_t i = 0; i < length; i++) bytes[i] = (char)(i * seed + i / 97);
    return bytes;
}

std::string Format(const char* format, const char* a, const char* b = "") {
    char text[512];
    wsprintfA(text, format, a, b);
    return text;
}

FILETIME WriteTime(const std::string& path) {
    FILETIME creation = {}, access = {}, write = {};
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    GetFileTime(file, &creation, &access, &write);
    CloseHandle(file);
    return write;
}

void SetWriteTime(const std::string& path, DWORD high, DWORD low) {
    FILETIME when = {low, high};
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
    SetFileTime(file, &when, &when, &when);
    CloseHandle(file);
}

struct Swap {
    std::string disc;
};

void SwapToDisc(void* context) { MapCdDrive('Q', ((Swap*)context)->disc); }

class CopyWorkerTest : public CopyFixture {};

TEST_F(CopyWorkerTest, UnpacksArchivesOfAllThreeVersions) {
    const std::string disc = MakeDisc("disc1", "Disc1");
    PutOnDisc(disc, "v0.pak", PakBuilder(0).Stored("v0.txt", "zero").Bytes());
    PutOnDisc(disc, "v1.pak", PakBuilder(1).Stored("one\\a.txt", "one").Compressed("one\\b.dat", Bytes(9000, 3)).Bytes());
    PutOnDisc(disc, "v2.pak", PakBuilder(2).Compressed("two\\表.txt", "two").Bytes());
    InsertDisc(disc);
    ChooseType("v0.pak;v1.pak;v2.pak", "", 3);
    RunWorker();
    EXPECT_EQ(0, log.endCode);
    EXPECT_EQ(1, config.copyResult);
    EXPECT_EQ("zero", Installed("v0.txt"));
    EXPECT_EQ("one", Installed("one\\a.txt"));
    EXPECT_EQ(Bytes(9000, 3), Installed("one\\b.dat"));
    EXPECT_EQ("two", Installed("two\\表.txt"));
    EXPECT_EQ(3 * 1024, log.rangeHigh);
    ExpectBarSteps({0, 3 * 1024}, log.positions);
}

TEST_F(CopyWorkerTest, StoredEntriesMoveTheBarCompressedOnesDoNot) {
    const std::string disc = MakeDisc("disc1", "Disc1");
    PutOnDisc(disc, "game.pak", PakBuilder(1).Stored("s.dat", Bytes(3000, 5)).Compressed("c.dat", Bytes(5000, 7)).Bytes());
    InsertDisc(disc);
    ChooseType("game.pak", "", 1);
    RunWorker();
    EXPECT_EQ(1, config.copyResult);
    ExpectBarSteps({0, 2, 1024}, log.positions);
}

// The worker starts first; its bar setup and its closing message must still
// reach the dialog that appears later.
TEST_F(CopyWorkerTest, WorkerWaitsForADialogThatAppearsLate) {
    ChooseType("", "", 2);
    RunWorker(400);
    EXPECT_EQ(0, log.endCode);
    EXPECT_EQ(1, config.copyResult);
    EXPECT_EQ(2048, log.rangeHigh);
    ExpectBarSteps({0, 2048}, log.positions);
}

TEST_F(CopyWorkerTest, CopiesFilesWildcardsAndFoldersFromTwoDiscs) {
    const std::string disc1 = MakeDisc("disc1", "Disc1"), disc2 = MakeDisc("disc2", "Disc2");
    PutOnDisc(disc1, "readme.txt", "read me");
    PutOnDisc(disc1, "bonus\\art.bmp", Bytes(70000, 11));
    PutOnDisc(disc1, "bonus\\deep\\notes.txt", "deep");
    PutOnDisc(disc2, "movie\\op.mpg", Bytes(2048, 13));
    PutOnDisc(disc2, "movie\\ed.mpg", "ed");
    PutOnDisc(disc2, "voice\\v1.wav", "v1");
    PutOnDisc(disc2, "skip.txt", "not listed");
    const std::string readme = disc1 + "\\DATA\\readme.txt";
    SetWriteTime(readme, 0x01C0A000, 0x12345678);
    SetFileAttributesA(readme.c_str(), FILE_ATTRIBUTE_READONLY);
    InsertDisc(disc1);
    ChooseType("", "Disc1:readme.txt;bonus;Disc2:movie\\*.*;voice\\*.*", 1);

    Swap swap = {disc2};
    BoxAnswerer prompts(kCaptionInsertDisc, {IDOK});
    prompts.BeforeAnswer(0, SwapToDisc, &swap);
    RunWorker();

    EXPECT_EQ(1, config.copyResult);
    ASSERT_EQ(1, prompts.Answered());
    EXPECT_EQ(Format(kFmtInsertDisc, "ゲーム", "Disc2"), prompts.Texts()[0]);
    EXPECT_EQ("read me", Installed("readme.txt"));
    EXPECT_EQ(Bytes(70000, 11), Installed("bonus\\art.bmp"));
    EXPECT_EQ("deep", Installed("bonus\\deep\\notes.txt"));
    EXPECT_EQ(Bytes(2048, 13), Installed("movie\\op.mpg"));
    EXPECT_EQ("ed", Installed("movie\\ed.mpg"));
    EXPECT_EQ("v1", Installed("voice\\v1.wav"));
    EXPECT_FALSE(InstalledExists("skip.txt"));

    const std::string copied = std::string(config.installFolder.GetBuffer()) + "\\readme.txt";
    EXPECT_EQ(0u, GetFileAttributesA(copied.c_str()) & FILE_ATTRIBUTE_READONLY);
    const FILETIME source = WriteTime(readme), target = WriteTime(copied);
    EXPECT_EQ(source.dwHighDateTime, target.dwHighDateTime);
    EXPECT_EQ(source.dwLowDateTime, target.dwLowDateTime);
    SetFileAttributesA(readme.c_str(), FILE_ATTRIBUTE_NORMAL);

    // 70000 bytes arrive in a 64 KiB chunk and a 4464-byte one; op.mpg adds
    // 2; the small files add nothing.
    ExpectBarSteps({0, 64, 68, 70, 1024}, log.positions);
    EXPECT_EQ(1024, log.rangeHigh);
    EXPECT_EQ(std::string(config.installFolder.GetBuffer()) + "\\voice\\v1.wav", log.lastText);
}

TEST_F(CopyWorkerTest, CancelAtTheDiscPromptRemovesTheInstallFolder) {
    const std::string disc1 = MakeDisc("disc1", "Disc1");
    PutOnDisc(disc1, "game.pak", PakBuilder(0).Stored("sub\\unpacked.txt", "x").Bytes());
    PutOnDisc(disc1, "a.txt", "a");
    InsertDisc(disc1);
    ChooseType("game.pak", "Disc1:a.txt;Disc2:movie\\*.*", 1);
    BoxAnswerer prompts(kCaptionInsertDisc, {IDCANCEL});
    RunWorker();
    EXPECT_EQ(0, log.endCode);
    EXPECT_EQ(0, config.copyResult);
    EXPECT_EQ(1, prompts.Answered());
    EXPECT_FALSE(InstalledExists());
    // the maker's folder the copy created goes too; the chosen folder stays
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((dir / "Games\\Maker").c_str()));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((dir / "Games").c_str()));
}

TEST_F(CopyWorkerTest, MissingArchiveAsksForTheFirstDiscUntilItIsThere) {
    const std::string disc1 = MakeDisc("disc1", "Disc1"), other = MakeDisc("other", "Other");
    PutOnDisc(disc1, "game.pak", PakBuilder(2).Stored("a.txt", "a").Bytes());
    InsertDisc(other);
    ChooseType("game.pak", "", 1);
    Swap swap = {disc1};
    BoxAnswerer prompts(kCaptionWrongDisc, {IDOK, IDOK});
    prompts.BeforeAnswer(1, SwapToDisc, &swap);          // the wrong disc stays in at first
    RunWorker();
    EXPECT_EQ(1, config.copyResult);
    ASSERT_EQ(2, prompts.Answered());
    EXPECT_EQ(Format(kFmtWrongDisc, "ゲーム"), prompts.Texts()[1]);
    EXPECT_EQ("a", Installed("a.txt"));
}

TEST_F(CopyWorkerTest, CancelWithNoDiscAnywhereGivesZero) {
    ChooseType("game.pak", "", 1);
    BoxAnswerer prompts(kCaptionWrongDisc, {IDCANCEL});
    RunWorker();
    EXPECT_EQ(0, config.copyResult);
    EXPECT_EQ(1, prompts.Answered());
}

TEST_F(CopyWorkerTest, AnUnlabelledFirstEntryIsNeverFound) {
    const std::string disc1 = MakeDisc("disc1", "Disc1");
    PutOnDisc(disc1, "a.txt", "a");
    InsertDisc(disc1);
    ChooseType("", "a.txt", 1);
    BoxAnswerer prompts(kCaptionInsertDisc, {IDOK, IDCANCEL});
    RunWorker();
    EXPECT_EQ(0, config.copyResult);
    EXPECT_EQ(2, prompts.Answered());
    EXPECT_EQ(Format(kFmtInsertDisc, "ゲーム", ""), prompts.Texts()[0]);
}

TEST_F(CopyWorkerTest, DamagedArchiveIsReportedAndTheInstallFolderRemoved) {
    const std::string disc = MakeDisc("disc1", "Disc1");
    PutOnDisc(disc, "good.pak", PakBuilder(1).Stored("good.txt", "good").Bytes());
    PutOnDisc(disc, "bad.pak", PakBuilder(1).Compressed("bad.dat", Bytes(4000, 3), 4100).Bytes());
    InsertDisc(disc);
    ChooseType("good.pak;bad.pak", "Disc1:good.txt", 1);
    OwnedBoxAnswerer errors(config);
    RunWorker();
    EXPECT_EQ(0, log.endCode);
    EXPECT_EQ(0, config.copyResult);
    ASSERT_EQ(1u, errors.Texts().size());
    char expected[512];
    wsprintfA(expected, kFmtErrorReport, ERROR_INVALID_DATA, kMsgInflateFailed);
    const std::string text = errors.Texts()[0];
    EXPECT_EQ(expected, text.substr(text.find('|') + 1));
    EXPECT_FALSE(InstalledExists());
}

TEST_F(CopyWorkerTest, ArchiveEntryOutsideTheInstallFolderStopsTheInstall) {
    const std::string disc = MakeDisc("disc1", "Disc1");
    PutOnDisc(disc, "evil.pak", PakBuilder(2).Stored("ok.txt", "ok").Stored("..\\evil.txt", "evil").Bytes());
    InsertDisc(disc);
    ChooseType("evil.pak", "", 1);
    OwnedBoxAnswerer errors(config);
    RunWorker();
    EXPECT_EQ(0, config.copyResult);
    EXPECT_EQ(1u, errors.Texts().size());
    EXPECT_FALSE(InstalledExists());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((dir / "Games\\Maker\\evil.txt").c_str()));
}

}  // namespace
