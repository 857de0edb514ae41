// A fresh scratch folder below the temporary folder, removed with everything in it.
#pragma once
#include <string>
#include "support/Files.h"

class TempDir {
public:
    TempDir();
    ~TempDir() { RemoveTree(m_path); }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + "\\" + name; }
    void Write(const std::string& name, const std::string& bytes) const { WriteBytes(*this / name, bytes); }
    std::string Read(const std::string& name) const { return ReadBytes(*this / name); }

private:
    std::string m_path;
};
