#include "tools/design/CContactSheet.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

#include "engine/Utilities.h"
#include "images/DrawKit.h"
#include "tools/design/PngText.h"
#include "tools/design/ToolOutput.h"

using namespace DrawKit;

namespace {

constexpr int kScreenWidth = 800;
constexpr int kScreenHeight = 600;
constexpr double kMargin = 16;
constexpr double kHeader = 44;
constexpr double kHeadingSize = 22;
constexpr double kGap = 12;
// The caption under each picture: bold title lines, then detail lines.
constexpr double kTitleSize = 13;
constexpr double kDetailSize = 12;
constexpr double kTitlePitch = 16;
constexpr double kDetailPitch = 15;
constexpr double kCaptionTop = 3;
constexpr double kCaptionBottom = 2;
constexpr double kCaptionInset = 2;  // left and right of the caption's lines

const Color kSheet = Hex(0x2b2b33);
const Color kCaptionColour = Hex(0xf0ead8);
const Color kDetailColour = Hex(0xb9b3a3);
const Color kWarnColour = Hex(0xff6b5b);

cairo_status_t AppendBytes(void* closure, const unsigned char* data, unsigned int length) {
    std::vector<unsigned char>* png = static_cast<std::vector<unsigned char>*>(closure);
    png->insert(png->end(), data, data + length);
    return CAIRO_STATUS_SUCCESS;
}

// The pieces as lines no wider than width: a line breaks between pieces, and
// only a piece wider than a line alone breaks between its words, or a word
// wider still between its characters. A caption's text comes from level
// files: its control bytes are escaped first (which also makes it UTF-8 that
// cairo takes).
std::vector<std::string> WrapPieces(cairo_t* cr, const std::vector<std::string>& pieces, double size, Font font,
                                    double width) {
    std::vector<std::string> lines;
    std::string line;
    const auto trimmed = [](std::string s) {
        while (!s.empty() && s.back() == ' ') s.pop_back();
        return s;
    };
    const auto fits = [&](const std::string& s) { return TextWidth(cr, trimmed(s), size, font) <= width; };
    const auto endLine = [&]() {
        if (!trimmed(line).empty()) lines.push_back(trimmed(line));
        line.clear();
    };
    // Adds a part to the line, or begins the next line with it; false when it
    // fits on no line alone.
    const auto place = [&](const std::string& part) {
        if (fits(line + part)) {
            line += part;
            return true;
        }
        endLine();
        line = part;
        return fits(part);
    };
    for (const std::string& raw : pieces) {
        const std::string piece = EscapeControls(raw);
        if (place(piece)) continue;
        line.clear();
        for (size_t at = 0; at < piece.size();) {
            const size_t blank = piece.find(' ', at);
            const size_t end = blank == std::string::npos ? piece.size() : piece.find_first_not_of(' ', blank);
            const std::string word = piece.substr(at, (end == std::string::npos ? piece.size() : end) - at);
            at = end == std::string::npos ? piece.size() : end;
            if (place(word)) continue;
            line.clear();
            for (size_t c = 0; c < word.size();) {
                size_t next = c + 1;
                while (next < word.size() && (static_cast<unsigned char>(word[next]) & 0xC0) == 0x80) ++next;
                place(word.substr(c, next - c));
                c = next;
            }
        }
    }
    endLine();
    return lines;
}

}  // namespace

CContactSheet::CContactSheet(const std::string& title, const std::string& prefix, int columns, int rows, double scale,
                             const std::vector<SheetCaption>& captions)
    : title_(title),
      prefix_(prefix),
      columns_(std::max(1, std::min(columns, static_cast<int>(captions.size())))),
      rows_(rows),
      scale_(scale),
      count_(static_cast<int>(captions.size())) {
    cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1);
    cairo_t* cr = cairo_create(scratch);
    const double width = kScreenWidth * scale_ - 2 * kCaptionInset;
    double lines = 0;
    for (const SheetCaption& c : captions) {
        SheetCaption lined;
        lined.title = WrapPieces(cr, c.title, kTitleSize, FONT_SANS_BOLD, width);
        lined.detail = WrapPieces(cr, c.detail, kDetailSize, FONT_SANS, width);
        lined.warn = c.warn;
        lines = std::max(lines, lined.title.size() * kTitlePitch + lined.detail.size() * kDetailPitch);
        lined_.push_back(lined);
    }
    // The last sheet's number is the widest.
    const int sheets = std::max(1, (count_ + columns_ * rows_ - 1) / (columns_ * rows_));
    titleWidth_ = TextWidth(cr, SheetTitle(sheets), kHeadingSize, FONT_SANS_BOLD);
    cairo_destroy(cr);
    cairo_surface_destroy(scratch);
    captionHeight_ = kCaptionTop + lines + kCaptionBottom;
}

CContactSheet::~CContactSheet() {
    if (page_) cairo_surface_destroy(page_);
}

std::string CContactSheet::SheetTitle(int n) const {
    // The set's name may be a folder's: written out as a caption is.
    return EscapeControls(title_) + " - sheet " + std::to_string(n);
}

void CContactSheet::PageSize(int rows, int* width, int* height) const {
    // As wide as its pictures, or as its heading where that is wider (a
    // sheet of one or two pictures).
    *width = std::max(static_cast<int>(2 * kMargin + columns_ * kScreenWidth * scale_ + (columns_ - 1) * kGap),
                      static_cast<int>(std::ceil(2 * kMargin + titleWidth_)));
    *height = static_cast<int>(kMargin + kHeader + rows * (kScreenHeight * scale_ + captionHeight_) +
                               (rows - 1) * kGap + kMargin);
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

bool CContactSheet::Add(cairo_surface_t* picture, std::string* error) {
    if (added_ >= count_) {
        *error = "more pictures than captions";
        return false;
    }
    const double cellW = kScreenWidth * scale_;
    const double cellH = kScreenHeight * scale_;
    if (!page_) {
        int width = 0, height = 0;
        PageSize(RowsFrom(added_), &width, &height);
        page_ = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
        cairo_t* cr = cairo_create(page_);
        SetColor(cr, kSheet);
        cairo_paint(cr);
        Text(cr, SheetTitle(static_cast<int>(pages_.size()) + 1), kMargin, kMargin, kHeadingSize, kCaptionColour,
             FONT_SANS_BOLD);
        cairo_destroy(cr);
    }
    const int column = onPage_ % columns_;
    const int row = onPage_ / columns_;
    const double x = kMargin + column * (cellW + kGap);
    const double y = kMargin + kHeader + row * (cellH + captionHeight_ + kGap);

    cairo_t* cr = cairo_create(page_);
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, scale_, scale_);
    cairo_set_source_surface(cr, picture, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
    cairo_paint(cr);
    cairo_restore(cr);
    const SheetCaption& caption = lined_[static_cast<size_t>(added_)];
    double lineY = y + cellH + kCaptionTop;
    for (const std::string& line : caption.title) {
        Text(cr, line, x + kCaptionInset, lineY, kTitleSize, kCaptionColour, FONT_SANS_BOLD);
        lineY += kTitlePitch;
    }
    for (const std::string& line : caption.detail) {
        Text(cr, line, x + kCaptionInset, lineY, kDetailSize, caption.warn ? kWarnColour : kDetailColour);
        lineY += kDetailPitch;
    }
    cairo_destroy(cr);

    ++added_;
    if (++onPage_ == columns_ * rows_) return EndPage(error);
    return true;
}

bool CContactSheet::EndPage(std::string* error) {
    std::vector<unsigned char> png;
    const bool ok = cairo_surface_write_to_png_stream(page_, AppendBytes, &png) == CAIRO_STATUS_SUCCESS;
    pages_.push_back(WithPngText(png, kMarkKeyword, kMarkText));
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
    RemoveEarlierSheets();
    return true;
}

void CContactSheet::RemoveEarlierSheets() {
    // An earlier gallery numbered its sheets without a gap: those past this
    // one's last are looked at as far as they run. Only what shows it is a
    // sheet goes: a file (not a link, whatever it leads to) with the mark.
    for (size_t n = pages_.size() + 1;; ++n) {
        const std::string path = prefix_ + "-" + std::to_string(n) + ".png";
        struct stat st;
        if (lstat(path.c_str(), &st) != 0) return;
        const char* other = S_ISLNK(st.st_mode)    ? "it is a link"
                            : S_ISDIR(st.st_mode)  ? "it is a folder"
                            : !S_ISREG(st.st_mode) ? "it is no file"
                            : !FileHasPngText(path, kMarkKeyword, kMarkText)
                                ? "it does not carry the mark of a sheet that zorv_gallery wrote"
                                : nullptr;
        if (other) {
            notes_.push_back("left " + path + " as it is: " + other);
            continue;
        }
        // One it may not remove (another user's in a sticky folder, an
        // immutable file) stays as the others do: the new sheets are in
        // place already, and those after it are still looked at.
        if (unlink(path.c_str()) != 0) {
            notes_.push_back("left " + path + " as it is: it is a sheet of an earlier gallery, but it cannot be removed: " +
                             strerror(errno));
            continue;
        }
        notes_.push_back("removed " + path + ", a sheet of an earlier gallery past the last one written");
    }
}
