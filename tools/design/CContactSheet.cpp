#include "tools/design/CContactSheet.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "engine/Utilities.h"
#include "images/DrawKit.h"
#include "tools/design/ToolOutput.h"

using namespace DrawKit;

namespace {

constexpr int kScreenWidth = 800;
constexpr int kScreenHeight = 600;
constexpr double kMargin = 16;
constexpr double kHeader = 44;
constexpr double kCaption = 36;  // two lines under each picture
constexpr double kGap = 12;

const Color kSheet = Hex(0x2b2b33);
const Color kCaptionColour = Hex(0xf0ead8);
const Color kDetailColour = Hex(0xb9b3a3);
const Color kWarnColour = Hex(0xff6b5b);

cairo_status_t AppendBytes(void* closure, const unsigned char* data, unsigned int length) {
    std::vector<unsigned char>* png = static_cast<std::vector<unsigned char>*>(closure);
    png->insert(png->end(), data, data + length);
    return CAIRO_STATUS_SUCCESS;
}

}  // namespace

CContactSheet::CContactSheet(const std::string& title, const std::string& prefix, int columns, int rows, double scale,
                             int count)
    : title_(title),
      prefix_(prefix),
      columns_(std::max(1, std::min(columns, count))),
      rows_(rows),
      scale_(scale),
      count_(count) {}

CContactSheet::~CContactSheet() {
    if (page_) cairo_surface_destroy(page_);
}

void CContactSheet::PageSize(int rows, int* width, int* height) const {
    *width = static_cast<int>(2 * kMargin + columns_ * kScreenWidth * scale_ + (columns_ - 1) * kGap);
    *height = static_cast<int>(kMargin + kHeader + rows * (kScreenHeight * scale_ + kCaption) + (rows - 1) * kGap +
                               kMargin);
}

int CContactSheet::RowsFrom(int first) const {
    return std::max(1, std::min(rows_, (count_ - first + columns_ - 1) / columns_));
}

bool CContactSheet::Fits(std::string* error) const {
    // The first page is the largest.
    const int rows = RowsFrom(0);
    int width = 0, height = 0;
    PageSize(rows, &width, &height);
    if (static_cast<long long>(width) * height <= kMaxPixels) return true;
    char scale[32];
    snprintf(scale, sizeof scale, "%g", scale_);
    *error = "a sheet of " + std::to_string(columns_) + " x " + std::to_string(rows) + " pictures at scale " + scale +
             " would have " + GroupThousands(width) + " x " + GroupThousands(height) + " pixels, more than the " +
             GroupThousands(static_cast<int>(kMaxPixels)) + " a sheet may have";
    return false;
}

bool CContactSheet::Add(cairo_surface_t* picture, const std::string& caption, const std::string& detail, bool warn,
                        std::string* error) {
    const double cellW = kScreenWidth * scale_;
    const double cellH = kScreenHeight * scale_;
    if (!page_) {
        int width = 0, height = 0;
        PageSize(RowsFrom(added_), &width, &height);
        page_ = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
        cairo_t* cr = cairo_create(page_);
        SetColor(cr, kSheet);
        cairo_paint(cr);
        Text(cr, title_ + " - sheet " + std::to_string(pages_.size() + 1), kMargin, kMargin, 22, kCaptionColour,
             FONT_SANS_BOLD);
        cairo_destroy(cr);
    }
    const int column = onPage_ % columns_;
    const int row = onPage_ / columns_;
    const double x = kMargin + column * (cellW + kGap);
    const double y = kMargin + kHeader + row * (cellH + kCaption + kGap);

    cairo_t* cr = cairo_create(page_);
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, scale_, scale_);
    cairo_set_source_surface(cr, picture, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
    cairo_paint(cr);
    cairo_restore(cr);
    const double textWidth = cellW;
    cairo_rectangle(cr, x, y + cellH, textWidth, kCaption);
    cairo_clip(cr);
    Text(cr, caption, x + 2, y + cellH + 3, 13, kCaptionColour, FONT_SANS_BOLD);
    Text(cr, detail, x + 2, y + cellH + 19, 12, warn ? kWarnColour : kDetailColour);
    cairo_destroy(cr);

    ++added_;
    if (++onPage_ == columns_ * rows_) return EndPage(error);
    return true;
}

bool CContactSheet::EndPage(std::string* error) {
    pages_.emplace_back();
    const bool ok = cairo_surface_write_to_png_stream(page_, AppendBytes, &pages_.back()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(page_);
    page_ = nullptr;
    onPage_ = 0;
    if (!ok) *error = "cannot draw sheet " + std::to_string(pages_.size());
    return ok;
}

bool CContactSheet::Finish(std::string* error) {
    if (page_ && !EndPage(error)) return false;
    std::vector<OutputFile> files;
    for (size_t i = 0; i < pages_.size(); ++i) {
        const std::vector<unsigned char>& png = pages_[i];
        files.push_back({prefix_ + "-" + std::to_string(i + 1) + ".png",
                         [&png](FILE* f) { return fwrite(png.data(), 1, png.size(), f) == png.size(); }});
    }
    if (!WriteOutputs(files, error)) return false;
    for (const OutputFile& f : files) written_.push_back(f.path);
    return RemoveEarlierSheets(error);
}

bool CContactSheet::RemoveEarlierSheets(std::string* error) const {
    // An earlier gallery numbered its sheets without a gap: those past this
    // one's last go, as far as they run. Only a file or a link is a sheet
    // (a link goes, not what it leads to).
    for (size_t n = pages_.size() + 1;; ++n) {
        const std::string path = prefix_ + "-" + std::to_string(n) + ".png";
        struct stat st;
        if (lstat(path.c_str(), &st) != 0 || !(S_ISREG(st.st_mode) || S_ISLNK(st.st_mode))) return true;
        if (unlink(path.c_str()) != 0) {
            *error = "cannot remove the earlier sheet " + path + ": " + strerror(errno);
            return false;
        }
    }
}
