#include "InstallSettings.h"

namespace disccheck {

namespace {

const char kInstallSection[] = "install";
const int kMaxTypes = 9;

// Reads one key; records it for the text checks. Empty when missing.
std::string Read(const IniText& ini, const std::string& section, const char* key, InstallSettings& settings) {
    std::string value;
    if (ini.Find(section, key, &value)) settings.values.push_back({section, key, value});
    return value;
}

void ReadInstallSection(const IniText& ini, InstallSettings& s) {
    s.name = Read(ini, kInstallSection, "Name", s);
    s.brand = Read(ini, kInstallSection, "Brand", s);
    s.title = Read(ini, kInstallSection, "Title", s);
    s.exec = Read(ini, kInstallSection, "Exec", s);
    s.installPath = Read(ini, kInstallSection, "InstallPath", s);
    s.dataPath = Read(ini, kInstallSection, "DataPath", s);
    s.version = Read(ini, kInstallSection, "Version", s);
}

void ReadType(const IniText& ini, int number, InstallSettings& s) {
    InstallType type;
    type.section = "TYPE" + std::to_string(number);
    type.title = Read(ini, type.section, "title", s);
    type.file = Read(ini, type.section, "file", s);
    type.unPack = Read(ini, type.section, "unPack", s);
    type.sizeText = Read(ini, type.section, "size", s);
    type.size = LenientInt(type.sizeText);
    if (type.title.empty()) {
        if (!type.file.empty() || !type.unPack.empty() || !type.sizeText.empty())
            s.untitledTypes.push_back(type.section);
        return;
    }
    type.files = SplitFileList(type.file);
    type.archives = SplitList(type.unPack);
    s.types.push_back(type);
}

}  // namespace

InstallSettings ReadInstallSettings(const IniText& ini) {
    InstallSettings settings;
    ReadInstallSection(ini, settings);
    for (int n = 1; n <= kMaxTypes; ++n) ReadType(ini, n, settings);
    return settings;
}

std::vector<std::string> SplitList(const std::string& value) {
    std::vector<std::string> pieces;
    size_t start = 0;
    for (;;) {
        size_t end = FindChar(value, ';', start);
        std::string piece = value.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!piece.empty()) pieces.push_back(piece);
        if (end == std::string::npos) return pieces;
        start = end + 1;
    }
}

std::vector<FileEntry> SplitFileList(const std::string& value) {
    std::vector<FileEntry> entries;
    std::string label;
    for (const std::string& piece : SplitList(value)) {
        FileEntry entry;
        entry.text = piece;
        size_t colon = FindChar(piece, ':');
        if (colon != std::string::npos) {
            label = piece.substr(0, colon);
            entry.path = piece.substr(colon + 1);
        } else {
            entry.path = piece;
        }
        entry.label = label;
        entries.push_back(entry);
    }
    return entries;
}

}  // namespace disccheck
