#include "tools/design/CWorldKey.h"

#include <cstdio>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "world/CElement.h"
#include "world/CElementAIBot.h"
#include "world/CElementAIProfessor.h"
#include "world/pieces/CElementDeviceButton.h"
#include "world/pieces/CElementDeviceGate.h"
#include "world/pieces/CElementDevicePowerup.h"
#include "world/pieces/CElementDeviceTeleport.h"
#include "world/pieces/CElementDeviceTrampoline.h"
#include "world/pieces/CElementObjectBarrel.h"
#include "world/pieces/CElementObjectMagnet.h"
#include "world/pieces/CElementTerrainBridge.h"

namespace {

// Writes the contents as bytes (for the key) or as named text (to show
// where two worlds differ).
class Writer {
public:
    Writer(std::string* out, bool text) : out_(out), text_(text) {}
    void U8(const char* name, int v) {
        if (text_) return Text(name, v);
        out_->push_back(static_cast<char>(v & 0xff));
    }
    void I32(const char* name, int32_t v) {
        if (text_) return Text(name, v);
        for (int i = 0; i < 4; ++i) out_->push_back(static_cast<char>((static_cast<uint32_t>(v) >> (8 * i)) & 0xff));
    }
    // A new line of text, headed "heading number suffix:" (nothing in bytes).
    void Line(const char* heading, int number = -1, const char* suffix = "") {
        if (!text_) return;
        *out_ += (out_->empty() ? "" : "\n") + std::string(heading);
        if (number >= 0) *out_ += std::to_string(number);
        if (*suffix) *out_ += std::string(" ") + suffix;
        *out_ += ":";
    }

private:
    void Text(const char* name, int v) { *out_ += std::string(" ") + name + "=" + std::to_string(v); }

    std::string* out_;
    bool text_;
};

// Elements are named by their place in the element list; -1 is the Null
// Element (and anything not in the list).
class Numbers {
public:
    Numbers() {
        const std::vector<CElement*>& all = CElement::GetAllElements();
        index_.reserve(all.size() * 2);
        for (size_t i = 0; i < all.size(); ++i) index_[all[i]] = static_cast<int32_t>(i);
    }
    int32_t Of(const CElement* e) const {
        if (!e || e->IsNull()) return -1;
        auto it = index_.find(e);
        return it == index_.end() ? -1 : it->second;
    }

private:
    std::unordered_map<const CElement*, int32_t> index_;
};

void WriteElement(Writer& w, const Numbers& numbers, CElement* e, bool heroFacing) {
    w.I32("type", e->type);
    w.I32("object", e->typeObject);
    w.I32("device", e->typeDevice);
    w.I32("ai", e->typeAI);
    w.I32("terrain", e->typeTerrain);
    w.I32("ladder", e->typeLadder);
    w.I32("magnetKind", e->typeMagnet);
    w.I32("createFlag", e->createFlag);
    w.I32("x", e->x);
    w.I32("y", e->y);
    w.I32("pixelX", e->pixelX);
    w.I32("pixelY", e->pixelY);
    const bool facing = !e->IsProfessor() || heroFacing;
    const struct {
        const char* name;
        uint8_t value;
    } flags[] = {{"MAGNETIC", e->MAGNETIC},
                 {"METALLIC", e->METALLIC},
                 {"bursts", e->bursts},
                 {"occupiesGrid", e->occupiesGrid},
                 {"gravity", e->gravity},
                 {"slidable", e->slidable},
                 {"dynamic", e->dynamic},
                 {"freezable", e->freezable},
                 {"heatable", e->heatable},
                 {"burnable", e->burnable},
                 {"meltable", e->meltable},
                 {"facingLeft", facing ? e->facingLeft : uint8_t(0)},
                 {"MOVING", e->MOVING},
                 {"FALLING", e->FALLING},
                 {"SLIDING", e->SLIDING},
                 {"PUSHED", e->PUSHED},
                 {"inflated", e->inflated},
                 {"destroyed", e->destroyed},
                 {"FROZEN", e->FROZEN},
                 {"HEATED", e->HEATED},
                 {"cooling", e->cooling},
                 {"thawing", e->thawing},
                 {"delayedHeat", e->delayedHeat},
                 {"inPassage", e->inPassage},
                 {"ridden", e->ridden},
                 {"pushDirLeft", e->pushDirLeft},
                 {"pushDirRight", e->pushDirRight},
                 {"WASMOVINGLEFT", e->WASMOVINGLEFT},
                 {"WASMOVINGRIGHT", e->WASMOVINGRIGHT},
                 {"TRAMP", e->TRAMP},
                 {"trampolineA", e->trampolineA},
                 {"trampolineB", e->trampolineB},
                 {"leftTrampoline", e->leftTrampoline},
                 {"skipSlideCheck", e->skipSlideCheck},
                 {"caughtFromLeft", e->caughtFromLeft},
                 {"caughtFromRight", e->caughtFromRight}};
    for (const auto& f : flags) w.U8(f.name, f.value);
    w.I32("holderA", numbers.Of(e->GetMagnetHolderA()));
    w.I32("holderB", numbers.Of(e->GetMagnetHolderB()));

    if (CElementAI* ai = dynamic_cast<CElementAI*>(e)) {
        w.U8("riding", ai->riding);
        w.I32("standingOn", numbers.Of(ai->standingOn));
    }
    if (CElementAIProfessor* hero = dynamic_cast<CElementAIProfessor*>(e)) {
        for (int p = 0; p < CElementAIProfessor::kInventorySize; ++p) w.I32("inventory", hero->inventory[p]);
        w.I32("activePowerup", hero->activePowerup);
        w.I32("activePowerupDelay", hero->activePowerupDelay);
        w.U8("usingPowerup", hero->usingPowerup);
        w.U8("arriving", hero->arriving);
        w.U8("exiting", hero->exiting);
    } else if (CElementAIBot* bot = dynamic_cast<CElementAIBot*>(e)) {
        w.U8("active", bot->IsActive());
        w.U8("empStunned", bot->IsEmpStunned());
        w.U8("activationFall", bot->IsActivationFall());
    } else if (CElementDeviceGate* gate = dynamic_cast<CElementDeviceGate*>(e)) {
        w.U8("open", gate->IsOpen());
        w.U8("broken", gate->IsBroken());
    } else if (CElementDeviceButton* button = dynamic_cast<CElementDeviceButton*>(e)) {
        w.U8("pressed", button->IsPressed());
        w.I32("pressCount", button->GetPressCount());
    } else if (CElementDeviceTrampoline* tramp = dynamic_cast<CElementDeviceTrampoline*>(e)) {
        w.U8("stretchedLeft", tramp->IsStretchedLeft());
        w.U8("stretchedRight", tramp->IsStretchedRight());
        w.I32("pushCount", tramp->GetPushCount());
    } else if (CElementDeviceTeleport* portal = dynamic_cast<CElementDeviceTeleport*>(e)) {
        w.U8("starting", portal->IsStarting());
    } else if (CElementObjectMagnet* magnet = dynamic_cast<CElementObjectMagnet*>(e)) {
        w.U8("faceLeft", magnet->IsFaceLeft());
        w.I32("empCountdown", magnet->GetEmpCountdown());
    } else if (CElementObjectBarrel* barrel = dynamic_cast<CElementObjectBarrel*>(e)) {
        w.I32("coolingState", barrel->GetCoolingState());
    } else if (CElementTerrainBridge* bridge = dynamic_cast<CElementTerrainBridge*>(e)) {
        w.U8("collapsing", bridge->IsCollapsing());
        w.U8("inflating", bridge->IsInflating());
    }
}

void WriteWorld(Writer& w, bool heroFacing) {
    const std::vector<CElement*>& all = CElement::GetAllElements();
    const Numbers numbers;

    w.Line("level end");
    for (int f = 0; f < LEVELEND_COUNT; ++f) w.U8("flag", CElement::GetLevelEndFlag(static_cast<LevelEndFlag>(f)));
    for (int x = 0; x < CElement::kGridWidth; ++x) {
        w.Line("grid column ", x);
        for (int y = 0; y < CElement::kGridHeight; ++y) w.I32("element", numbers.Of(CElement::GetElementAt(x, y, true)));
    }
    w.Line("elements");
    w.I32("count", static_cast<int32_t>(all.size()));
    for (size_t i = 0; i < all.size(); ++i) {
        w.Line("#", static_cast<int>(i), all[i]->GetTypeName());
        WriteElement(w, numbers, all[i], heroFacing);
    }
    w.Line("pressed buttons");
    for (int c = 0; c < BUTTON_COLOURS; ++c) w.I32("colour", CElementDeviceButton::GetPressedCount(c));
    for (int c = 0; c < TELEPORT_COLOURS; ++c) {
        w.Line("teleports of colour ", c);
        const std::vector<CElementDeviceTeleport*>& portals = CElementDeviceTeleport::GetPortals(c);
        w.I32("count", static_cast<int32_t>(portals.size()));
        for (CElementDeviceTeleport* p : portals) w.I32("portal", numbers.Of(p));
    }
    w.Line("magnets");
    const std::vector<CElementObjectMagnet*>& magnets = CElementObjectMagnet::GetMagnets();
    w.I32("count", static_cast<int32_t>(magnets.size()));
    for (CElementObjectMagnet* m : magnets) w.I32("magnet", numbers.Of(m));
    w.Line("power-ups");
    for (int x = 0; x < CElement::kGridWidth; ++x)
        for (int y = 0; y < CElement::kGridHeight; ++y)
            if (CElementDevicePowerup::IsPowerupAt(x, y)) {
                w.I32("cell", x * CElement::kGridHeight + y);
                w.I32("kind", CElementDevicePowerup::GetPowerupKindAt(x, y));
            }
}

uint64_t Mix(uint64_t z) {
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    return z ^ (z >> 31);
}

// Two independent 64-bit hashes over the bytes, eight at a time.
CWorldKey HashBytes(const std::string& bytes) {
    uint64_t a = 0x243f6a8885a308d3ull ^ bytes.size();
    uint64_t b = 0x13198a2e03707344ull;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes.data());
    size_t i = 0;
    auto lanes = [&](uint64_t word) {
        a = Mix(a ^ word) + 0x9e3779b97f4a7c15ull;
        b = (b ^ word) * 0x100000001b3ull;
        b ^= b >> 29;
    };
    for (; i + 8 <= bytes.size(); i += 8) {
        uint64_t word;
        memcpy(&word, p + i, 8);
        lanes(word);
    }
    uint64_t tail = 0;
    for (int k = 0; i < bytes.size(); ++i, ++k) tail |= static_cast<uint64_t>(p[i]) << (8 * k);
    lanes(tail);
    CWorldKey key;
    key.a = Mix(a);
    key.b = Mix(b ^ a);
    return key;
}

}  // namespace

std::string CWorldKey::Contents(bool heroFacing) {
    std::string out;
    out.reserve(CElement::kGridCells * 4 + CElement::GetAllElements().size() * 96);
    Writer w(&out, false);
    WriteWorld(w, heroFacing);
    return out;
}

std::string CWorldKey::Describe(bool heroFacing) {
    std::string out;
    Writer w(&out, true);
    WriteWorld(w, heroFacing);
    return out + "\n";
}

std::string CWorldKey::FirstDifference(const std::string& a, const std::string& b) {
    size_t start = 0;
    while (start < a.size() && start < b.size()) {
        const size_t endA = a.find('\n', start);
        const size_t endB = b.find('\n', start);
        const std::string lineA = a.substr(start, endA - start);
        const std::string lineB = b.substr(start, endB - start);
        if (lineA != lineB) return "- " + lineA + "\n+ " + lineB;
        if (endA == std::string::npos || endB == std::string::npos) break;
        start = endA + 1;
    }
    return a == b ? "" : "the descriptions differ in length";
}

CWorldKey CWorldKey::OfBytes(const std::string& bytes) { return HashBytes(bytes); }

CWorldKey CWorldKey::OfWorld(bool heroFacing) { return OfBytes(Contents(heroFacing)); }

std::string CWorldKey::ToString() const {
    char buf[40];
    snprintf(buf, sizeof buf, "%016llx%016llx", static_cast<unsigned long long>(a), static_cast<unsigned long long>(b));
    return buf;
}
