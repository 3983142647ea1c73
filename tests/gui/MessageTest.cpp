// The message box: its buttons, its answer and how Escape and Return close it.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include <SDL_ttf.h>

#include "engine/CSprite.h"
#include "engine/FontRender.h"
#include "gui/CControllerMessage.h"
#include "gui/CGuiButton.h"
#include "gui/GuiText.h"
#include "tests/gui/GuiTestSupport.h"

namespace {

// Text ids of the small string table the text test sets up.
const int kTitleText = 9001;
const int kBodyText = 9002;

void SetText(int id, const char* text) {
    CStringEntry& e = FontGetEntry(id);
    e.text = CFontString(text);
    e.fontFile = "DejaVuSans-Bold.ttf";
    e.pointSize = 18;
}

// Whether two images hold the same pixels.
bool SamePixels(int a, int b) {
    SDL_Surface* sa = CDraw::GetSurface(a);
    SDL_Surface* sb = CDraw::GetSurface(b);
    if (!sa || !sb || sa->w != sb->w || sa->h != sb->h) return false;
    for (int y = 0; y < sa->h; ++y)
        for (int x = 0; x < sa->w; ++x)
            if (CDraw::GetPixel(sa, x, y) != CDraw::GetPixel(sb, x, y)) return false;
    return true;
}

class MessageTest : public WidgetTest {
protected:
    static void SetUpTestSuite() {
        OpenDisplay();
        RegisterBlank("dimmer.png", 800, 600);
        RegisterBlank("confirmation_parch.png", 500, 400);
        RegisterBlank("parchment_confirmation.png", 100, 50);
        for (const char* n : {"confirmation_buttonokaybase.png", "confirmation_buttonokayshadow.png",
                              "confirmation_buttonokayroll.png", "confirmation_buttoncancelbase.png",
                              "confirmation_buttoncancelshadow.png", "confirmation_buttoncancelroll.png"})
            RegisterBlank(n, 80, 40);
    }
    void SetUp() override {
        WidgetTest::SetUp();
        PointAt(5, 5);
        root.Activate(nullptr);
    }
    void TearDown() override {
        WidgetTest::TearDown();
        CController::ResetStack();
    }
    std::unique_ptr<CControllerMessage> Open(bool twoButtons) {
        std::unique_ptr<CControllerMessage> m(new CControllerMessage(-1, -1, twoButtons, 0));
        root.OpenChild(m.get());
        return m;
    }
    RecordingOwner root{3};
};

TEST_F(MessageTest, QuestionHasOkayAndDefaultCancel) {
    auto m = Open(true);
    EXPECT_EQ(m->GetID(), CONTROLLER_MESSAGE);
    ASSERT_NE(m->GetOkayButton(), nullptr);
    ASSERT_NE(m->GetCancelButton(), nullptr);
    EXPECT_EQ(m->GetOkayButton()->GetX(), 310);
    EXPECT_EQ(m->GetOkayButton()->GetY(), 420);
    EXPECT_EQ(m->GetCancelButton()->GetX(), 405);
    EXPECT_FALSE(m->GetOkayButton()->IsDefault());
    EXPECT_TRUE(m->GetCancelButton()->IsDefault());
    EXPECT_EQ(m->GetOkayButton()->GetId(), 1);
    EXPECT_EQ(m->GetCancelButton()->GetId(), 0);
}

TEST_F(MessageTest, MessageHasOneDefaultOkay) {
    auto m = Open(false);
    ASSERT_NE(m->GetOkayButton(), nullptr);
    EXPECT_EQ(m->GetCancelButton(), nullptr);
    EXPECT_EQ(m->GetOkayButton()->GetX(), 358);
    EXPECT_TRUE(m->GetOkayButton()->IsDefault());
}

TEST_F(MessageTest, EscapeOnQuestionAnswersNo) {
    auto m = Open(true);
    m->InputKey(false, KEY_ESCAPE);
    EXPECT_FALSE(m->IsConfirmed());
    CController::PumpCurrent();
    EXPECT_EQ(CController::GetCurrent(), &root);
    EXPECT_EQ(CController::GetPreviousId(), CONTROLLER_MESSAGE);
    EXPECT_EQ(root.Result(), 0);
}

TEST_F(MessageTest, EscapeOnMessageAnswersYes) {
    auto m = Open(false);
    m->InputKey(false, KEY_ESCAPE);
    EXPECT_TRUE(m->IsConfirmed());
    CController::PumpCurrent();
    EXPECT_EQ(CController::GetCurrent(), &root);
}

TEST_F(MessageTest, ReturnWithoutFocusCancelsQuestion) {
    auto m = Open(true);
    m->Pump();
    m->InputKey(false, KEY_RETURN);
    EXPECT_FALSE(m->IsConfirmed());
    CController::PumpCurrent();
    EXPECT_EQ(CController::GetCurrent(), &root);
}

TEST_F(MessageTest, ReturnWithoutFocusConfirmsMessage) {
    auto m = Open(false);
    m->Pump();
    m->InputKey(false, KEY_RETURN);
    EXPECT_TRUE(m->IsConfirmed());
    CController::PumpCurrent();
    EXPECT_EQ(CController::GetCurrent(), &root);
}

TEST_F(MessageTest, ClickOnOkayConfirms) {
    auto m = Open(true);
    SetMouseX(330);
    SetMouseY(430);
    m->Pump();
    CGuiButtonBase::OnLeftButton(false, true);
    CGuiButtonBase::OnLeftButton(true, true);
    EXPECT_TRUE(m->IsConfirmed());
    CController::PumpCurrent();
    EXPECT_EQ(CController::GetCurrent(), &root);
}

TEST_F(MessageTest, OtherIndexAnswersNoWithoutClosing) {
    auto m = Open(true);
    m->GUICallback(1, 0, false);
    EXPECT_TRUE(m->IsConfirmed());
    auto n = Open(true);
    n->GUICallback(7, 0, false);
    EXPECT_FALSE(n->IsConfirmed());
    CController::PumpCurrent();
    EXPECT_EQ(CController::GetCurrent(), n.get());
}

// The box picture against pictures composed by hand: the title in its
// 450 x 50 box at y 50, the body with its argument in its 450 x 120 box at
// y 200, both centred on the 500-pixel picture; a title id of -1 leaves the
// title area empty while the body is still drawn. A body of several lines
// wraps at that width in even lines: the last holds more than one word, and
// of two lines the second is shorter than the first by less than the word
// that ends the first.
TEST_F(MessageTest, TitleAndBodyWithItsArgumentAreDrawnIntoTheBox) {
    ASSERT_EQ(TTF_Init(), 0);
    FontSetFolder(ZORV_RUN_DIR "/");
    SetText(kTitleText, "A Title");
    SetText(kBodyText, "Level %1 is done");
    const int bodyOnly = CDraw::CopyImage("confirmation_parch.png", "expectBody.png", 0);
    ASSERT_TRUE(BlitString(kBodyText, bodyOnly, 450, 120, 2, 25, 200, "7"));
    const int both = CDraw::CopyImage("expectBody.png", "expectBoth.png", 0);
    ASSERT_TRUE(BlitString(kTitleText, both, 450, 50, 2, 25, 50));
    const int other = CDraw::CopyImage("confirmation_parch.png", "expectOther.png", 0);
    ASSERT_TRUE(BlitString(kBodyText, other, 450, 120, 2, 25, 200, "8"));
    ASSERT_FALSE(SamePixels(bodyOnly, both));
    ASSERT_FALSE(SamePixels(bodyOnly, other));

    auto untitled = std::make_unique<CControllerMessage>(-1, kBodyText, false, 7);
    EXPECT_TRUE(SamePixels(CDraw::FindImage("baseMessageController.png"), bodyOnly));
    untitled.reset();
    auto titled = std::make_unique<CControllerMessage>(kTitleText, kBodyText, true, 7);
    EXPECT_TRUE(SamePixels(CDraw::FindImage("baseMessageController.png"), both));
    titled.reset();
    auto eight = std::make_unique<CControllerMessage>(-1, kBodyText, false, 8);
    EXPECT_TRUE(SamePixels(CDraw::FindImage("baseMessageController.png"), other));
    eight.reset();

    for (int id : {bodyOnly, both, other}) CDraw::ReleaseImage(id);

    const char* const bodies[] = {
        "Finish the levels before this one to open it.",
        "The level starts again and plays itself to the end, every move of it shown.",
        "Your progress could not be written to disk. It is kept while the game runs and saved again at the "
        "next chance.",
    };
    for (const char* text : bodies) {
        SetText(kBodyText, text);
        auto m = std::make_unique<CControllerMessage>(kTitleText, kBodyText, false, 0);
        std::vector<std::vector<FontRunPlacement>> lines;
        std::string drawn;
        for (const FontRunPlacement& p : FontGetLastPlacements()) {  // the body, drawn last
            lines.resize(static_cast<size_t>(p.line));
            lines.back().push_back(p);
            drawn += std::string(p.text.begin(), p.text.end());
            EXPECT_GE(p.x, 0) << text;
            EXPECT_LE(p.x + p.w, CControllerMessage::kTextWidth) << text;
        }
        EXPECT_EQ(drawn, text);
        EXPECT_TRUE(lines.size() == 1 || lines.back().size() > 1) << "a word alone on the last line: " << text;
        int longest = 0, shortest = CControllerMessage::kTextWidth;
        for (const auto& line : lines) {
            const int w = line.back().x + line.back().w - line.front().x;
            longest = std::max(longest, w);
            shortest = std::min(shortest, w);
        }
        if (lines.size() == 2) {
            EXPECT_LE(longest - shortest, lines[0].back().w) << "uneven lines: " << text;
        }
    }
    FontQuit();
}

TEST_F(MessageTest, DestructorFreesEverything) {
    const size_t sprites = GetSpriteList().size();
    const size_t widgets = CGuiButtonBase::GetRegistrySize();
    {
        auto m = Open(true);
        EXPECT_GT(GetSpriteList().size(), sprites);
        EXPECT_EQ(CGuiButtonBase::GetRegistrySize(), widgets + 2);
    }
    EXPECT_EQ(GetSpriteList().size(), sprites);
    EXPECT_EQ(CGuiButtonBase::GetRegistrySize(), widgets);
    EXPECT_LT(CDraw::FindImage("baseMessageController.png"), 0);
}

}  // namespace
