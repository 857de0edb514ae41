// The authors' tool and the installer's reader agree: every file packed by
// pak.exe, in each format and compression mode, is served by OpenFromArchives
// with the same bytes, Japanese names included.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "archive/OCFile.h"
#include "support/TempDir.h"

namespace {

std::string ExeFolder() {
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.rfind('\\'));
}

// Runs pak.exe with `arguments`; its exit code, or -1 when it did not start.
int RunPak(const std::string& arguments) {
    std::string command = "\"" + ExeFolder() + "\\pak.exe\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    std::vector<char> line(command.begin(), command.end());
    line.push_back(0);
    if (!CreateProcessA(NULL, line.data(), NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process))
        return -1;
    WaitForSingleObject(process.hProcess, 60000);
    DWORD code = (DWORD)-1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return (int)code;
}

std::string ReadEntry(const std::string& folder, const std::string& name) {
    OCFile file;
    if (!file.OpenFromArchives(folder.c_str(), name.c_str())) return "<missing>";
    std::string bytes(file.GetSize(), '\0');
    if (!bytes.empty() && !file.ReadExact(&bytes[0], (unsigned)bytes.size())) return "<short>";
    return bytes;
}

std::string Pattern(size_t size, unsigned seed) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; i++) {
        seed = seed * 1103515245u + 12345u;
        // half text-like (compressible), half noise
        bytes[i] = (char)(i % 512 < 256 ? 'a' + (i / 7) % 26 : (seed >> 16) & 0xFF);
    }
    return bytes;
}

struct Packed {
    const char* options;
};

class PakToolRoundTrip : public ::testing::TestWithParam<Packed> {
protected:
    void SetUp() override {
        CreateDirectoryA((dir / "src").c_str(), NULL);
        CreateDirectoryA((dir / "src\\cg").c_str(), NULL);
        CreateDirectoryA((dir / "src\\ソフト").c_str(), NULL);
        CreateDirectoryA((dir / "out").c_str(), NULL);
        files = {{"install.ini", "[install]\r\nName=SAMPLE\r\n"},
                 {"cg\\title.png", Pattern(70000, 1)},
                 {"ソフト\\表.dat", Pattern(5000, 2)},
                 {"empty.txt", ""}};
        for (auto& f : files) dir.Write("src\\" + f.first, f.second);
    }
    TempDir dir;
    std::vector<std::pair<std::string, std::string>> files;
};

TEST_P(PakToolRoundTrip, EveryFileIsServedByTheReader) {
    std::string archive = dir / "out\\game.pak";
    std::string args = std::string("create ") + GetParam().options + " \"" + archive + "\" \"" +
                       (dir / "src") + "\"";
    ASSERT_EQ(0, RunPak(args)) << args;
    ASSERT_EQ(0, RunPak("verify \"" + archive + "\""));
    for (auto& f : files) EXPECT_EQ(f.second, ReadEntry(dir / "out", f.first)) << f.first;
    EXPECT_EQ("<missing>", ReadEntry(dir / "out", "absent.bin"));
}

INSTANTIATE_TEST_SUITE_P(Formats, PakToolRoundTrip,
                         ::testing::Values(Packed{"--format 0"}, Packed{"--format 1 --store"},
                                           Packed{"--format 1 --compress"}, Packed{"--format 2"},
                                           Packed{"--format 2 --compress --level 9"}));

}  // namespace
