#include "platform/AudioDecode.h"

#include <vorbis/vorbisfile.h>

#include <cstring>

#include "platform/AudioResult.h"

namespace {

struct MemoryStream {
    const uint8_t* data;
    size_t size;
    size_t pos;
};

size_t MemRead(void* out, size_t size, size_t count, void* source) {
    MemoryStream* s = static_cast<MemoryStream*>(source);
    if (size == 0) return 0;
    size_t items = (s->size - s->pos) / size;
    if (items > count) items = count;
    memcpy(out, s->data + s->pos, items * size);
    s->pos += items * size;
    return items;
}

int MemSeek(void* source, ogg_int64_t offset, int whence) {
    MemoryStream* s = static_cast<MemoryStream*>(source);
    ogg_int64_t base = 0;
    if (whence == SEEK_CUR) base = static_cast<ogg_int64_t>(s->pos);
    else if (whence == SEEK_END) base = static_cast<ogg_int64_t>(s->size);
    else if (whence != SEEK_SET) return -1;
    const ogg_int64_t target = base + offset;
    if (target < 0 || target > static_cast<ogg_int64_t>(s->size)) return -1;
    s->pos = static_cast<size_t>(target);
    return 0;
}

long MemTell(void* source) { return static_cast<long>(static_cast<MemoryStream*>(source)->pos); }

int DecodeVorbis(const uint8_t* bytes, size_t size, AudioPcm* out) {
    MemoryStream stream{bytes, size, 0};
    ov_callbacks callbacks;
    callbacks.read_func = MemRead;
    callbacks.seek_func = MemSeek;
    callbacks.close_func = nullptr;
    callbacks.tell_func = MemTell;
    OggVorbis_File vf;
    if (ov_open_callbacks(&stream, &vf, nullptr, 0, callbacks) != 0) return AUDIO_ERR_FILE_BAD;
    const vorbis_info* info = ov_info(&vf, -1);
    if (!info || info->channels < 1 || info->channels > 2 || info->rate < 1000 || info->rate > 192000) {
        ov_clear(&vf);
        return AUDIO_ERR_FORMAT;
    }
    out->channels = info->channels;
    out->rate = static_cast<int>(info->rate);
    out->samples.clear();
    char buffer[8192];
    int section = 0;
    const uint16_t probe = 1;
    const int bigEndianHost = *reinterpret_cast<const uint8_t*>(&probe) == 0 ? 1 : 0;
    int result = AUDIO_OK;
    for (;;) {
        const long got = ov_read(&vf, buffer, sizeof buffer, bigEndianHost, 2, 1, &section);
        if (got == 0) break;
        if (got == OV_HOLE) continue;  // a gap in the stream: keep what follows
        if (got < 0) {
            result = AUDIO_ERR_FILE_BAD;
            break;
        }
        // A chained stream that changes its layout midway is not ours.
        const vorbis_info* now = ov_info(&vf, -1);
        if (!now || now->channels != out->channels) {
            result = AUDIO_ERR_FORMAT;
            break;
        }
        const size_t count = static_cast<size_t>(got) / 2;
        if (out->samples.size() + count > kAudioMaxSamples) {
            result = AUDIO_ERR_MEMORY;
            break;
        }
        const size_t at = out->samples.size();
        out->samples.resize(at + count);
        memcpy(out->samples.data() + at, buffer, count * 2);
    }
    ov_clear(&vf);
    // Keep whole frames only.
    out->samples.resize(out->samples.size() - out->samples.size() % static_cast<size_t>(out->channels));
    if (result == AUDIO_OK && out->samples.empty()) result = AUDIO_ERR_FILE_BAD;
    if (result != AUDIO_OK) out->samples.clear();
    return result;
}

}  // namespace

int AudioDecodeMemory(const void* data, size_t size, AudioPcm* out) {
    if (!out || (!data && size > 0)) return AUDIO_ERR_INVALID_PARAM;
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    if (size >= 4 && memcmp(bytes, "OggS", 4) == 0) return DecodeVorbis(bytes, size, out);
    return AUDIO_ERR_FORMAT;
}
