#include "engine/CPackFile.h"

#include <cstdio>
#include <cstring>

#include "engine/CByteReader.h"
#include "platform/Platform.h"

void CPackFile::Clear() {
    bytes_.clear();
    entries_.clear();
}

bool CPackFile::Load(const std::string& path) {
    Clear();
    error_.clear();
    FILE* f = PlatformOpenForReading(path);
    if (!f) {
        error_ = "cannot open '" + path + "'";
        return false;
    }
    bool ok = fseek(f, 0, SEEK_END) == 0;
    const long size = ok ? ftell(f) : -1;
    ok = ok && size >= 0 && fseek(f, 0, SEEK_SET) == 0;
    if (ok) {
        bytes_.resize(static_cast<size_t>(size));
        ok = size == 0 || fread(bytes_.data(), 1, bytes_.size(), f) == bytes_.size();
    }
    fclose(f);
    if (!ok) {
        Clear();
        error_ = "cannot read '" + path + "'";
        return false;
    }
    return Parse();
}

bool CPackFile::LoadFromMemory(const void* data, size_t size) {
    Clear();
    error_.clear();
    const uint8_t* p = static_cast<const uint8_t*>(data);
    if (p) bytes_.assign(p, p + size);
    return Parse();
}

bool CPackFile::Parse() {
    CByteReader header(bytes_.data(), bytes_.size());
    uint32_t count = 0;
    // Each entry needs at least its offset and an 8-byte header, so a count
    // larger than that is damage, not a reason to reserve memory.
    if (!header.ReadU32(&count) || count > header.Remaining() / 12) {
        error_ = "bad entry count";
        Clear();
        return false;
    }
    entries_.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t offset = 0;
        header.ReadU32(&offset);
        CByteReader entry(bytes_.data(), bytes_.size());
        uint32_t size = 0;
        uint32_t nameLength = 0;
        Entry e;
        if (!entry.Seek(offset) || !entry.ReadU32(&size) || !entry.ReadU32(&nameLength) ||
            !entry.ReadFixedString(&e.name, nameLength) || size > entry.Remaining()) {
            error_ = "entry " + std::to_string(i) + " lies outside the file";
            Clear();
            return false;
        }
        e.data = bytes_.data() + entry.Position();
        e.size = size;
        entries_.push_back(e);
    }
    return true;
}
