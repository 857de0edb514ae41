#include "install/InstallConfig.h"
#include "archive/Ini.h"
#include "base/Messages.h"

namespace {

const char kConfigFile[] = "install.ini";
const char kInstallSection[] = "install";
const int kMaxTypes = 9;

// Reads one key of install.ini; `value` keeps its content when there is none.
void ReadKey(const char* section, const char* key, OCString& value) {
    IniReadValue(section, key, value, kConfigFile);
}

}  // namespace

InstallConfig::InstallConfig()
    : ownerWindow(NULL), selectedType(0), requiredBytes(0), copyResult(0), progressEnded(NULL) {}

void InstallConfig::Load() {
    selectedType = 1;
    LoadInstallSection();
    for (int n = 1; n <= kMaxTypes; n++) LoadType(n);
    FormWindowTitle();
}

void InstallConfig::LoadInstallSection() {
    ReadKey(kInstallSection, "Name", name);
    ReadKey(kInstallSection, "Brand", brand);
    ReadKey(kInstallSection, "Title", title);
    ReadKey(kInstallSection, "Exec", exec);
    ReadKey(kInstallSection, "InstallPath", installPath);
    ReadKey(kInstallSection, "DataPath", dataPath);
    ReadKey(kInstallSection, "Version", version);
}

// Every value starts empty, so a missing key never repeats the previous
// section's value. A section without a title is skipped; later ones still count.
void InstallConfig::LoadType(int number) {
    OCString section;
    section.Format("TYPE%d", number);
    TypeEntry type;
    OCString size;
    ReadKey(section.GetBuffer(), "title", type.title);
    ReadKey(section.GetBuffer(), "file", type.file);
    ReadKey(section.GetBuffer(), "unPack", type.unPack);
    ReadKey(section.GetBuffer(), "size", size);
    type.size = size.ToInt();
    if (!type.title.IsEmpty()) types.push_back(type);
}

void InstallConfig::FormWindowTitle() {
    const char* shownTitle = title.GetBuffer() ? title.GetBuffer() : "";
    if (version.IsEmpty())
        windowTitle.Format(kFmtWindowTitle, shownTitle);
    else
        windowTitle.Format(kFmtWindowTitleVersion, shownTitle, version.GetBuffer());
}
