// A digest of everything of the world that undo must bring back: each
// element's own state (its cells and pixel position, its flags, the fields of
// its piece, the sprites whose state decides play), the class-wide state of
// the pieces (the teleport pairs, the button counts, the grids of power-ups,
// trampolines, ladders and signs, the magnet list), the grid, the level-end
// flags and the step count. The hero's inventory and power-up are his own
// fields.
//
// The digest is made of parts, each element one ("#12 Crate Object": its
// index in the element list and its kind) and each class-wide table one, and
// each part of named fields. Two digests compare part by part; the first
// difference names the part and the field, with both values.
//
// Every piece writes its own part from its live fields (DescribeState and
// DescribeStatics, beside its SaveState and RestoreState), never from its
// undo records: a field the undo records forget then shows up as a
// difference between the digest of a saved step and the digest after the
// undo to that step. Elements are written as their index in the element
// list, so that a digest compares across undo, which keeps the elements.
// Also a debugging aid: ToString lists the whole world.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "world/CElement.h"

class CSprite;

class CWorldDigest {
public:
    // The digest of the world as it stands.
    static CWorldDigest Take();

    // ---- Written by the elements and the piece classes -------------------------
    // Starts a part; the fields that follow belong to it.
    void BeginPart(const std::string& name);
    void Add(std::string_view field, int64_t value);
    // Fields under their own names: names is the list of them as written,
    // "x, y, FROZEN" (what DIGEST_FIELDS makes of its arguments).
    template <class... Values>
    void AddFields(const char* names, const Values&... values) {
        (AddNextField(&names, static_cast<int64_t>(values)), ...);
    }
    void AddText(const char* field, const std::string& text);
    // Gives a field already written to the part a new value.
    void Replace(const char* field, int64_t value);
    // Field "name[index]".
    void AddAt(const char* field, int index, int64_t value);
    // An element by its index in the element list: -1 the Null Element, -2
    // none, -3 one that is not in the world.
    void AddElement(const char* field, const CElement* element);
    // A list of elements, as their indexes.
    template <class List>
    void AddElements(const char* field, const List& list) {
        std::string text;
        for (const CElement* e : list) text += std::to_string(ElementIndex(e)) + " ";
        AddText(field, text);
    }
    // A value for each cell of the grid, as fields "name(x,y)"; the cells
    // whose value is `empty` are left out.
    template <class ValueAt>
    void AddCells(const char* field, int64_t empty, ValueAt valueAt) {
        for (int x = 0; x < CElement::kGridWidth; ++x)
            for (int y = 0; y < CElement::kGridHeight; ++y) {
                const int64_t v = valueAt(x, y);
                if (v != empty) AddCell(field, x, y, v);
            }
    }
    // Which sprite (by its name; "none" for null); with state also its frame,
    // whether it is hidden and whether its animation has finished.
    void AddSprite(const char* field, const CSprite* sprite, bool state);
    int ElementIndex(const CElement* element) const;

    // ---- Reading ---------------------------------------------------------------
    // The first difference from an earlier digest, as "#12 Crate Object:
    // FALLING is 1, was 0"; empty when the two digests are equal.
    std::string FindDifference(const CWorldDigest& then) const;
    // Every part with its fields, one line each.
    std::string ToString() const;
    size_t GetPartCount() const { return parts_.size(); }

private:
    void AddCell(const char* field, int x, int y, int64_t value);
    // The next name of a list "a, b, c" with its value; *names moves past it.
    void AddNextField(const char** names, int64_t value);
    void AddField(std::string_view field, std::string_view value);

    struct Part {
        std::string name;
        std::string fields;  // "field=value\n" per field
    };
    std::vector<Part> parts_;
    std::unordered_map<const CElement*, int> index_;
};

// Writes fields under their own names: DIGEST_FIELDS(d, x, y, FROZEN).
#define DIGEST_FIELDS(digest, ...) (digest)->AddFields(#__VA_ARGS__, __VA_ARGS__)
