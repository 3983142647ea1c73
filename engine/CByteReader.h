// A bounded little-endian reader over bytes in memory. Every read checks what
// remains; a read past the end fails, stores zero and marks the reader failed,
// so a damaged file can never make the program read outside its buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class CByteReader {
public:
    CByteReader(const void* data, size_t size);

    bool ReadU8(uint8_t* out);
    bool ReadU16(uint16_t* out);
    bool ReadU32(uint32_t* out);
    bool ReadI32(int32_t* out);
    bool ReadF32(float* out);
    // Copies n bytes; fails (copying nothing) when fewer remain.
    bool ReadBytes(void* out, size_t n);
    // A string of exactly n bytes (stops at the first zero byte for the result).
    bool ReadFixedString(std::string* out, size_t n);
    bool Skip(size_t n);
    bool Seek(size_t offset);

    size_t Position() const { return pos_; }
    size_t Remaining() const { return size_ - pos_; }
    size_t Size() const { return size_; }
    const uint8_t* Data() const { return data_; }
    bool Failed() const { return failed_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    bool failed_ = false;
};
