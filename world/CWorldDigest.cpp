#include "world/CWorldDigest.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "engine/CSprite.h"
#include "world/PieceStatics.h"

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

CWorldDigest::CWorldDigest(View view, bool heroFacing, bool bytes)
    : view_(view), heroFacing_(heroFacing), bytes_(bytes) {}

CWorldDigest CWorldDigest::Take(View view, bool heroFacing) {
    CWorldDigest d(view, heroFacing, false);
    d.Describe();
    return d;
}

std::string CWorldDigest::TakeBytes(View view, bool heroFacing) {
    CWorldDigest d(view, heroFacing, true);
    d.bytesOut_.reserve(CElement::kGridCells * 6 + CElement::GetAllElements().size() * 96);
    d.Describe();
    return std::move(d.bytesOut_);
}

void CWorldDigest::Describe() {
    const std::vector<CElement*>& all = CElement::GetAllElements();
    index_.reserve(all.size() * 2);
    for (size_t i = 0; i < all.size(); ++i) index_.emplace(all[i], static_cast<int>(i));

    BeginPart("world");
    Field("steps", CElement::GetStepCount());
    for (int flag = 0; flag < LEVELEND_COUNT; ++flag)
        Field(kLevelEndNames[flag], CElement::GetLevelEndFlag(LevelEndFlag(flag)), kUndoAndKey);
    AddElement("hero", CElement::GetHero());
    AddElements("spawned", CElement::GetSpawned());
    Field("elements", static_cast<int32_t>(all.size()), kUndoAndKey);
    AddCells(
        "grid", -1, [this](int x, int y) { return ElementIndex(CElement::GetStoredAt(x, y)); }, kUndoAndKey);

    for (size_t i = 0; i < all.size(); ++i) {
        BeginElement(i, all[i]);
        all[i]->DescribeState(this);
    }
    heroPart_ = false;
    for (const PieceStatics& statics : AllPieceStatics())
        if (statics.describe) statics.describe(this);
}

void CWorldDigest::BeginPart(const char* name) {
    if (!bytes_) parts_.push_back({name, std::string()});
}

void CWorldDigest::BeginElement(size_t index, const CElement* element) {
    heroPart_ = element->IsProfessor();
    if (!bytes_) parts_.push_back({"#" + std::to_string(index) + " " + element->GetTypeName(), std::string()});
}

void CWorldDigest::Number(const char* name, int index, int64_t value, size_t size) {
    if (bytes_) return Bytes(value, size);
    char text[24];
    const auto end = std::to_chars(text, text + sizeof(text), value).ptr;
    const std::string_view valueText(text, static_cast<size_t>(end - text));
    if (index < 0) return AddField(name, valueText);
    char indexed[96];
    snprintf(indexed, sizeof(indexed), "%s[%d]", name, index);
    AddField(indexed, valueText);
}

void CWorldDigest::Bytes(int64_t value, size_t size) {
    const uint64_t bits = static_cast<uint64_t>(value);
    for (size_t i = 0; i < size; ++i) bytesOut_.push_back(static_cast<char>((bits >> (8 * i)) & 0xff));
}

void CWorldDigest::AddField(std::string_view field, std::string_view value) {
    if (parts_.empty()) BeginPart("?");
    std::string& out = parts_.back().fields;
    out.append(field).append(1, '=').append(value).append(1, '\n');
}

void CWorldDigest::Replace(const char* field, int64_t value) {
    if (bytes_ || !Wants(kUndo) || parts_.empty()) return;
    std::string& fields = parts_.back().fields;
    const std::string key = std::string(field) + "=";
    for (size_t at = 0; at < fields.size(); at = fields.find('\n', at) + 1) {
        if (fields.compare(at, key.size(), key) != 0) continue;
        const size_t end = fields.find('\n', at);
        fields.replace(at + key.size(), end - at - key.size(), std::to_string(value));
        return;
    }
    Field(field, value);
}

void CWorldDigest::AddCell(const char* field, int x, int y, int64_t value) {
    if (bytes_) {
        Bytes(x * CElement::kGridHeight + y, 2);
        return Bytes(value, 4);
    }
    char name[96];
    snprintf(name, sizeof(name), "%s(%d,%d)", field, x, y);
    Number(name, -1, value, 4);
}

int CWorldDigest::ElementIndex(const CElement* element) const {
    if (!element) return -2;
    if (element == CElement::GetNullElement()) return -1;
    const auto it = index_.find(element);
    return it == index_.end() ? -3 : it->second;
}

void CWorldDigest::AddSprite(const char* field, const CSprite* sprite, bool state) {
    if (bytes_ || !Wants(kUndo)) return;
    if (!sprite) {
        AddField(field, "none");
        return;
    }
    std::string text = sprite->GetName();
    if (state) {
        text += " frame " + std::to_string(sprite->GetFrame());
        if (sprite->IsHidden()) text += " hidden";
        if (sprite->IsFinished()) text += " finished";
    }
    AddField(field, text);
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
