#include "world/CWorldDigest.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "engine/CSprite.h"
#include "world/CElementAIBot.h"
#include "world/pieces/CElementDeviceButton.h"
#include "world/pieces/CElementDevicePowerup.h"
#include "world/pieces/CElementDeviceTeleport.h"
#include "world/pieces/CElementDeviceTrampoline.h"
#include "world/pieces/CElementDeviceTube.h"
#include "world/pieces/CElementLadder.h"
#include "world/pieces/CElementObjectMagnet.h"
#include "world/pieces/CElementTutorial.h"

namespace {

const char* const kLevelEndNames[LEVELEND_COUNT] = {"tube destroyed", "fell", "singed", "exiting", "caught", "ended"};

// The fields of a part as (name, value) pairs, in the order written.
std::vector<std::pair<std::string, std::string>> SplitFields(const std::string& fields) {
    std::vector<std::pair<std::string, std::string>> out;
    size_t start = 0;
    while (start < fields.size()) {
        size_t end = fields.find('\n', start);
        if (end == std::string::npos) end = fields.size();
        const std::string line = fields.substr(start, end - start);
        const size_t eq = line.find('=');
        out.emplace_back(line.substr(0, eq), eq == std::string::npos ? "" : line.substr(eq + 1));
        start = end + 1;
    }
    return out;
}

std::string FieldDifference(const std::string& part, const std::string& now, const std::string& then) {
    const auto nowFields = SplitFields(now), thenFields = SplitFields(then);
    auto find = [](const std::vector<std::pair<std::string, std::string>>& list, const std::string& name) {
        for (const auto& f : list)
            if (f.first == name) return &f.second;
        return static_cast<const std::string*>(nullptr);
    };
    for (const auto& f : nowFields) {
        const std::string* was = find(thenFields, f.first);
        if (!was || *was != f.second)
            return part + ": " + f.first + " is " + f.second + ", was " + (was ? *was : "absent");
    }
    for (const auto& f : thenFields)
        if (!find(nowFields, f.first)) return part + ": " + f.first + " is absent, was " + f.second;
    return part + ": the fields differ in their order";
}

}  // namespace

CWorldDigest CWorldDigest::Take() {
    CWorldDigest d;
    const std::vector<CElement*>& all = CElement::GetAllElements();
    for (size_t i = 0; i < all.size(); ++i) d.index_.emplace(all[i], static_cast<int>(i));

    d.BeginPart("world");
    d.Add("steps", CElement::GetStepCount());
    for (int flag = 0; flag < LEVELEND_COUNT; ++flag)
        d.Add(kLevelEndNames[flag], CElement::GetLevelEndFlag(LevelEndFlag(flag)));
    d.AddElement("hero", CElement::GetHero());
    d.AddElements("spawned", CElement::GetSpawned());
    d.AddCells("grid", -1, [&d](int x, int y) { return d.ElementIndex(CElement::GetStoredAt(x, y)); });

    for (size_t i = 0; i < all.size(); ++i) {
        d.BeginPart("#" + std::to_string(i) + " " + all[i]->GetTypeName());
        all[i]->DescribeState(&d);
    }

    // The class-wide tables, each asked for by name here rather than through
    // the list that undo saves them by: a table undo leaves out still shows.
    // Left out: a class's mark that it has pieces in this level (it only
    // spares an unused class its undo copies, and stays once a piece of the
    // class has been made), the counters that only vary looks and sounds from
    // piece to piece (bobbing phases, picture and sound choices, the frame a
    // gate sound last played) and the lists kept for the debug dumps.
    CElementDeviceButton::DescribeStatics(&d);
    CElementDevicePowerup::DescribeStatics(&d);
    CElementDeviceTeleport::DescribeStatics(&d);
    CElementDeviceTrampoline::DescribeStatics(&d);
    CElementDeviceTube::DescribeStatics(&d);
    CElementLadder::DescribeStatics(&d);
    CElementObjectMagnet::DescribeStatics(&d);
    CElementTutorial::DescribeStatics(&d);
    CElementAIBot::DescribeStatics(&d);
    return d;
}

void CWorldDigest::BeginPart(const std::string& name) { parts_.push_back({name, std::string()}); }

void CWorldDigest::Add(std::string_view field, int64_t value) {
    char text[24];
    const auto end = std::to_chars(text, text + sizeof(text), value).ptr;
    AddField(field, std::string_view(text, static_cast<size_t>(end - text)));
}

void CWorldDigest::AddNextField(const char** names, int64_t value) {
    const char* name = *names;
    while (*name == ',' || *name == ' ') ++name;
    const char* end = name;
    while (*end && *end != ',' && *end != ' ') ++end;
    *names = end;
    Add(std::string_view(name, static_cast<size_t>(end - name)), value);
}

void CWorldDigest::AddText(const char* field, const std::string& text) { AddField(field, text); }

void CWorldDigest::AddField(std::string_view field, std::string_view value) {
    if (parts_.empty()) BeginPart("?");
    std::string& out = parts_.back().fields;
    out.append(field).append(1, '=').append(value).append(1, '\n');
}

void CWorldDigest::Replace(const char* field, int64_t value) {
    if (parts_.empty()) return;
    std::string& fields = parts_.back().fields;
    const std::string key = std::string(field) + "=";
    for (size_t at = 0; at < fields.size(); at = fields.find('\n', at) + 1) {
        if (fields.compare(at, key.size(), key) != 0) continue;
        const size_t end = fields.find('\n', at);
        fields.replace(at + key.size(), end - at - key.size(), std::to_string(value));
        return;
    }
    Add(field, value);
}

void CWorldDigest::AddAt(const char* field, int index, int64_t value) {
    char name[96];
    snprintf(name, sizeof(name), "%s[%d]", field, index);
    Add(name, value);
}

void CWorldDigest::AddCell(const char* field, int x, int y, int64_t value) {
    char name[96];
    snprintf(name, sizeof(name), "%s(%d,%d)", field, x, y);
    Add(name, value);
}

int CWorldDigest::ElementIndex(const CElement* element) const {
    if (!element) return -2;
    if (element == CElement::GetNullElement()) return -1;
    const auto it = index_.find(element);
    return it == index_.end() ? -3 : it->second;
}

void CWorldDigest::AddElement(const char* field, const CElement* element) { Add(field, ElementIndex(element)); }

void CWorldDigest::AddSprite(const char* field, const CSprite* sprite, bool state) {
    if (!sprite) {
        AddText(field, "none");
        return;
    }
    std::string text = sprite->GetName();
    if (state) {
        text += " frame " + std::to_string(sprite->GetFrame());
        if (sprite->IsHidden()) text += " hidden";
        if (sprite->IsFinished()) text += " finished";
    }
    AddText(field, text);
}

std::string CWorldDigest::FindDifference(const CWorldDigest& then) const {
    const size_t common = std::min(parts_.size(), then.parts_.size());
    for (size_t i = 0; i < common; ++i) {
        const Part& now = parts_[i];
        const Part& was = then.parts_[i];
        if (now.name != was.name) return "part " + std::to_string(i) + " is " + now.name + ", was " + was.name;
        if (now.fields != was.fields) return FieldDifference(now.name, now.fields, was.fields);
    }
    if (parts_.size() > common) return parts_[common].name + " is new";
    if (then.parts_.size() > common) return then.parts_[common].name + " is missing";
    return std::string();
}

std::string CWorldDigest::ToString() const {
    std::string out;
    for (const Part& p : parts_) {
        out += p.name + ":\n";
        for (const auto& f : SplitFields(p.fields)) out += "    " + f.first + " = " + f.second + "\n";
    }
    return out;
}
