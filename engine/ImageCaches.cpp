// The cache groups. The order of every request, copy and progress step is
// fixed: a copy decodes its source at that moment unless a group already
// holds it, and the progress bar moves where the steps fall.
#include "engine/ImageCaches.h"

#include <cstdio>
#include <string>

#include "engine/CDraw.h"
#include "engine/FontRender.h"
#include "engine/Log.h"

namespace {

CacheCounts g_counts;

std::string Num(const char* prefix, int i, const char* suffix) {
    char buf[256];
    snprintf(buf, sizeof buf, "%s%i%s", prefix, i, suffix);
    return buf;
}

void Req(const char* name) {
    CDraw::GetImage(name);
    ++g_counts.requests;
}

// A numbered series, one request at a time.
void Ser(const char* prefix, int first, int last, const char* suffix) {
    for (int i = first; i <= last; ++i) Req(Num(prefix, i, suffix).c_str());
}

// A numbered series through the store's range request.
void Range(const char* prefix, int first, int last, const char* suffix) {
    CDraw::CacheImageRange(prefix, first, last, suffix);
    if (last >= first) g_counts.requests += last - first + 1;
}

void Copy(const char* source, const char* copy, int dA) {
    CDraw::CopyImage(source, copy, dA);
    ++g_counts.copies;
}

void CopyStr(const std::string& source, const std::string& copy, int dA) { Copy(source.c_str(), copy.c_str(), dA); }

void CopySer(const char* sourcePrefix, const char* copyPrefix, int first, int last, const char* suffix, int dA) {
    CDraw::CopyImageSequence(sourcePrefix, copyPrefix, first, last, suffix, dA);
    if (last >= first) g_counts.copies += last - first + 1;
}

void Fade(const char* name, int n, int step) {
    CDraw::MakeFadeSequence(name, n, step);
    if (n > 0) g_counts.copies += n;
}

// Frames k+1..k+6 of a series, ever more transparent copies of frame k.
void BreakFade(const char* prefix, int k, const char* suffix) {
    static const int kDeltas[6] = {-35, -70, -110, -150, -190, -230};
    const std::string source = Num(prefix, k, suffix);
    for (int j = 0; j < 6; ++j) CopyStr(source, Num(prefix, k + 1 + j, suffix), kDeltas[j]);
}

void Text(int textId, int w, int h, const char* name) {
    CDraw::LoadSurface(FontRenderString(w, h, 3, textId), name);
    ++g_counts.texts;
}

void Step() {
    CDraw::StepProgress(100);
    ++g_counts.steps;
}

void Enter(const char* function, const char* what) {
    DebugLog(DBG_TICK, "%-20s   %s\n", function, what);
}

void Loaded(const char* function, const char* section) {
    DebugLog(DBG_TICK, "%-20s      Loaded:  %s\n", function, section);
}

const char* const kGame = "Caching images for game";

}  // namespace

CacheCounts GetCacheCounts() { return g_counts; }
void ResetCacheCounts() { g_counts = CacheCounts(); }

// ---------------------------------------------------------------------------

void cacheMain() {
    const char* f = "cacheMain()";
    Enter(f, "Caching images for main menu");

    Req("dimmer.png");
    Req("mainmenu_background.jpg");
    Step();
    Loaded(f, "Background");

    Req("mainmenu_cloudbigA.png");
    Req("mainmenu_cloudbigB.png");
    Req("mainmenu_cloudbigC.png");
    Req("mainmenu_cloudbigD.png");
    Req("mainmenu_cloudmediumA.png");
    Req("mainmenu_cloudmediumB.png");
    Req("mainmenu_cloudmediumC.png");
    Req("mainmenu_cloudsmallA.png");
    Req("mainmenu_cloudsmallB.png");
    Req("mainmenu_cloudsmallC.png");
    Req("mainmenu_cloudsmallD.png");
    Req("mainmenu_cloudsmallE.png");
    Step();
    Loaded(f, "Clouds");

    Req("mainmenu_volcanofront.png");
    Ser("mainmenu_glow", 1, 9, ".png");
    Step();
    Ser("mainmenu_smoke", 1, 54, ".png");
    Step();
    Loaded(f, "Volcano");

    Ser("mainmenu_profleftarm", 1, 5, ".png");
    Ser("mainmenu_profrightarm", 1, 5, ".png");
    Ser("mainmenu_profhead", 0, 26, ".png");
    Req("mainmenu_profbody.png");
    Req("mainmenu_leavescoconuts.png");
    Step();
    Loaded(f, "Professor");

    Req("mainmenu_buttonactive.png");
    Req("mainmenu_buttonrollover.png");
    Req("mainmenu_buttonbase.png");
    Req("mainmenu_text_playnow.png");
    Req("mainmenu_text_levelmanager.png");
    Req("mainmenu_text_leveleditor.png");
    Req("mainmenu_text_highscores.png");
    Req("mainmenu_text_instructions.png");
    Req("mainmenu_text_settings.png");
    Req("mainmenu_text_credits.png");
    Req("mainmenu_text_moregames.png");
    Req("mainmenu_text_exit.png");
    Req("profile_button_changebase.png");
    Req("profile_button_changeshadow.png");
    Req("profile_button_changerollover.png");
    Step();
    Loaded(f, "Buttons");
}

void cacheMap() {
    const char* f = "cacheMap()";
    Enter(f, "Caching images for map");

    Req("map_background.jpg");
    Req("map_buttonlevelset_textregular.png");
    Req("map_buttonlevelset_textadvanced.png");
    Req("map_buttonlevelset_textkids.png");
    Step();
    Req("mapdotfocus.png");
    Req("mapdotregularcompletedbase.png");
    Req("mapdotregularcompletedrollover.png");
    Ser("mapdotregularcompletedshrink", 1, 3, ".png");
    Req("mapdotregularincompletebase.png");
    Req("mapdotregularincompleterollover.png");
    Ser("mapdotregularincompleteshrink", 1, 3, ".png");
    Req("mapdotregularlockedbase.png");
    Req("mapdotregularlockedghosted.png");
    Ser("mapdotregularlockedghostedshrink", 1, 3, ".png");
    Ser("mapdotregularlockedshrink", 1, 3, ".png");
    Ser("mapdotregularselectedpulse", 0, 5, ".png");
    Ser("mapdotregularselectedshrink", 1, 3, ".png");
    Step();
    Req("mapdotstarbase.png");
    Req("mapdotstarghosted.png");
    Ser("mapdotstarghostedshrink", 1, 3, ".png");
    Ser("mapdotstarpulse", 1, 5, ".png");
    Ser("mapdotstarshrink", 1, 3, ".png");
    Step();
    Ser("star_base", 0, 59, ".png");
    Ser("star_pulse", 0, 59, ".png");
    Ser("star_appear", 0, 13, ".png");
    Step();
    Loaded(f, "Background");
}

void cacheGame() {
    const char* f = "cacheGame()";
    Enter(f, kGame);

    Copy("counterdigitsA.png", "counterdigitsA_faded.png", -50);
    Step();
    Loaded(f, "Faded Counter");

    Req("confirmation_parch.png");
    Req("parchment_profpenny.png");
    Req("parchment.png");
    Req("parchment_kids.png");
    Req("tutorial_small.png");
    Req("tutorial_big.png");
    Step();
    Loaded(f, "Tutorial Bubbles");

    Req("flash.jpg");
    Ser("heatedobjectglow", 3, 9, ".png");
    for (int i = 8; i >= 4; --i) Req(Num("heatedobjectglow", i, ".png").c_str());
    Ser("heatgunimpact", 0, 25, ".png");
    Ser("icemeltingsteam", 0, 18, ".png");
    Ser("magnetemp", 0, 14, ".tga");
    Step();
    Loaded(f, "Game Overlays");

    for (int i = 0; i < 8; i += 2) {
        Req(Num("background", i, ".jpg").c_str());
        Req(Num("background", i + 1, ".jpg").c_str());
        Step();
    }
    Loaded(f, "Game Backgrounds");

    cacheGameBot();
    cacheGameButton();
    cacheGameGunshot();
    cacheGameGate();
    cacheGamePowerup();
    cacheGameTramp();
    cacheGameTerrain();
    cacheGameBarrels();
    cacheGameMagnets();
    cacheGameCrates();
    cacheGameTubes();
    cacheGameProf();
    cacheGameTeleports();
}

void cacheGameBot() {
    const char* f = "cacheGameBot()";
    Enter(f, kGame);

    Req("batstunnedlefttiltleft.png");
    Req("batstunnedlefttiltright.png");
    Req("batstunnedrighttiltleft.png");
    Req("batstunnedrighttiltright.png");
    Ser("botcatchprofleft", 0, 26, ".png");
    Ser("botcatchprofright", 0, 26, ".png");
    Ser("botclimb", 0, 2, ".png");
    Step();
    Ser("botcooledleftsquash", 0, 2, ".png");
    Req("botcooledlefttiltleft.png");
    Req("botcooledlefttiltright.png");
    Ser("botcooledrightsquash", 0, 2, ".png");
    Req("botcooledrighttiltleft.png");
    Req("botcooledrighttiltright.png");
    Ser("botcoolingleft", 0, 6, ".png");
    Ser("botcoolinglefttiltedleft", 0, 6, ".png");
    Ser("botcoolinglefttiltedright", 0, 6, ".png");
    Ser("botcoolingright", 0, 6, ".png");
    Ser("botcoolingrighttiltedleft", 0, 6, ".png");
    Ser("botcoolingrighttiltedright", 0, 6, ".png");
    Step();
    Ser("botcrawlleft", 0, 5, ".png");
    Ser("botcrawlright", 0, 5, ".png");
    Ser("botcrushedleft", 0, 2, ".png");
    Ser("botcrushedright", 0, 2, ".png");
    Ser("botfall", 0, 18, ".png");
    Req("botfrozen.png");
    Req("botfrozenmelted.png");
    Req("bothang.png");
    Step();
    Ser("botheatedleftsquash", 0, 2, ".png");
    Req("botheatedlefttiltleft.png");
    Req("botheatedlefttiltright.png");
    Ser("botheatedrightsquash", 0, 2, ".png");
    Req("botheatedrighttiltleft.png");
    Req("botheatedrighttiltright.png");
    Step();
    Ser("botmagnetleft", 0, 1, ".png");
    Ser("botmagnetright", 0, 1, ".png");
    Ser("botmeltingleft", 0, 4, ".png");
    Ser("botmeltingright", 0, 4, ".png");
    Step();
    Ser("botpushleft", 0, 11, ".png");
    Ser("botpushright", 0, 11, ".png");
    Ser("botrunleft", 0, 11, ".png");
    Ser("botrunright", 0, 11, ".png");
    Ser("botslidingleft", 0, 5, ".png");
    Ser("botslidingright", 0, 5, ".png");
    Req("botstandleft.png");
    Req("botstandright.png");
    Ser("botstunnedleft", 0, 2, ".png");
    Ser("botstunnedright", 0, 2, ".png");
    Step();
    Loaded(f, "Bots");
}

void cacheGameButton() {
    const char* f = "cacheGameButton()";
    Enter(f, kGame);
    Ser("buttonblue", 0, 1, ".tga");
    Ser("buttonred", 0, 1, ".tga");
    Ser("buttonyellow", 0, 1, ".tga");
    Step();
    Loaded(f, "Buttons");
}

void cacheGameGunshot() {
    const char* f = "cacheGameGunshot()";
    Enter(f, kGame);
    Ser("fireballleft", 0, 11, ".png");
    Ser("fireballright", 0, 11, ".png");
    Ser("heatgunimpact", 0, 25, ".png");
    Loaded(f, "Gunshots");
}

void cacheGameGate() {
    const char* f = "cacheGameGate()";
    Enter(f, kGame);
    Ser("gatebackbreak", 0, 7, ".tga");
    Ser("gatebackclose", 0, 7, ".tga");
    Ser("gatebackmagnet", 0, 3, ".tga");
    Ser("gatefrontbreak", 0, 11, ".tga");
    Ser("gatefrontbreakred", 0, 11, ".tga");
    Ser("gatefrontbreakyellow", 0, 11, ".tga");
    Req("gatefrontclose0.tga");
    Req("gatefrontclose6.tga");
    Req("gatefrontclose7.tga");
    Req("gatefrontclosered0.tga");
    Req("gatefrontcloseyellow0.tga");
    Ser("gatefrontmagnet", 0, 3, ".tga");
    Ser("gatefrontmagnetred", 0, 3, ".tga");
    Ser("gatefrontmagnetyellow", 0, 3, ".tga");
    Step();
    Loaded(f, "Gates");
}

void cacheGamePowerup() {
    const char* f = "cacheGamePowerup()";
    Enter(f, kGame);
    Ser("powerupbarrel", 0, 23, ".tga");
    Ser("powerupbridge", 0, 27, ".png");
    Ser("powerupcrate", 0, 27, ".tga");
    Ser("powerupemp", 0, 17, ".tga");
    Ser("powerupfrostgun", 0, 17, ".tga");
    Req("poweruphalo0.tga");
    Ser("powerupmagnet", 0, 23, ".tga");
    Ser("powerupteleport", 0, 27, ".png");
    Ser("powerupteleportred", 0, 27, ".png");
    Ser("powerupteleportyellow", 0, 27, ".png");
    Ser("powerupwhistle", 0, 17, ".tga");
    Step();
    Ser("powerupheatgun", 0, 17, ".png");
    Ser("poweruptextheatgun", 0, 7, ".tga");
    Step();
    Loaded(f, "Powerups");
}

void cacheGameTramp() {
    const char* f = "cacheGameTramp()";
    Enter(f, kGame);
    Req("trampoline0.tga");
    Req("trampolineback0.tga");
    Req("trampolinefront0.tga");
    Ser("trampolinefrontright", 0, 2, ".tga");
    Ser("trampolinestretchleft", 0, 1, ".tga");
    Req("trampolinestretchleftfull.tga");
    Ser("trampolinestretchright", 0, 2, ".tga");
    Req("trampolinestretchrightfull.tga");
    Ser("trampolineunstretchleft", 0, 7, ".tga");
    Ser("trampolineunstretchright", 0, 8, ".tga");
    Step();
    Loaded(f, "Trampolines");
}

void cacheGameTerrain() {
    const char* f = "cacheGameTerrain()";
    Enter(f, kGame);
    Ser("grass", 1, 32, ".png");
    Ser("grass", 1, 5, "b.png");
    Step();
    Loaded(f, "Grass");
    Ser("sand", 1, 32, ".png");
    Ser("sand", 1, 5, "b.png");
    Step();
    Loaded(f, "Sand");
    Ser("ice", 1, 10, ".png");
    Ser("ice", 1, 2, "b.png");
    Step();
    Loaded(f, "Ice");
    Req("bridgeA0_trimmed.png");
    Ser("bridgeA", 0, 13, ".png");
    Req("bridgefrozen.png");
    Step();
    Loaded(f, "Bridges");
    Req("ladderiso.tga");
    Req("laddertop.tga");
    Req("laddermiddle.tga");
    Req("ladderbottom.tga");
    Req("ladderbottomhang.tga");
    Req("ladderplatform.tga");
    Req("ladderplatformleft.tga");
    Req("ladderplatformright.tga");
    Step();
    Loaded(f, "Ladders");
}

void cacheGameBarrels() {
    const char* f = "cacheGameBarrels()";
    Enter(f, kGame);
    Ser("barrel", 0, 7, ".tga");
    Ser("barrelfrozen", 0, 7, ".tga");
    Ser("barrelheated", 0, 7, ".tga");
    Ser("barrelfall", 0, 7, ".tga");
    Ser("barrelfallfrozen", 0, 7, ".tga");
    Ser("barrelfallheated", 0, 7, ".tga");
    Step();
    Loaded(f, "Wooden Barrels");
    Ser("metalbarrel", 0, 7, ".png");
    Ser("metalbarrelfrozen", 0, 7, ".png");
    Ser("metalbarrelheated", 0, 7, ".png");
    Ser("metalbarrelfall", 0, 7, ".png");
    Ser("metalbarrelfallfrozen", 0, 7, ".png");
    Ser("metalbarrelfallheated", 0, 7, ".png");
    Ser("metalbarrelcooling", 0, 6, ".png");
    Step();
    Loaded(f, "Metal Barrels");
    for (int i = 0; i < 8; ++i) Ser(Num("metalbarrelcooling", i, "-").c_str(), 0, 6, ".png");
    Step();
    Loaded(f, "Cooling Metal Barrels");
}

namespace {

void MagnetSide(const char* side) {
    const std::string m = std::string("magnet") + side;
    Req((m + "still0.tga").c_str());
    Req((m + "stillfrozen0.tga").c_str());
    Req((m + "heatednormal.png").c_str());
    Req((m + "left0.tga").c_str());
    Req((m + "leftfrozen0.tga").c_str());
    Req((m + "heatedleft.png").c_str());
    Req((m + "right0.tga").c_str());
    Req((m + "rightfrozen0.tga").c_str());
    Req((m + "heatedright.png").c_str());
    Req((m + "squash0.tga").c_str());
    Req((m + "squash1.tga").c_str());
    Req((m + "squash4.tga").c_str());
    Req((m + "heatedsquash0.png").c_str());
    Req((m + "heatedsquash1.png").c_str());
    Req((m + "heatedsquash4.png").c_str());
    Ser((m + "cooling").c_str(), 0, 6, ".png");
}

}  // namespace

void cacheGameMagnets() {
    const char* f = "cacheGameMagnets()";
    Enter(f, kGame);
    MagnetSide("left");
    Step();
    Loaded(f, "Left Magnet, Normal");
    MagnetSide("right");
    Step();
    Loaded(f, "Right Magnet, Normal");
}

void cacheGameCrates() {
    const char* f = "cacheGameCrates()";
    Enter(f, kGame);
    Req("cratestill0.tga");
    Req("cratestill0b.tga");
    Req("cratestillfrozen0.tga");
    Req("crateleft0.tga");
    Req("crateleft0b.tga");
    Req("crateleftfrozen0.tga");
    Req("crateright0.tga");
    Req("crateright0b.tga");
    Req("craterightfrozen0.tga");
    Req("cratesquash0.tga");
    Req("cratesquash1.tga");
    Req("cratesquash4.tga");
    Req("cratesquash0b.tga");
    Req("cratesquash1b.tga");
    Req("cratesquash4b.tga");
    Step();
    Loaded(f, "Wooden Crate");
    Req("metalcratestill0.tga");
    Req("metalcratestillfrozen0.tga");
    Req("metalcrateheated.png");
    Req("metalcrateleft0.tga");
    Req("metalcrateleftfrozen0.tga");
    Req("metalcrateheatedleft.png");
    Req("metalcrateright0.tga");
    Req("metalcraterightfrozen0.tga");
    Req("metalcrateheatedright.png");
    Req("metalcratesquash0.tga");
    Req("metalcratesquash1.tga");
    Req("metalcratesquash4.tga");
    Req("metalcrateheatedsquash0.png");
    Req("metalcrateheatedsquash1.png");
    Req("metalcrateheatedsquash4.png");
    Ser("metalcratecooling", 0, 6, ".png");
    Step();
    Loaded(f, "Metal Crate");
}

void cacheGameTubes() {
    const char* f = "cacheGameTubes()";
    Enter(f, kGame);
    Req("tubeentrance0.png");
    Req("tubeexit0.png");
    Req("tubeexitlights0.png");
    Req("tubearrow0.png");
    static const int kArrowFade[7] = {-25, -50, -80, -110, -150, -190, -230};
    for (int k = 0; k < 7; ++k) CopyStr("tubearrow0.png", Num("tubearrowfade", k, ".png"), kArrowFade[k]);
    Step();
    Ser("transporttube_break", 0, 5, ".png");
    Ser("transporttubeB_break", 0, 5, ".png");
    Step();
    BreakFade("transporttube_break", 5, ".png");
    Step();
    BreakFade("transporttubeB_break", 5, ".png");
    Step();
    Loaded(f, "Tube Images");
}

void cacheGameProf() {
    const char* f = "cacheGameProf()";
    Enter(f, kGame);
    Range("profstandmiddle", 0, 10, ".tga");
    Range("profstandleft", 0, 10, ".tga");
    Range("profstandright", 0, 10, ".tga");
    Step();
    Range("profrunleft", 0, 9, ".tga");
    Range("profrunright", 0, 9, ".tga");
    Range("profclimbdown", 0, 2, ".tga");
    Range("profclimbup", 0, 2, ".tga");
    Range("profladderleft", 0, 3, ".tga");
    Range("profladderright", 0, 3, ".tga");
    Step();
    Range("proffall", 0, 5, ".tga");
    Range("proffallleft", 0, 5, ".tga");
    Range("profpushleft", 0, 7, ".tga");
    Range("profpushright", 0, 7, ".tga");
    Step();
    Range("profslideleft", 0, 3, ".tga");
    Range("profslideleftuncool", 0, 5, ".tga");
    Range("profslideright", 0, 3, ".tga");
    Range("profsliderightuncool", 0, 5, ".tga");
    Step();
    Range("profinflateleft", 0, 9, ".tga");
    Range("profinflateright", 0, 9, ".tga");
    Range("profemp", 0, 10, ".tga");
    Range("profwhistle", 0, 8, ".tga");
    Range("profgunleft", 0, 10, ".tga");
    Range("profgunright", 0, 10, ".tga");
    Range("proffireheatgunleft", 0, 10, ".png");
    Range("proffireheatgunright", 0, 10, ".png");
    Step();
    Range("proftrampleft", 0, 6, ".tga");
    Range("proftrampright", 0, 6, ".tga");
    Range("proftrampflingleft", 0, 2, ".tga");
    Range("proftrampflingright", 0, 8, ".tga");
    Range("proftramprecover", 0, 7, ".tga");
    Step();
    Range("profland", 0, 5, ".tga");
    Range("proflandleft", 0, 5, ".tga");
    Range("tube", 0, 21, ".tga");
    Step();
    Range("profbarrelleft", 0, 9, ".tga");
    Range("profbarrelright", 0, 9, ".tga");
    Range("profcrawlleft", 0, 5, ".tga");
    Range("profcrawlright", 0, 5, ".tga");
    Step();
    Range("profstunleft", 0, 2, ".tga");
    Range("profstunright", 0, 2, ".tga");
    Range("profturnleft", 0, 1, ".tga");
    Range("profturnright", 0, 1, ".tga");
    Req("proffrozen0.tga");
    Range("profsinged", 0, 7, ".png");
    Range("profthawing", 0, 4, ".png");
    Step();
    Range("profcaughtleft", 0, 30, ".png");
    Range("profcaughtright", 0, 30, ".png");
    Step();
    Range("profhotstepleft", 0, 48, ".png");
    Range("profhotstepright", 0, 48, ".png");
    Step();
    Range("profpushhotleft", 0, 32, ".png");
    Range("profpushhotright", 0, 32, ".png");
    Step();
    Range("profidleA", 0, 6, ".tga");
    Range("profidleB", 0, 10, ".tga");
    Range("profidleC", 0, 4, ".tga");
    Range("profidleC", 9, 12, ".tga");
    Step();
    Range("profidleD", 0, 5, ".tga");
    Range("profidleD", 11, 17, ".tga");
    Range("profidleE", 0, 22, ".tga");
    Step();
    Range("profidleF", 0, 60, ".tga");
    Step();
    Range("profidleG", 0, 6, ".tga");
    Range("profidleH", 0, 16, ".png");
    Range("profidleI", 0, 11, ".png");
    Range("profidleJ", 0, 13, ".png");
    Step();
    Loaded(f, "Professor");

    static const char* const kNumbers[9] = {"one", "two", "three", "four", "five",
                                            "six", "seven", "eight", "nine"};
    for (const char* n : kNumbers) {
        Req((std::string("icon") + n + "0.tga").c_str());
        Req((std::string("icon") + n + "1.tga").c_str());
    }
    Step();
    Range("iconcrate", 0, 4, ".tga");
    Range("iconbarrel", 0, 4, ".tga");
    Range("iconmagnet", 0, 4, ".tga");
    Range("iconemp", 0, 4, ".tga");
    Range("iconwhistle", 0, 4, ".tga");
    Range("iconfrostgun", 0, 4, ".tga");
    Range("iconheatgun", 0, 4, ".png");
    Range("iconbridge", 0, 4, ".png");
    for (const char* colour : {"blue", "yellow", "red"}) {
        const std::string base = std::string("iconteleport") + colour;
        Range(base.c_str(), 0, 4, ".png");
        for (const char* letter : {"b", "c", "d", "e"}) Req((base + "3" + letter + ".png").c_str());
    }
    Step();
    Loaded(f, "Powerup Icons");
}

void cacheGameTeleports() {
    const char* f = "cacheGameTeleports()";
    Enter(f, kGame);
    Req("teleport_frameback.png");
    Ser("teleport_frameblue", 0, 4, ".png");
    Ser("teleport_framered", 0, 4, ".png");
    Ser("teleport_frameyellow", 0, 4, ".png");
    Step();
    Loaded(f, "Frames");
    Req("teleport_glowblue.png");
    Req("teleport_glowred.png");
    Req("teleport_glowyellow.png");
    Step();
    Ser("teleport_spiralblueturnon", 0, 6, ".png");
    Ser("teleport_spiralredturnon", 0, 6, ".png");
    Ser("teleport_spiralyellowturnon", 0, 6, ".png");
    Step();
    Ser("teleport_spiralblue", 0, 39, ".png");
    Step();
    Ser("teleport_spiralred", 0, 39, ".png");
    Step();
    Ser("teleport_spiralyellow", 0, 39, ".png");
    Step();
    Loaded(f, "Spirals");
}

void cacheButtons() {
    const char* f = "cacheButtons()";
    Enter(f, "Caching images for buttons");
    static const struct {
        int id;
        const char* name;
    } kParchment[22] = {
        {3600, "p2d_button_maintext.png"},     {3601, "p2d_button_maptext.png"},
        {3602, "p2d_button_managertext.png"},  {3603, "p2d_button_continuetext.png"},
        {3604, "p2d_button_scorestext.png"},   {3605, "p2d_button_selecttext.png"},
        {3606, "p2d_button_settingstext.png"}, {3607, "p2d_button_resumetext.png"},
        {3608, "p2d_button_restarttext.png"},  {3609, "p2d_button_retrytext.png"},
        {3610, "p2d_button_solutiontext.png"}, {3611, "p2d_button_instructionstext.png"},
        {3612, "p2d_button_quittext.png"},     {3620, "p2d_button_overalltext.png"},
        {3613, "p2d_button_backmenutext.png"}, {3618, "p2d_button_passwordtext.png"},
        {3614, "p2d_button_controlstext.png"}, {3615, "p2d_button_defaulttext.png"},
        {3616, "p2d_button_savetext.png"},     {3617, "p2d_button_canceltext.png"},
        {3621, "p2d_button_undotext.png"},     {3622, "p2d_button_undotextB.png"},
    };
    for (const auto& b : kParchment) Text(b.id, 186, 29, b.name);
    Step();
    for (int k = 0; k <= 17; ++k) Text(20010 + k, 186, 29, Num("p2d_button_class", k, "text.png").c_str());
    Step();
    Loaded(f, "Parchment Buttons");
}

void cacheFadedImages() {
    const char* f = "cacheFadedImages()";
    Enter(f, "Caching Faded images");

    Text(3004, 300, 30, "scoreboard_user_invalid.png");
    Fade("scoreboard_user_invalid.png", 6, -45);
    Text(3006, 300, 30, "scoreboard_name_refused.png");
    Fade("scoreboard_name_refused.png", 6, -45);
    Text(3005, 300, 30, "password_invalid.png");
    Fade("password_invalid.png", 6, -45);
    Text(2706, 136, 30, "options_password_invalid.png");
    Fade("options_password_invalid.png", 6, -45);
    Step();
    Loaded(f, "Text Entry Fading Text");

    Copy("grass1.png", "cursorgrass.png", -100);
    Copy("sand1.png", "cursorsand.png", -100);
    Copy("ice1.png", "cursorice.png", -100);
    Copy("bridgeA0_trimmed.png", "cursorbridge.png", -100);
    Step();
    Copy("editorteleportblue.png", "cursorteleportblue.png", -100);
    Copy("editorteleportyellow.png", "cursorteleportyellow.png", -100);
    Copy("editorteleportred.png", "cursorteleportred.png", -100);
    Copy("editorpowerupteleport.png", "cursorpowerupteleport.png", -100);
    Step();
    Copy("editorpowerupwhistle.tga", "cursorpowerupwhistle.tga", -100);
    Copy("editorpowerupbridge.png", "cursorpowerupbridge.png", -100);
    Copy("editorpowerupheatgun.png", "cursorpowerupheatgun.png", -100);
    Copy("editorpowerupfrostgun.tga", "cursorpowerupfrostgun.tga", -100);
    Step();
    Copy("frostballleft2.tga", "cursorfreeze.tga", -100);
    Copy("fireballleft2.png", "cursorheat.png", -100);
    Copy("editorerase.png", "cursorerase.png", -100);
    Copy("metalbarrel0.png", "cursormbarrel.png", -100);
    Copy("barrel0.tga", "cursorwbarrel.tga", -100);
    Step();
    Copy("bothang.png", "cursorbot.png", -100);
    Copy("bothang.png", "cursorbothang.png", -100);
    Copy("botstandleft.png", "cursorbotleft.png", -100);
    Copy("botstandright.png", "cursorbotright.png", -100);
    Copy("qmarkrotate23.tga", "cursortutorial.tga", -100);
    Step();
    Loaded(f, "Faded Cursor Icons");

    Ser("qmarkrotate", 0, 23, ".tga");
    CopySer("qmarkrotate", "qmarkrotate_fading1", 0, 23, ".tga", -50);
    Step();
    CopySer("qmarkrotate", "qmarkrotate_fading2", 0, 23, ".tga", -90);
    Step();
    CopySer("qmarkrotate", "qmarkrotate_fading3", 0, 23, ".tga", -130);
    Step();
    Loaded(f, "Faded Question Marks");

    for (const char* colour : {"blue", "yellow", "red"}) {
        const std::string prefix = std::string("button") + colour + "_break";
        Ser(prefix.c_str(), 0, 4, ".png");
        BreakFade(prefix.c_str(), 4, ".png");
        Step();
    }
    Loaded(f, "Faded Breaking Buttons");

    for (const char* part : {"front", "back", "rubber"}) {
        const std::string prefix = std::string("trampoline") + part + "break";
        Ser(prefix.c_str(), 0, 3, ".png");
        BreakFade(prefix.c_str(), 3, ".png");
        Step();
    }
    Loaded(f, "Faded Breaking Trampolines");

    for (const char* part : {"back", "blue", "yellow", "red"}) {
        const std::string prefix = std::string("teleport_frame") + part + "break";
        Ser(prefix.c_str(), 0, 6, ".png");
        Step();
        BreakFade(prefix.c_str(), 6, ".png");
        Step();
    }
    Loaded(f, "Faded Breaking Teleports");

    static const char* const kColours[3] = {"blue", "yellow", "red"};
    for (const char* colour : kColours) {
        const std::string spiral = std::string("teleport_spiral") + colour;
        for (int k = 0; k < 8; ++k) {
            CopyStr(spiral + "0.png", Num((spiral + "_enable").c_str(), k, ".png"), -235 + 20 * k);
            if (k == 3 || k == 7) Step();
        }
    }
    static const struct {
        const char* suffix;
        int dA;
    } kPortalFades[4] = {{"_idle", -85}, {"_70", -70}, {"_50", -40}, {"_10", -10}};
    for (const char* colour : kColours) {
        const std::string spiral = std::string("teleport_spiral") + colour;
        for (const auto& fade : kPortalFades) {
            CopySer(spiral.c_str(), (spiral + fade.suffix).c_str(), 0, 39, ".png", fade.dA);
            Step();
        }
    }
    for (const char* colour : kColours) {
        const std::string turnon = std::string("teleport_spiral") + colour + "turnon";
        CopyStr(turnon + "5.png", turnon + "5_faded.png", -45);
        Step();
        CopyStr(turnon + "6.png", turnon + "6_faded.png", -65);
        Step();
    }
    Loaded(f, "Faded Teleport Portals");

    static const int kGlowFades[13] = {-20, -6, -1, -2, -4, -13, -21, -31, -43, -56, -70, -85, -99};
    for (const char* colour : kColours) {
        const std::string glow = std::string("teleport_glow") + colour;
        for (int k = 0; k < 13; ++k) {
            CopyStr(glow + ".png", Num(glow.c_str(), k, ".png"), kGlowFades[k]);
            if (k == 3 || k == 7 || k == 12) Step();
        }
    }
    Loaded(f, "Faded Teleport Glows");
}
