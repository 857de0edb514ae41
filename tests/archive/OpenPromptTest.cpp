// The Abort/Retry/Ignore box of a failed open, answered from a second thread.
#include "ArchiveFixture.h"
#include "PakBuilder.h"
#include "base/Messages.h"
#include "support/BoxAnswerer.h"

namespace {

class OpenPrompt : public ArchiveTest {
protected:
    void SetUp() override {
        ArchiveTest::SetUp();
        g_quietOpen = 0;
        missing = dir / "missing.dat";
    }
    std::string Formatted(const char* format) {
        char text[512];
        wsprintfA(text, format, missing.c_str());
        return text;
    }
    std::string missing;
};

struct FileToCreate {
    TempDir* dir;
    const char* name;
};

void CreateTheFile(void* context) {
    FileToCreate* f = (FileToCreate*)context;
    f->dir->Write(f->name, "late");
}

}  // namespace

TEST_F(OpenPrompt, IgnoreReturnsZero) {
    BoxAnswerer answerer(kCaptionReadError, {IDIGNORE});
    OCFile f;
    EXPECT_EQ(0, f.Open(missing.c_str(), 0));
    ASSERT_EQ(1, answerer.Answered());
    EXPECT_EQ(Formatted(kMsgCannotOpen), answerer.Texts()[0]);
}

TEST_F(OpenPrompt, AbortThrowsWithTheName) {
    BoxAnswerer answerer(kCaptionReadError, {IDABORT});
    OCFile f;
    EXPECT_EQ(Formatted(kMsgOpenFailed), ErrorMessageOf([&] { f.Open(missing.c_str(), 0); }));
    EXPECT_EQ(1, answerer.Answered());
}

TEST_F(OpenPrompt, RetryOpensTheFileOnceItAppears) {
    BoxAnswerer answerer(kCaptionReadError, {IDRETRY, IDRETRY, IDIGNORE});
    FileToCreate late = {&dir, "missing.dat"};
    answerer.BeforeAnswer(1, CreateTheFile, &late);
    OCFile f;
    ASSERT_EQ(1, f.Open(missing.c_str(), 0));
    EXPECT_EQ("late", ReadAll(f));
    EXPECT_EQ(2, answerer.Answered());
}

TEST_F(OpenPrompt, QuietOpenAsksNothing) {
    BoxAnswerer answerer(kCaptionReadError, {IDIGNORE});
    g_quietOpen = 1;
    OCFile f;
    EXPECT_EQ(0, f.Open(missing.c_str(), 0));
    EXPECT_EQ(0, answerer.Answered());
}

TEST_F(OpenPrompt, ZeroLengthArchiveIsSkippedWithoutAWord) {
    BoxAnswerer answerer(kCaptionReadError, {IDIGNORE});
    dir.Write("a.pak", "");
    dir.Write("b.pak", PakBuilder(1).Stored("x.txt", "X").Bytes());
    OCFile f;
    ASSERT_EQ(1, f.Open("x.txt", 0));
    EXPECT_EQ("X", ReadEntry(f));
    EXPECT_EQ(0, answerer.Answered());
}

TEST_F(OpenPrompt, ArchiveThatCannotBeOpenedAsksAndIgnoreSkipsIt) {
    dir.Write("a.pak", PakBuilder(1).Stored("x.txt", "from a").Bytes());
    dir.Write("b.pak", PakBuilder(1).Stored("x.txt", "from b").Bytes());
    HANDLE lock = CreateFileA((dir / "a.pak").c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, lock);
    BoxAnswerer answerer(kCaptionReadError, {IDIGNORE});
    OCFile f;
    EXPECT_EQ(1, f.Open("x.txt", 0));
    CloseHandle(lock);
    EXPECT_EQ("from b", ReadEntry(f));
    ASSERT_EQ(1, answerer.Answered());
    char text[512];
    wsprintfA(text, kMsgCannotOpen, (dir / "a.pak").c_str());
    EXPECT_EQ(text, answerer.Texts()[0]);
}
