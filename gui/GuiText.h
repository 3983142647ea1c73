// Painting text permanently into a picture of the image store (usually a
// screen's background), so that static captions cost nothing per frame.
#pragma once

#include "engine/FontRender.h"

// Renders string-table entry textId in a boxW x boxH box with the given
// alignment (its own font, size, colour and line spacing; v1..v6 fill "%1" to
// "%6") and blits it onto image imageId at (x, y). False when the image is
// not live or nothing was rendered.
bool BlitString(int textId, int imageId, int boxW, int boxH, int align, int x, int y, const char* v1 = nullptr,
                const char* v2 = nullptr, const char* v3 = nullptr, const char* v4 = nullptr,
                const char* v5 = nullptr, const char* v6 = nullptr);

// The same with one text a player typed (or a server, a level file or the
// file system supplied) for "%1", and optionally a second such text for
// "%2": drawn as the characters they hold (UTF-8), so "%b", "%n" or "%1" in
// them are not markup; with FontValues::kTypedLines (a sign's text) their
// "%n" still breaks the line. pointSize 0 is the entry's own size.
bool BlitTypedString(int textId, int imageId, int boxW, int boxH, int align, int x, int y, const char* typed,
                     const char* typed2 = nullptr, int pointSize = 0, FontValues values = FontValues::kTyped);
// A typed text fitted to the request's box (FontRenderStringFitted) and
// blitted onto image imageId at (x, y) with the given alignment. *fitted
// (when given) receives the fit. False when the image is not live or
// nothing was rendered.
bool BlitFittedString(const FontFitRequest& request, int imageId, int align, int x, int y,
                      FontFitted* fitted = nullptr);

// The same for a plain 8-bit text in the plain-text style: the font file
// kTextFontFile at 23 points, line spacing 5, colour (24, 34, 83).
bool BlitText(const char* text, int imageId, int boxW, int boxH, int align, int x, int y);
