#include "install/InstallConfig.h"
#include "archive/Ini.h"
#include "archive/OCFile.h"
#include "base/Messages.h"

namespace {

const char kConfigFile[] = "install.ini";
const char kInstallSection[] = "install";
const int kMaxTypes = 9;

}  // namespace

// install.ini's keys. The file is read once for all of them when it opens:
// opened anew for each key it cost the menu's start several milliseconds.
// When it cannot be opened, each key is read on its own, and each read asks
// the user as the file layer does.
class ConfigText {
public:
    ConfigText() {
        OCFile file;
        m_loaded = file.OpenOnce(kConfigFile, kOpenRead) != 0;
        if (m_loaded) m_text.LoadFromFile(file);
    }
    // `value` keeps its content when there is no such key.
    void Read(const char* section, const char* key, OCString& value) {
        if (m_loaded)
            IniFindValue(section, key, value, m_text);
        else
            IniReadValue(section, key, value, kConfigFile);
    }

private:
    OCString m_text;
    bool m_loaded;
};

InstallConfig::InstallConfig()
    : ownerWindow(NULL), selectedType(0), requiredBytes(0), copyResult(0), progressEnded(NULL) {}

void InstallConfig::Load() {
    selectedType = 1;
    ConfigText text;
    LoadInstallSection(text);
    for (int n = 1; n <= kMaxTypes; n++) LoadType(text, n);
    FormWindowTitle();
}

void InstallConfig::LoadInstallSection(ConfigText& text) {
    text.Read(kInstallSection, "Name", name);
    text.Read(kInstallSection, "Brand", brand);
    text.Read(kInstallSection, "Title", title);
    text.Read(kInstallSection, "Exec", exec);
    text.Read(kInstallSection, "InstallPath", installPath);
    text.Read(kInstallSection, "DataPath", dataPath);
    text.Read(kInstallSection, "Version", version);
}

// Every value starts empty, so a missing key never repeats the previous
// section's value. A section without a title is skipped; later ones still count.
void InstallConfig::LoadType(ConfigText& text, int number) {
    OCString section;
    section.Format("TYPE%d", number);
    TypeEntry type;
    OCString size;
    text.Read(section.GetBuffer(), "title", type.title);
    text.Read(section.GetBuffer(), "file", type.file);
    text.Read(section.GetBuffer(), "unPack", type.unPack);
    text.Read(section.GetBuffer(), "size", size);
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
