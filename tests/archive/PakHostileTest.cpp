// Damaged and hostile archives: the reader stops at the end of what it has,
// never reads outside a buffer, and reports broken data with one error.
#include "ArchiveFixture.h"
#include "PakBuilder.h"
#include "base/Messages.h"

namespace {

class PakHostile : public ArchiveTest {
protected:
    // The outcome of looking `name` up in an archive holding `bytes`:
    // "hit:<entry bytes>", "miss" or the error message.
    std::string Lookup(const std::string& bytes, const char* name = "x") {
        dir.Write("a.pak", bytes);
        OCFile f;
        std::string outcome = "miss";
        std::string error = ErrorMessageOf([&] {
            if (f.OpenFromArchives(dir.Path().c_str(), name)) outcome = "hit:" + ReadEntry(f);
        });
        return error.empty() ? outcome : error;
    }
    const std::string kError = kMsgInflateFailed;
};

}  // namespace

TEST_F(PakHostile, EntryCountBeyondTheDirectoryStopsAtItsEnd) {
    std::string entry = DirEntry(1, "x", 0, 1);
    EXPECT_EQ("hit:D", Lookup(PackedArchive(1, 1000000, entry, "D")));
    EXPECT_EQ("miss", Lookup(PackedArchive(1, 0xFFFFFFFF, entry, "D"), "y"));
    EXPECT_EQ("miss", Lookup(U32(0) + U32(0xFFFFFFFF) + DirEntry(0, "a", 0, 1), "y"));
}

TEST_F(PakHostile, NameLengthBeyondTheDirectoryStopsAtItsEnd) {
    for (uint32_t length : {0xFFFFFFFFu, 0x80000000u, 0x7FFFFFFFu, 30u}) {
        std::string entries = DirEntry(2, "a", 0, 1) + U32(length) + "x" + std::string(20, '\0');
        EXPECT_EQ("miss", Lookup(PackedArchive(2, 2, entries, "D"))) << length;
        std::string v0 = U32(0) + U32(2) + DirEntry(0, "a", 0, 1) + U32(length) + "x" + U32(0);
        EXPECT_EQ("miss", Lookup(v0)) << length;
    }
}

TEST_F(PakHostile, EntryCutShortByTheDirectoryEndIsNotRead) {
    std::string whole = DirEntry(1, "x", 0, 1);
    EXPECT_EQ("miss", Lookup(PackedArchive(1, 1, whole.substr(0, whole.size() - 1), "D")));
    std::string v0 = U32(0) + U32(1) + DirEntry(0, "x", 0, 1);
    EXPECT_EQ("miss", Lookup(v0.substr(0, v0.size() - 2)));
}

TEST_F(PakHostile, DirectoryInflatingShortOfItsSizeIsReadOnlyAsFarAsItGoes) {
    // The header promises 4096 directory bytes; only one entry's worth arrives.
    std::string entry = DirEntry(1, "x", 0, 1);
    EXPECT_EQ("miss", Lookup(PackedArchiveRaw(1, 2, 4096, Deflate(entry), "D"), "y"));
    EXPECT_EQ("hit:D", Lookup(PackedArchiveRaw(1, 2, 4096, Deflate(entry), "D"), "x"));
}

TEST_F(PakHostile, SizesThatCannotBeAllocatedGiveTheError) {
    std::string entry = DirEntry(1, "x", 0, 0xFFFFFFF0u, 1, 10);
    EXPECT_EQ(kError, Lookup(PackedArchive(1, 1, entry, Deflate("abc"))));
    // A 64-bit test build obtains a directory of 3 or 4 GB and reads it as far
    // as its bytes go; the installer itself is a 32-bit process.
    if (sizeof(void*) > 4) return;
    EXPECT_EQ(kError, Lookup(PackedArchiveRaw(1, 1, 0xFFFFFFF0u, Deflate(DirEntry(1, "x", 0, 1)), "D")));
    EXPECT_EQ(kError, Lookup(PackedArchiveRaw(2, 1, 0xC0000000u, Deflate(DirEntry(2, "x", 0, 1)), "D")));
}

TEST_F(PakHostile, DataPositionsPast2GiBGiveTheError) {
    EXPECT_EQ(kError, Lookup(PackedArchive(1, 1, DirEntry(1, "x", 0xFFFFFFF8u, 1), "D")));
    EXPECT_EQ(kError, Lookup(U32(0) + U32(1) + DirEntry(0, "x", 0x80000000u, 1)));
}

TEST_F(PakHostile, DataPositionPastTheFileEndReadsNothing) {
    EXPECT_EQ("hit:", Lookup(PackedArchive(1, 1, DirEntry(1, "x", 1000, 4), "D")));
}

TEST_F(PakHostile, BrokenEntryStreamsGiveTheError) {
    std::string packed = Deflate("abcdefgh");
    std::string corrupt = packed;
    corrupt[4] ^= 0x55;
    corrupt[corrupt.size() - 1] ^= 0x01;  // the Adler-32 trailer at least
    std::string truncated = packed.substr(0, packed.size() - 3);
    auto archive = [](const std::string& data, uint32_t size, uint32_t packedSize) {
        return PackedArchive(1, 1, DirEntry(1, "x", 0, size, 1, packedSize), data);
    };
    EXPECT_EQ("hit:abcdefgh", Lookup(archive(packed, 8, packed.size())));
    EXPECT_EQ(kError, Lookup(archive(packed, 7, packed.size()))) << "inflates past its size";
    EXPECT_EQ(kError, Lookup(archive(corrupt, 8, corrupt.size())));
    EXPECT_EQ(kError, Lookup(archive(truncated, 8, truncated.size())));
    EXPECT_EQ(kError, Lookup(archive(packed, 8, packed.size() - 3))) << "packed size too small";
    EXPECT_EQ(kError, Lookup(archive("", 8, 0)));
    EXPECT_EQ("hit:abcdefgh", Lookup(archive(packed, 8, 0x7FFFFFFF))) << "ends at the stream's end";
}

TEST_F(PakHostile, BrokenDirectoryStreamsGiveTheError) {
    std::string packed = Deflate(DirEntry(1, "x", 0, 1));
    std::string corrupt = packed;
    corrupt[3] ^= 0x40;
    EXPECT_EQ("hit:D", Lookup(PackedArchiveRaw(1, 1, 25, packed, "D")));
    EXPECT_EQ(kError, Lookup(PackedArchiveRaw(1, 1, 25, corrupt, "D")));
    EXPECT_EQ(kError, Lookup(PackedArchiveRaw(1, 1, 25, packed.substr(0, 10), "")));
    EXPECT_EQ(kError, Lookup(PackedArchiveRaw(1, 1, 24, packed, "D"))) << "directory longer than its size";
}

TEST_F(PakHostile, ShortHeadersAndUnknownVersions) {
    EXPECT_EQ("miss", Lookup(""));
    EXPECT_EQ("miss", Lookup("\x01\x00"));        // reads as version 0, no entries
    EXPECT_EQ("miss", Lookup(U32(0) + "\x05"));   // count cut short
    EXPECT_EQ(kError, Lookup(U32(1) + U32(1) + "\x10\x00"));
    EXPECT_EQ(kError, Lookup(U32(2) + U32(1)));
    EXPECT_EQ(kError, Lookup(U32(3) + U32(1) + U32(25) + U32(0)));
    EXPECT_EQ(kError, Lookup(U32(0xFFFFFFFF)));
}

TEST_F(PakHostile, ErrorPropagatesOutOfOpenAndLeavesTheObjectClosed) {
    dir.Write("a.pak", U32(7));
    OCFile f;
    EXPECT_EQ(kError, ErrorMessageOf([&] { f.Open("anything", 0); }));
    EXPECT_EQ(nullptr, f.stream());
    EXPECT_EQ(0u, f.GetSize());
}
