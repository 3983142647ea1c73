// Contact sheets of level pictures for the level designer: pages of small
// pictures in rows and columns, each with a caption of two lines, written as
// numbered PNG files ("<prefix>-1.png", "<prefix>-2.png", ...). The pages are
// kept until Finish writes them all: a gallery that fails on the way (a
// level it cannot draw, a full disk) leaves every earlier sheet as it was.
// A page is as large as the pictures it holds need, never more: no column
// nor row left empty.
#pragma once

#include <cairo.h>

#include <string>
#include <vector>

class CContactSheet {
public:
    // A sheet's pixels are held in memory while it is drawn (4 bytes each):
    // a larger sheet is refused.
    static constexpr long long kMaxPixels = 50000000;

    // columns x rows pictures per page, each the screen scaled by scale, for
    // a set of count pictures.
    CContactSheet(const std::string& title, const std::string& prefix, int columns, int rows, double scale, int count);
    ~CContactSheet();
    CContactSheet(const CContactSheet&) = delete;
    CContactSheet& operator=(const CContactSheet&) = delete;

    // False with the reason when the largest page would have more than
    // kMaxPixels.
    bool Fits(std::string* error) const;
    // Adds a picture (not taken over) with its caption; the second line is
    // drawn in red when warn is set. A full page is put aside as a PNG.
    bool Add(cairo_surface_t* picture, const std::string& caption, const std::string& detail, bool warn,
             std::string* error);
    // Writes every page (the last one if it holds anything), all or none;
    // then removes the sheets of an earlier gallery of the same prefix that
    // this one did not write again ("<prefix>-N.png" past its last page),
    // so that no sheet is left of a set that has become shorter.
    bool Finish(std::string* error);
    // The files Finish wrote.
    const std::vector<std::string>& Written() const { return written_; }

private:
    // The size in pixels of a page of rows rows.
    void PageSize(int rows, int* width, int* height) const;
    // The rows of the page whose first picture is the first-th (from 0).
    int RowsFrom(int first) const;
    bool EndPage(std::string* error);
    bool RemoveEarlierSheets(std::string* error) const;

    std::string title_;
    std::string prefix_;
    int columns_;
    int rows_;
    double scale_;
    int count_;
    int added_ = 0;
    cairo_surface_t* page_ = nullptr;
    int onPage_ = 0;
    std::vector<std::vector<unsigned char>> pages_;  // PNG files
    std::vector<std::string> written_;
};
