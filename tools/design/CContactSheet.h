// Contact sheets of level pictures for the level designer: pages of small
// pictures in rows and columns, each with a caption of two lines, written as
// numbered PNG files ("<prefix>-1.png", "<prefix>-2.png", ...). The pages are
// kept until Finish writes them all: a gallery that fails on the way (a
// level it cannot draw, a full disk) leaves every earlier sheet as it was.
#pragma once

#include <cairo.h>

#include <string>
#include <vector>

class CContactSheet {
public:
    // columns x rows pictures per page, each the screen scaled by scale.
    CContactSheet(const std::string& title, const std::string& prefix, int columns, int rows, double scale);
    ~CContactSheet();
    CContactSheet(const CContactSheet&) = delete;
    CContactSheet& operator=(const CContactSheet&) = delete;

    // Adds a picture (not taken over) with its caption; the second line is
    // drawn in red when warn is set. A full page is put aside as a PNG.
    bool Add(cairo_surface_t* picture, const std::string& caption, const std::string& detail, bool warn,
             std::string* error);
    // Writes every page (the last one if it holds anything), all or none.
    bool Finish(std::string* error);
    // The files Finish wrote.
    const std::vector<std::string>& Written() const { return written_; }

private:
    bool EndPage(std::string* error);

    std::string title_;
    std::string prefix_;
    int columns_;
    int rows_;
    double scale_;
    cairo_surface_t* page_ = nullptr;
    int onPage_ = 0;
    std::vector<std::vector<unsigned char>> pages_;  // PNG files
    std::vector<std::string> written_;
};
