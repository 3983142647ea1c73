#include "tools/design/PngText.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/Platform.h"

namespace {

const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
// The signature and the header chunk (length, type, 13 bytes, check sum).
constexpr size_t kHeaderEnd = 8 + 4 + 4 + 13 + 4;
// A mark is found among the first chunks, before the picture data; a file
// that holds more before it is no sheet of ours.
constexpr int kChunksRead = 16;
constexpr uint32_t kTextBytesMax = 1024;

uint32_t Crc32(const unsigned char* data, size_t length, uint32_t crc = 0) {
    crc = ~crc;
    for (size_t i = 0; i < length; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void PutBigEndian(uint32_t v, std::vector<unsigned char>* out) {
    for (int shift = 24; shift >= 0; shift -= 8) out->push_back(static_cast<unsigned char>(v >> shift));
}

uint32_t BigEndian(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 | static_cast<uint32_t>(p[2]) << 8 |
           p[3];
}

std::string TextData(const std::string& keyword, const std::string& text) { return keyword + '\0' + text; }

}  // namespace

std::vector<unsigned char> WithPngText(const std::vector<unsigned char>& png, const std::string& keyword,
                                       const std::string& text) {
    if (png.size() < kHeaderEnd || memcmp(png.data(), kSignature, sizeof kSignature) != 0) return png;
    const std::string data = TextData(keyword, text);
    std::vector<unsigned char> chunk;
    PutBigEndian(static_cast<uint32_t>(data.size()), &chunk);
    chunk.insert(chunk.end(), {'t', 'E', 'X', 't'});
    chunk.insert(chunk.end(), data.begin(), data.end());
    PutBigEndian(Crc32(chunk.data() + 4, chunk.size() - 4), &chunk);
    std::vector<unsigned char> out(png.begin(), png.begin() + kHeaderEnd);
    out.insert(out.end(), chunk.begin(), chunk.end());
    out.insert(out.end(), png.begin() + kHeaderEnd, png.end());
    return out;
}

bool FileHasPngText(const std::string& path, const std::string& keyword, const std::string& text) {
    FILE* f = PlatformOpenForReading(path);
    if (!f) return false;
    const std::string wanted = TextData(keyword, text);
    unsigned char head[8];
    const bool png = fread(head, 1, sizeof head, f) == sizeof head && memcmp(head, kSignature, sizeof kSignature) == 0;
    bool marked = false;
    for (int chunk = 0; png && !marked && chunk < kChunksRead; ++chunk) {
        if (fread(head, 1, sizeof head, f) != sizeof head) break;
        const uint32_t length = BigEndian(head);
        const std::string type(reinterpret_cast<const char*>(head + 4), 4);
        if (type == "IDAT" || type == "IEND") break;
        if (type == "tEXt" && length == wanted.size() && length <= kTextBytesMax) {
            std::string data(length, '\0');
            marked = fread(&data[0], 1, length, f) == length && data == wanted;
            if (fseek(f, 4, SEEK_CUR) != 0) break;
        } else if (length > 0x7FFFFFFFu || fseek(f, static_cast<long>(length) + 4, SEEK_CUR) != 0) {
            break;
        }
    }
    fclose(f);
    return marked;
}
