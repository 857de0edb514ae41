// What an install of the sample leaves on the machine, checked from outside:
// the install folder's files against the discs and the game's own programs,
// the registry records and the Start-menu folder with its two shortcuts.
#pragma once
#include <windows.h>
#include <string>

int CountFiles(const std::string& folder);
std::string RegistryString(HKEY root, const std::string& path, const char* name);
DWORD RegistryDword(HKEY root, const std::string& path, const char* name);

// Every record of an install of `type` (SampleType) into `folder`, the
// Start menu included; loose files are compared with the build's sample discs.
void ExpectInstalled(const std::string& folder, int type);
// No install folder, no maker folder above it, no records, no Start-menu folder.
void ExpectNothingInstalled(const std::string& folder);
