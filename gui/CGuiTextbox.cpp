#include "gui/CGuiTextbox.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include <SDL.h>

#include "engine/CDraw.h"
#include "engine/CFontString.h"
#include "engine/CMouse.h"
#include "engine/CSprite.h"
#include "engine/FontRender.h"
#include "gui/CGuiButton.h"
#include "gui/GuiSprites.h"
#include "gui/GuiText.h"

namespace {

const int kBlinkStart = 8;
const int kBlinkLow = -8;
// What SHIFT and a digit key give on a US keyboard, for 0 to 9.
const char kShiftedDigits[] = ")!@#$%^&*(";

bool EndsWithLineBreak(const std::string& s) { return s.size() >= 2 && s.compare(s.size() - 2, 2, "%n") == 0; }

// The height of a line of typed text at pointSize (0: the style's own), as
// the renderer draws it; 0 when nothing can be drawn.
int LineHeight(int pointSize) {
    SDL_Surface* probe = FontRenderStringTyped(1, 1, 0, CGuiTextbox::kTextStyleId, "x", nullptr, pointSize);
    const int h = probe && !FontGetLastPlacements().empty() ? FontGetLastPlacements().front().h : 0;
    SDL_FreeSurface(probe);
    return h;
}

}  // namespace

CGuiTextbox::CGuiTextbox(int maxLength_, int x_, int y_, int marginX_, int marginY_, const char* backgroundImage_,
                         const char* cursorImage_, bool allowSpace_, bool allowSymbols_, bool allowLineBreak_)
    : textSprite(nullptr),
      cursorSprite(nullptr),
      backgroundImage(backgroundImage_ ? backgroundImage_ : ""),
      cursorImage(cursorImage_ ? cursorImage_ : ""),
      x(x_),
      y(y_),
      marginX(marginX_),
      marginY(marginY_),
      maxLength(std::clamp(maxLength_, 0, kTextCapacity)),
      hidden(0),
      allowSpace(allowSpace_ ? 1 : 0),
      allowSymbols(allowSymbols_ ? 1 : 0),
      allowLineBreak(allowLineBreak_ ? 1 : 0),
      masked(0),
      blinkCounter(kBlinkStart),
      repaints(0) {
    char name[260];
    snprintf(name, sizeof(name), "x%i_y%i_%s", x, y, backgroundImage.c_str());
    imageName = name;

    cursorSprite = std::make_unique<CSprite>(LAYER_CL_TEXT, 0, false);
    cursorSprite->SetName("GUI Textbox Cursor");
    cursorSprite->AddFrame(cursorImage.c_str());
    cursorSprite->SetPosition(x + marginX, y + marginY, false);
    Repaint();
    repaints = 0;
}

CGuiTextbox::~CGuiTextbox() {
    ReleaseAll(textSprite, cursorSprite);
    CDraw::UnloadImage(imageName.c_str());
}

void CGuiTextbox::Append(char c) {
    if (static_cast<int>(text.size()) < maxLength) text.push_back(c);
}

void CGuiTextbox::AppendLineBreak() {
    if (static_cast<int>(text.size()) < maxLength - 1) text += "%n";
}

void CGuiTextbox::DeleteLast() {
    if (EndsWithLineBreak(text))
        text.resize(text.size() - 2);
    else
        // The last character as drawn: a whole UTF-8 sequence (a name the
        // system wrote, such as a loaded level's file name) or one "?".
        text.resize(text.size() - CFontString::LastUtf8CharacterBytes(text));
}

void CGuiTextbox::HandleKey(int key, int, bool shift) {
    const bool symbols = allowSymbols != 0;
    if (key == 8 || key == 127) {
        DeleteLast();
    } else if (key == 13) {
        if (!allowLineBreak) return;
        AppendLineBreak();
    } else if (key == ' ') {
        if (!allowSpace) return;
        Append(' ');
    } else if (key >= 'a' && key <= 'z') {
        Append(static_cast<char>(shift ? key - 'a' + 'A' : key));
    } else if (key >= '0' && key <= '9') {
        Append(shift && symbols ? kShiftedDigits[key - '0'] : static_cast<char>(key));
    } else if (key == ';') {
        Append(shift && symbols ? ':' : ';');
    } else if (key == '/') {
        Append(shift && symbols ? '?' : '/');
    } else if (key == '\'') {
        if (!symbols) return;
        Append(shift ? '"' : '\'');
    } else if (key == ',' || key == '-' || key == '.' || key == '\\' || key == '`') {
        if (!symbols) return;
        Append(static_cast<char>(key));
    } else {
        return;
    }
    Repaint();
}

void CGuiTextbox::InsertChar(int ch) {
    if (ch == 8) {
        DeleteLast();
    } else if (ch == 10) {
        AppendLineBreak();
    } else if (ch > 0 && ch < 256) {
        Append(static_cast<char>(ch));
    } else {
        return;
    }
    Repaint();
}

void CGuiTextbox::SetText(const char* newText) {
    text.clear();
    if (newText) {
        // Bounded by the box, whatever the caller hands in (level files and
        // profiles come from disk).
        const size_t limit = static_cast<size_t>(maxLength);
        text.assign(newText, strnlen(newText, limit));
        // A line break cut after its "%" would leave a stray "%".
        if (text.size() == limit && limit > 0 && text.back() == '%' && newText[limit] == 'n') text.pop_back();
    }
    Repaint();
}

void CGuiTextbox::Repaint() {
    ++repaints;
    textSprite.reset();
    CDraw::UnloadImage(imageName.c_str());
    const int copy = CDraw::CopyImage(backgroundImage.c_str(), imageName.c_str(), 0);
    textSprite = std::make_unique<CSprite>(LAYER_CL_ROLL, 0, false);
    textSprite->SetName("GUI Textbox Text");
    textSprite->AddFrame(copy);
    textSprite->SetPosition(x, y, false);
    if (!hidden) textSprite->Show(kSpriteNotDrawn, kSpriteNotDrawn);

    shownText.clear();
    // The first line's top: in a box of several lines the top margin; in a
    // one-line box the line lies centred between the top margin and as much
    // at the bottom, so that it sits in the middle of the field whatever the
    // font's height.
    const int fieldH = CDraw::GetHeight(copy);
    int top = marginY;
    if (!allowLineBreak) top = std::max(0, marginY + (fieldH - 2 * marginY - LineHeight(0)) / 2);
    if (text.empty() || !CDraw::GetSurface(copy)) {
        PlaceCaret(marginX, top, LineHeight(0));
        return;
    }
    const std::string shown = masked ? std::string(text.size(), '*') : text;
    const int caretW = std::max(0, cursorSprite->GetWidth(true));
    const int boxW = CDraw::GetWidth(copy) - 2 * marginX;
    const int boxH = fieldH - top;
    // Lines leave room for the caret after the longest.
    FontFitRequest fit(kTextStyleId, FontFit::kCutStart, shown.c_str(), boxW - caretW, boxH);
    FontFitted fitted;
    bool drawn = false;
    if (!allowLineBreak) {
        // A one-line box shows the end of a text too wide for it: the last
        // characters typed and the caret after them stay inside the field.
        fitted = FontFitTyped(fit);
        drawn = BlitTypedString(kTextStyleId, copy, boxW, boxH, 0, marginX, top, fitted.shown.c_str());
    } else {
        // A box of several lines shows all of its text: its lines keep the
        // top margin at the bottom too, and a text too long for the style's
        // size is set smaller (with more lines than even the smallest size
        // holds, the last lines show). Only such a box reads "%n" as a line
        // break.
        fit.how = FontFit::kLinesKeepEnd;
        fit.boxHeight -= marginY;
        fit.values = FontValues::kTypedLines;
        fit.lastLineHeight = cursorSprite->GetHeight(true);
        drawn = BlitFittedString(fit, copy, 0, marginX, top, &fitted);
    }
    shownText = fitted.shown;
    if (drawn) {
        const std::vector<FontRunPlacement>& runs = FontGetLastPlacements();
        PlaceCaret(marginX + FontGetTextEndX(), top + FontGetTextEndY(), runs.empty() ? 0 : runs.back().h);
        return;
    }
    // Nothing but line breaks: nothing was drawn and the renderer's end
    // position is an older text's. Where a character after the breaks would
    // stand is where the caret goes. (A character on the last line, empty as
    // it is, changes no fit.)
    const std::string probeText = (allowLineBreak ? shown : fitted.shown) + "x";
    fit.typed = probeText.c_str();
    SDL_Surface* probe = allowLineBreak
                             ? FontRenderStringFitted(fit, 0)
                             : FontRenderStringTyped(boxW, boxH, 0, kTextStyleId, probeText.c_str());
    const int endY = probe ? FontGetTextEndY() : 0;
    const int lineH = probe && !FontGetLastPlacements().empty() ? FontGetLastPlacements().back().h : 0;
    SDL_FreeSurface(probe);
    PlaceCaret(marginX, top + endY, lineH);
}

void CGuiTextbox::PlaceCaret(int dx, int dy, int lineHeight) {
    // As tall as the line it stands on (a text set smaller gets a shorter
    // caret), never taller than its picture, and in the middle of the line.
    const int full = cursorSprite->GetHeight(true);
    const int shown = lineHeight > 0 ? std::min(full, lineHeight) : full;
    cursorSprite->SetClipHeight(shown);
    cursorSprite->SetPosition(x + dx, y + dy + (lineHeight > shown ? (lineHeight - shown) / 2 : 0), false);
}

void CGuiTextbox::BlinkCursor() {
    if (hidden) return;
    --blinkCounter;
    if (blinkCounter > 0)
        cursorSprite->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    else
        cursorSprite->Hide();
    if (blinkCounter < kBlinkLow) blinkCounter = kBlinkStart;
}

void CGuiTextbox::HideCursor() { cursorSprite->Hide(); }

void CGuiTextbox::RestartBlink() { blinkCounter = kBlinkStart + 1; }

void CGuiTextbox::Hide() {
    if (hidden) return;
    textSprite->Hide();
    cursorSprite->Hide();
    hidden = 1;
}

void CGuiTextbox::Show() {
    if (!hidden) return;
    textSprite->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    hidden = 0;
}

bool CGuiTextbox::IsMouseOver() const {
    if (hidden) return false;
    return textSprite->IsMouseOver(0, 0);
}

void CGuiTextbox::WarpMouseTo() {
    WarpMouse(textSprite->GetX(true) + textSprite->GetWidth(true) / 2,
              textSprite->GetY(true) + textSprite->GetHeight(true) / 2);
    HideMousePointer(1);
}
