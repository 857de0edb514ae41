#include "support/TempDir.h"
#include <windows.h>

TempDir::TempDir() {
    static int serial = 0;
    char name[MAX_PATH];
    do wsprintfA(name, "%stest-%lu-%d", TempFolder().c_str(), GetCurrentProcessId(), ++serial);
    while (!CreateDirectoryA(name, NULL));
    m_path = name;
}

TempDir::~TempDir() { RemoveTree(m_path); }

void TempDir::Write(const std::string& name, const std::string& bytes) const { WriteBytes(*this / name, bytes); }

std::string TempDir::Read(const std::string& name) const { return ReadBytes(*this / name); }
