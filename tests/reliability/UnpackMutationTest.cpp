// The archive tool's damage corpus through the installer's unpacker: every
// damaged archive ends with its entries written or an OCErrorException, and
// nothing ever appears outside the target folder: a canary folder beside it
// and the listings of its parent and of the scratch folder stay as they were.
#include <gtest/gtest.h>
#include <windows.h>
#include <map>
#include <string>
#include <vector>
#include "PakArchive.h"
#include "PakMutator.h"
#include "Scratch.h"
#include "archive/OCFile.h"
#include "base/OCException.h"
#include "install/Unpack.h"
#include "support/TempDir.h"

namespace {

std::vector<uint8_t> Bytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

std::vector<pak::InputFile> SoundFiles() {
    std::vector<pak::InputFile> files;
    files.push_back({"readme.txt", Bytes("read me\r\n")});
    files.push_back({"cg\\表示.bmp", Bytes(std::string(3000, 'b'))});
    files.push_back({"cg\\ソフト\\title.png", Bytes(std::string(70000, 'p'))});
    files.push_back({"empty.dat", {}});
    files.push_back({"voice\\a.wav", Bytes(std::string(900, 'v'))});
    return files;
}

std::vector<std::vector<uint8_t>> SoundArchives() {
    std::vector<std::vector<uint8_t>> sound;
    const pak::Packing packings[] = {pak::Packing::Store, pak::Packing::Compress, pak::Packing::Auto};
    for (uint32_t version = 0; version <= 2; version++)
        for (pak::Packing packing : packings) {
            if (version == 0 && packing != pak::Packing::Store) continue;
            pak::WriteOptions options;
            options.version = version;
            options.packing = packing;
            sound.push_back(pak::BuildArchive(SoundFiles(), options));
        }
    return sound;
}

std::string Text(const OCException& e) {
    const OCErrorException* error = dynamic_cast<const OCErrorException*>(&e);
    return error && error->message.GetBuffer() ? error->message.GetBuffer() : "";
}

struct Tally {
    int runs = 0, done = 0, raised = 0, other = 0, filesWritten = 0;
    std::map<std::string, int> byDamage;     // runs per kind of damage
    std::map<std::string, int> byMessage;    // errors per message
};

// The scratch layout: source\m.pak, out\target (unpacked into), out\canary.
class Scratch {
public:
    Scratch() : source(dir / "source"), out(dir / "out"), target(out + "\\target"), canary(out + "\\canary") {
        CreateDirectoryA(source.c_str(), NULL);
        CreateDirectoryA(out.c_str(), NULL);
        CreateDirectoryA(canary.c_str(), NULL);
        WriteBytes(canary + "\\keep.txt", "canary");
        rootBefore = ListTree(dir.Path());
    }
    // Nothing new beside the target folder, in the canary, or anywhere else.
    void ExpectContained(int run) {
        std::set<std::string> outside = ListTree(dir.Path());
        for (auto it = outside.begin(); it != outside.end();)
            it = it->compare(0, 11, "out\\target\\") == 0 ? outside.erase(it) : std::next(it);
        outside.erase("out\\target");
        outside.erase("source\\m.pak");
        ASSERT_EQ(rootBefore, outside) << "run " << run << " wrote outside the target folder";
    }
    TempDir dir;
    const std::string source, out, target, canary;
    std::set<std::string> rootBefore;
};

}  // namespace

TEST(UnpackMutation, DamagedArchivesUnpackOrRaiseAndStayInTheTargetFolder) {
    const int kRuns = 1200;
    const std::vector<std::vector<uint8_t>> sound = SoundArchives();
    Scratch scratch;
    const std::string archive = scratch.source + "\\m.pak";
    QuietScope quiet;                                // an unwritable name is skipped, not asked about
    Tally tally;
    const DWORD started = GetTickCount();
    for (int run = 0; run < kRuns; run++) {
        const pak::Mutation mutation = pak::MutateArchive(sound[run % sound.size()], 7000 + run);
        tally.byDamage[pak::DamageName(mutation.damage)]++;
        ASSERT_TRUE(WriteBytes(archive, std::string(mutation.bytes.begin(), mutation.bytes.end())));
        try {
            UnpackArchive(archive.c_str(), scratch.target.c_str());
            tally.done++;
        } catch (const OCErrorException& e) {
            tally.raised++;
            tally.byMessage[Text(e)]++;
        } catch (...) {
            tally.other++;
        }
        tally.filesWritten += (int)ListTree(scratch.target).size();
        scratch.ExpectContained(run);
        ASSERT_FALSE(HasFatalFailure());
        RemoveTree(scratch.target);
        tally.runs++;
    }
    std::string kinds;
    for (const auto& k : tally.byDamage) kinds += k.first + " " + std::to_string(k.second) + ", ";
    Report("pak", std::to_string(tally.runs) + " damaged archives through UnpackArchive: " +
                      std::to_string(tally.done) + " unpacked, " + std::to_string(tally.raised) +
                      " raised OCErrorException, " + std::to_string(tally.other) + " other; " +
                      std::to_string(tally.filesWritten) + " files and folders written, none outside; " +
                      std::to_string(GetTickCount() - started) + " ms");
    Report("pak", "damage: " + kinds.substr(0, kinds.size() - 2));
    for (const auto& m : tally.byMessage) Report("pak", "error " + std::to_string(m.second) + "x: " + m.first);
    EXPECT_EQ(0, tally.other);
    EXPECT_EQ(kRuns, tally.done + tally.raised);
    EXPECT_GT(tally.done, 0);
    EXPECT_GT(tally.raised, 0);
}
