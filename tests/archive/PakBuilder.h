// Archives for the tests, written with the authors' library (paklib). Unlike
// the tool, which sorts them, the builder keeps the entries in the order
// given, and stores or compresses each one as asked.
#pragma once
#include <string>
#include <vector>
#include "PakArchive.h"

class PakBuilder {
public:
    explicit PakBuilder(uint32_t version) : m_version(version) {}
    PakBuilder& Stored(const std::string& name, const std::string& data) { return Add(name, data, false); }
    PakBuilder& Compressed(const std::string& name, const std::string& data) { return Add(name, data, true); }
    std::string Bytes() const;

private:
    PakBuilder& Add(const std::string& name, const std::string& data, bool compress);
    uint32_t m_version;
    std::vector<pak::Entry> m_entries;
    std::vector<uint8_t> m_data;
};

std::string Deflated(const std::string& bytes);  // one zlib stream
