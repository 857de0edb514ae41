// The copy worker behind a real progress dialog 107, on discs that are
// folders mapped as CD-ROM drive Q:.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include <vector>
#include "install/InstallConfig.h"
#include "support/TempDir.h"

// What the progress bar and text were told while the dialog ran.
struct ProgressLog {
    std::vector<int> positions;         // every PBM_SETPOS, in order
    int rangeHigh = -1;                 // the last PBM_SETRANGE32's high end
    std::string lastText;               // text 1007 when the dialog was closed
    int endCode = -2;                   // RunModal's result
};

const int kDialogTimedOut = 99;         // the dialog closed itself after 30 s

// The bar's positions as the dialog showed them: the worker's updates merge
// when they come faster than the dialog shows them, so `shown` must be the
// running sums `sums` in order with some left out, from the first to the last.
void ExpectBarSteps(const std::vector<int>& sums, std::vector<int> shown);

class CopyFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A disc folder below the test folder with DATA\disc.pak holding the
    // marker of `label` (none for an empty label).
    std::string MakeDisc(const std::string& folder, const std::string& label);
    // Writes `bytes` to `relative` below a disc's DATA folder, folders included.
    void PutOnDisc(const std::string& disc, const std::string& relative, const std::string& bytes);
    void InsertDisc(const std::string& disc);           // maps it as Q:
    // The selected type with these lists; PrepareCopy builds the work lists.
    void ChooseType(const char* unPack, const char* file, int sizeMegabytes);
    // Starts the worker, waits `dialogDelayMs`, runs dialog 107 until the worker closes it.
    void RunWorker(DWORD dialogDelayMs = 0);
    std::string Installed(const std::string& relative) const;
    bool InstalledExists(const std::string& relative = "") const;

    TempDir dir;
    InstallConfig config;
    ProgressLog log;
};

// Answers message boxes owned by the progress dialog whatever their caption
// (the error report has the system's default caption): records text and
// caption and presses OK.
class OwnedBoxAnswerer {
public:
    explicit OwnedBoxAnswerer(const InstallConfig& config);
    ~OwnedBoxAnswerer();
    OwnedBoxAnswerer(const OwnedBoxAnswerer&) = delete;
    OwnedBoxAnswerer& operator=(const OwnedBoxAnswerer&) = delete;
    std::vector<std::string> Texts();

private:
    const InstallConfig& m_config;
    std::vector<std::string> m_texts;
    CRITICAL_SECTION m_lock;
    volatile LONG m_stop;
    HANDLE m_thread;
    static DWORD WINAPI Run(void* self);
};
