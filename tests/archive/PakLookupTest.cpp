// Finding entries in the archives of a folder and serving them.
#include "ArchiveFixture.h"
#include "PakBuilder.h"

using PakLookup = ArchiveTest;

TEST_F(PakLookup, FirstArchiveInLocaleOrderWins) {
    // lstrcmpA puts a.pak before B.pak; a byte order would not.
    dir.Write("B.pak", PakBuilder(1).Stored("x.txt", "from B").Bytes());
    dir.Write("c.pak", PakBuilder(1).Stored("x.txt", "from c").Bytes());
    dir.Write("a.pak", PakBuilder(1).Stored("x.txt", "from a").Bytes());
    OCFile f;
    ASSERT_EQ(1, f.OpenFromArchives(dir.Path().c_str(), "x.txt"));
    EXPECT_EQ("from a", ReadEntry(f));
    EXPECT_STREQ((dir / "a.pak").c_str(), f.GetPath().GetBuffer());
}

TEST_F(PakLookup, LaterArchivesAreSearchedOnAMiss) {
    dir.Write("a.pak", PakBuilder(0).Stored("other", "o").Bytes());
    dir.Write("b.pak", PakBuilder(2).Compressed("x.txt", "from b").Bytes());
    OCFile f;
    ASSERT_EQ(1, f.OpenFromArchives(dir.Path().c_str(), "x.txt"));
    EXPECT_EQ("from b", ReadEntry(f));
    EXPECT_EQ(0, f.OpenFromArchives(dir.Path().c_str(), "y.txt"));
    EXPECT_EQ(nullptr, f.stream()) << "a miss leaves the object closed";
}

TEST_F(PakLookup, RequestMatchesTheBeginningOfAName) {
    dir.Write("a.pak", PakBuilder(1).Stored("readme", "r").Stored("title2.bmp", "2")
                           .Stored("title.bmp", "1").Bytes());
    OCFile f;
    ASSERT_EQ(1, f.OpenFromArchives(dir.Path().c_str(), "title"));
    EXPECT_EQ("2", ReadEntry(f)) << "first match in directory order";
    ASSERT_EQ(1, f.OpenFromArchives(dir.Path().c_str(), "title.bmp"));
    EXPECT_EQ("1", ReadEntry(f));
    EXPECT_EQ(0, f.OpenFromArchives(dir.Path().c_str(), "title.bmp2"));
}

TEST_F(PakLookup, CaseFoldsForAsciiAndFullWidthLetters) {
    dir.Write("a.pak", PakBuilder(1).Stored("Title.BMP", "ascii").Stored("ＡＢＣ.txt", "wide")
                           .Stored("ア.txt", "a").Bytes());
    OCFile f;
    ASSERT_EQ(1, f.OpenFromArchives(dir.Path().c_str(), "tITLE.bmp"));
    EXPECT_EQ("ascii", ReadEntry(f));
    ASSERT_EQ(1, f.OpenFromArchives(dir.Path().c_str(), "ａｂｃ.TXT"));
    EXPECT_EQ("wide", ReadEntry(f));
    // ヂ (83 61) differs from ア (83 41) only in a trail byte that folds as ASCII.
    EXPECT_EQ(0, f.OpenFromArchives(dir.Path().c_str(), "ヂ.txt"));
}

TEST_F(PakLookup, SlashDoesNotMatchBackslash) {
    dir.Write("a.pak", PakBuilder(1).Stored("data/a.txt", "slash").Stored("表\\b.txt", "sjis").Bytes());
    OCFile f;
    EXPECT_EQ(0, f.OpenFromArchives(dir.Path().c_str(), "data\\a.txt"));
    ASSERT_EQ(1, f.OpenFromArchives(dir.Path().c_str(), "表\\B.TXT"));
    EXPECT_EQ("sjis", ReadEntry(f));
}

TEST_F(PakLookup, EmptyNamesMatchOnlyEmptyRequests) {
    dir.Write("a.pak", PakBuilder(1).Stored("", "empty").Stored("a", "A").Bytes());
    OCFile f;
    ASSERT_EQ(1, f.OpenFromArchives(dir.Path().c_str(), "a"));
    EXPECT_EQ("A", ReadEntry(f));
    ASSERT_EQ(1, f.OpenFromArchives(dir.Path().c_str(), ""));
    EXPECT_EQ("empty", ReadEntry(f));
}

TEST_F(PakLookup, NulInsideANameEndsIt) {
    dir.Write("a.pak", PakBuilder(1).Stored(std::string("ab\0cd", 5), "nul").Bytes());
    OCFile f;
    EXPECT_EQ(0, f.OpenFromArchives(dir.Path().c_str(), "abcd"));
    EXPECT_EQ(1, f.OpenFromArchives(dir.Path().c_str(), "ab"));
}

TEST_F(PakLookup, TrailingBackslashOnTheFolderMakesNoDifference) {
    dir.Write("a.pak", PakBuilder(1).Stored("x", "X").Bytes());
    OCFile f;
    EXPECT_EQ(1, f.OpenFromArchives((dir.Path() + "\\").c_str(), "x"));
    EXPECT_EQ(0, f.OpenFromArchives((dir / "none").c_str(), "x"));
    EXPECT_EQ(0, f.OpenFromArchives("Q:\\nowhere", "x"));
}

TEST_F(PakLookup, FolderWhoseNameEndsInTrailByte5C) {
    CreateDirectoryA((dir / "ソ").c_str(), NULL);
    dir.Write("ソ\\a.pak", PakBuilder(1).Stored("x", "X").Bytes());
    OCFile f;
    EXPECT_EQ(1, f.OpenFromArchives((dir / "ソ").c_str(), "x")) << "the trail byte stays";
    EXPECT_EQ(1, f.OpenFromArchives((dir / "ソ\\").c_str(), "x"));
}

TEST_F(PakLookup, OpenSearchesTheCurrentFolderThenSearchFoldersInOrder) {
    TempDir first, second;
    first.Write("z.pak", PakBuilder(1).Stored("both", "first").Stored("one", "1").Bytes());
    second.Write("a.pak", PakBuilder(1).Stored("both", "second").Stored("two", "2").Bytes());
    AddSearchDirectory(first.Path().c_str());
    AddSearchDirectory(second.Path().c_str());
    OCFile f;
    ASSERT_EQ(1, f.Open("both", 0));
    EXPECT_EQ("first", ReadEntry(f));
    ASSERT_EQ(1, f.Open("two", 0));
    EXPECT_EQ("2", ReadEntry(f));
    dir.Write("c.pak", PakBuilder(1).Stored("both", "current").Bytes());
    ASSERT_EQ(1, f.Open("both", 64));
    EXPECT_EQ("current", ReadEntry(f));
    dir.Write("both", "disk");
    ASSERT_EQ(1, f.Open("both", 0));
    EXPECT_EQ("disk", ReadAll(f)) << "a file on disk comes before any archive";
}

TEST_F(PakLookup, StoredEntrySeeksFromItsOwnStart) {
    std::string data = "0123456789abcdef";
    dir.Write("a.pak", PakBuilder(1).Stored("pad", "PADDING").Stored("x", data).Bytes());
    OCFile f;
    ASSERT_EQ(1, f.Open("x", 0));
    EXPECT_EQ(16u, f.GetSize());
    char c = 0;
    f.Read(&c, 1);
    EXPECT_EQ('0', c);
    EXPECT_EQ(0, f.Seek(10, 1));
    f.Read(&c, 1);
    EXPECT_EQ('a', c) << "entry byte 10, not 10 bytes further on";
    EXPECT_EQ(0, f.Seek(3, 2));
    f.Read(&c, 1);
    EXPECT_EQ('3', c);
    EXPECT_EQ(0, f.Seek(0, 0));
    EXPECT_EQ(data, ReadAll(f, 16));
    EXPECT_NE(nullptr, f.stream()) << "decoders read the archive stream";
}

TEST_F(PakLookup, StoredDataSitsBehindThePackedDirectory) {
    for (int version : {1, 2}) {
        std::string dirBytes = DirEntry(version, "x", 0, 5);
        std::string packed = Deflate(dirBytes);
        std::string archive = PackedArchive(version, 1, dirBytes, "HELLOtail");
        size_t header = version == 1 ? 16 : 276;
        ASSERT_EQ("HELLO", archive.substr(header + packed.size(), 5));
        dir.Write("a.pak", archive);
        OCFile f;
        ASSERT_EQ(1, f.OpenFromArchives(dir.Path().c_str(), "x")) << version;
        EXPECT_EQ("HELLO", ReadEntry(f)) << version;
    }
}

TEST_F(PakLookup, Version0ReadsFromTheExactOffset) {
    std::string archive = U32(0) + U32(2) + DirEntry(0, "x", 60, 4) + DirEntry(0, "y", 50, 3);
    ASSERT_EQ(42u, archive.size());
    archive.resize(70, '.');
    archive.replace(50, 3, "YYY");
    archive.replace(60, 4, "XXXX");
    dir.Write("a.pak", archive);
    OCFile f;
    ASSERT_EQ(1, f.OpenFromArchives(dir.Path().c_str(), "x"));
    EXPECT_EQ("XXXX", ReadEntry(f));
    ASSERT_EQ(1, f.OpenFromArchives(dir.Path().c_str(), "y"));
    EXPECT_EQ("YYY", ReadEntry(f));
}

TEST_F(PakLookup, CompressedEntryIsServedFromMemory) {
    std::string big;
    for (int i = 0; i < 20000; i++) big += (char)('a' + i * 7 % 26);
    dir.Write("a.pak", PakBuilder(2).Stored("s", "stored").Compressed("big", big).Bytes());
    OCFile f;
    ASSERT_EQ(1, f.Open("big", 0));
    EXPECT_EQ(big.size(), f.GetSize());
    EXPECT_EQ(big, ReadAll(f));
    EXPECT_EQ(0, f.Seek(19990, 0));
    EXPECT_EQ(big.substr(19990), ReadAll(f));
}

TEST_F(PakLookup, ShortCompressedEntryKeepsItsSizeField) {
    dir.Write("a.pak", PakBuilder(1).Compressed("x", "abc", 8).Bytes());
    OCFile f;
    ASSERT_EQ(1, f.Open("x", 0));
    EXPECT_EQ(8u, f.GetSize());
    EXPECT_EQ(std::string("abc\0\0\0\0\0", 8), ReadAll(f));
}

TEST_F(PakLookup, ReadCompressedFromAMemoryBlock) {
    std::string packed = Deflate("payload") + "trailing";
    OCFile f;
    f.OpenMemory(&packed[0], packed.size());
    char out[16] = {};
    EXPECT_EQ(7u, f.ReadCompressed(packed.size(), out, sizeof out));
    EXPECT_STREQ("payload", out);
}
