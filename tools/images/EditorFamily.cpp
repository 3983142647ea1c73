// The level editor's interface: cursor frames, the toolbox with a picture of
// every tool, the help page sections, the load, save and tutorial dialogs.
// Pieces in the toolbox and help sections are the game's own world pictures,
// looked up in the registry when drawn.
#include <algorithm>
#include <cmath>
#include <string>

#include "images/CCaptions.h"
#include "images/DrawKit.h"
#include "images/InterfaceFamilies.h"
#include "images/InterfaceKit.h"
#include "images/SceneArt.h"

using namespace DrawKit;
using namespace InterfaceKit;

namespace {

const int kCellW = 68, kCellH = 51;

// Draws the registered picture centred in the box, scaled down to fit.
bool DrawFitted(cairo_t* cr, const CArtRegistry* reg, const std::string& name, double x, double y, double w,
                double h) {
    const CArtRegistry::Art* art = reg->Find(name);
    if (!art || !art->draw) return false;
    const double scale = std::min({1.0, w / art->width, h / art->height});
    cairo_save(cr);
    cairo_translate(cr, x + (w - art->width * scale) / 2, y + (h - art->height * scale) / 2);
    cairo_scale(cr, scale, scale);
    reg->Paint(cr, name, 0, 0);
    cairo_restore(cr);
    return true;
}

void Snowflake(cairo_t* cr, double cx, double cy, double r) {
    for (int i = 0; i < 3; ++i) {
        const double a = i * M_PI / 3;
        Line(cr, cx - r * std::cos(a), cy - r * std::sin(a), cx + r * std::cos(a), cy + r * std::sin(a),
             Hex(0x6ac8f0), 3);
    }
    OutlinedEllipse(cr, cx, cy, r * 0.25, r * 0.25, Hex(0xdff4ff), 1);
}

void Flame(cairo_t* cr, double cx, double cy, double r) {
    cairo_new_path(cr);
    cairo_move_to(cr, cx, cy - r);
    cairo_curve_to(cr, cx + r * 0.9, cy - r * 0.1, cx + r * 0.7, cy + r, cx, cy + r);
    cairo_curve_to(cr, cx - r * 0.7, cy + r, cx - r * 0.9, cy - r * 0.1, cx, cy - r);
    FillShaded(cr, Hex(0xff6a1a), 1.5);
    OutlinedEllipse(cr, cx, cy + r * 0.45, r * 0.35, r * 0.45, Hex(0xffd36b), 0);
}

// One toolbox or help cell. A cell content starting with '@' is a command
// caption, '#' a built-in icon, '%' a background swatch, else a picture name.
void Cell(cairo_t* cr, const CArtRegistry* reg, double x, double y, const std::string& content) {
    OutlinedRoundedRect(cr, x + 1, y + 1, kCellW - 2, kCellH - 2, 5, Hex(0xe8d5a8), 1);
    if (content.empty()) return;
    if (content[0] == '@') {
        OutlinedRoundedRect(cr, x + 3, y + 3, kCellW - 6, kCellH - 6, 5, kWood, 1.2);
        TextBox(cr, CCaptions::Shared().Get(content.substr(1)), x + 5, y + 4, kCellW - 10, kCellH - 8, 13,
                Hex(0xfff3d6), FONT_SANS_BOLD);
    } else if (content == "#freeze") {
        Snowflake(cr, x + kCellW / 2.0, y + kCellH / 2.0, 18);
    } else if (content == "#heat") {
        Flame(cr, x + kCellW / 2.0, y + kCellH / 2.0, 18);
    } else if (content[0] == '%') {
        const int index = content[1] - '0';
        cairo_save(cr);
        cairo_translate(cr, x + 6, y + 6);
        cairo_scale(cr, (kCellW - 12) / 800.0, (kCellH - 12) / 600.0);
        cairo_rectangle(cr, 0, 0, 800, 600);
        cairo_clip(cr);
        SceneArt::LevelBackground(cr, 800, 600, index);
        cairo_restore(cr);
        cairo_rectangle(cr, x + 6, y + 6, kCellW - 12, kCellH - 12);
        SetColor(cr, Hex(0x3a2a1a));
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    } else if (!DrawFitted(cr, reg, content, x + 3, y + 3, kCellW - 6, kCellH - 6)) {
        // Not drawn (yet): its name keeps the cell readable.
        TextBox(cr, content.substr(0, content.size() - 4), x + 3, y + 3, kCellW - 6, kCellH - 6, 9, kInk);
    }
}

// The toolbox cells, by code = row * 6 + column.
const char* const kToolbox[54] = {
    "@ed_help",  "#freeze",                  "#heat",                  "qmarkrotate23.tga",     "editortubeentrance.tga", "editorerase.png",
    "@ed_new",   "editorpowerupfrostgun.tga", "editorpowerupheatgun.png", "editorpowerupwhistle.tga", "editortubeexit.tga", "%0",
    "@ed_load",  "editorpowerupteleport.png", "editorpowerupbridge.png", "editorpowerupemp.tga",  "botstandleft.png",       "%1",
    "@ed_save",  "editorpowerupcrate.tga",   "editorpowerupbarrel.tga", "editorpowerupmagnet.tga", "grass1.png",            "%2",
    "@ed_saveas", "cratestill0.tga",         "barrel0.tga",            "magnetleftstill0.tga",  "sand1.png",              "%3",
    "@ed_test",  "metalcratestill0.tga",     "metalbarrel0.png",       "magnetrightstill0.tga", "ice1.png",               "%4",
    "@ed_record", "editorgateblue.tga",      "editorgateyellow.tga",   "editorgatered.tga",     "bridgeA0_trimmed.png",   "%5",
    "@ed_play",  "buttonblue1.tga",          "buttonyellow1.tga",      "buttonred1.tga",        "ladderiso.tga",          "%6",
    "@ed_quit",  "editorteleportblue.png",   "editorteleportyellow.png", "editorteleportred.png", "editortrampoline.tga", "%7"};

void Section(CArtRegistry& reg, const std::string& name, int cols, int rows, std::vector<std::string> cells) {
    const CArtRegistry* r = &reg;
    reg.Add(name, cols * kCellW, rows * kCellH, [r, cols, rows, cells](cairo_t* cr, int w, int h) {
        VerticalGradient(cr, 0, 0, w, h, kParchLight, kParchDark);
        for (int i = 0; i < cols * rows && i < static_cast<int>(cells.size()); ++i)
            Cell(cr, r, (i % cols) * kCellW, (i / cols) * kCellH, cells[i]);
    });
}

void Frame(cairo_t* cr, double x, double y, double w, double h, const Color& c, double width) {
    cairo_new_path(cr);
    RoundedRectPath(cr, x, y, w, h, 3);
    SetColor(cr, c);
    cairo_set_line_width(cr, width);
    cairo_stroke(cr);
}

// The wooden frame under a dialog's face and its soft shadow, both a pixel
// inside the picture; the frame's rim round the face is the same on all sides.
void DialogBorder(cairo_t* cr, int w, int h) {
    SoftShadow(cr, 2, 2, w - 11, h - 11, 10, 0.5);
    OutlinedRoundedRect(cr, 2, 2, w - 8, h - 8, 10, kWood, 2);
}

void DialogFace(cairo_t* cr, int w, int h, const std::string& titleKey) {
    VerticalGradient(cr, 0, 0, w, h, kParchLight, kParchDark);
    Speckle(cr, 0, 0, w, h, Hex(0xa07840, 0.12), w * h / 600, 2, Seed(titleKey));
    if (!titleKey.empty())
        TextBox(cr, CCaptions::Shared().Get(titleKey), 10, 6, w - 20, 34, 22, kInk, FONT_SERIF_BOLD);
}

}  // namespace

namespace InterfaceFamilies {

void RegisterEditor(CArtRegistry& reg) {
    // Cursor frames around the cells an element takes (the cell lies at
    // (1, 2) in the picture): the frame's outer edge is the cells' edge.
    const Color cursor = Hex(0xffe25a);
    reg.Add("editorcursor_1x1.png", 28, 30, [cursor](cairo_t* cr, int, int) { Frame(cr, 2, 3, 22, 22, cursor, 2); });
    reg.Add("editorcursor_1x2.png", 28, 54, [cursor](cairo_t* cr, int, int) { Frame(cr, 2, 3, 22, 46, cursor, 2); });
    // The teleport's picture begins 19 px into the doorway's left column, so
    // its frame round both columns runs on past the picture's left edge.
    reg.Add("editorcursor_0x2.png", 32, 54, [cursor](cairo_t* cr, int, int) { Frame(cr, -18, 2, 48, 48, cursor, 2); });

    const CArtRegistry* r = &reg;
    reg.Add("editortoolbox_main.jpg", 418, 469, [r](cairo_t* cr, int w, int h) {
        VerticalGradient(cr, 0, 0, w, h, Hex(0x7a5030), Hex(0x5a3820));
        for (int code = 0; code < 54; ++code) Cell(cr, r, 5 + (code % 6) * kCellW, 5 + (code / 6) * kCellH, kToolbox[code]);
    });
    reg.Add("editortoolbox_border.tga", 426, 477, [](cairo_t* cr, int w, int h) {
        SoftShadow(cr, 2, 2, w - 11, h - 11, 8, 0.6);
        OutlinedRoundedRect(cr, 1.75, 1.75, w - 5.5, h - 5.5, 8, Darken(kWood, 0.2), 1.5);
    });
    reg.Add("toolboxselector.png", kCellW, kCellH, [](cairo_t* cr, int w, int h) {
        Frame(cr, 2.5, 2.5, w - 5, h - 5, Hex(0xffe25a), 3);
        Frame(cr, 5, 5, w - 10, h - 10, Hex(0xff8a1a, 0.7), 1.5);
    });

    // Help page sections, in the cells of the help grid.
    Section(reg, "help_powerups.jpg", 3, 3,
            {"editorpowerupfrostgun.tga", "editorpowerupheatgun.png", "editorpowerupwhistle.tga",
             "editorpowerupteleport.png", "editorpowerupbridge.png", "editorpowerupemp.tga", "editorpowerupcrate.tga",
             "editorpowerupbarrel.tga", "editorpowerupmagnet.tga"});
    Section(reg, "help_devices2.jpg", 3, 4,
            {"editorgateblue.tga", "editorgateyellow.tga", "editorgatered.tga", "buttonblue1.tga", "buttonyellow1.tga",
             "buttonred1.tga", "editorteleportblue.png", "editorteleportyellow.png", "editorteleportred.png",
             "editortrampoline.tga", "editortubeentrance.tga", "editortubeexit.tga"});
    Section(reg, "help_terrain2.jpg", 2, 4,
            {"grass1.png", "ladderiso.tga", "sand1.png", "qmarkrotate23.tga", "ice1.png", "#freeze",
             "bridgeA0_trimmed.png", "#heat"});
    Section(reg, "help_objects.jpg", 3, 2,
            {"cratestill0.tga", "barrel0.tga", "magnetleftstill0.tga", "metalcratestill0.tga", "metalbarrel0.png",
             "magnetrightstill0.tga"});
    Section(reg, "help_bots.jpg", 1, 1, {"botstandleft.png"});
    Section(reg, "help_control.jpg", 3, 3,
            {"@ed_new", "@ed_load", "@ed_save", "@ed_saveas", "@ed_test", "@ed_record", "@ed_play", "@ed_backgrounds",
             "@ed_quit"});

    // Load dialog (its title is painted by the game).
    reg.Add("loadbrowser_border.tga", 640, 320, DialogBorder);
    // The list stands under the title, from (21, 52), 533 x 195; the two
    // arrow plates right of it, as far in from the face's right edge as the
    // list is from its left, the pair centred on the list's height: where the
    // dialog's arrow buttons are.
    reg.Add("loadbrowser_main.jpg", 624, 304, [](cairo_t* cr, int w, int h) {
        DialogFace(cr, w, h, "");
        for (int i = 0; i < 2; ++i) {
            const double x = w - 22 - 38, y = 95 + 62 * i;
            OutlinedRoundedRect(cr, x + 2, y + 2, 36, 44, 6, kWood, 1.2);
            const double tip = i == 0 ? y + 12 : y + 36, base = i == 0 ? y + 34 : y + 14;
            const double arrow[] = {x + 20, tip, x + 30, base, x + 10, base};
            PolygonPath(cr, arrow, 3);
            FillShaded(cr, Hex(0xfff3d6), 1);
        }
    });
    // Ten rows of 19 pixels from y 2 of the list.
    reg.Add("loadbrowser_listbox.png", 533, 195, [](cairo_t* cr, int w, int h) {
        DrawField(cr, 0, 0, w, h);
        RuleListRows(cr, 3, w - 3, 2, 19, 10, Hex(0xc9a96a, 0.5));
    });
    reg.Add("browserhighlighter_wide.tga", 529, 19, [](cairo_t* cr, int w, int h) {
        cairo_new_path(cr);
        RoundedRectPath(cr, 1, 1, w - 2, h - 2, 3);
        SetColor(cr, Hex(0xffc04a, 0.5));
        cairo_fill(cr);
    });
    reg.Add("browser_selector.tga", 40, 48, [](cairo_t* cr, int w, int h) { Frame(cr, 2.5, 2.5, w - 5, h - 5, Hex(0xffe25a), 3); });
    ButtonLook wood;
    wood.radius = 6;
    reg.Add("button_cancel.tga", 106, 33, [wood](cairo_t* cr, int w, int h) { DrawButton(cr, w, h, BUTTON_BASE, false, wood, "", ICON_NONE); });
    reg.Add("button_cancel_selector.tga", 114, 39, [](cairo_t* cr, int w, int h) { Frame(cr, 2.5, 2.5, w - 5, h - 5, Hex(0xffe25a), 3); });

    // Save and tutorial-text dialogs (their titles are painted by the game).
    // Each face lies on its frame at (6, 6) and (4, 4), leaving the same rim
    // of the frame on every side.
    reg.Add("saveboxshadow.tga", 436, 265, DialogBorder);
    // Its labels start at one x, the left edge of the heading field (330
    // wide, centred on the face); "File name:" beside the name field,
    // "Heading:" above the heading field (the save dialog places both fields
    // by these).
    reg.Add("savebox.jpg", 420, 249, [](cairo_t* cr, int w, int h) {
        DialogFace(cr, w, h, "");
        const double labelX = (w - 330) / 2.0;
        Text(cr, CCaptions::Shared().Get("ed_filename"), labelX, 88, 15, kInk, FONT_SANS_BOLD);
        Text(cr, CCaptions::Shared().Get("ed_heading"), labelX, 124, 15, kInk, FONT_SANS_BOLD);
    });
    reg.Add("etutorialboxshadow.tga", 430, 280, DialogBorder);
    reg.Add("etutorialbox.jpg", 418, 268, [](cairo_t* cr, int w, int h) { DialogFace(cr, w, h, ""); });

    // The erase tool and the empty cursor belong with the world's cursor
    // pictures; drawn here only when the world art leaves them out.
    if (!reg.Find("editorerase.png"))
        reg.Add("editorerase.png", 24, 24, [](cairo_t* cr, int w, int h) {
            OutlinedRoundedRect(cr, 3, 6, w - 6, h - 12, 3, Hex(0xf08ab0), 1.5);
            Line(cr, 6, h - 4, w - 6, h - 4, Hex(0x5b4a3a, 0.6), 1.5);
        });
    if (!reg.Find("cursornone.tga"))
        reg.Add("cursornone.tga", 24, 24, [](cairo_t*, int, int) {});
}

}  // namespace InterfaceFamilies
