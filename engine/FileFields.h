// Little-endian file fields: byte-order swaps for in-memory packs, and one-field
// reads and writes on stdio streams. Every stream call reports success; a read
// that hits the end of the stream stores zero.
#pragma once

#include <cstdint>
#include <cstdio>

bool IsBigEndian();

uint32_t SwapInt32(uint32_t v);
uint32_t SwapUInt32(uint32_t v);
uint16_t SwapInt16(uint16_t v);
uint8_t SwapUInt8(uint8_t v);
float SwapFloat(float v);
uint64_t SwapInt64(uint64_t v);

bool WriteInt32(int32_t v, FILE* f);
bool WriteUInt8(uint8_t v, FILE* f);
bool WriteFloat(float v, FILE* f);
bool WriteInt64(int64_t v, FILE* f);

bool ReadInt32(int32_t* out, FILE* f);
bool ReadUInt8(uint8_t* out, FILE* f);
bool ReadFloat(float* out, FILE* f);
bool ReadInt64(int64_t* out, FILE* f);
