// The world pictures as the game gets them from the image pack: decoded by
// SDL_image, checked for where they sit on their cell (through their sprite
// origins), for animation, for the frozen and heated looks and for the soft
// alpha that the program's fades rely on.
#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "engine/CPackFile.h"
#include "engine/ResourceFiles.h"
#include "world/pieces/CElementLadder.h"

namespace {

struct Picture {
    int w = 0, h = 0;
    std::vector<uint8_t> rgba;
    bool ok = false;

    const uint8_t* At(int x, int y) const { return &rgba[(size_t(y) * w + x) * 4]; }
    int Alpha(int x, int y) const { return At(x, y)[3]; }
};

struct Box {
    int left = 1 << 20, top = 1 << 20, right = -1, bottom = -1;
    bool Empty() const { return right < 0; }
};

class WorldArtPack : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        pack_ = new CPackFile;
        loaded_ = pack_->Load(std::string(ZORV_RUN_DIR) + "/" + kImagePackFile);
        for (const CPackFile::Entry& e : pack_->Entries()) index_[e.name] = &e;
    }
    static void TearDownTestSuite() {
        delete pack_;
        pack_ = nullptr;
        index_.clear();
    }

    static Picture Load(const std::string& name) {
        Picture p;
        auto it = index_.find(name);
        if (it == index_.end()) return p;
        std::string type = name.substr(name.size() - 3);
        for (char& c : type) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
        SDL_RWops* rw = SDL_RWFromConstMem(it->second->data, static_cast<int>(it->second->size));
        SDL_Surface* s = IMG_LoadTyped_RW(rw, 1, const_cast<char*>(type.c_str()));
        if (!s) return p;
        p.w = s->w;
        p.h = s->h;
        p.rgba.resize(size_t(p.w) * p.h * 4);
        SDL_LockSurface(s);
        for (int y = 0; y < p.h; ++y) {
            for (int x = 0; x < p.w; ++x) {
                const uint8_t* row = static_cast<const uint8_t*>(s->pixels) + y * s->pitch;
                Uint32 pixel = 0;
                memcpy(&pixel, row + x * s->format->BytesPerPixel, s->format->BytesPerPixel);
                uint8_t* out = &p.rgba[(size_t(y) * p.w + x) * 4];
                SDL_GetRGBA(pixel, s->format, &out[0], &out[1], &out[2], &out[3]);
            }
        }
        SDL_UnlockSurface(s);
        p.ok = s->format->Amask != 0;
        SDL_FreeSurface(s);
        return p;
    }

    // Bounding box of the clearly opaque pixels.
    static Box Opaque(const Picture& p, int threshold = 128) {
        Box b;
        for (int y = 0; y < p.h; ++y)
            for (int x = 0; x < p.w; ++x)
                if (p.Alpha(x, y) >= threshold) {
                    b.left = std::min(b.left, x);
                    b.right = std::max(b.right, x);
                    b.top = std::min(b.top, y);
                    b.bottom = std::max(b.bottom, y);
                }
        return b;
    }

    // Mean of (channel a - channel b) over the opaque pixels.
    static double Lean(const Picture& p, int a, int b) {
        double sum = 0;
        int n = 0;
        for (int y = 0; y < p.h; ++y)
            for (int x = 0; x < p.w; ++x)
                if (p.Alpha(x, y) >= 128) {
                    sum += double(p.At(x, y)[a]) - p.At(x, y)[b];
                    ++n;
                }
        return n ? sum / n : 0;
    }

    // Sum of alpha over the picture, 0..1 per pixel.
    static double Coverage(const Picture& p) {
        double sum = 0;
        for (int y = 0; y < p.h; ++y)
            for (int x = 0; x < p.w; ++x) sum += p.Alpha(x, y) / 255.0;
        return sum;
    }

    static bool Differ(const Picture& a, const Picture& b) {
        return a.w != b.w || a.h != b.h || a.rgba != b.rgba;
    }

    // The anchor cell's bottom row inside a picture of origin (ox, oy).
    static int CellBottom(int oy) { return oy - 5 + 23; }

    static CPackFile* pack_;
    static bool loaded_;
    static std::map<std::string, const CPackFile::Entry*> index_;
};

CPackFile* WorldArtPack::pack_ = nullptr;
bool WorldArtPack::loaded_ = false;
std::map<std::string, const CPackFile::Entry*> WorldArtPack::index_;

struct Placed {
    std::string prefix;
    int first, last;
    std::string ext;
    int oy;
};

TEST_F(WorldArtPack, TheProfessorStandsOnHisCellAboutTwoCellsTall) {
    ASSERT_TRUE(loaded_) << pack_->Error();
    const Placed series[] = {
        {"profstandmiddle", 0, 10, ".tga", 35}, {"profstandleft", 0, 10, ".tga", 35},
        {"profstandright", 0, 10, ".tga", 35},  {"profrunleft", 0, 9, ".tga", 36},
        {"profrunright", 0, 9, ".tga", 36},     {"profpushleft", 0, 7, ".tga", 30},
        {"profpushright", 0, 7, ".tga", 30},    {"profturnleft", 0, 1, ".tga", 36},
        {"profidleE", 0, 22, ".tga", 37},       {"profidleH", 0, 16, ".png", 36},
        {"profslideleft", 0, 3, ".tga", 27},    {"profsliderightuncool", 0, 5, ".tga", 29},
        {"profgunright", 0, 10, ".tga", 35},    {"proffireheatgunleft", 0, 10, ".png", 35},
    };
    for (const Placed& s : series) {
        for (int f = s.first; f <= s.last; ++f) {
            std::string name = s.prefix + std::to_string(f) + s.ext;
            Picture p = Load(name);
            ASSERT_TRUE(p.ok) << name << " is missing or has no alpha channel";
            Box b = Opaque(p);
            ASSERT_FALSE(b.Empty()) << name;
            // Boots on the cell bottom (runs lift a little).
            EXPECT_LE(b.bottom, CellBottom(s.oy) + 1) << name;
            EXPECT_GE(b.bottom, CellBottom(s.oy) - 3) << name;
            EXPECT_GE(b.bottom - b.top, 38) << name << ": shorter than about two cells";
            EXPECT_EQ(p.Alpha(0, 0), 0) << name << ": the corner should be transparent";
        }
    }
}

TEST_F(WorldArtPack, BotsAndObjectsSitOnTheirCell) {
    ASSERT_TRUE(loaded_) << pack_->Error();
    const Placed pieces[] = {
        {"botstandleft", -1, -1, ".png", 20},   {"botstandright", -1, -1, ".png", 19},
        {"botrunleft", 0, 11, ".png", 23},      {"botpushright", 0, 11, ".png", 18},
        {"cratestill", 0, 0, ".tga", 13},       {"metalcratestill", 0, 0, ".tga", 13},
        {"barrel", 0, 7, ".tga", 15},           {"metalbarrel", 0, 7, ".png", 15},
        {"magnetleftstill", 0, 0, ".tga", 12},  {"magnetrightstill", 0, 0, ".tga", 12},
        {"buttonblue", 1, 1, ".tga", -9},       {"ladderbottom", -1, -1, ".tga", 18},
    };
    for (const Placed& s : pieces) {
        for (int f = s.first; f <= s.last; ++f) {
            std::string name = s.prefix + (f >= 0 ? std::to_string(f) : std::string()) + s.ext;
            Picture p = Load(name);
            ASSERT_TRUE(p.ok) << name << " is missing or has no alpha channel";
            Box b = Opaque(p);
            ASSERT_FALSE(b.Empty()) << name;
            EXPECT_NEAR(b.bottom, CellBottom(s.oy), 2) << name;
        }
    }
}

TEST_F(WorldArtPack, GroundRunsSpanTheirWidthWithTheSurfaceOnTheCellTop) {
    ASSERT_TRUE(loaded_) << pack_->Error();
    for (int w = 1; w <= 32; ++w) {
        for (const char* kind : {"grass", "sand"}) {
            std::string name = kind + std::to_string(w) + ".png";
            int oy = std::string(kind) == "grass" ? 25 : 23;
            Picture p = Load(name);
            ASSERT_TRUE(p.ok) << name;
            Box b = Opaque(p);
            // The cells of the run lie at x = 10 .. 10 + 24w inside the picture.
            EXPECT_LE(b.left, 10) << name;
            EXPECT_GE(b.right, 10 + 24 * w - 1) << name;
            // Solid ground from the cell top to the cell bottom in the middle of the run.
            int mid = 10 + 12 * w;
            EXPECT_GE(p.Alpha(mid, oy - 5 + 2), 200) << name;
            EXPECT_GE(p.Alpha(mid, CellBottom(oy) - 1), 200) << name;
        }
    }
}

TEST_F(WorldArtPack, SeriesAnimateFrameByFrame) {
    ASSERT_TRUE(loaded_) << pack_->Error();
    const std::pair<const char*, const char*> pairs[] = {
        {"profrunright0.tga", "profrunright5.tga"},
        {"profhotstepleft0.png", "profhotstepleft10.png"},
        {"profcaughtright0.png", "profcaughtright20.png"},
        {"botrunleft0.png", "botrunleft6.png"},
        {"botfall0.png", "botfall10.png"},
        {"barrel0.tga", "barrel2.tga"},
        {"teleport_spiralblue0.png", "teleport_spiralblue10.png"},
        {"powerupcrate0.tga", "powerupcrate7.tga"},
        {"qmarkrotate0.tga", "qmarkrotate6.tga"},
        {"heatgunimpact2.png", "heatgunimpact12.png"},
        {"tube0.tga", "tube12.tga"},
    };
    for (const auto& pr : pairs) {
        Picture a = Load(pr.first), b = Load(pr.second);
        ASSERT_TRUE(a.ok && b.ok) << pr.first << " / " << pr.second;
        EXPECT_TRUE(Differ(a, b)) << pr.first << " and " << pr.second << " are the same picture";
    }
}

TEST_F(WorldArtPack, FrozenLooksColderAndHeatedLooksHotter) {
    ASSERT_TRUE(loaded_) << pack_->Error();
    const std::pair<const char*, const char*> frozen[] = {
        {"cratestill0.tga", "cratestillfrozen0.tga"},
        {"barrel0.tga", "barrelfrozen0.tga"},
        {"botstandright.png", "botfrozen.png"},
        {"magnetleftstill0.tga", "magnetleftstillfrozen0.tga"},
        {"bridgeA0_trimmed.png", "bridgefrozen.png"},
    };
    for (const auto& pr : frozen) {
        Picture plain = Load(pr.first), cold = Load(pr.second);
        ASSERT_TRUE(plain.ok && cold.ok) << pr.second;
        EXPECT_GT(Lean(cold, 2, 0), Lean(plain, 2, 0) + 20) << pr.second << " is not bluer than " << pr.first;
    }
    const std::pair<const char*, const char*> heated[] = {
        {"metalcratestill0.tga", "metalcrateheated.png"},
        {"metalbarrel0.png", "metalbarrelheated0.png"},
        {"metalcratesquash0.tga", "metalcrateheatedsquash0.png"},
    };
    for (const auto& pr : heated) {
        Picture plain = Load(pr.first), hot = Load(pr.second);
        ASSERT_TRUE(plain.ok && hot.ok) << pr.second;
        EXPECT_GT(Lean(hot, 0, 2), Lean(plain, 0, 2) + 40) << pr.second << " is not redder than " << pr.first;
    }
}

TEST_F(WorldArtPack, CoolingRunsFromHotToCold) {
    ASSERT_TRUE(loaded_) << pack_->Error();
    for (const std::string prefix : {"metalcratecooling", "metalbarrelcooling", "metalbarrelcooling3-",
                                     "magnetleftcooling"}) {
        double previous = 1e9;
        for (int f = 0; f <= 6; ++f) {
            Picture p = Load(prefix + std::to_string(f) + ".png");
            ASSERT_TRUE(p.ok) << prefix << f;
            double warmth = Lean(p, 0, 2);
            EXPECT_LT(warmth, previous) << prefix << f << " is not cooler than the frame before";
            previous = warmth;
        }
    }
}

TEST_F(WorldArtPack, FadedAndGlowingSourcesHaveSoftAlpha) {
    ASSERT_TRUE(loaded_) << pack_->Error();
    for (const char* name : {"teleport_glowblue.png", "teleport_glowred.png", "heatedobjectglow5.png",
                             "icemeltingsteam6.png", "teleport_spiralyellow0.png", "poweruphalo0.tga",
                             "teleport_spiralredturnon3.png"}) {
        Picture p = Load(name);
        ASSERT_TRUE(p.ok) << name;
        int soft = 0, clear = 0;
        for (int y = 0; y < p.h; ++y)
            for (int x = 0; x < p.w; ++x) {
                int a = p.Alpha(x, y);
                if (a > 0 && a < 255) ++soft;
                if (a == 0) ++clear;
            }
        EXPECT_GT(soft, 20) << name << " has no partly transparent pixels";
        EXPECT_GT(clear, 0) << name << " covers its whole canvas";
    }
}

TEST_F(WorldArtPack, InventoryIconsPopInAndHoverBrighter) {
    ASSERT_TRUE(loaded_) << pack_->Error();
    for (const char* base : {"iconcrate", "iconemp", "iconwhistle"}) {
        Picture small = Load(std::string(base) + "0.tga"), rest = Load(std::string(base) + "3.tga"),
                hover = Load(std::string(base) + "4.tga");
        ASSERT_TRUE(small.ok && rest.ok && hover.ok) << base;
        EXPECT_EQ(rest.w, 36);
        EXPECT_EQ(rest.h, 36);
        Box s = Opaque(small), r = Opaque(rest);
        EXPECT_LT(s.right - s.left, r.right - r.left) << base << ": the first frame should be smaller";
        EXPECT_TRUE(Differ(rest, hover)) << base;
    }
    Picture one = Load("iconone0.tga"), lit = Load("iconone1.tga");
    ASSERT_TRUE(one.ok && lit.ok);
    EXPECT_TRUE(Differ(one, lit));
}

TEST_F(WorldArtPack, CaptionsCarryTheirWords) {
    ASSERT_TRUE(loaded_) << pack_->Error();
    Picture shortWord = Load("poweruptextemp3.tga"), longWord = Load("poweruptextinflatable3.tga");
    ASSERT_TRUE(shortWord.ok && longWord.ok);
    Box a = Opaque(shortWord), b = Opaque(longWord);
    ASSERT_FALSE(a.Empty());
    ASSERT_FALSE(b.Empty());
    EXPECT_GT(b.right - b.left, a.right - a.left);
    // Last frames fade out.
    Picture last = Load("poweruptextemp7.tga");
    ASSERT_TRUE(last.ok);
    int strongest = 0;
    for (int y = 0; y < last.h; ++y)
        for (int x = 0; x < last.w; ++x) strongest = std::max(strongest, last.Alpha(x, y));
    EXPECT_LT(strongest, 200);
}

TEST_F(WorldArtPack, InflatablesGrowAndBreaksFadeAway) {
    ASSERT_TRUE(loaded_) << pack_->Error();
    const std::vector<std::vector<std::string>> growing = {
        {"crateinflateleft0.tga", "crateinflate1.tga", "crateinflate2.tga", "crateinflate4.tga"},
        {"barrelinflateleft0.tga", "barrelinflate1.tga", "barrelinflate2.tga", "barrelinflate4.tga"},
        {"magnetinflateleft0.tga", "magnetinflateleft1.tga", "magnetinflateleft2.tga", "magnetinflateleft4.tga"},
        {"teleportinflatable_blue0.png", "teleportinflatable_blue1.png", "teleportinflatable_blue2.png",
         "teleportinflatable_blue3.png"},
    };
    for (const auto& series : growing) {
        double previous = -1;
        for (const std::string& name : series) {
            Picture p = Load(name);
            ASSERT_TRUE(p.ok) << name;
            double c = Coverage(p);
            EXPECT_GT(c, previous) << name << " is not larger than the frame before";
            previous = c;
        }
    }
    const std::vector<std::vector<std::string>> fading = {
        {"teleport_framebluebreak0.png", "teleport_framebluebreak3.png", "teleport_framebluebreak6.png"},
        {"inflatableteleport_redfrontbreak0.png", "inflatableteleport_redfrontbreak6.png",
         "inflatableteleport_redfrontbreak12.png"},
        {"bridgeinflatable0.png", "bridgeinflatable5.png", "bridgeinflatable10.png"},
        {"gatebackbreak0.tga", "gatebackbreak4.tga", "gatebackbreak7.tga"},
    };
    for (const auto& series : fading) {
        double previous = 1e12;
        for (const std::string& name : series) {
            Picture p = Load(name);
            ASSERT_TRUE(p.ok) << name;
            double c = Coverage(p);
            EXPECT_LT(c, previous) << name << " does not fade from the frame before";
            previous = c;
        }
    }
}

TEST_F(WorldArtPack, BridgePlanksFallWhenItCollapses) {
    ASSERT_TRUE(loaded_) << pack_->Error();
    int previous = -1;
    for (int f : {0, 4, 8, 13}) {
        std::string name = "bridgeA" + std::to_string(f) + ".png";
        Picture p = Load(name);
        ASSERT_TRUE(p.ok) << name;
        Box b = Opaque(p, 60);
        ASSERT_FALSE(b.Empty()) << name;
        EXPECT_GT(b.bottom, previous) << name;
        previous = b.bottom;
    }
}

TEST_F(WorldArtPack, IceWithOverhangGrowsIciclesBelowItsCell) {
    ASSERT_TRUE(loaded_) << pack_->Error();
    const int cellBottom = CellBottom(13);
    for (int i = 1; i <= 10; ++i) {
        Picture p = Load("ice" + std::to_string(i) + ".png");
        ASSERT_TRUE(p.ok) << i;
        EXPECT_GT(Opaque(p).bottom, cellBottom + 1) << "ice" << i << ".png has no icicles";
    }
    for (int i = 1; i <= 2; ++i) {
        Picture p = Load("ice" + std::to_string(i) + "b.png");
        ASSERT_TRUE(p.ok) << i;
        EXPECT_LE(Opaque(p).bottom, cellBottom + 1) << "ice" << i << "b.png hangs below its cell";
    }
}

TEST_F(WorldArtPack, PickupsSpinAndTheProfessorLeavesThroughTheTube) {
    ASSERT_TRUE(loaded_) << pack_->Error();
    // A quarter turn shows the pickup edge-on: much narrower than face-on.
    for (const auto& pr : std::vector<std::pair<std::string, std::string>>{
             {"powerupcrate0.tga", "powerupcrate7.tga"}, {"powerupemp0.tga", "powerupemp4.tga"}}) {
        Picture face = Load(pr.first), edge = Load(pr.second);
        ASSERT_TRUE(face.ok && edge.ok) << pr.first;
        Box a = Opaque(face), b = Opaque(edge);
        EXPECT_LT((b.right - b.left) * 2, a.right - a.left) << pr.second;
    }
    // Frame 0 shows him whole in the tube, frame 21 an empty tube.
    Picture whole = Load("tube0.tga"), gone = Load("tube21.tga"), empty = Load("tubeentrance0.png");
    ASSERT_TRUE(whole.ok && gone.ok && empty.ok);
    EXPECT_GT(Coverage(whole), Coverage(gone) + 200);
    EXPECT_NEAR(Coverage(gone), Coverage(empty), Coverage(empty) * 0.15);
}

TEST_F(WorldArtPack, LadderSegmentsJoinAcrossCells) {
    ASSERT_TRUE(loaded_) << pack_->Error();
    // A middle segment reaches above its cell top and down to its cell bottom
    // so that stacked segments show one ladder.
    for (const char* name : {"laddermiddle.tga", "ladderbottom.tga", "cursorladder.tga"}) {
        Picture p = Load(name);
        ASSERT_TRUE(p.ok) << name;
        Box b = Opaque(p);
        EXPECT_LE(b.top, 18 - 5) << name << " does not reach its cell top";
        EXPECT_GE(b.bottom, CellBottom(18) - 1) << name << " does not reach its cell bottom";
    }
    Picture hang = Load("ladderbottomhang.tga");
    ASSERT_TRUE(hang.ok);
    EXPECT_LT(Opaque(hang).bottom, CellBottom(18) - 1) << "a hanging ladder should end above the floor";
    // A plank reaches past its cell's edge into each ledge beside it, and ends
    // at the rail on a side without one (a rail picture starts at the cell's
    // column 7, a plank's at its column -4).
    const Box rails = Opaque(Load("laddermiddle.tga"));
    for (int sides = 0; sides < 4; ++sides) {
        const bool left = sides & 1, right = sides & 2;
        const Box plank = Opaque(Load(CElementLadder::PlatformImage(left, right)));
        EXPECT_TRUE(left || !right ? plank.left - 4 <= -1 : plank.left - 4 >= rails.left + 6) << sides;
        EXPECT_TRUE(right || !left ? plank.right - 4 >= 24 : plank.right - 4 <= rails.right + 8) << sides;
    }
}

TEST_F(WorldArtPack, ButtonsSinkWhenPressedAndGatesCloseDownToTheFloor) {
    ASSERT_TRUE(loaded_) << pack_->Error();
    for (const char* colour : {"blue", "yellow", "red"}) {
        Picture pressed = Load(std::string("button") + colour + "0.tga");
        Picture raised = Load(std::string("button") + colour + "1.tga");
        ASSERT_TRUE(pressed.ok && raised.ok) << colour;
        EXPECT_GT(Opaque(pressed).top, Opaque(raised).top) << colour << ": the pressed button is not lower";
    }
    // Closed bars reach the cell bottom, open ones stay up in the beam.
    Picture closed = Load("gatefrontclose7.tga"), open = Load("gatefrontclose0.tga");
    ASSERT_TRUE(closed.ok && open.ok);
    EXPECT_GE(Opaque(closed).bottom, CellBottom(12) - 2);
    EXPECT_LT(Opaque(open).bottom, CellBottom(12) - 12);
}

TEST_F(WorldArtPack, TeleportPartsShareOneFloorAndTheSpiralLoops) {
    ASSERT_TRUE(loaded_) << pack_->Error();
    struct Part {
        const char* name;
        int oy;
    };
    const Part parts[] = {{"teleport_frameback.png", 45}, {"teleport_frameblue0.png", 47},
                          {"teleport_framered4.png", 47}, {"teleportinflatable_yellow3back.png", 46},
                          {"teleportinflatable_yellow3front.png", 48}, {"editorteleportred.png", 47}};
    for (const Part& part : parts) {
        Picture p = Load(part.name);
        ASSERT_TRUE(p.ok) << part.name;
        EXPECT_NEAR(Opaque(p).bottom, CellBottom(part.oy), 2) << part.name;
    }
    // 40 frames make one seamless turn: the last frame is close to the first.
    Picture first = Load("teleport_spiralblue0.png"), last = Load("teleport_spiralblue39.png"),
            half = Load("teleport_spiralblue20.png");
    ASSERT_TRUE(first.ok && last.ok && half.ok);
    auto distance = [](const Picture& a, const Picture& b) {
        double d = 0;
        for (size_t i = 0; i < a.rgba.size() && i < b.rgba.size(); ++i) d += std::abs(int(a.rgba[i]) - int(b.rgba[i]));
        return d;
    };
    EXPECT_LT(distance(first, last), distance(first, half));
}

TEST_F(WorldArtPack, EveryBotStateKeepsItsFeetNearTheCellBottom) {
    ASSERT_TRUE(loaded_) << pack_->Error();
    const Placed states[] = {
        {"botcrushedleft", 0, 2, ".png", 20},     {"botcrushedright", 0, 2, ".png", 19},
        {"botstunnedleft", 0, 2, ".png", 20},     {"botslidingright", 0, 5, ".png", 19},
        {"botmeltingleft", 0, 4, ".png", 22},     {"botcoolingright", 0, 6, ".png", 20},
        {"botheatedleftsquash", 0, 2, ".png", 22}, {"botcatchprofleft", 0, 26, ".png", 33},
        {"botfall", 12, 18, ".png", 25},          {"botmagnetright", 0, 1, ".png", 20},
    };
    for (const Placed& s : states) {
        for (int f = s.first; f <= s.last; ++f) {
            std::string name = s.prefix + std::to_string(f) + s.ext;
            Picture p = Load(name);
            ASSERT_TRUE(p.ok) << name;
            Box b = Opaque(p);
            ASSERT_FALSE(b.Empty()) << name;
            EXPECT_NEAR(b.bottom, CellBottom(s.oy), 3) << name;
        }
    }
}

}  // namespace
