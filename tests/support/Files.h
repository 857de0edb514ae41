// Files and folders for the tests: one set of helpers for every test program.
#pragma once
#include <string>

bool Exists(const std::string& path);                                // a file or a folder
std::string ReadBytes(const std::string& path);                     // "" when it cannot be read
bool WriteBytes(const std::string& path, const std::string& bytes); // creates no folders
// Copies a folder with everything below it; false at the first failure.
bool CopyTree(const std::string& from, const std::string& to);
int CountFiles(const std::string& folder);                          // files at any depth below it
void RemoveTree(const std::string& path);                           // with everything below it
std::string ProgramFolder();   // the running program's folder: bin/, where setup.exe lies too
std::string TempFolder();      // GetTempPathA, ending in a backslash
