#include "images/ImageEncoders.h"

#include <jpeglib.h>
#include <png.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Straight (not premultiplied) RGBA of one pixel of a Cairo ARGB32 surface.
inline void Unpremultiply(uint32_t px, uint8_t& r, uint8_t& g, uint8_t& b, uint8_t& a) {
    a = static_cast<uint8_t>(px >> 24);
    const uint32_t pr = (px >> 16) & 0xff, pg = (px >> 8) & 0xff, pb = px & 0xff;
    if (a == 0) {
        r = g = b = 0;
    } else if (a == 255) {
        r = static_cast<uint8_t>(pr);
        g = static_cast<uint8_t>(pg);
        b = static_cast<uint8_t>(pb);
    } else {
        r = static_cast<uint8_t>(std::min<uint32_t>(255, (pr * 255 + a / 2) / a));
        g = static_cast<uint8_t>(std::min<uint32_t>(255, (pg * 255 + a / 2) / a));
        b = static_cast<uint8_t>(std::min<uint32_t>(255, (pb * 255 + a / 2) / a));
    }
}

bool UsableSurface(cairo_surface_t* s) {
    if (!s || cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) return false;
    if (cairo_image_surface_get_format(s) != CAIRO_FORMAT_ARGB32) return false;
    cairo_surface_flush(s);
    return cairo_image_surface_get_width(s) > 0 && cairo_image_surface_get_height(s) > 0;
}

inline const uint32_t* Row(cairo_surface_t* s, int y) {
    return reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s));
}

void PutLE16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void PutLE32(std::vector<uint8_t>& out, uint32_t v) {
    PutLE16(out, v & 0xffff);
    PutLE16(out, v >> 16);
}

void PngWrite(png_structp png, png_bytep data, png_size_t len) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + len);
}

void PngFlush(png_structp) {}

}  // namespace

bool EncodePng(cairo_surface_t* surface, std::vector<uint8_t>& out) {
    if (!UsableSurface(surface)) return false;
    const int w = cairo_image_surface_get_width(surface), h = cairo_image_surface_get_height(surface);
    std::vector<uint8_t> rgba(static_cast<size_t>(w) * h * 4);
    for (int y = 0; y < h; ++y) {
        const uint32_t* row = Row(surface, y);
        uint8_t* dst = &rgba[static_cast<size_t>(y) * w * 4];
        for (int x = 0; x < w; ++x) Unpremultiply(row[x], dst[4 * x], dst[4 * x + 1], dst[4 * x + 2], dst[4 * x + 3]);
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    out.clear();
    // libpng reports errors by longjmp; no C++ objects are created past here.
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &out, PngWrite, PngFlush);
    png_set_IHDR(png, info, w, h, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 6);
    png_write_info(png, info);
    for (int y = 0; y < h; ++y) png_write_row(png, &rgba[static_cast<size_t>(y) * w * 4]);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

bool EncodeTga(cairo_surface_t* surface, std::vector<uint8_t>& out) {
    if (!UsableSurface(surface)) return false;
    const int w = cairo_image_surface_get_width(surface), h = cairo_image_surface_get_height(surface);
    if (w > 65535 || h > 65535) return false;
    out.clear();
    out.reserve(18 + static_cast<size_t>(w) * h * 4);
    out.push_back(0);  // no id field
    out.push_back(0);  // no colour map
    out.push_back(2);  // uncompressed true colour
    for (int i = 0; i < 5; ++i) out.push_back(0);  // colour map fields
    PutLE16(out, 0);   // x origin
    PutLE16(out, 0);   // y origin
    PutLE16(out, static_cast<uint32_t>(w));
    PutLE16(out, static_cast<uint32_t>(h));
    out.push_back(32);
    out.push_back(0x28);  // 8 alpha bits, rows top to bottom
    for (int y = 0; y < h; ++y) {
        const uint32_t* row = Row(surface, y);
        for (int x = 0; x < w; ++x) {
            uint8_t r, g, b, a;
            Unpremultiply(row[x], r, g, b, a);
            out.push_back(b);
            out.push_back(g);
            out.push_back(r);
            out.push_back(a);
        }
    }
    return true;
}

bool EncodeJpg(cairo_surface_t* surface, int quality, std::vector<uint8_t>& out) {
    if (!UsableSurface(surface)) return false;
    const int w = cairo_image_surface_get_width(surface), h = cairo_image_surface_get_height(surface);
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char* mem = nullptr;
    unsigned long memSize = 0;
    jpeg_mem_dest(&cinfo, &mem, &memSize);
    cinfo.image_width = static_cast<JDIMENSION>(w);
    cinfo.image_height = static_cast<JDIMENSION>(h);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<uint8_t> line(static_cast<size_t>(w) * 3);
    for (int y = 0; y < h; ++y) {
        // Premultiplied colour is exactly the colour laid over black.
        const uint32_t* row = Row(surface, y);
        for (int x = 0; x < w; ++x) {
            line[3 * x] = static_cast<uint8_t>(row[x] >> 16);
            line[3 * x + 1] = static_cast<uint8_t>(row[x] >> 8);
            line[3 * x + 2] = static_cast<uint8_t>(row[x]);
        }
        JSAMPROW rp = line.data();
        jpeg_write_scanlines(&cinfo, &rp, 1);
    }
    jpeg_finish_compress(&cinfo);
    out.assign(mem, mem + memSize);
    jpeg_destroy_compress(&cinfo);
    free(mem);
    return !out.empty();
}

bool EncodeBmpKeyed(cairo_surface_t* surface, std::vector<uint8_t>& out) {
    if (!UsableSurface(surface)) return false;
    const int w = cairo_image_surface_get_width(surface), h = cairo_image_surface_get_height(surface);
    const uint32_t rowBytes = (static_cast<uint32_t>(w) * 3 + 3) & ~3u;
    const uint32_t dataSize = rowBytes * static_cast<uint32_t>(h);
    out.clear();
    out.push_back('B');
    out.push_back('M');
    PutLE32(out, 14 + 40 + dataSize);
    PutLE32(out, 0);
    PutLE32(out, 14 + 40);
    PutLE32(out, 40);
    PutLE32(out, static_cast<uint32_t>(w));
    PutLE32(out, static_cast<uint32_t>(h));
    PutLE16(out, 1);
    PutLE16(out, 24);
    PutLE32(out, 0);  // no compression
    PutLE32(out, dataSize);
    PutLE32(out, 2835);
    PutLE32(out, 2835);
    PutLE32(out, 0);
    PutLE32(out, 0);
    for (int y = h - 1; y >= 0; --y) {
        const uint32_t* row = Row(surface, y);
        size_t start = out.size();
        for (int x = 0; x < w; ++x) {
            uint8_t r, g, b, a;
            Unpremultiply(row[x], r, g, b, a);
            if (a < 128) {
                r = 255;
                g = 0;
                b = 255;
            }
            out.push_back(b);
            out.push_back(g);
            out.push_back(r);
        }
        while (out.size() - start < rowBytes) out.push_back(0);
    }
    return true;
}

std::string ImageType(const std::string& name) {
    if (name.size() < 3) return "";
    std::string t = name.substr(name.size() - 3);
    for (char& c : t) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return t;
}

bool EncodeByName(const std::string& name, cairo_surface_t* surface, std::vector<uint8_t>& out) {
    const std::string type = ImageType(name);
    if (type == "png") return EncodePng(surface, out);
    if (type == "tga") return EncodeTga(surface, out);
    if (type == "jpg") return EncodeJpg(surface, 88, out);
    fprintf(stderr, "no encoder for the picture %s\n", name.c_str());
    return false;
}
