#include "screens/CControllerScoreboard.h"

#include <algorithm>
#include <memory>

#include "engine/CDraw.h"
#include "engine/CMouse.h"
#include "engine/COscillator.h"
#include "engine/CRender.h"
#include "engine/CSprite.h"
#include "engine/FontRender.h"
#include "engine/Log.h"
#include "engine/Utilities.h"
#include "gui/CControllerGame.h"
#include "gui/CControllerInGame.h"
#include "gui/CControllerMessage.h"
#include "gui/CGuiButton.h"
#include "gui/GuiSprites.h"
#include "gui/GuiText.h"
#include "gui/SaveFailureNotice.h"
#include "players/CProfile.h"
#include "players/ScoreClient.h"
#include "screens/CControllerInstructions.h"
#include "screens/CControllerPassword.h"
#include "screens/CControllerScoreboardName.h"
#include "sound/CSound.h"
#include "sound/CSoundObject.h"
#include "world/CLevel.h"
#include "world/CLevelSet.h"

namespace {

const char* const kRule = "=============================================\n";

// Texts of the page.
const int kTextPlain = 300;
const int kTextSingedMessage = 2800;
const int kTextLostMessages = 2801;   // four of them
const int kTextSolvedMessages = 2805;  // twenty-one of them
const int kTextBestPlayers = 3200;
const int kTextSetNames = 3201;
const int kTextLevelTitles = CLevelSet::kLevelTitleTexts;
const int kTextStepsNow = 3208;
const int kTextStepsBest = 3209;
const int kTextFirstSolution = 3210;
const int kTextSetSteps = 3211;
const int kTextNoScores = 3212;
// The message box of a failed request: its title, and the bodies for no
// answer, for a wait the player gave up, for a server too busy for this
// player, for the server's own message and for a code without a message.
const int kTextServerTitle = 2216;
const int kTextGivenUp = 2325;
const int kTextNoAnswer = 2326;
const int kTextBusy = 2327;
const int kTextServerSaid = 2336;
const int kTextServerCode = 2337;
const int kTextWaiting = 2617;

// While the game waits for the score server no frame is drawn, and the
// hourglass alone would not say what it waits for nor that Escape gives up:
// a note says both, over the middle of the board (where its Download button
// stands), from the start of an
// action's requests to their end. Drawn onto the screen at once; the next
// frame paints the page over it.
constexpr int kNoteW = 420, kNoteH = 60;
constexpr int kNoteX = (800 - kNoteW) / 2, kNoteY = 240;
bool g_waitNoteShown = false;

class CWaitNote {
public:
    CWaitNote() {
        const int image = CDraw::CreateSurface(kNoteW, kNoteH, kImage);
        SDL_Surface* s = CDraw::GetSurface(image);
        if (s) {
            SDL_Rect inner = {2, 2, kNoteW - 4, kNoteH - 4};
            SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, 112, 74, 38));
            SDL_FillRect(s, &inner, SDL_MapRGB(s->format, 244, 231, 200));
        }
        BlitString(kTextWaiting, image, kNoteW - 20, kNoteH - 8, 3, 10, 4);
        note->SetName("Scoreboard Controller (wait note)");
        note->AddFrame(image);
        note->SetPosition(kNoteX, kNoteY, false);
        note->Show(kSpriteNotDrawn, kSpriteNotDrawn);
        note->Draw();
        ShowHourglass(true);  // over the note where they meet
        g_waitNoteShown = true;
    }
    ~CWaitNote() {
        note.reset();
        CDraw::UnloadImage(kImage);
        CRender::AddDirtyRect(kNoteX, kNoteY, kNoteW, kNoteH);
        g_waitNoteShown = false;
    }
    CWaitNote(const CWaitNote&) = delete;
    CWaitNote& operator=(const CWaitNote&) = delete;

private:
    static constexpr const char* kImage = "scoreboardWaitNote.png";
    std::unique_ptr<CSprite> note = std::make_unique<CSprite>(LAYER_CL5, 0, false);
};

// Runs request with the wait note (and the hourglass over it) on screen;
// its result.
template <typename Request>
auto WhileWaiting(Request request) {
    const CWaitNote note;
    return request();
}

// Rows of a board on the page (page coordinates).
const int kRowX = 242;
const int kRowTop = 180;
const int kRowPitch = 18;
const int kRowW = 206;
const int kRowH = 23;
// Names and counts stand 5 pixels in from the row's sides, under the
// headings, and a name keeps a blank's width clear of its count.
const int kCellInset = 5;
const int kNameGap = 8;
// The arrows beside the player's own row (screen coordinates).
const int kArrowLeftX = 246;
const int kArrowRightX = 512;

// The body for a request that brought no answer of the server's (none came,
// the player gave up waiting, or the server was too busy to look at it); 0
// for an answer.
int UnansweredBody(int code) {
    switch (code) {
    case kScoreErrorNoAnswer: return kTextNoAnswer;
    case kScoreErrorGivenUp: return kTextGivenUp;
    case kScoreErrorBusy: return kTextBusy;
    default: return 0;
    }
}

bool IsPostGame(int type) { return type > SCOREBOARD_LEVEL_MENU && type != SCOREBOARD_LEVEL_SOLVED; }

bool IsLevelBoard(int type) {
    return type == SCOREBOARD_LEVEL_MAP || type == SCOREBOARD_LEVEL_MENU || type == SCOREBOARD_LEVEL_SOLVED;
}

std::string ScoreboardUser(CProfile* p) {
    if (!p || !p->HasScoreboardName(-1)) return "";
    const char* name = p->GetScoreboardName(-1);
    return name ? name : "";
}

}  // namespace

CControllerScoreboard::CControllerScoreboard(int type_, bool noSet_)
    : dimmer(nullptr),
      background(nullptr),
      arrow1(nullptr),
      arrow2(nullptr),
      buttons{},
      oscillator(nullptr),
      victory(nullptr),
      noSet(noSet_ ? 1 : 0),
      solutionAvailable(1),
      loaded(0),
      type(type_),
      set(0),
      level(0),
      seed(RandomInt(0, 50)),
      nameDialog(nullptr),
      passwordPrompt(nullptr),
      instructions(nullptr),
      message(nullptr),
      failureBody(0),
      pendingMark(CControllerScoreboardName::Mark::kNone),
      nameAfterMessage(false),
      followUp(FOLLOW_NONE) {
    id = CONTROLLER_SCOREBOARD;
    value = POSTGAME_NONE;
    // The page after a level stays until the player chooses.
    if (type <= SCOREBOARD_LEVEL_MENU) menuKeys.SetBack(CMenuKeys::Back::kWidget, BUTTON_BACK);
    if (CProfile* p = GetProfile()) {
        set = p->GetCurrentSet();
        level = p->GetCurrentLevel();
    }
    LoadSprites();
    if (type > SCOREBOARD_LEVEL_MENU) {
        CSound::FadeOutMusic();
        victory = std::make_unique<CSoundObject>("victory.ogg", false);
        CSound::Play(victory.get(), false, 0, 0);
    }
}

CControllerScoreboard::~CControllerScoreboard() {
    DebugLog(DBG_DESTRUCT, "CControllerScoreboard:  Destroying CControllerScoreboard...\n");
    ReleaseAll(nameDialog, passwordPrompt, instructions, message);
    UnloadSprites();
    victory.reset();
}

// ---- sprites and buttons ----------------------------------------------------

void CControllerScoreboard::LoadSprites() {
    if (loaded) return;
    dimmer = std::make_unique<CSprite>(LAYER_CL1, 0, false);
    dimmer->SetName("Scoreboard Controller (SCOREBOARD_LSPRITE_DIMMER)");
    dimmer->AddFrame("dimmer.png");
    dimmer->SetPosition(0, 0, false);
    dimmer->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    arrow1 = std::make_unique<CSprite>(LAYER_CL5, 0, false);
    arrow1->SetName("Scoreboard Controller (SCOREBOARD_LSPRITE_ARROW1)");
    arrow1->AddFrame("hiscores_arrow1.png");
    arrow2 = std::make_unique<CSprite>(LAYER_CL5, 0, false);
    arrow2->SetName("Scoreboard Controller (SCOREBOARD_LSPRITE_ARROW2)");
    arrow2->AddFrame("hiscores_arrow2.png");
    oscillator = std::make_unique<COscillator>();
    oscillator->Init(0, 6, 3.0f, 2.2f, 0);
    CreateButtons();
    BuildPage();
    loaded = 1;
}

void CControllerScoreboard::UnloadSprites() {
    ShowHourglass(true);
    if (!loaded) return;
    ReleaseAll(dimmer, background, arrow1, arrow2, buttons, oscillator);
    CDraw::UnloadImage(kPageImage);
    loaded = 0;
}

CGuiButton* CControllerScoreboard::AddButton(int buttonId, int x, int y, const char* base, const char* shadow,
                                             const char* rollover) {
    for (std::unique_ptr<CGuiButton>& slot : buttons) {
        if (slot) continue;
        slot = std::make_unique<CGuiButton>(x, y, buttonId, this, base, shadow, rollover, nullptr, false, 0, 0);
        return slot.get();
    }
    return nullptr;
}

CGuiButton* CControllerScoreboard::AddParchmentButton(int buttonId, int x, int y, const char* text, bool isDefault) {
    for (std::unique_ptr<CGuiButton>& slot : buttons) {
        if (slot) continue;
        slot = std::make_unique<CGuiButton>(x, y, buttonId, this, "p2d_button_base.png", nullptr,
                                            "p2d_button_select.png", "p2d_button_select.png", isDefault, 0, 0);
        slot->SetText(text, 0, 0, 0, 0, 0, 0);
        return slot.get();
    }
    return nullptr;
}

void CControllerScoreboard::CreateButtons() {
    // The way out is a default on every page; the first default made wins,
    // so retry or continue, where a page has one, comes before it. Only
    // those take the pointer.
    CGuiButton* byDefault = nullptr;
    switch (type) {
    case SCOREBOARD_OVERALL:
        // The set tabs follow "Show:" (painted on the page); the row stands
        // centred on the screen.
        AddButton(BUTTON_DOWNLOAD_ALL, 319, 255, "hiscores_button_downloadbase.png",
                  "hiscores_button_downloadshadow.png", "hiscores_button_downloadroll.png");
        AddButton(BUTTON_TAB_REGULAR, 277, 453, "hiscores_button_regularbase.png", "hiscores_button_regularshadow.png",
                  "hiscores_button_regularrollover.png");
        AddButton(BUTTON_TAB_ADVANCED, 372, 453, "hiscores_button_advancedbase.png",
                  "hiscores_button_advancedshadow.png", "hiscores_button_advancedrollover.png");
        AddButton(BUTTON_TAB_KIDS, 487, 453, "hiscores_button_kidsbase.png", "hiscores_button_kidsshadow.png",
                  "hiscores_button_kidsrollover.png");
        AddParchmentButton(BUTTON_BACK, 307, 505, "p2d_button_maintext.png", true);
        break;
    case SCOREBOARD_LEVEL_MAP:
    case SCOREBOARD_LEVEL_MENU:
        AddButton(BUTTON_DOWNLOAD_LEVEL, 319, 255, "hiscores_button_downloadbase.png",
                  "hiscores_button_downloadshadow.png", "hiscores_button_downloadroll.png");
        AddParchmentButton(BUTTON_BACK, 307, 505,
                           type == SCOREBOARD_LEVEL_MAP ? "p2d_button_maptext.png" : "p2d_button_backmenutext.png", true);
        break;
    case SCOREBOARD_SINGED:
    case SCOREBOARD_LOST: {
        byDefault = AddParchmentButton(BUTTON_RETRY, 307, 355, "p2d_button_retrytext.png", true);
        AddParchmentButton(BUTTON_UNDO, 307, 385, "p2d_button_undotextB.png");
        AddParchmentButton(BUTTON_SOLUTION, 307, 415, "p2d_button_solutiontext.png");
        AddParchmentButton(BUTTON_INSTRUCTIONS, 307, 445, "p2d_button_instructionstext.png");
        AddParchmentButton(BUTTON_CONTINUE, 307, 475, "p2d_button_selecttext.png");
        AddParchmentButton(BUTTON_BACK, 307, 505, "p2d_button_maintext.png", true);
        break;
    }
    default:  // solved pages
        // Centred on the page, under the victory picture.
        AddButton(BUTTON_SUBMIT, 312, 255, "hiscores_button_submitbase.png", "hiscores_button_submitshadow.png",
                  "hiscores_button_submitrollover.png");
        if (noSet || !IsLastLevelOfSet(set, level))
            byDefault = AddParchmentButton(BUTTON_CONTINUE, 307, 445, "p2d_button_continuetext.png", true);
        AddParchmentButton(BUTTON_RETRY, 307, 475, "p2d_button_retrytext.png");
        AddParchmentButton(BUTTON_BACK, 307, 505, "p2d_button_maintext.png", true);
        break;
    }
    if (byDefault) byDefault->WarpMouseTo();
}

CGuiButton* CControllerScoreboard::GetButton(int buttonId) const {
    for (const auto& b : buttons)
        if (b && b->GetId() == buttonId) return b.get();
    return nullptr;
}

// ---- the page -----------------------------------------------------------------

void CControllerScoreboard::BuildPage() {
    if (arrow1) arrow1->Hide();
    if (arrow2) arrow2->Hide();
    background.reset();
    CDraw::UnloadImage(kPageImage);
    const bool board = !IsPostGame(type);
    const int page = CDraw::CopyImage(board ? "parchment_profpenny.png" : "parchment.png", kPageImage, 0);
    drawnRows.clear();
    drawnTexts.clear();
    drawnRankLine.clear();
    const int w = CDraw::GetWidth(page);
    const int h = CDraw::GetHeight(page);
    if (type == SCOREBOARD_OVERALL) {
        DrawBoard(page, GetOverallScoreBoard(set));
        PageText(page, kTextBestPlayers, 0, 107, w, h, nullptr);
        PageText(page, kTextSetNames + set, 0, 130, w, h, nullptr);
        CDraw::DrawImageOnto("hiscores_textshow.png", page, 162, 438);
    } else if (IsLevelBoard(type)) {
        DrawLevelBoard(page);
    } else {
        DrawPostGame(page);
    }
    background = std::make_unique<CSprite>(LAYER_CL1, 0, false);
    background->SetName("Scoreboard Controller (SCOREBOARD_LSPRITE_BACKGROUND)");
    background->AddFrame(page);
    background->SetPosition(kPageX, kPageY, false);
    background->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    HideMousePointer(kHideUntilNextUpdate);
}

void CControllerScoreboard::DrawLevelBoard(int page) {
    const int w = CDraw::GetWidth(page);
    const int h = CDraw::GetHeight(page);
    DrawBoard(page, GetLevelScoreBoard(set, level));
    const std::string label = CLevelSet::GetLevelLabel(set, level);
    PageText(page, kTextLevelTitles + set, 0, 107, w, h, label.c_str());
    const CLevelSet* levels = CLevelSet::GetSet(set);
    const CLevel* current = levels ? levels->GetLevel(level) : nullptr;
    // A heading comes from a level file: drawn as the text it is.
    if (current) PageText(page, kTextPlain, 0, 130, w, h, current->GetHeadingText());
}

void CControllerScoreboard::DrawBoard(int page, const CScoreBoard* board) {
    CDraw::DrawImageOnto("hiscores_title.png", page, 224, 73);
    CDraw::DrawImageOnto("hiscores_headings.png", page, 242, 160);
    CDraw::DrawImageOnto("hiscores_tablebar.png", page, 234, 177);
    CGuiButton* first = buttons[0].get();
    if (!board || board->count < 0) {
        if (first) first->Show();
        return;
    }
    if (first) first->Hide();
    if (board->entries.empty()) {
        // Downloaded, and nobody has a score there yet.
        PageText(page, kTextNoScores, kRowX, kRowTop + kRowPitch * (kBoardRows / 2 - 1), kRowW, kRowH, nullptr);
        return;
    }
    const int own = board->ownRank;
    // Equal scores share a rank: the player's row is highlighted where it
    // stands, and when it stands below the first ten rows (tied with the
    // tenth, say) it is drawn under them like any row further down.
    const int ownRow = board->ownRow;
    const bool ownOnTop = own >= 1 && own <= kBoardRows && ownRow >= 0 && ownRow < kBoardRows;
    if (ownOnTop) {
        const int place = ownRow + 1;
        CDraw::DrawImageOnto("hiscores_highlighter1.png", page, 229, 162 + kRowPitch * place);
        arrow1->SetPosition(kArrowLeftX, 177 + kRowPitch * place, false);
        arrow2->SetPosition(kArrowRightX, 177 + kRowPitch * place, false);
        arrow1->Show(kSpriteNotDrawn, kSpriteNotDrawn);
        arrow2->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    }
    const auto drawRow = [&](const CScoreEntry& e, int y) {
        const std::string score = GroupThousands(e.score);
        const int cellX = kRowX + kCellInset, cellW = kRowW - 2 * kCellInset;
        int scoreLeft = cellW;
        if (BlitString(kTextPlain, page, cellW, kRowH, 1, cellX, y, score.c_str()))
            for (const FontRunPlacement& run : FontGetLastPlacements()) scoreLeft = std::min(scoreLeft, run.x);
        // Names come from the server: drawn as the text they are, and one
        // too long to end before the count ends in "..." instead of running
        // into it.
        const std::string name =
            FontFitTyped(FontFitRequest(kTextPlain, FontFit::kCutEnd, e.name, scoreLeft - kNameGap)).shown;
        BlitTypedString(kTextPlain, page, cellW, kRowH, 0, cellX, y, name.c_str());
        drawnRows.push_back(std::string(e.name) + "|" + score);
    };
    const size_t rows = std::min(board->entries.size(), static_cast<size_t>(kBoardRows));
    for (size_t i = 0; i < rows; ++i) {
        const CScoreEntry& e = board->entries[i];
        DebugLog(DBG_DEBUG, "Username:  '%s'   %i\n", e.name, e.score);
        drawRow(e, kRowTop + kRowPitch * static_cast<int>(i));
    }
    if (own >= 1 && !ownOnTop && (own > kBoardRows || ownRow >= kBoardRows)) {
        CDraw::DrawImageOnto("hiscores_highlighter2.png", page, 229, 365);
        drawnRankLine = FormatRank(own, board->count);
        BlitString(kTextPlain, page, kRowW, kRowH, 2, kRowX, 368, drawnRankLine.c_str());
        // The player's own row follows the top ten, when the server sent it.
        if (board->entries.size() > static_cast<size_t>(kBoardRows)) {
            drawRow(board->entries[kBoardRows], 390);
            arrow1->SetPosition(kArrowLeftX, 405, false);
            arrow2->SetPosition(kArrowRightX, 405, false);
            arrow1->Show(kSpriteNotDrawn, kSpriteNotDrawn);
            arrow2->Show(kSpriteNotDrawn, kSpriteNotDrawn);
        }
    }
}

void CControllerScoreboard::DrawPostGame(int page) {
    const int w = CDraw::GetWidth(page);
    const int h = CDraw::GetHeight(page);
    CProfile* p = GetProfile();
    CGuiButton* submit = GetButton(BUTTON_SUBMIT);
    // The heading and the picture are centred on the page, the professor in
    // the middle of his picture (the caught one has the bot beside him).
    auto picture = [page, w](const char* name, int y) {
        const int id = CDraw::GetImage(name);
        CDraw::DrawImageOnto(name, page, (w - CDraw::GetWidth(id)) / 2, y);
        CDraw::ReleaseImage(id);
    };
    // The professor stands midway between the heading and Try again (page y
    // 332): the singed picture's smoke starts 12 pixels into it, the caught
    // one's head 27.
    if (type == SCOREBOARD_SINGED) {
        PageText(page, kTextSingedMessage, 0, 35, w, 40, nullptr);
        picture("parchment_singed.png", 104);
        return;
    }
    if (type == SCOREBOARD_LOST) {
        PageText(page, kTextLostMessages + seed % 4, 0, 35, w, 40, nullptr);
        picture("parchment_caught.png", 96);
        return;
    }
    PageText(page, kTextSolvedMessages + seed % 21, 0, 35, w, 40, nullptr);
    if (type == SCOREBOARD_SOLVED && !noSet && IsTutorialLevel(set, level)) {
        picture("parchment_tutorial.png", 130);
        if (submit) submit->Hide();
        return;
    }
    picture("parchment_victory.png", 80);
    const int now = p ? p->GetStepCount(true) : 0;
    const int best = p ? p->GetStepCount(false) : 0;
    PageText(page, kTextStepsNow, 0, 285, w, h, GroupThousands(now).c_str());
    if (best > 0)
        PageText(page, kTextStepsBest, 0, 310, w, h, GroupThousands(best).c_str());
    else
        PageText(page, kTextFirstSolution, 0, 310, w, h, nullptr);
    if (type == SCOREBOARD_SOLVED_NO_SET || noSet) {
        if (submit) submit->Hide();
        return;
    }
    if (p && p->IsSetCompleted(set))
        PageText(page, kTextSetSteps, 0, 345, w, h, GroupThousands(p->GetSetSteps(set)).c_str());
}

void CControllerScoreboard::PageText(int page, int textId, int x, int y, int w, int h, const char* value) {
    // Values are names, headings and numbers: drawn as the text they are.
    BlitTypedString(textId, page, w, h, 2, x, y, value ? value : "");
    drawnTexts.push_back(value ? std::to_string(textId) + ":" + value : std::to_string(textId));
}

std::string CControllerScoreboard::FormatRank(int n, int count) {
    const char* suffix = "th";
    if (n % 10 == 1 && n % 100 != 11)
        suffix = "st";
    else if (n % 10 == 2 && n % 100 != 12)
        suffix = "nd";
    else if (n % 10 == 3 && n % 100 != 13)
        suffix = "rd";
    return std::to_string(n) + suffix + " of " + std::to_string(count);
}

// ---- actions ----------------------------------------------------------------

void CControllerScoreboard::GUICallback(int index, int, bool) {
    switch (index) {
    case BUTTON_RETRY:
        value = POSTGAME_RESTART;
        result = CControllerGame::kCloseToOpener;
        break;
    case BUTTON_CONTINUE: result = CControllerGame::kCloseToLevelChoice; break;
    case BUTTON_SOLUTION: ShowSolution(); break;
    case BUTTON_BACK:
        result = type > SCOREBOARD_LEVEL_MENU ? CControllerGame::kCloseToMainMenu : CControllerGame::kCloseToOpener;
        break;
    case BUTTON_DOWNLOAD_LEVEL: DownloadLevel(); break;
    case BUTTON_DOWNLOAD_ALL: DownloadAllSets(); break;
    case BUTTON_SUBMIT: Submit(); break;
    case BUTTON_TAB_REGULAR:
    case BUTTON_TAB_ADVANCED:
    case BUTTON_TAB_KIDS:
        if (set != index - BUTTON_TAB_REGULAR) {
            set = index - BUTTON_TAB_REGULAR;
            BuildPage();
        }
        break;
    case BUTTON_UNDO:
        value = POSTGAME_UNDO;
        result = CControllerGame::kCloseToOpener;
        break;
    case BUTTON_INSTRUCTIONS:
        if (instructions) break;
        PrepareChild("Instructions");
        instructions = std::make_unique<CControllerInstructions>(0);
        OpenChild(instructions.get());
        break;
    default: break;
    }
}

void CControllerScoreboard::ShowSolution() {
    if (!solutionAvailable) {
        failureBody = CControllerInGame::kNoSolutionBody;
        failureText.clear();
        OpenMessage(CControllerInGame::kNoSolutionTitle);
        return;
    }
    CProfile* p = GetProfile();
    if (p && p->HasPassword() && (noSet || !IsTutorialLevel(set, level))) {
        PrepareChild("Password");
        passwordPrompt = std::make_unique<CControllerPassword>(p->GetPassword());
        OpenChild(passwordPrompt.get());
        return;
    }
    value = POSTGAME_REPLAY;
    result = CControllerGame::kCloseToOpener;
}

bool CControllerScoreboard::NoteFailure() {
    const int code = GetScoreError();
    const int unanswered = UnansweredBody(code);
    const bool goOn = unanswered == 0;
    if (failureBody != 0) return goOn;  // the first failure of an action is the one shown
    const char* text = GetScoreErrorText();
    if (text) {
        failureBody = kTextServerSaid;
        failureText = text;
    } else if (unanswered) {
        failureBody = unanswered;
        failureText.clear();
    } else {
        failureBody = kTextServerCode;
        failureText = std::to_string(code);
    }
    return goOn;
}

bool CControllerScoreboard::UploadAndDownloadLevel() {
    CProfile* p = GetProfile();
    const std::string user = ScoreboardUser(p);
    if (!user.empty() && p->IsLevelSolved(set, level)) {
        const int steps = p->GetLevelSteps(set, level, false);
        DebugLog(DBG_SCOREBOARD, "Uploading current level score for '%s':  %i\n", user.c_str(), steps);
        if (!RequestScoreUpload(user, set, level, steps, CProfileBase::GetCheaterStatus()) && !NoteFailure())
            return false;
    }
    if (RequestScoreDownload(user, set, level)) return true;
    NoteFailure();
    return false;
}

bool CControllerScoreboard::IsWaitNoteShown() { return g_waitNoteShown; }

void CControllerScoreboard::DownloadLevel() {
    failureBody = 0;
    if (WhileWaiting([this] { return UploadAndDownloadLevel(); })) BuildPage();
    if (failureBody) OpenMessage(kTextServerTitle);
}

void CControllerScoreboard::DownloadAllSets() {
    failureBody = 0;
    CProfile* p = GetProfile();
    const std::string user = ScoreboardUser(p);
    const bool allGood = WhileWaiting([&] {
        bool good = true;
        // A refusal of one set's request does not stop the others; no answer
        // does.
        bool reached = true;
        for (int s = 0; s < CLevelSet::kSetCount && reached; ++s) {
            if (!user.empty() && p->IsSetCompleted(s)) {
                const int total = p->GetSetSteps(s);
                DebugLog(DBG_SCOREBOARD, "Uploading current overall score for '%s':  %i (S=%i)\n", user.c_str(),
                         total, s);
                if (!RequestScoreUpload(user, s, kOverallScoreLevel, total, CProfileBase::GetCheaterStatus()) &&
                    !NoteFailure())
                    return false;
            }
            const bool ok = RequestScoreDownload(user, s, kOverallScoreLevel);
            if (!ok) reached = NoteFailure();
            good = good && ok;
            DebugLog(DBG_SCOREBOARD, "Downloading scores for '%s' (S=%i)  Result=%i\n", user.c_str(), s, good ? 1 : 0);
        }
        return good;
    });
    if (allGood) BuildPage();
    if (failureBody) OpenMessage(kTextServerTitle);
}

void CControllerScoreboard::Submit() {
    CProfile* p = GetProfile();
    if (!p || noSet || (type != SCOREBOARD_SOLVED && type != SCOREBOARD_LEVEL_SOLVED)) return;
    const std::string user = ScoreboardUser(p);
    if (user.empty()) {
        // Registration first; the board runs the submit again once the name
        // is taken.
        OpenNameDialog(pendingName.empty() ? p->GetProfileName(-1) : pendingName, pendingMark);
        return;
    }
    failureBody = 0;
    if (WhileWaiting([this] { return UploadAndDownloadLevel(); })) {
        // The solved level's board, with the buttons of the solved page.
        type = SCOREBOARD_LEVEL_SOLVED;
        BuildPage();
    }
    if (failureBody) OpenMessage(kTextServerTitle);
}

void CControllerScoreboard::Register(const char* name) {
    failureBody = 0;
    WhileWaiting([name] { RequestNewUser(name); });
    const int code = GetScoreError();
    if (code == kScoreErrorNone) {
        DebugLog(DBG_DEBUG, "NEWUSER:  Added %s\n", name);
        if (CProfile* p = GetProfile()) p->SetScoreboardName(name);
        pendingName.clear();
        pendingMark = CControllerScoreboardName::Mark::kNone;
        followUp = FOLLOW_SUBMIT;
        return;
    }
    if (code == kScoreErrorUserExists) {
        DebugLog(DBG_DEBUG, "NEWUSER:  Name taken, the server proposes:\n");
        LogProposedNames();
        const std::vector<std::string>& proposed = GetProposedNames();
        pendingName = proposed.empty() ? "" : proposed[0];
        pendingMark = CControllerScoreboardName::Mark::kNameTaken;
        followUp = FOLLOW_NAME_DIALOG;
        return;
    }
    // No answer, a wait given up, a busy server, or a refusal for another
    // reason: the player learns why, and the name typed stays for the next
    // attempt. After a refusal the dialog comes back marked, but not as
    // taken: the name may be free. Nothing was said of the name when no
    // answer came or the server was too busy to look at it.
    if (code == kScoreErrorNoAnswer) DebugLog(DBG_DEBUG, "NEWUSER:  Connection failure\n");
    nameAfterMessage = NoteFailure();
    pendingName = name;
    pendingMark =
        nameAfterMessage ? CControllerScoreboardName::Mark::kNotAccepted : CControllerScoreboardName::Mark::kNone;
    followUp = FOLLOW_MESSAGE;
}

void CControllerScoreboard::RunFollowUp() {
    const FollowUp next = followUp;
    followUp = FOLLOW_NONE;
    switch (next) {
    case FOLLOW_SUBMIT: GUICallback(BUTTON_SUBMIT, 0, false); break;
    case FOLLOW_NAME_DIALOG: OpenNameDialog(pendingName, pendingMark); break;
    case FOLLOW_MESSAGE: OpenMessage(kTextServerTitle); break;
    default: break;
    }
}

// ---- children -----------------------------------------------------------------

void CControllerScoreboard::PrepareChild(const char* name) {
    if (dimmer) dimmer->Hide();
    HideMousePointer(kHideUntilNextUpdate);
    CRender::Render(true);
    UnloadSprites();
    LogOpening(name);
}

void CControllerScoreboard::OpenNameDialog(const std::string& proposal, CControllerScoreboardName::Mark mark) {
    PrepareChild("Scoreboard Name");
    nameDialog = std::make_unique<CControllerScoreboardName>(mark);
    nameDialog->SetText(proposal.c_str());
    OpenChild(nameDialog.get());
}

void CControllerScoreboard::OpenMessage(int titleId) {
    // The box stands over the page, which stays in sight behind it (the
    // box dims it) without its buttons and arrows; it is built again when
    // the box has closed.
    for (const auto& b : buttons)
        if (b) b->Hide();
    if (arrow1) arrow1->Hide();
    if (arrow2) arrow2->Hide();
    HideMousePointer(kHideUntilNextUpdate);
    LogOpening("Message");
    messageText = failureText;
    message = std::make_unique<CControllerMessage>(titleId, failureBody, false, failureText.c_str(), nullptr,
                                                   failureAdvice);
    failureBody = 0;
    failureText.clear();
    failureAdvice = -1;
    OpenChild(message.get());
}

// ---- input and the frame --------------------------------------------------------

void CControllerScoreboard::InputKey(bool released, int key) {
    InputMenuKey(released, key);
    if (!released) {
        if (key == 'r' && type >= SCOREBOARD_SINGED)
            GUICallback(BUTTON_RETRY, 0, false);
        else if (key == 'u' && (type == SCOREBOARD_SINGED || type == SCOREBOARD_LOST))
            GUICallback(BUTTON_UNDO, 0, false);
    }
}

void CControllerScoreboard::InputMouseMove(int x, int y) {
    mouseX = x;
    mouseY = y;
    UpdateMousePointer();
}

void CControllerScoreboard::InputMouseClick(bool released, bool left, bool, bool, bool) {
    if (left && !released && CGuiButtonBase::GetFocusIndex() == -1) PlayInterfaceSound(GetSoundClickScreen());
}

void CControllerScoreboard::Pump() {
    if (GetPreviousId() == CONTROLLER_SCOREBOARD) {
        PollInput();
        if (!active) return;
        if (arrow1 && !arrow1->IsHidden()) {
            oscillator->Step();
            const int v = oscillator->GetValue();
            arrow1->SetPosition(kArrowLeftX + v, arrow1->GetY(false), false);
            arrow2->SetPosition(kArrowRightX - v, arrow2->GetY(false), false);
        }
        CGuiButtonBase::UpdateAll();
        return;
    }

    // A child came back (or the board has just opened).
    switch (GetPreviousId()) {
    case CONTROLLER_MESSAGE:
        message.reset();
        UnloadSprites();
        if (nameAfterMessage) {
            nameAfterMessage = false;
            followUp = FOLLOW_NAME_DIALOG;
        }
        break;
    case CONTROLLER_INSTRUCTIONS: instructions.reset(); break;
    case CONTROLLER_PASSWORD:
        if (passwordPrompt && !passwordPrompt->IsCancelled()) {
            value = POSTGAME_REPLAY;
            result = CControllerGame::kCloseToOpener;
        }
        passwordPrompt.reset();
        break;
    case CONTROLLER_TEXT_ENTRY:
        if (nameDialog) {
            const std::string name = nameDialog->GetText() ? nameDialog->GetText() : "";
            nameDialog.reset();
            if (!name.empty()) Register(name.c_str());
        }
        break;
    default: break;
    }
    if (!loaded && result == 0) LoadSprites();
    SetPreviousId(CONTROLLER_SCOREBOARD);
    // A solved level whose result could not be saved is told on its page.
    if (result == 0 && followUp == FOLLOW_NONE && (type == SCOREBOARD_SOLVED || type == SCOREBOARD_SOLVED_NO_SET) &&
        TakeSaveFailureNotice()) {
        const ProgressMessage why = SaveFailureMessage(GetProfile()->GetSaveFailure());
        failureBody = why.body;
        failureText = why.text;
        failureAdvice = why.advice;
        OpenMessage(why.title);
        return;
    }
    if (result == 0) RunFollowUp();
}
