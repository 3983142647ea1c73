#include "engine/CByteReader.h"

#include <cstring>

#include "engine/FileFields.h"

CByteReader::CByteReader(const void* data, size_t size) : data_(static_cast<const uint8_t*>(data)), size_(data ? size : 0) {}

bool CByteReader::ReadBytes(void* out, size_t n) {
    if (failed_ || n > Remaining()) {
        failed_ = true;
        if (out && n) memset(out, 0, n);
        return false;
    }
    if (n) memcpy(out, data_ + pos_, n);
    pos_ += n;
    return true;
}

bool CByteReader::ReadU8(uint8_t* out) { return ReadBytes(out, 1); }

bool CByteReader::ReadU16(uint16_t* out) {
    const bool ok = ReadBytes(out, 2);
    *out = SwapInt16(*out);
    return ok;
}

bool CByteReader::ReadU32(uint32_t* out) {
    const bool ok = ReadBytes(out, 4);
    *out = SwapUInt32(*out);
    return ok;
}

bool CByteReader::ReadI32(int32_t* out) {
    uint32_t v;
    const bool ok = ReadU32(&v);
    *out = static_cast<int32_t>(v);
    return ok;
}

bool CByteReader::ReadF32(float* out) {
    const bool ok = ReadBytes(out, 4);
    *out = SwapFloat(*out);
    return ok;
}

bool CByteReader::ReadFixedString(std::string* out, size_t n) {
    out->clear();
    if (failed_ || n > Remaining()) {
        failed_ = true;
        return false;
    }
    const char* p = reinterpret_cast<const char*>(data_ + pos_);
    out->assign(p, strnlen(p, n));
    pos_ += n;
    return true;
}

bool CByteReader::Skip(size_t n) {
    if (failed_ || n > Remaining()) {
        failed_ = true;
        return false;
    }
    pos_ += n;
    return true;
}

bool CByteReader::Seek(size_t offset) {
    if (failed_ || offset > size_) {
        failed_ = true;
        return false;
    }
    pos_ = offset;
    return true;
}
