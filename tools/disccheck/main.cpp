// disccheck: checks a game's discs and install.ini before they are pressed:
// what each install type copies and unpacks, and what the installer would
// stop at or get wrong.
#include "Checks.h"
#include "PakNames.h"

#include <cstdio>
#include <string>
#include <system_error>
#include <vector>

namespace {

using namespace disccheck;

constexpr int kExitClean = 0;
constexpr int kExitProblems = 1;
constexpr int kExitUsage = 2;

const char kUsage[] = "usage: disccheck DISC_DIR...\n"
                      "       disccheck --help\n";

const char kHelp[] =
    "\n"
    "Checks the folders of a game's discs, in disc order, against the install.ini\n"
    "of the first disc (loose in its root or inside a *.pak archive there).\n"
    "For every install type (TYPE1 to TYPE9) it reports, one line each:\n"
    "  - file entries that no disc with the right marker file (Name_label.INI)\n"
    "    can supply, and entries without a disc label;\n"
    "  - unPack archives that are missing from every disc's data folder\n"
    "    (DataPath) or fail verification;\n"
    "  - a size smaller than what the type installs (in MB, rounded up);\n"
    "  - types beyond the three the type dialog can show;\n"
    "  - Exec or Uninst.exe missing from what the type installs;\n"
    "  - on every disc a type reaches, a menu picture (install_back.JPG and the\n"
    "    six button pictures) that is neither in the disc's root nor in an\n"
    "    archive there, and a disc marker lying loose in a data folder;\n"
    "and values of install.ini that are not valid Shift-JIS text.\n"
    "Names compare without regard to case, as on Windows.\n"
    "\n"
    "Exit status: 0 no problems, 1 problems found (one line each), 2 wrong usage.\n";

struct UsageError {
    std::string message;
};

std::vector<DiscFolder> ParseDiscs(const std::vector<std::string>& args) {
    std::vector<DiscFolder> discs;
    bool operandsOnly = false;
    for (const std::string& a : args) {
        if (!operandsOnly && a == "--") {
            operandsOnly = true;
            continue;
        }
        if (!operandsOnly && a.size() > 1 && a[0] == '-') throw UsageError{"unknown option " + a};
        DiscFolder disc{pak::PathFromArgument(a), a};
        std::error_code ec;
        if (!std::filesystem::is_directory(disc.root, ec)) throw UsageError{a + " is not a folder"};
        discs.push_back(disc);
    }
    if (discs.empty()) throw UsageError{"no disc folder given"};
    return discs;
}

int Run(const std::vector<std::string>& args) {
    for (const std::string& a : args) {
        if (a == "--") break;
        if (a == "--help" || a == "-h") {
            std::printf("%s%s", kUsage, kHelp);
            return kExitClean;
        }
    }
    const std::vector<DiscFolder> discs = ParseDiscs(args);
    const Report report = CheckDiscs(discs);
    for (const std::string& problem : report.problems) std::printf("%s\n", problem.c_str());
    if (!report.problems.empty()) return kExitProblems;
    std::printf("no problems: %zu install type%s on %zu disc%s\n", report.types, report.types == 1 ? "" : "s",
                discs.size(), discs.size() == 1 ? "" : "s");
    return kExitClean;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    try {
        return Run(args);
    } catch (const UsageError& e) {
        std::fprintf(stderr, "disccheck: %s\n%s", e.message.c_str(), kUsage);
        return kExitUsage;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "disccheck: %s\n", e.what());
        return kExitProblems;
    }
}
