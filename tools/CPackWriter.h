// Writes the pack layout the game's CPackFile reads: u32 count, count u32
// offsets, then per entry u32 size, u32 name length, name, bytes. Entries keep
// the order they were added in; the same entries always give the same bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CPackWriter {
public:
    void Add(const std::string& name, std::vector<uint8_t> bytes);
    bool Has(const std::string& name) const;
    size_t Count() const { return entries_.size(); }

    // Writes the pack file. False (with a message on stderr) when it fails.
    bool Write(const std::string& path) const;
    // Writes every entry as a loose file into folder (the game's folder mode).
    bool WriteLoose(const std::string& folder) const;

private:
    struct Entry {
        std::string name;
        std::vector<uint8_t> bytes;
    };
    std::vector<Entry> entries_;
};
