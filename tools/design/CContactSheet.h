// Contact sheets of level pictures for the level designer: pages of small
// pictures in rows and columns, each with a caption of two lines, written as
// numbered PNG files ("<prefix>-1.png", "<prefix>-2.png", ...).
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
    // drawn in red when warn is set. A full page is written at once.
    bool Add(cairo_surface_t* picture, const std::string& caption, const std::string& detail, bool warn,
             std::string* error);
    // Writes the last page, if it holds anything.
    bool Finish(std::string* error);
    const std::vector<std::string>& Written() const { return written_; }

private:
    bool WritePage(std::string* error);

    std::string title_;
    std::string prefix_;
    int columns_;
    int rows_;
    double scale_;
    cairo_surface_t* page_ = nullptr;
    int onPage_ = 0;
    int pages_ = 0;
    std::vector<std::string> written_;
};
