// Drive letters mapped live through Wine's mount manager: a test can insert
// and swap discs while the program under test runs.
#pragma once
#include <string>

// A `.windows-label` file in the folder gives the volume label.
bool MapCdDrive(char letter, const std::string& windowsFolder);
bool MapFixedDrive(char letter, const std::string& unixPath);
bool UnmapDrive(char letter);
