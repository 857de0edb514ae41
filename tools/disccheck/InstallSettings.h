// install.ini as the installer loads it: section [install] and the install
// types TYPE1 to TYPE9, with the `file` and `unPack` lists split.
#pragma once
#include "IniText.h"

#include <string>
#include <vector>

namespace disccheck {

// One `file` entry: the disc label in force (empty when none was given yet) and the path.
struct FileEntry {
    std::string label;
    std::string path;
    std::string text;  // the entry as written, for messages
};

struct InstallType {
    std::string section;   // "TYPE1" .. "TYPE9"
    std::string title;
    std::string file;
    std::string unPack;
    std::string sizeText;
    int size = 0;          // megabytes, read leniently
    std::vector<FileEntry> files;
    std::vector<std::string> archives;
};

// A value as read, with where it came from, for the text checks.
struct SettingValue {
    std::string section;
    std::string key;
    std::string value;
};

struct InstallSettings {
    std::string name, title, brand, exec, installPath, dataPath, version;
    std::vector<InstallType> types;            // sections with a title, in order
    std::vector<std::string> untitledTypes;    // TYPEn sections with other keys but no title
    std::vector<SettingValue> values;          // every non-empty value read
};

InstallSettings ReadInstallSettings(const IniText& ini);

// ";"-separated pieces, empty ones skipped.
std::vector<std::string> SplitList(const std::string& value);

// "label:path" pieces; a piece without ":" keeps the label of the one before.
std::vector<FileEntry> SplitFileList(const std::string& value);

}  // namespace disccheck
