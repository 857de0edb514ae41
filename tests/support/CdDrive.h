// Maps folders as CD-ROM drives inside the running Wine prefix, live, through
// Wine's mount manager: a test can "insert" and "swap" discs while the
// program under test runs, without restarting the wineserver.
#pragma once
#include <string>

// Makes `windowsFolder` (any folder the test can reach, e.g. below its
// TempDir) appear as CD-ROM drive `letter`. A `.windows-label` file in the
// folder gives the volume label. Returns false when Wine refused.
bool MapCdDrive(char letter, const std::string& windowsFolder);
// Makes the Unix folder `unixPath` appear as fixed drive `letter` (a small
// file system mounted by a test script, say).
bool MapFixedDrive(char letter, const std::string& unixPath);
// Removes the drive letter again.
bool UnmapDrive(char letter);
// The Unix path of a Windows path (Wine's own conversion), "" on failure.
std::string UnixPathOf(const std::string& windowsPath);
