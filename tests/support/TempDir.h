// A fresh scratch folder below the prefix's temporary folder, removed with
// everything in it when the object goes away.
#pragma once
#include <string>
#include "support/Files.h"

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return m_path; }
    // Path of a name below the folder ("a\\b.txt").
    std::string operator/(const std::string& name) const { return m_path + "\\" + name; }
    // Writes bytes to a file below the folder, creating no folders.
    void Write(const std::string& name, const std::string& bytes) const;
    std::string Read(const std::string& name) const;

private:
    std::string m_path;
};
