#include "Checks.h"

#include "InstallSettings.h"
#include "PakArchive.h"
#include "PakNames.h"
#include "PakVerify.h"

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <set>

namespace disccheck {

namespace {

using pak::DisplayName;
using pak::FoldCase;

const char kConfigFile[] = "install.ini";
const char kUninstaller[] = "Uninst.exe";
const size_t kTypesShown = 3;       // the type dialog has three choices
// The menu reloads these from the current folder whenever it redraws, and
// during and after an install that folder is the disc in the drive.
const char* const kMenuPictures[] = {"install_back.JPG",   "install_btn01.JPG",   "install_btn02.JPG",
                                     "start_btn01.JPG",    "start_btn02.JPG",     "uninstall_btn01.JPG",
                                     "uninstall_btn02.JPG"};
const int kTypeSections = 9;

std::string Quote(const std::string& sjis) { return "'" + DisplayName(sjis) + "'"; }

std::string Shown(const fs::path& path) { return pak::DisplayPath(path); }

// A path below the install folder, in the form files are compared by.
std::string InstallKey(const std::string& relative) {
    std::string key = FoldCase(relative);
    for (size_t i = 0; i < key.size(); i = pak::NextChar(key, i))
        if (key[i] == '/') key[i] = '\\';
    return key;
}

bool IsUtf8(const std::string& text) {
    bool multibyte = false;
    for (size_t i = 0; i < text.size();) {
        const unsigned char b = static_cast<unsigned char>(text[i]);
        const size_t n = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
        if (n == 0 || i + n > text.size()) return false;
        for (size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        multibyte = multibyte || n > 1;
        i += n;
    }
    return multibyte;
}

// Everything one check run knows and finds.
class Checker {
public:
    explicit Checker(const std::vector<DiscFolder>& folders) : m_folders(folders) {}
    Report Run();

private:
    bool LoadSettings();
    void CheckTexts(const std::string& raw);
    void CheckInstallSection();
    void CheckSections(const IniText& ini);
    void CheckType(size_t index, const InstallType& type);
    void CheckArchive(const InstallType& type, const std::string& name);
    void CheckFileEntry(const InstallType& type, const FileEntry& entry);
    void ReportMissingEntry(const InstallType& type, const FileEntry& entry, const std::string& marker,
                            const std::vector<bool>& onDisc, const std::vector<bool>& marked);
    bool MarkerOn(size_t disc, const std::string& marker);
    std::string LooseMarker(const std::string& marker) const;
    void CheckInstalled(const InstallType& type);
    void CheckMenuPictures(size_t disc);
    void Add(const std::string& problem) { m_report.problems.push_back(problem); }
    void AddFor(const InstallType& type, const std::string& problem) {
        Add(type.section + " " + Quote(type.title) + ": " + problem);
    }
    void Install(const std::string& relative, uint64_t size) { m_installed[InstallKey(relative)] = size; }

    const std::vector<DiscFolder>& m_folders;
    std::vector<Disc> m_discs;
    InstallSettings m_settings;
    Report m_report;
    std::map<std::string, uint64_t> m_installed;          // this type's files, by InstallKey
    std::map<std::pair<size_t, std::string>, bool> m_markers;
    std::set<std::string> m_verified;                     // archives whose faults are reported
    std::set<size_t> m_reached;                           // discs this type copies from
    std::set<size_t> m_picturesChecked;
};

bool Checker::LoadSettings() {
    Disc first;
    first.root = m_folders[0].root;
    first.shown = m_folders[0].shown;
    const Lookup config = OpenByRelativeName(first, kConfigFile);  // no search folders yet
    if (config.result == Lookup::Result::Failed) {
        Add(std::string(kConfigFile) + ": reading it breaks off at " + Shown(config.file) + ": " + config.error);
        return false;
    }
    if (!config.found()) {
        Add(std::string(kConfigFile) + ": neither in " + first.shown + " nor in the archives there");
        return false;
    }
    if (!config.entryName.empty() && FoldCase(config.entryName) != kConfigFile)
        Add(std::string(kConfigFile) + ": the installer reads the entry " + Quote(config.entryName) + " of " +
            Shown(config.file) + ", whose name only begins with " + kConfigFile);
    const IniText ini(config.content);
    if (ini.StartsWithUtf8Mark())
        Add(std::string(kConfigFile) + ": begins with a UTF-8 byte order mark, which hides its first section header");
    m_settings = ReadInstallSettings(ini);
    CheckTexts(config.content);
    CheckSections(ini);
    return true;
}

void Checker::CheckTexts(const std::string& raw) {
    bool invalid = false;
    for (const SettingValue& v : m_settings.values) {
        if (IsShiftJisText(v.value)) continue;
        invalid = true;
        Add(std::string(kConfigFile) + ": [" + v.section + "] " + v.key + " is not valid Shift-JIS text: " +
            Quote(v.value));
    }
    if (invalid && IsUtf8(raw.substr(0, raw.find('\0'))))
        Add(std::string(kConfigFile) + ": the file looks like UTF-8 text; the installer reads Shift-JIS only");
}

// Sections the installer never reads, and types it skips.
void Checker::CheckSections(const IniText& ini) {
    for (const std::string& name : ini.SectionNames()) {
        const std::string folded = FoldCase(name);
        if (folded.size() <= 4 || folded.compare(0, 4, "type") != 0) continue;
        const std::string digits = folded.substr(4);
        if (digits.find_first_not_of("0123456789") != std::string::npos) continue;
        const bool read = digits.size() == 1 && digits[0] >= '1' && digits[0] - '0' <= kTypeSections;
        if (!read)
            Add(std::string(kConfigFile) + ": the section [" + DisplayName(name) +
                "] is never read; install types are TYPE1 to TYPE9");
    }
    for (const std::string& section : m_settings.untitledTypes)
        Add(std::string(kConfigFile) + ": [" + section + "] has no title, so the installer skips it");
}

void Checker::CheckInstallSection() {
    if (m_settings.exec.empty())
        Add(std::string(kConfigFile) + ": [install] Exec is empty, so GAME has nothing to start");
    for (const Disc& disc : m_discs)
        if (!disc.data)
            Add(disc.shown + ": no data folder " + Quote(m_settings.dataPath) + " (DataPath)");
    if (m_settings.types.empty())
        Add(std::string(kConfigFile) + ": no install type (TYPE1 to TYPE9 with a title)");
}

bool Checker::MarkerOn(size_t disc, const std::string& marker) {
    auto known = m_markers.find({disc, marker});
    if (known != m_markers.end()) return known->second;
    const Lookup lookup = OpenByRelativeName(m_discs[disc], marker);
    if (lookup.result == Lookup::Result::Failed)
        Add(m_discs[disc].shown + ": looking for the marker " + Quote(marker) + " breaks off at " +
            Shown(lookup.file) + ": " + lookup.error);
    m_markers[{disc, marker}] = lookup.found();
    return lookup.found();
}

// The discs whose data folder holds `marker` as a loose file, which the
// installer never opens by relative name; empty when none does.
std::string Checker::LooseMarker(const std::string& marker) const {
    std::string list;
    for (const Disc& disc : m_discs)
        if (disc.data && FindChild(*disc.data, marker)) list += (list.empty() ? "" : ", ") + disc.shown;
    return list;
}

void Checker::CheckMenuPictures(size_t disc) {
    if (!m_picturesChecked.insert(disc).second) return;
    for (const char* picture : kMenuPictures) {
        const Lookup lookup = OpenByRelativeName(m_discs[disc], picture);
        if (lookup.result == Lookup::Result::Missing)
            Add(m_discs[disc].shown + ": the menu picture " + Quote(picture) +
                " is neither in the root nor in an archive there; the menu redraws it from the disc in the drive"
                " and asks for the file");
    }
}

std::string DiscList(const std::vector<Disc>& discs, const std::vector<bool>& which) {
    std::string list;
    for (size_t i = 0; i < discs.size(); ++i)
        if (which[i]) list += (list.empty() ? "" : ", ") + discs[i].shown;
    return list;
}

void Checker::ReportMissingEntry(const InstallType& type, const FileEntry& entry, const std::string& marker,
                                 const std::vector<bool>& onDisc, const std::vector<bool>& marked) {
    const std::string what = "file entry " + Quote(entry.text) + ": ";
    const bool anyOn = std::find(onDisc.begin(), onDisc.end(), true) != onDisc.end();
    const bool anyMarked = std::find(marked.begin(), marked.end(), true) != marked.end();
    const std::string loose = LooseMarker(marker);
    if (!anyOn)
        AddFor(type, what + Quote(entry.path) + " is in no disc's data folder");
    else if (!anyMarked && !loose.empty())
        AddFor(type, what + "the marker " + Quote(marker) + " lies loose in the data folder of " + loose +
                         ", where the installer does not find it by name; pack it into an archive there");
    else if (!anyMarked)
        AddFor(type, what + "no disc carries the marker " + Quote(marker));
    else
        AddFor(type, what + Quote(entry.path) + " is on " + DiscList(m_discs, onDisc) + ", but the marker " +
                         Quote(marker) + " on " + DiscList(m_discs, marked));
}

void Checker::CheckFileEntry(const InstallType& type, const FileEntry& entry) {
    const std::string what = "file entry " + Quote(entry.text) + ": ";
    if (entry.label.empty())
        return AddFor(type, what + "has no disc label, so the installer can never find it");
    if (LeavesFolder(entry.path))
        return AddFor(type, what + "has a '..' part and would be copied outside the install folder");
    const std::string marker = m_settings.name + "_" + entry.label + ".INI";
    std::vector<bool> onDisc(m_discs.size()), marked(m_discs.size());
    for (size_t i = 0; i < m_discs.size(); ++i) {
        EntryMatch match = MatchEntry(m_discs[i], entry.path);
        onDisc[i] = match.onDisc;
        marked[i] = MarkerOn(i, marker);
        if (!onDisc[i] || !marked[i]) continue;
        for (const std::string& name : match.unnamed)
            AddFor(type, what + name + ": the name cannot be written in Shift-JIS, so it is not copied");
        if (match.files.empty()) AddFor(type, what + "copies no files from " + m_discs[i].shown);
        for (const InstalledFile& file : match.files) Install(file.relative, file.size);
        m_reached.insert(i);
        return;
    }
    ReportMissingEntry(type, entry, marker, onDisc, marked);
}

void Checker::CheckArchive(const InstallType& type, const std::string& name) {
    const std::string what = "unPack archive " + Quote(name) + ": ";
    size_t disc = 0;
    std::optional<fs::path> archive;
    for (; disc < m_discs.size() && !archive; ++disc) archive = FindArchiveFile(m_discs[disc], name);
    if (!archive) return AddFor(type, what + "is in no disc's data folder");
    m_reached.insert(disc - 1);
    if (disc > 1)
        AddFor(type, what + "is only on " + m_discs[disc - 1].shown +
                         "; archives are unpacked first, and for a missing one the installer asks for disc 1");
    const std::string path = Shown(*archive);
    std::vector<std::string> faults;
    std::unique_ptr<pak::Source> src;
    try {
        src = pak::OpenFileSource(path);
        faults = pak::VerifyArchive(*src);
    } catch (const pak::PakError& error) {
        faults.push_back(error.what());
    }
    if (m_verified.insert(path).second)   // an archive's faults once, whichever types use it
        for (const std::string& fault : faults) Add(path + ": " + fault);
    try {
        if (src)
            for (const pak::Entry& e : pak::ReadDirectory(*src).entries) Install(e.name, e.size);
    } catch (const pak::PakError&) {
        // reported above; its entries cannot be counted
    }
}

void Checker::CheckInstalled(const InstallType& type) {
    uint64_t bytes = 0;
    for (const auto& file : m_installed) bytes += file.second;
    const uint64_t needed = (bytes + (1u << 20) - 1) >> 20;
    if (static_cast<int64_t>(type.size) < static_cast<int64_t>(needed))
        AddFor(type, "size " + std::to_string(type.size) + " MB is less than the " + std::to_string(needed) +
                         " MB (" + std::to_string(bytes) + " bytes) the type installs");
    if (!m_settings.exec.empty() && !m_installed.count(InstallKey(m_settings.exec)))
        AddFor(type, "Exec " + Quote(m_settings.exec) + " is not among the files the type installs");
    if (!m_installed.count(InstallKey(kUninstaller)))
        AddFor(type, std::string(kUninstaller) + " is not among the files the type installs");
}

// Archives are unpacked before the files are copied, so a file of the same
// name replaces an unpacked entry.
void Checker::CheckType(size_t index, const InstallType& type) {
    m_installed.clear();
    m_reached = {0};                                      // setup.exe starts from the first disc
    if (index >= kTypesShown)
        AddFor(type, "the type dialog shows only the first three types, so this one can never be chosen");
    for (const std::string& archive : type.archives) CheckArchive(type, archive);
    for (const FileEntry& entry : type.files) CheckFileEntry(type, entry);
    CheckInstalled(type);
    for (size_t disc : m_reached) CheckMenuPictures(disc);
}

Report Checker::Run() {
    if (m_folders.empty() || !LoadSettings()) return m_report;
    for (const DiscFolder& folder : m_folders)
        m_discs.push_back(OpenDisc(folder.root, folder.shown, m_settings.dataPath));
    CheckInstallSection();
    m_report.types = m_settings.types.size();
    for (size_t i = 0; i < m_settings.types.size(); ++i) CheckType(i, m_settings.types[i]);
    return m_report;
}

}  // namespace

bool IsShiftJisText(const std::string& text) {
    if (!pak::IsValidCp932(text)) return false;
    for (size_t i = 0; i < text.size(); i = pak::NextChar(text, i)) {
        const std::string ch = text.substr(i, pak::NextChar(text, i) - i);
        if (static_cast<unsigned char>(ch[0]) < 0x20 || ch == "\\") continue;
        if (DisplayName(ch).compare(0, 2, "\\x") == 0) return false;   // no such character
    }
    return true;
}

Report CheckDiscs(const std::vector<DiscFolder>& discs) {
    return Checker(discs).Run();
}

}  // namespace disccheck
