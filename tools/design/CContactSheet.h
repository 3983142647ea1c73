// Contact sheets of level pictures for the level designer: pages of small
// pictures in rows and columns, each with its caption under it, written as
// numbered PNG files ("<prefix>-1.png", "<prefix>-2.png", ...). The pages are
// kept until Finish writes them all: a gallery that fails on the way (a
// level it cannot draw, a full disk) leaves every earlier sheet as it was.
// A page is as large as the pictures it holds need, never more: no column
// nor row left empty.
//
// A caption is wrapped onto as many lines as it needs within its picture's
// width (every caption of the gallery gets the room of the longest), so no
// word of it is cut at the edge. Every sheet carries the gallery's mark (a
// PNG text entry), by which a later gallery knows the sheets it may remove.
#pragma once

#include <cairo.h>

#include <string>
#include <vector>

// The caption of one picture: a bold title over a detail line, each given
// as pieces (with their separators: "ladder, ", "crate; ") that a line
// breaks only between, unless a piece alone is wider than the picture.
struct SheetCaption {
    std::vector<std::string> title;
    std::vector<std::string> detail;
    bool warn = false;  // the detail drawn in red
};

class CContactSheet {
public:
    // A sheet's pixels are held in memory while it is drawn (4 bytes each):
    // a larger sheet is refused.
    static constexpr long long kMaxPixels = 50000000;
    // The mark of a sheet (the keyword and text of its PNG text entry).
    static constexpr const char* kMarkKeyword = "Software";
    static constexpr const char* kMarkText = "zorv_gallery contact sheet";

    // columns x rows pictures per page, each the screen scaled by scale, one
    // per caption.
    CContactSheet(const std::string& title, const std::string& prefix, int columns, int rows, double scale,
                  const std::vector<SheetCaption>& captions);
    ~CContactSheet();
    CContactSheet(const CContactSheet&) = delete;
    CContactSheet& operator=(const CContactSheet&) = delete;

    // False with the reason when the largest page would have more than
    // kMaxPixels.
    bool Fits(std::string* error) const;
    // Adds the next picture (not taken over) over its caption. A full page
    // is put aside as a PNG.
    bool Add(cairo_surface_t* picture, std::string* error);
    // Writes every page (the last one if it holds anything), all or none.
    // Then the sheets of an earlier gallery of the same prefix that this one
    // did not write again ("<prefix>-N.png" past its last page, as far as
    // they run without a gap) are removed, so that no sheet is left of a set
    // grown shorter: only a file that carries the mark. A link, a file
    // without the mark, a sheet that may not be removed or anything else at
    // such a name is left as it is (and named in Notes). False only when a
    // page cannot be written.
    bool Finish(std::string* error);
    // The files Finish wrote.
    const std::vector<std::string>& Written() const { return written_; }
    // One line for each earlier sheet removed and each file left in its
    // place, naming it.
    const std::vector<std::string>& Notes() const { return notes_; }

private:
    // The size in pixels of a page of rows rows.
    void PageSize(int rows, int* width, int* height) const;
    // The rows of the page whose first picture is the first-th (from 0).
    int RowsFrom(int first) const;
    bool EndPage(std::string* error);
    void RemoveEarlierSheets();
    // The heading of sheet n (from 1).
    std::string SheetTitle(int n) const;

    std::string title_;
    std::string prefix_;
    int columns_;
    int rows_;
    double scale_;
    int count_;
    // Every caption wrapped to the picture's width: its title and its detail
    // each as the lines they are drawn in.
    std::vector<SheetCaption> lined_;
    double captionHeight_ = 0;
    // The width of the widest sheet heading: a sheet is never narrower.
    double titleWidth_ = 0;
    int added_ = 0;
    cairo_surface_t* page_ = nullptr;
    int onPage_ = 0;
    std::vector<std::vector<unsigned char>> pages_;  // PNG files
    std::vector<std::string> written_;
    std::vector<std::string> notes_;
};
