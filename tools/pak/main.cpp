// pak: makes, lists, unpacks and checks the installer's *.pak archives.
#include "PakArchive.h"
#include "PakFiles.h"
#include "PakNames.h"
#include "PakVerify.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

namespace {

using namespace pak;
namespace fs = std::filesystem;

constexpr int kExitOk = 0;
constexpr int kExitError = 1;
constexpr int kExitUsage = 2;
constexpr uint64_t kProgressThreshold = 32u << 20;  // archives from this size show progress

const char kUsage[] =
    "usage: pak create [--format 0|1|2] [--store | --compress | --auto] [--level N] ARCHIVE DIR\n"
    "       pak list ARCHIVE\n"
    "       pak extract ARCHIVE DIR\n"
    "       pak verify ARCHIVE\n"
    "       pak --help\n";

const char kHelp[] =
    "\n"
    "create   packs every file below DIR; entries are named by their path below DIR\n"
    "         with backslashes (cg\\title.png), in Shift-JIS (code page 932).\n"
    "  --format N   archive version 0, 1 or 2 (default 2); version 0 cannot compress\n"
    "  --store      store every entry as is (default for version 0)\n"
    "  --compress   compress every non-empty entry with zlib\n"
    "  --auto       compress an entry only when that makes it smaller (default)\n"
    "  --level N    zlib level 0-9 (default 6)\n"
    "list     shows each entry: name, size, stored/compressed, compressed size, offset\n"
    "extract  writes every entry below DIR, creating folders; refuses names that\n"
    "         could land outside DIR\n"
    "verify   checks the directory, every entry's place and every compressed stream;\n"
    "         exit status 0 when the archive is sound, 1 with one line per fault\n"
    "\n"
    "Exit status: 0 done, 1 error, 2 wrong usage.\n";

struct UsageError {
    std::string message;
};

int Fail(const std::string& what, const std::string& message) {
    std::fprintf(stderr, "pak: %s: %s\n", what.c_str(), message.c_str());
    return kExitError;
}

// A one-line progress report on the terminal, for large archives only.
class Progress {
public:
    Progress(const char* verb, uint64_t bytes)
        : m_verb(verb), m_on(bytes >= kProgressThreshold && isatty(fileno(stderr))) {}
    ~Progress() { if (m_on && m_shown) std::fputc('\n', stderr); }
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;
    void operator()(size_t done, size_t total) {
        if (!m_on || total == 0) return;
        unsigned percent = static_cast<unsigned>(done * 100 / total);
        if (m_shown && percent == m_last && done != total) return;
        std::fprintf(stderr, "\rpak: %s %3u%% (%zu of %zu entries)", m_verb, percent, done, total);
        std::fflush(stderr);
        m_last = percent;
        m_shown = true;
    }
    std::function<void(size_t, size_t)> Callback() {
        return [this](size_t d, size_t t) { (*this)(d, t); };
    }
private:
    const char* m_verb;
    bool m_on;
    bool m_shown = false;
    unsigned m_last = 0;
};

struct CreateArgs {
    WriteOptions options;
    bool packingGiven = false;
    std::vector<std::string> operands;
};

uint32_t ParseNumber(const std::string& option, const std::string& text, uint32_t max) {
    if (text.empty() || text.size() > 2 || text.find_first_not_of("0123456789") != std::string::npos ||
        std::stoul(text) > max)
        throw UsageError{option + " takes a number from 0 to " + std::to_string(max)};
    return static_cast<uint32_t>(std::stoul(text));
}

CreateArgs ParseCreate(const std::vector<std::string>& args) {
    CreateArgs c;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) throw UsageError{a + " needs a value"};
            return args[++i];
        };
        auto packing = [&](Packing p) {
            if (c.packingGiven) throw UsageError{"give only one of --store, --compress and --auto"};
            c.options.packing = p;
            c.packingGiven = true;
        };
        if (a == "--format") c.options.version = ParseNumber(a, value(), 2);
        else if (a == "--level") c.options.level = static_cast<int>(ParseNumber(a, value(), 9));
        else if (a == "--store") packing(Packing::Store);
        else if (a == "--compress") packing(Packing::Compress);
        else if (a == "--auto") packing(Packing::Auto);
        else if (a.size() > 1 && a[0] == '-') throw UsageError{"unknown option " + a};
        else c.operands.push_back(a);
    }
    if (c.operands.size() != 2) throw UsageError{"create needs ARCHIVE and DIR"};
    if (c.options.version == 0 && c.options.packing == Packing::Compress)
        throw UsageError{"version 0 archives cannot hold compressed entries; use --format 1 or 2"};
    if (c.options.version == 0) c.options.packing = Packing::Store;
    return c;
}

void WriteFile(const fs::path& path, const std::vector<uint8_t>& bytes) {
    fs::path temp = path;
    temp += ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) throw PakError("cannot create the file");
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (out.fail()) {
            std::error_code ec;
            fs::remove(temp, ec);
            throw PakError("cannot write the file");
        }
    }
    std::error_code ec;
    fs::rename(temp, path, ec);
    if (ec) {
        fs::remove(temp, ec);
        throw PakError("cannot replace the file");
    }
}

int Create(const std::vector<std::string>& args) {
    CreateArgs c = ParseCreate(args);
    const std::string& archive = c.operands[0];
    const std::string& dirText = c.operands[1];
    std::vector<InputFile> files;
    uint64_t total = 0;
    try {
        files = CollectFiles(PathFromArgument(dirText), PathFromArgument(archive));
        for (const InputFile& f : files) total += f.data.size();
    } catch (const PakError& e) {
        std::fprintf(stderr, "pak: %s\n", e.what());  // names the file or folder itself
        return kExitError;
    }
    try {
        Progress progress("packing", total);
        std::vector<uint8_t> bytes = BuildArchive(std::move(files), c.options, progress.Callback());
        WriteFile(PathFromArgument(archive), bytes);
    } catch (const PakError& e) {
        return Fail(archive, e.what());
    }
    return kExitOk;
}

int List(const std::string& archive) {
    try {
        std::unique_ptr<Source> src = OpenFileSource(archive);
        Directory dir = ReadDirectory(*src);
        for (const std::string& fault : dir.faults) std::fprintf(stderr, "pak: %s: warning: %s\n", archive.c_str(), fault.c_str());
        for (const Entry& e : dir.entries) {
            std::printf("%s\t%u\t%s\t%u\t%llu\n", DisplayName(e.name).c_str(), e.size,
                        e.IsCompressed() ? "compressed" : "stored", e.StoredSize(),
                        static_cast<unsigned long long>(e.dataPosition));
        }
    } catch (const PakError& e) {
        return Fail(archive, e.what());
    }
    return kExitOk;
}

int Extract(const std::string& archive, const std::string& dirText) {
    try {
        std::unique_ptr<Source> src = OpenFileSource(archive);
        Directory dir = ReadDirectory(*src);
        Progress progress("unpacking", src->Size());
        ExtractAll(*src, dir, PathFromArgument(dirText), progress.Callback());
    } catch (const PakError& e) {
        return Fail(archive, e.what());
    }
    return kExitOk;
}

int Verify(const std::string& archive) {
    std::vector<std::string> faults;
    try {
        std::unique_ptr<Source> src = OpenFileSource(archive);
        Progress progress("checking", src->Size());
        faults = VerifyArchive(*src, progress.Callback());
    } catch (const PakError& e) {
        return Fail(archive, e.what());
    }
    for (const std::string& fault : faults) Fail(archive, fault);
    return faults.empty() ? kExitOk : kExitError;
}

int Run(const std::vector<std::string>& args) {
    if (args.empty()) throw UsageError{"no command given"};
    const std::string& command = args[0];
    std::vector<std::string> rest(args.begin() + 1, args.end());
    if (command == "--help" || command == "-h" || command == "help") {
        std::printf("%s%s", kUsage, kHelp);
        return kExitOk;
    }
    if (command == "create") return Create(rest);
    for (const std::string& a : rest)
        if (a.size() > 1 && a[0] == '-') throw UsageError{"unknown option " + a};
    if (command == "list" && rest.size() == 1) return List(rest[0]);
    if (command == "verify" && rest.size() == 1) return Verify(rest[0]);
    if (command == "extract" && rest.size() == 2) return Extract(rest[0], rest[1]);
    if (command == "list" || command == "verify" || command == "extract")
        throw UsageError{"wrong number of operands for " + command};
    throw UsageError{"unknown command " + command};
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    try {
        return Run(args);
    } catch (const UsageError& e) {
        std::fprintf(stderr, "pak: %s\n%s", e.message.c_str(), kUsage);
        return kExitUsage;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "pak: %s\n", e.what());
        return kExitError;
    }
}
