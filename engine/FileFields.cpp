#include "engine/FileFields.h"

#include <cstring>

namespace {

template <typename T>
T Reverse(T v) {
    unsigned char b[sizeof(T)];
    memcpy(b, &v, sizeof(T));
    for (size_t i = 0; i < sizeof(T) / 2; ++i) {
        const unsigned char t = b[i];
        b[i] = b[sizeof(T) - 1 - i];
        b[sizeof(T) - 1 - i] = t;
    }
    memcpy(&v, b, sizeof(T));
    return v;
}

template <typename T>
T ToFileOrder(T v) {
    return IsBigEndian() ? Reverse(v) : v;
}

template <typename T>
bool WriteField(T v, FILE* f) {
    if (!f) return false;
    const T fileOrder = ToFileOrder(v);
    return fwrite(&fileOrder, sizeof(T), 1, f) == 1;
}

template <typename T>
bool ReadField(T* out, FILE* f) {
    T v{};
    const bool ok = f && fread(&v, sizeof(T), 1, f) == 1;
    // A short read stores zero, never the bytes of a partial field.
    *out = ok ? ToFileOrder(v) : T{};
    return ok;
}

}  // namespace

bool IsBigEndian() {
    static const bool big = [] {
        const uint16_t probe = 1;
        unsigned char first;
        memcpy(&first, &probe, 1);
        return first == 0;
    }();
    return big;
}

uint32_t SwapInt32(uint32_t v) { return ToFileOrder(v); }
uint32_t SwapUInt32(uint32_t v) { return ToFileOrder(v); }
uint16_t SwapInt16(uint16_t v) { return ToFileOrder(v); }
uint8_t SwapUInt8(uint8_t v) { return v; }
float SwapFloat(float v) { return ToFileOrder(v); }
uint64_t SwapInt64(uint64_t v) { return ToFileOrder(v); }

bool WriteInt32(int32_t v, FILE* f) { return WriteField(v, f); }
bool WriteUInt8(uint8_t v, FILE* f) { return WriteField(v, f); }
bool WriteFloat(float v, FILE* f) { return WriteField(v, f); }
bool WriteInt64(int64_t v, FILE* f) { return WriteField(v, f); }

bool ReadInt32(int32_t* out, FILE* f) { return ReadField(out, f); }
bool ReadUInt8(uint8_t* out, FILE* f) { return ReadField(out, f); }
bool ReadFloat(float* out, FILE* f) { return ReadField(out, f); }
bool ReadInt64(int64_t* out, FILE* f) { return ReadField(out, f); }
