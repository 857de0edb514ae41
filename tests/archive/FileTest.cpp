// OCFile over disk files, memory blocks and *.pak entries, and its Abort/Retry/Ignore prompt.
// Damaged archives end in a miss or the one decompression error, never in a read outside a buffer.
#include "ArchiveFixture.h"
#include "PakZlib.h"
#include "base/Messages.h"
#include "support/BoxAnswerer.h"
#include "support/Files.h"

namespace {

std::string U32(uint32_t v) { return std::string((const char*)&v, 4); }
std::string Deflated(const std::string& s) { return Str(pak::Deflate((const uint8_t*)s.data(), s.size(), -1)); }

std::string Entry(uint32_t version, const std::string& name, uint32_t offset, uint32_t size,
                  uint32_t compressed = 0, uint32_t packedSize = 0) {
    return Str(pak::EncodeDirectory(version, {{name, 0, offset, 0, size, compressed, packedSize}}));
}

// Header, directory (v1/v2: deflated) and data; `dirSize` overrides the header's.
std::string Archive(uint32_t version, uint32_t count, const std::string& directory, const std::string& data,
                    int64_t dirSize = -1) {
    std::string archive = Str(pak::AssembleArchive(version, count, {directory.begin(), directory.end()},
                                                   {data.begin(), data.end()}));
    if (dirSize >= 0) archive.replace(8, 4, U32((uint32_t)dirSize));
    return archive;
}

std::string Pattern(size_t size) {  // half text-like, half noise: packed, it spans many reads
    std::string bytes(size, '\0');
    for (uint32_t i = 0, seed = 1; i < size; i++, seed = seed * 1103515245u + 12345u)
        bytes[i] = (char)(i % 512 < 256 ? 'a' + i / 7 % 26 : seed >> 16);
    return bytes;
}

}  // namespace

using FileLayer = ArchiveTest;

// Each mode on a file holding "old": what writing "new" leaves (read back through
// the object too), and whether it opens a missing file (the writing modes do).
TEST_F(FileLayer, OpenModes) {
    const struct { unsigned mode; const char* after; int opensMissing; } cases[] = {
        {kOpenRead, "old", 0}, {3, "old", 0}, {64, "old", 0}, {kOpenCreate, "new", 1}, {kOpenAppend, "oldnew", 1},
    };
    for (const auto& c : cases) {
        dir.Write("x.txt", "old");
        DeleteFileA((dir / "m.txt").c_str());
        OCFile f;
        ASSERT_EQ(1, f.Open((dir / "x.txt").c_str(), c.mode)) << c.mode;
        EXPECT_EQ(c.opensMissing ? "" : kMsgWriteFailed, ErrorOf([&] { f.Write("new", 3); })) << c.mode;
        EXPECT_EQ(c.after, c.opensMissing ? ReadEntry(f) : c.after) << c.mode;
        f.Close();
        EXPECT_EQ(c.after, dir.Read("x.txt")) << c.mode;
        EXPECT_EQ(c.opensMissing, f.Open((dir / "m.txt").c_str(), c.mode)) << c.mode;
    }
}

TEST_F(FileLayer, FolderChainsAreCreatedForWritingOnly) {
    OCFile f;
    EXPECT_EQ(0, f.Open((dir / "r\\c.dat").c_str(), kOpenRead));
    EXPECT_FALSE(Exists(dir / "r"));
    EXPECT_EQ(1, f.Open((dir / "表\\ソ\\c.dat").c_str(), kOpenCreate)) << "trail byte 5C is no separator";
    EXPECT_EQ(1, f.Open((dir / "a\\b.dat").c_str(), kOpenAppend));
    f.Close();
    CreateDirectoryPath((dir.Path() + "\\\\x\\\\y\\").c_str());  // doubled and trailing separators
    CreateDirectoryPath((dir / "x\\y\\z").c_str());             // existing folders are no error
    CreateDirectoryPath("rel\\z");                              // below the current folder
    EXPECT_TRUE(Exists(dir / "x\\y\\z") && Exists(dir / "rel\\z"));
}

TEST_F(FileLayer, WildcardOpensTheFirstFileElseLooksThePrefixUpInArchives) {
    for (const char* folder : {"x1", "x3"}) CreateDirectoryA((dir / folder).c_str(), NULL);
    dir.Write("x2.txt", "two");
    dir.Write("a.pak", Pak(1, {{"title.bmp", "T"}}));
    OCFile f;
    ASSERT_EQ(1, f.Open((dir / "x*").c_str(), kOpenRead));
    EXPECT_EQ(dir / "x2.txt", f.GetPath().GetBuffer());
    EXPECT_EQ("two", ReadEntry(f));
    ASSERT_EQ(1, f.Open("x2*", kOpenRead));
    EXPECT_STREQ("x2.txt", f.GetPath().GetBuffer());
    ASSERT_EQ(1, f.Open("ti*", kOpenRead));
    EXPECT_EQ("T", ReadEntry(f));
    EXPECT_EQ(0, f.Open("zz*", kOpenRead));
}

// A block counts positions from its start whatever the origin; reads and writes stop at its end.
TEST_F(FileLayer, MemoryBlocksKeepReadsAndWritesInside) {
    char block[] = "0123456789", c[16] = {};
    OCFile memory, closed;
    EXPECT_EQ(1, memory.OpenMemory(block, 8));
    EXPECT_EQ(0, memory.Seek(5, SEEK_END));
    EXPECT_EQ(3u, memory.Read(c, 16));
    EXPECT_EQ(0u, memory.Write("Z", 1));
    EXPECT_NE(0, memory.Seek(9, SEEK_SET));
    EXPECT_NE(0, memory.Seek(-1, SEEK_SET));
    EXPECT_EQ(0, memory.Seek(6, SEEK_CUR));
    EXPECT_EQ(2u, memory.Write("WXYZ", 4));
    EXPECT_EQ("567012345WX89", std::string(c) + block);
    EXPECT_FALSE(memory.ReadExact(c, 1));
    EXPECT_EQ(0u, closed.Read(c, 4) + closed.Write("abcd", 4) + closed.GetSize());
}

// Times set while written data still waits in the stream stay when closing writes it.
TEST_F(FileLayer, TimesSetBeforeTheLastWriteStay) {
    FILETIME set = {0, 0x01C2E000}, got[3];
    OCFile f;
    ASSERT_EQ(1, f.Open((dir / "t.dat").c_str(), kOpenCreate));
    f.Write("buffered", 8);
    EXPECT_NE(0, f.SetTimes(&set, &set, &set));
    f.Close();
    ASSERT_EQ(1, f.Open((dir / "t.dat").c_str(), kOpenRead));
    EXPECT_EQ(1, f.GetTimes(&got[0], &got[1], &got[2]));
    EXPECT_EQ(0, CompareFileTime(&set, &got[2]));
}

// The box of a failed open, answered from a second thread (the quiet flag stops it).
TEST_F(FileLayer, OpenPromptAbortRetryIgnore) {
    g_quietOpen = 0;
    const std::string missing = dir / "missing.dat";
    OCString cannotOpen, openFailed;
    cannotOpen.Format(kMsgCannotOpen, missing.c_str());
    openFailed.Format(kMsgOpenFailed, missing.c_str());
    OCFile f;
    {
        BoxAnswerer answerer(kCaptionReadError, {IDIGNORE, IDABORT});
        EXPECT_EQ(0, f.Open(missing.c_str(), kOpenRead));
        EXPECT_EQ(openFailed.GetBuffer(), ErrorOf([&] { f.Open(missing.c_str(), kOpenRead); }));
        EXPECT_EQ(std::vector<std::string>(2, cannotOpen.GetBuffer()), answerer.Texts());
    }
    {
        BoxAnswerer answerer(kCaptionReadError, {IDRETRY, IDRETRY, IDIGNORE});
        answerer.BeforeAnswer(1, [](void* d) { ((TempDir*)d)->Write("missing.dat", "late"); }, &dir);
        ASSERT_EQ(1, f.Open(missing.c_str(), kOpenRead));
        EXPECT_EQ("late", ReadEntry(f));
        EXPECT_EQ(2, answerer.Answered());
    }
    // Ignore skips an archive that cannot be opened; one of zero length is skipped without a word.
    dir.Write("0.pak", "");
    dir.Write("a.pak", Pak(1, {{"x", "a"}}));
    dir.Write("b.pak", Pak(1, {{"x", "b"}}));
    HANDLE lock = CreateFileA((dir / "a.pak").c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    BoxAnswerer answerer(kCaptionReadError, {IDIGNORE});
    EXPECT_EQ(1, f.Open("x", kOpenRead));
    CloseHandle(lock);
    EXPECT_EQ("b", ReadEntry(f));
    cannotOpen.Format(kMsgCannotOpen, (dir / "a.pak").c_str());
    EXPECT_EQ(std::vector<std::string>{cannotOpen.GetBuffer()}, answerer.Texts());
}

using PakReader = ArchiveTest;

TEST_F(PakReader, ServesWhatTheToolPacksInEveryFormat) {
    const std::string big = Pattern(70000);
    const Files files = {{"install.ini", "[i]"}, {"cg\\title.png", big}, {"ソフト\\表.dat", Pattern(5000)}, {"empty.txt", ""}};
    const struct { uint32_t version; pak::Packing packing; } formats[] = {
        {0, pak::Packing::Store}, {1, pak::Packing::Store}, {1, pak::Packing::Compress}, {2, pak::Packing::Auto}};
    for (const auto& format : formats) {
        SCOPED_TRACE(format.version);
        dir.Write("game.pak", Pak(format.version, files, format.packing));
        OCFile f;
        for (const auto& file : files) {
            ASSERT_EQ(1, f.OpenFromArchives(dir.Path().c_str(), file.first.c_str())) << file.first;
            EXPECT_EQ(file.second, ReadEntry(f)) << file.first;
        }
        ASSERT_EQ(1, f.OpenFromArchives(dir.Path().c_str(), "install.ini"));
        OCString text;  // settings are loaded whole as text
        text.LoadFromFile(f);
        EXPECT_STREQ("[i]", text.GetBuffer());
        ASSERT_EQ(1, f.OpenFromArchives(dir.Path().c_str(), "cg\\title.png"));
        char c[2] = {};
        EXPECT_EQ(0, f.Seek(10, SEEK_END));
        f.Read(c, 1);
        EXPECT_EQ(big[10], c[0]) << "positions count from the entry's start, whatever the origin";
        EXPECT_EQ(0, f.OpenFromArchives(dir.Path().c_str(), "absent.bin"));
        EXPECT_EQ(nullptr, f.stream()) << "a miss leaves the object closed";
    }
}

TEST_F(PakReader, DiskThenCurrentFolderThenSearchFoldersInOrder) {
    TempDir first, second;
    dir.Write("B.pak", Pak(1, {{"x", "B"}, {"one", "B"}}));
    dir.Write("a.pak", Pak(0, {{"y", "a"}, {"x", "a"}}));  // lstrcmpA: a before B
    first.Write("z.pak", Pak(2, {{"x", "first"}, {"two", "first"}}));
    second.Write("a.pak", Pak(2, {{"two", "second"}, {"three", "second"}}, pak::Packing::Compress));
    AddSearchDirectory(first.Path().c_str());
    AddSearchDirectory((second.Path() + "\\").c_str());
    const struct { const char* name; const char* from; std::string archive; } cases[] = {
        {"x", "a", dir / "a.pak"}, {"one", "B", dir / "B.pak"},
        {"two", "first", first / "z.pak"}, {"three", "second", second / "a.pak"},
    };
    OCFile f;
    for (const auto& c : cases) {
        ASSERT_EQ(1, f.Open(c.name, kOpenRead)) << c.name;
        EXPECT_EQ(c.from, ReadEntry(f)) << c.name;
        EXPECT_EQ(c.archive, f.GetPath().GetBuffer()) << c.name;
    }
    dir.Write("x", "disk");
    ASSERT_EQ(1, f.Open("x", kOpenRead));
    EXPECT_EQ("disk", ReadEntry(f));
}

// Entries as the tool sorts them; a request matches the first entry that begins
// with it (ASCII and full-width letters folded, characters compared whole).
TEST_F(PakReader, NamesMatchByTheirBeginningWithoutRegardToCase) {
    dir.Write("a.pak", Pak(1, {{"", "empty"}, {"title2.bmp", "2"}, {"title.bmp", "1"}, {"ＡＢＣ.txt", "wide"},
                               {"ア.txt", "a"}, {"data/a.txt", "slash"}, {"表\\b.txt", "sjis"},
                               {std::string("nu\0l", 4), "nul"}}));
    CreateDirectoryA((dir / "ソ").c_str(), NULL);
    CopyFileA((dir / "a.pak").c_str(), (dir / "ソ\\a.pak").c_str(), FALSE);
    const struct { std::string folder; const char* request; const char* data; } cases[] = {
        {dir.Path(), "title", "1"},           {dir.Path(), "TITLE2.bmp", "2"},     {dir.Path(), "title.bmp2", nullptr},
        {dir.Path(), "ａｂｃ.TXT", "wide"},   {dir.Path(), "ヂ.txt", nullptr},    {dir.Path(), "data\\a.txt", nullptr},
        {dir.Path(), "表\\B.TXT", "sjis"},    {dir.Path(), "", "empty"},          {dir.Path(), "nu", "nul"},
        {dir.Path(), "nul", nullptr},         {dir.Path() + "\\", "title", "1"},  {dir / "ソ", "title", "1"},
        {dir / "ソ\\", "title", "1"},         {dir / "none", "title", nullptr},
    };
    for (const auto& c : cases) {
        OCFile f;
        const int hit = f.OpenFromArchives(c.folder.c_str(), c.request);
        EXPECT_EQ(c.data ? c.data : "<miss>", hit ? ReadEntry(f) : "<miss>") << c.folder << " " << c.request;
    }
}

// The outcome of looking a name up in a damaged archive: the entry's bytes, a miss, or the error.
TEST_F(PakReader, DamagedArchivesEndInAMissOrTheError) {
    const std::string E = kMsgInflateFailed, x1 = Entry(1, "x", 0, 1), packed = Deflated("abcdefgh");
    auto flip = [](std::string s, size_t at, char bits) { return s[at] ^= bits, s; };
    auto packedEntry = [](const std::string& data, uint32_t size, uint32_t packedSize) {
        return Archive(1, 1, Entry(1, "x", 0, size, 1, packedSize), data);
    };
    std::vector<std::tuple<std::string, const char*, std::string>> cases = {
        {Archive(1, 1000000, x1, "D"), "x", "D"},  // counts beyond the directory stop at its end
        {Archive(1, 0xFFFFFFFF, x1, "D"), "y", "<miss>"}, {U32(0) + U32(0xFFFFFFFF) + Entry(0, "a", 0, 1), "y", "<miss>"},
        {Archive(1, 1, x1.substr(0, x1.size() - 1), "D"), "x", "<miss>"},  // entries cut short
        {U32(0) + U32(1) + Entry(0, "x", 0, 1).substr(0, 15), "x", "<miss>"},
        {Archive(1, 2, x1, "D", 4096), "x", "D"},  // directory shorter than its size
        {Archive(1, 2, x1, "D", 4096), "y", "<miss>"}, {Archive(1, 1, "", "D", 4096), "", "<miss>"},
        {Archive(1, 1, Entry(1, "x", 0, 0xFFFFFFF0u, 1, 10), Deflated("abc")), "x", E},  // no memory for it
        {Archive(1, 1, Entry(1, "x", 0xFFFFFFF8u, 1), "D"), "x", E},  // data past the file's end
        {U32(0) + U32(1) + Entry(0, "x", 0x80000000u, 1), "x", E},
        {Archive(1, 1, Entry(1, "x", 1000, 4), "D"), "x", E},
        {packedEntry(packed, 8, packed.size()), "x", "abcdefgh"},  // a short stream leaves zeros:
        {packedEntry(packed, 1000, packed.size()), "x", "abcdefgh" + std::string(992, '\0')},
        {packedEntry(packed, 8, 0x7FFFFFFF), "x", "abcdefgh"},  // ends at the stream's end
        {packedEntry(packed, 7, packed.size()), "x", E},         // inflates past its size
        {packedEntry(flip(flip(packed, 4, 0x55), packed.size() - 1, 1), 8, packed.size()), "x", E},
        {packedEntry(packed.substr(0, packed.size() - 3), 8, packed.size() - 3), "x", E},
        {packedEntry(packed, 8, packed.size() - 3), "x", E}, {packedEntry("", 8, 0), "x", E},
        {flip(Archive(1, 1, x1, "D"), 16 + 3, 0x40), "x", E},  // a damaged or cut directory stream
        {Archive(1, 1, x1, "D").substr(0, 26).replace(12, 4, U32(10)), "x", E},
        {Archive(1, 1, x1, "D", x1.size() - 1), "x", E},  // directory longer than its size
        {"", "x", "<miss>"}, {"\x01\x00", "x", "<miss>"}, {U32(0) + "\x05", "x", "<miss>"},  // short headers
        {U32(1) + U32(1) + "\x10\x00", "x", E}, {U32(2) + U32(1), "x", E},
        {U32(3) + U32(1) + U32(25) + U32(0), "x", E}, {U32(0xFFFFFFFF), "x", E},  // unknown versions
    };
    for (uint32_t length : {0xFFFFFFFFu, 0x80000000u, 30u}) {  // name lengths beyond the directory
        const std::string bad = U32(length) + "x" + std::string(20, '\0');  // an empty request matches any name
        cases.push_back({Archive(2, 2, bad + Entry(2, "a", 0, 1), "D"), "", "<miss>"});
        cases.push_back({U32(0) + U32(2) + bad.substr(0, 17) + Entry(0, "a", 0, 1), "", "<miss>"});
    }
    if (sizeof(void*) == 4) {  // a 64-bit test build obtains directories of 3 or 4 GB
        cases.push_back({Archive(1, 1, x1, "D", 0xFFFFFFF0u), "x", E});
        cases.push_back({Archive(2, 1, Entry(2, "x", 0, 1), "D", 0xC0000000u), "x", E});
    }
    for (size_t i = 0; i < cases.size(); i++) {
        dir.Write("a.pak", std::get<0>(cases[i]));
        delete[] (char*)memset(new char[1000], 0x55, 1000);  // no zeros where the entry may be inflated
        OCFile f;
        std::string outcome = "<miss>";
        std::string error = ErrorOf([&] {
            if (f.Open(std::get<1>(cases[i]), kOpenRead)) outcome = ReadEntry(f);
        });
        EXPECT_EQ(std::get<2>(cases[i]), error.empty() ? outcome : error) << "case " << i;
        EXPECT_TRUE(error.empty() || !f.stream()) << "an error leaves the object closed";
    }
}
