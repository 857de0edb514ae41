#include "PakBuilder.h"
#include "PakZlib.h"

std::string Deflated(const std::string& bytes) {
    std::vector<uint8_t> packed = pak::Deflate((const uint8_t*)bytes.data(), bytes.size(), -1);
    return std::string(packed.begin(), packed.end());
}

PakBuilder& PakBuilder::Add(const std::string& name, const std::string& data, bool compress) {
    const std::string stored = compress ? Deflated(data) : data;
    m_entries.push_back({name, 0, (uint32_t)m_data.size(), 0, (uint32_t)data.size(), compress,
                         compress ? (uint32_t)stored.size() : 0});
    m_data.insert(m_data.end(), stored.begin(), stored.end());
    return *this;
}

std::string PakBuilder::Bytes() const {
    std::vector<pak::Entry> entries = m_entries;
    if (m_version == 0)  // offsets count from the file's start, behind the header and the directory
        for (pak::Entry& e : entries) e.offset += 8 + (uint32_t)pak::EncodeDirectory(0, m_entries).size();
    std::vector<uint8_t> bytes =
        pak::AssembleArchive(m_version, (uint32_t)entries.size(), pak::EncodeDirectory(m_version, entries), m_data);
    return std::string(bytes.begin(), bytes.end());
}
