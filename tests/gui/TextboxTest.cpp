// The text box: what each key enters under the box's rules, the length
// limits, line breaks, masking, the caret's place and blink, and that typed
// text is drawn as text, never as markup.
#include <gtest/gtest.h>

#include <SDL_ttf.h>

#include <memory>
#include <string>

#include "engine/CFontString.h"
#include "engine/CSprite.h"
#include "engine/FontRender.h"
#include "engine/ResourceFiles.h"
#include "gui/CGuiTextbox.h"
#include "tests/gui/GuiTestSupport.h"

namespace {

const int kX = 290, kY = 285, kMarginX = 6, kMarginY = 4;

class TextboxTest : public WidgetTest {
protected:
    static void SetUpTestSuite() {
        OpenDisplay();
        FontInit("./", kStringTableFile);
        RegisterBlank("tb_field.png", 172, 26);
        RegisterBlank("tb_tall.png", 400, 120);
        RegisterBlank("tb_caret.png", 3, 20);
    }
    static void TearDownTestSuite() { FontQuit(); }
    void SetUp() override {
        WidgetTest::SetUp();
        FontResetStyle();
    }

    static std::unique_ptr<CGuiTextbox> Make(int maxLength, bool space, bool symbols, bool breaks,
                                             const char* field = "tb_field.png", int x = kX, int y = kY) {
        return std::make_unique<CGuiTextbox>(maxLength, x, y, kMarginX, kMarginY, field, "tb_caret.png", space,
                                             symbols, breaks);
    }
    static void Type(CGuiTextbox& box, const std::string& keys, bool shift = false) {
        for (char c : keys) box.HandleKey(static_cast<unsigned char>(c), 0, shift);
    }
    // Width of a text drawn in the text box's own style, measured by the font.
    static int StyleWidth(const std::string& text) {
        const CStringEntry& e = FontGetEntry(CGuiTextbox::kTextStyleId);
        TTF_Font* font = TTF_OpenFont((FontGetFolder() + e.fontFile).c_str(), e.pointSize);
        EXPECT_NE(font, nullptr);
        CFontString wide(text.c_str());
        int w = 0, h = 0;
        TTF_SizeUNICODE(font, wide.c_str(), &w, &h);
        TTF_CloseFont(font);
        return w;
    }
    static int CaretX(const CGuiTextbox& box) { return box.GetCursorSprite()->GetX(false); }
    static int CaretY(const CGuiTextbox& box) { return box.GetCursorSprite()->GetY(false); }
    // A one-line box of tb_field.png (26 high) holds its line, and so its
    // caret, in the middle of its height.
    static void ExpectCaretCentred(const CGuiTextbox& box) {
        const int above = CaretY(box) - kY;
        const int below = kY + 26 - (CaretY(box) + box.GetCursorSprite()->GetHeight(false));
        EXPECT_GE(above, 0);
        EXPECT_NEAR(above, below, 1);
    }
};

TEST_F(TextboxTest, PasswordBoxTakesTenLettersAndDigitsAndShowsStars) {
    auto box = Make(10, false, false, false);
    EXPECT_EQ(box->GetImageName(), "x290_y285_tb_field.png");
    EXPECT_EQ(CaretX(*box), kX + kMarginX);
    ExpectCaretCentred(*box);
    const int lineY = CaretY(*box);
    Type(*box, "ab1");
    EXPECT_EQ(CaretY(*box), lineY) << "the caret keeps its line once text is typed";
    const int repaints = box->GetRepaintCount();
    Type(*box, " ,'-.\\`");  // neither blanks nor symbols
    EXPECT_EQ(box->GetRepaintCount(), repaints);
    box->HandleKey('5', 0, true);  // no symbols: the digit itself
    Type(*box, "c", true);
    Type(*box, "xyz0123");
    EXPECT_STREQ(box->GetText(), "ab15Cxyz01");
    EXPECT_EQ(CaretX(*box), kX + kMarginX + StyleWidth("ab15Cxyz01"));

    box->SetMasked(true);
    box->HandleKey(8, 0, false);
    box->HandleKey('q', 0, false);
    EXPECT_STREQ(box->GetText(), "ab15Cxyz0q");
    EXPECT_EQ(CaretX(*box), kX + kMarginX + StyleWidth("**********"));
}

TEST_F(TextboxTest, SymbolsAndLineBreaksFollowTheUsKeyboard) {
    auto box = Make(40, true, true, true, "tb_tall.png");
    for (char d = '0'; d <= '9'; ++d) box->HandleKey(d, 0, true);
    EXPECT_STREQ(box->GetText(), ")!@#$%^&*(");
    box->SetText("");
    Type(*box, ";/'");
    Type(*box, ";/'", true);
    Type(*box, ",-.\\`", true);
    EXPECT_STREQ(box->GetText(), ";/':?\",-.\\`");

    // "%" then "n" is a line break: the caret starts the next line, and one
    // Backspace takes the whole marker away.
    box->SetText("ab");
    const int lineY = CaretY(*box);
    box->HandleKey('5', 0, true);
    box->HandleKey('n', 0, false);
    EXPECT_STREQ(box->GetText(), "ab%n");
    EXPECT_EQ(CaretX(*box), kX + kMarginX);
    EXPECT_GT(CaretY(*box), lineY);
    box->HandleKey(KEY_RETURN, 0, false);
    EXPECT_STREQ(box->GetText(), "ab%n%n");
    box->HandleKey(8, 0, false);
    box->HandleKey(127, 0, false);
    EXPECT_STREQ(box->GetText(), "ab");
    EXPECT_EQ(CaretY(*box), lineY);

    // A text of nothing but a line break still moves the caret down.
    box->SetText("%n");
    EXPECT_EQ(CaretX(*box), kX + kMarginX);
    EXPECT_GT(CaretY(*box), kY + kMarginY);

    // "/" and ";" need no symbols; Return needs line breaks.
    auto plain = Make(15, true, false, false);
    Type(*plain, "a/;");
    plain->HandleKey(KEY_RETURN, 0, false);
    EXPECT_STREQ(plain->GetText(), "a/;");
}

TEST_F(TextboxTest, LineBreakNeedsRoomForBothCharacters) {
    auto box = Make(15, true, true, true);
    box->SetText("abcdefghijklmn");  // 14
    box->HandleKey(KEY_RETURN, 0, false);
    EXPECT_STREQ(box->GetText(), "abcdefghijklmn");
    box->SetText("abcdefghijklm");  // 13
    box->HandleKey(KEY_RETURN, 0, false);
    EXPECT_STREQ(box->GetText(), "abcdefghijklm%n");
    box->HandleKey('z', 0, false);
    EXPECT_STREQ(box->GetText(), "abcdefghijklm%n");
    box->InsertChar(8);
    box->InsertChar('!');
    box->InsertChar(10);
    EXPECT_STREQ(box->GetText(), "abcdefghijklm!");
}

TEST_F(TextboxTest, SetTextIsBoundedByTheBoxLength) {
    const std::string huge(5000, 'w');
    auto name = Make(15, true, false, false);
    name->SetText(huge.c_str());
    EXPECT_EQ(std::string(name->GetText()), std::string(15, 'w'));
    // A line break cut in half leaves no stray "%".
    name->SetText("abcdefghijklmn%nxyz");
    EXPECT_STREQ(name->GetText(), "abcdefghijklmn");
    name->SetText(nullptr);
    EXPECT_STREQ(name->GetText(), "");

    auto big = Make(5000, true, true, true, "tb_tall.png");
    EXPECT_EQ(big->GetMaxLength(), CGuiTextbox::kTextCapacity);
    big->SetText(huge.c_str());
    EXPECT_EQ(strlen(big->GetText()), static_cast<size_t>(CGuiTextbox::kTextCapacity));
}

TEST_F(TextboxTest, TypedMarkupIsDrawnAsText) {
    auto box = Make(40, true, true, true, "tb_tall.png");
    box->SetText("%b%1%i");
    EXPECT_EQ(CaretX(*box), kX + kMarginX + StyleWidth("%b%1%i"));
    EXPECT_NEAR(CaretY(*box), kY + kMarginY, 1) << "on the first line";
    EXPECT_EQ(FontGetStyle(), 0);  // nothing leaks into later texts
    // A one-line box has no line breaks: "%n" in a name is two characters.
    auto name = Make(15, true, true, false);
    name->SetText("a%nb%b");
    EXPECT_EQ(CaretX(*name), kX + kMarginX + StyleWidth("a%nb%b"));
    ExpectCaretCentred(*name);  // on its one line
    // A name in UTF-8 loses its last character, not half of it: a whole
    // sequence of two or four bytes, or what is drawn as one "?" (a stray
    // byte, a sequence cut short, or the first bytes of a refused one).
    const char* const backspaced[][2] = {
        {"caf\xC3\xA9", "caf"},         {"a\xF0\x9F\x98\x80", "a"}, {"a\xF4\x8F\xBF\xBF", "a"},
        {"ab\xE2\x82", "ab"},           {"a\x80", "a"},                {"a\xE0\x9F", "a\xE0"},
        {"\xC3\xA9", ""},               {"\xC3", ""},
    };
    for (const auto& row : backspaced) {
        name->SetText(row[0]);
        name->HandleKey(8, 0, false);
        EXPECT_STREQ(name->GetText(), row[1]) << row[0];
    }
}

TEST_F(TextboxTest, BackspaceOnEmptyRepaintsAndKeepsTheCaretAtTheStart) {
    auto box = Make(15, true, false, false);
    const int repaints = box->GetRepaintCount();
    const int lineY = CaretY(*box);
    box->HandleKey(8, 0, false);
    EXPECT_EQ(box->GetRepaintCount(), repaints + 1);
    EXPECT_STREQ(box->GetText(), "");
    EXPECT_EQ(CaretX(*box), kX + kMarginX);
    EXPECT_EQ(CaretY(*box), lineY);
    box->HandleKey(SDLK_F1, 0, false);
    EXPECT_EQ(box->GetRepaintCount(), repaints + 1);
}

TEST_F(TextboxTest, CaretBlinksSevenOnTenOffAndHidesWithTheBox) {
    auto box = Make(15, true, false, false);
    CSprite* caret = box->GetCursorSprite();
    EXPECT_TRUE(caret->IsHidden());
    std::string pattern;
    for (int f = 0; f < 34; ++f) {
        box->BlinkCursor();
        pattern += caret->IsHidden() ? '.' : '#';
    }
    EXPECT_EQ(pattern, "#######..........#######..........");

    box->Hide();
    EXPECT_TRUE(box->IsHidden());
    EXPECT_TRUE(box->GetTextSprite()->IsHidden());
    EXPECT_TRUE(caret->IsHidden());
    for (int f = 0; f < 5; ++f) box->BlinkCursor();
    EXPECT_TRUE(caret->IsHidden());
    SetMouseX(kX + 10);
    SetMouseY(kY + 10);
    EXPECT_FALSE(box->IsMouseOver());
    box->HandleKey('a', 0, false);  // a repaint keeps a hidden box hidden
    EXPECT_TRUE(box->GetTextSprite()->IsHidden());
    box->Show();
    EXPECT_FALSE(box->GetTextSprite()->IsHidden());
    EXPECT_TRUE(box->IsMouseOver());
}

TEST_F(TextboxTest, PointerTestsIncludeTheEdgesAndWarpGoesToTheCentre) {
    auto box = Make(15, true, false, false);
    SetMouseX(kX + 172);
    SetMouseY(kY + 26);
    EXPECT_TRUE(box->IsMouseOver());
    SetMouseX(kX + 173);
    EXPECT_FALSE(box->IsMouseOver());

    SetSystemPointer(false);
    box->WarpMouseTo();
    SetSystemPointer(true);
    EXPECT_EQ(GetMouseX(), kX + 86);
    EXPECT_EQ(GetMouseY(), kY + 13);
}

TEST_F(TextboxTest, BoxesAtOtherPlacesKeepTheirOwnPictures) {
    const size_t sprites = GetSpriteList().size();
    {
        auto a = Make(15, true, false, false);
        auto b = Make(15, true, false, false, "tb_field.png", 100, 100);
        a->SetText("left");
        b->SetText("right");
        EXPECT_NE(a->GetImageName(), b->GetImageName());
        EXPECT_GE(CDraw::FindImage(a->GetImageName().c_str()), 0);
        EXPECT_GE(CDraw::FindImage(b->GetImageName().c_str()), 0);
        EXPECT_NE(CDraw::FindImage(a->GetImageName().c_str()), CDraw::FindImage(b->GetImageName().c_str()));
    }
    EXPECT_EQ(GetSpriteList().size(), sprites);
    EXPECT_LT(CDraw::FindImage("x290_y285_tb_field.png"), 0);
    EXPECT_LT(CDraw::FindImage("x100_y100_tb_field.png"), 0);
}

}  // namespace
