// Reader of the pack layout shared by the image, sound and level packs:
// u32 count, count u32 offsets, then at each offset u32 size, u32 name length,
// the name bytes and the file bytes. Every count, offset and length is checked
// against the file's size before it is used.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CPackFile {
public:
    struct Entry {
        std::string name;
        const uint8_t* data = nullptr;  // points into the pack's bytes
        uint32_t size = 0;
    };

    // Reads and checks the whole file. False with a reason in Error() when the
    // file is missing or damaged; the pack is then empty.
    bool Load(const std::string& path);
    // The same for bytes already in memory (copied).
    bool LoadFromMemory(const void* data, size_t size);

    const std::vector<Entry>& Entries() const { return entries_; }
    const std::string& Error() const { return error_; }
    void Clear();

private:
    bool Parse();

    std::vector<uint8_t> bytes_;
    std::vector<Entry> entries_;
    std::string error_;
};
