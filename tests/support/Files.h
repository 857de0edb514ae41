#pragma once
#include <string>

bool Exists(const std::string& path);                                // a file or a folder
std::string ReadBytes(const std::string& path);                     // "" when it cannot be read
bool WriteBytes(const std::string& path, const std::string& bytes); // creates no folders
bool CopyTree(const std::string& from, const std::string& to);
int CountFiles(const std::string& folder);                          // at any depth
void RemoveTree(const std::string& path);
std::string ProgramFolder();   // bin/, where setup.exe lies too
std::string TempFolder();      // ending in a backslash
