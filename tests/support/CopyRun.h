// The install sequence's copy step run for real (dialog 107 and its worker
// thread) on discs that are folders mapped as Q:, and archives made with the
// pak tool's own library. Not part of test_support: a test program that uses
// it compiles CopyRun.cpp and links install_lib and paklib.
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
std::string MakePak(unsigned version, const std::vector<PakItem>& items);  // in the given order
std::string Pattern(size_t length, int seed = 7);
std::string DefaultCaption();  // of a box shown without a caption: the system's "Error"

class CopyRun : public ::testing::Test {
protected:
    CopyRun();
    void TearDown() override;
    // A disc folder whose DATA\disc.pak holds the marker of `label`.
    std::string MakeDisc(const std::string& folder, const std::string& label);
    void Put(const std::string& disc, const std::string& relative, const std::string& bytes);
    void Insert(const std::string& disc);  // as Q:
    void ChooseType(const char* unPack, const char* file, int sizeMegabytes);
    // RunCopyStep, its dialog watched; the user tries to close the dialog as the copy starts.
    int Run(DWORD dialogDelayMs = 0);
    std::string Folder() const { return config.installFolder.GetBuffer(); }
    std::string Installed(const std::string& relative) const;
    // The bar must have shown running sums of `sums` in order, first and last
    // included; updates faster than the dialog shows them may merge.
    void ExpectBarSteps(const std::vector<int>& sums);

    TempDir dir;
    InstallConfig config;
    std::vector<int> positions;  // the bar's, in order
    int rangeHigh = -1;
    std::string lastText;        // the file name shown when the dialog closed

private:
    static LRESULT CALLBACK Watch(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK Hold(int code, WPARAM wParam, LPARAM lParam);
    DWORD m_delayMs = 0;
};
