#include "CPackWriter.h"

#include <sys/stat.h>

#include <cstdio>

namespace {

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) {
        fprintf(stderr, "cannot create %s\n", path.c_str());
        return false;
    }
    const bool ok = (bytes.empty() || fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size());
    const bool closed = fclose(f) == 0;
    if (!ok || !closed) fprintf(stderr, "cannot write %s\n", path.c_str());
    return ok && closed;
}

}  // namespace

void CPackWriter::Add(const std::string& name, std::vector<uint8_t> bytes) {
    entries_.push_back(Entry{name, std::move(bytes)});
}

bool CPackWriter::Has(const std::string& name) const {
    for (const Entry& e : entries_)
        if (e.name == name) return true;
    return false;
}

bool CPackWriter::Write(const std::string& path) const {
    std::vector<uint8_t> out;
    PutU32(out, static_cast<uint32_t>(entries_.size()));
    uint32_t offset = static_cast<uint32_t>(4 + 4 * entries_.size());
    for (const Entry& e : entries_) {
        PutU32(out, offset);
        offset += static_cast<uint32_t>(8 + e.name.size() + e.bytes.size());
    }
    for (const Entry& e : entries_) {
        PutU32(out, static_cast<uint32_t>(e.bytes.size()));
        PutU32(out, static_cast<uint32_t>(e.name.size()));
        out.insert(out.end(), e.name.begin(), e.name.end());
        out.insert(out.end(), e.bytes.begin(), e.bytes.end());
    }
    return WriteFile(path, out);
}

bool CPackWriter::WriteLoose(const std::string& folder) const {
    mkdir(folder.c_str(), 0755);
    bool ok = true;
    for (const Entry& e : entries_) ok = WriteFile(folder + "/" + e.name, e.bytes) && ok;
    return ok;
}
