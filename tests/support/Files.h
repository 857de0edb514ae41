#pragma once
#include <string>

// The tests' own crossing into the wide calls, code page 932 named as the
// program's is, so that every test reads and writes the same names and texts
// whatever the system's code page.
std::wstring Wide(const std::string& sjis);
std::string Sjis(const std::wstring& wide);       // '?' for what 932 cannot hold

bool Exists(const std::string& path);                                // a file or a folder
std::string ReadBytes(const std::string& path);                     // "" when it cannot be read
bool WriteBytes(const std::string& path, const std::string& bytes); // creates no folders
bool CopyTree(const std::string& from, const std::string& to);
int CountFiles(const std::string& folder);                          // at any depth
void RemoveTree(const std::string& path);
std::string ProgramFolder();   // bin/, where setup.exe lies too
std::string TempFolder();      // ending in a backslash
