#include "images/FrameEdges.h"

#include <fnmatch.h>

#include <sstream>

namespace FrameEdges {

const std::vector<Meant>& List() {
    static const std::vector<Meant> list = {
        // Pictures that are all picture.
        {"*.jpg", ALL, "a JPEG has no transparency: the whole picture is opaque (backgrounds, dialog faces, "
                       "story panels, help grids)"},
        {"dimmer.png", ALL, "a veil laid over the whole screen"},
        {"grid.png", ALL, "the board's grid lines: the outer ones are the board's border"},
        {"password_entry.png profile_entername_textbox.png loadbrowser_listbox.png profile_select_listbox.png", ALL,
         "a text or list field: its one-pixel border is the picture's outermost ring of pixels, drawn whole"},
        {"profilenternamecursor.png optionscontrolscursor.png", ALL, "a text caret: a solid bar as large as its picture"},
        // Pictures that stand on, or run on into, what lies beyond their edge.
        {"parchment_caught.png parchment_singed.png parchment_tutorial.png parchment_victory.png", BOTTOM,
         "bottom: the professor's bust stands on the picture's foot, the line of the page under it"},
        {"gateback[cm]*.tga editorgate*.tga cursorgate*.tga", BOTTOM,
         "bottom: the gate's posts stand on the ground line, the foot of the picture"},
        {"editorcursor_0x2.png", LEFT,
         "left: the game places the teleport cursor 19 pixels into the doorway's left column, so the frame round "
         "both its columns runs on past the picture's left edge"},
    };
    return list;
}

bool Names(const Meant& entry, const std::string& name) {
    std::istringstream patterns(entry.pattern);
    std::string pattern;
    while (patterns >> pattern)
        if (fnmatch(pattern.c_str(), name.c_str(), 0) == 0) return true;
    return false;
}

unsigned MeantEdges(const std::string& name) {
    unsigned edges = 0;
    for (const Meant& m : List())
        if (Names(m, name)) edges |= m.edges;
    return edges;
}

}  // namespace FrameEdges
