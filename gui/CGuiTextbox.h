// The one-line (or, with line breaks, multi-line) text entry field of the
// name, password, file-name and tutorial-text dialogs. It is not a registered
// widget: the dialog that owns it forwards key presses to HandleKey, blinks
// the caret every frame and asks IsMouseOver itself. The box paints its text
// into a private copy of its field picture and keeps a caret sprite just
// after the last character. A line break is kept as the two characters "%n".
#pragma once

#include <cstdint>
#include <memory>
#include <string>

class CSprite;

class CGuiTextbox {
public:
    // The most characters any box holds (a line break counts as two).
    static constexpr int kTextCapacity = 1002;
    // The string-table entry whose style the typed text is drawn in.
    static constexpr int kTextStyleId = 500;

    // maxLength is capped to kTextCapacity; the field picture is copied under
    // a name made of the position, so that two boxes never share a picture.
    CGuiTextbox(int maxLength, int x, int y, int marginX, int marginY, const char* backgroundImage,
                const char* cursorImage, bool allowSpace, bool allowSymbols, bool allowLineBreak);
    ~CGuiTextbox();
    CGuiTextbox(const CGuiTextbox&) = delete;
    CGuiTextbox& operator=(const CGuiTextbox&) = delete;

    // Edits the text from one key press (an SDL key symbol; shift while a
    // SHIFT key is held) under the box's rules; keys it does not know are
    // ignored.
    void HandleKey(int key, int unused, bool shift);
    // The same for a character code: 8 deletes, 10 adds a line break, any
    // other byte is added as it is.
    void InsertChar(int ch);
    // Takes at most maxLength characters of text (a line break is not cut in
    // half); null empties the box.
    void SetText(const char* text);
    const char* GetText() const { return text.c_str(); }
    // Shows one "*" per character from the next repaint on.
    void SetMasked(bool on) { masked = on ? 1 : 0; }

    // Once a frame while the box has the keyboard: shown 7 frames, hidden 10.
    void BlinkCursor();
    void HideCursor();
    // The box has just taken the keyboard: its caret shows from the next
    // blink on, for the whole of its shown time.
    void RestartBlink();
    void Hide();
    void Show();
    // The pointer lies on the field (edges included); false while hidden.
    bool IsMouseOver() const;
    // Moves the system pointer to the field's centre.
    void WarpMouseTo();

    // Inspection (tests and dialogs).
    int GetMaxLength() const { return maxLength; }
    int GetX() const { return x; }
    int GetY() const { return y; }
    int GetMarginX() const { return marginX; }
    int GetMarginY() const { return marginY; }
    bool IsHidden() const { return hidden != 0; }
    bool IsMasked() const { return masked != 0; }
    int GetBlinkCounter() const { return blinkCounter; }
    const std::string& GetImageName() const { return imageName; }
    CSprite* GetTextSprite() const { return textSprite.get(); }
    CSprite* GetCursorSprite() const { return cursorSprite.get(); }
    int GetRepaintCount() const { return repaints; }
    // What the last repaint drew: the text (or its stars) as laid out in
    // the field, with a line break at the end of each line of several, or
    // only its end when the whole does not fit.
    const std::string& GetShownText() const { return shownText; }

private:
    // Adds c when there is room.
    void Append(char c);
    void AppendLineBreak();
    void DeleteLast();
    void Repaint();
    // Puts the caret on the line whose top is (dx, dy) inside the field, as
    // tall as a line of lineHeight (0: its picture's height).
    void PlaceCaret(int dx, int dy, int lineHeight);

    std::unique_ptr<CSprite> textSprite;
    std::unique_ptr<CSprite> cursorSprite;
    std::string backgroundImage;
    std::string cursorImage;
    std::string imageName;
    int x, y;
    int marginX, marginY;
    int maxLength;
    uint8_t hidden;
    uint8_t allowSpace, allowSymbols, allowLineBreak;
    uint8_t masked;
    std::string text;
    std::string shownText;
    int blinkCounter;
    int repaints;
};
