// What the install and reliability tests share: archives made with the pak
// tool's own library, and the install sequence's copy step run for real
// (dialog 107 and its worker thread) on discs that are folders mapped as Q:.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include <vector>
#include "install/InstallConfig.h"
#include "support/TempDir.h"

struct PakItem {
    std::string name, bytes;
    bool packed = false;
    unsigned recordedSize = 0;  // the size the directory claims; 0: the real one
};
// An archive of `version` holding the items in the given order.
std::string MakePak(unsigned version, const std::vector<PakItem>& items);
std::string Pattern(size_t length, int seed = 7);
std::string DefaultCaption();  // of a box shown without a caption: the system's "Error"

struct CopyLog {
    std::vector<int> positions;  // the bar's positions, in order
    int rangeHigh = -1;
    std::string lastText;        // the file name shown when the dialog closed
    DWORD delayMs = 0;           // how long the dialog's creation is held back
};

class CopyRun : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // A disc folder whose DATA\disc.pak holds the marker of `label`.
    std::string MakeDisc(const std::string& folder, const std::string& label);
    void Put(const std::string& disc, const std::string& relative, const std::string& bytes);
    void Insert(const std::string& disc);  // as Q:
    void ChooseType(const char* unPack, const char* file, int sizeMegabytes);
    int Run(DWORD delayMs = 0);            // RunCopyStep, watched
    std::string Folder() const { return config.installFolder.GetBuffer(); }
    std::string Installed(const std::string& relative) const;
    TempDir dir;
    InstallConfig config;
    CopyLog log;
};

// The bar must show running sums of `sums` in order, first and last included;
// updates faster than the dialog shows them may merge.
void ExpectBarSteps(const std::vector<int>& sums, std::vector<int> shown);
