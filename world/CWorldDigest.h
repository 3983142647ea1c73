// A digest of the world, in one of two views.
//
// The undo view (kUndo) is everything of the world that undo must bring
// back: each element's own state (its cells and pixel position, its flags,
// the fields of its piece, the sprites whose state decides play), the
// class-wide state of the pieces (the teleport pairs, the button counts, the
// grids of power-ups, trampolines, ladders and signs, the magnet list), the
// grid, the level-end flags and the step count. The hero's inventory and
// power-up are his own fields.
//
// The key view (kKey) is what tells two positions at rest apart, for the
// level tools' world key: the level-end flags, the grid, every element with
// its kind, cell, pixel position, material and movement flags, magnet links
// and the fields of its piece that decide play (the hero's inventory, a
// bot's alertness, a gate, a button...), the pressed buttons, the teleport
// pairs, the magnets and the power-ups. Left out is what only shows or what
// undo starts afresh: sprites, animation states, idle counters, the step
// count, the bots' held keys, which they work out again from the positions
// every frame, and whether the hero or a bot lies knocked over under a load:
// at rest that lasts exactly as long as the load stays on his head. The key
// view has also what undo does not bring back but play depends on: the hero
// still arriving from the tube.
//
// Both views are one description: each piece writes its fields once
// (DescribeState, mostly from the list of its undo fields, see UndoFields.h,
// and the class-wide tables of world/PieceStatics.h), naming the views each
// field belongs to; a digest keeps the fields of its view. Pieces write from
// their live fields, never from their undo records: a field that undo fails
// to bring back then shows up as a difference between the digest of a saved
// step and the digest after the undo to that step.
//
// The digest is made of parts, each element one ("#12 Crate Object": its
// index in the element list and its kind) and each class-wide table one, and
// each part of named fields. Two digests compare part by part; the first
// difference names the part and the field, with both values. Elements are
// written as their index in the element list, so that a digest compares
// across undo, which keeps the elements. Taken as bytes, a digest has the
// values alone, for hashing.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <unordered_map>
#include <vector>

#include "world/CElement.h"

class CSprite;

class CWorldDigest {
public:
    // The views a field belongs to, as a mask. kFacing marks an element's
    // facing: in the key view it counts for every element but the hero,
    // whose facing counts only when the key asks for it.
    enum View : unsigned {
        kUndo = 1,
        kKey = 2,
        kUndoAndKey = kUndo | kKey,
        kFacing = 4,
        kUndoAndFacing = kUndoAndKey | kFacing,
    };

    // An empty digest (no parts).
    CWorldDigest() = default;
    // The digest of the world as it stands, in one view (kUndo or kKey);
    // heroFacing: whether the hero's facing counts in the key view.
    static CWorldDigest Take(View view = kUndo, bool heroFacing = true);
    // The same values as bytes, without names or parts.
    static std::string TakeBytes(View view, bool heroFacing);

    // ---- Written by the elements and the piece classes -------------------------
    // Starts a part; the fields that follow belong to it.
    void BeginPart(const char* name);
    // A field in the given views: a number, a flag, an element (by its index,
    // see AddElement) or an array of them ("name[i]" each).
    template <class T>
    void Field(const char* name, const T& value, unsigned views = kUndo) {
        if (!Wants(views)) return;
        if constexpr (std::is_array_v<T>) {
            for (size_t i = 0; i < std::extent_v<T>; ++i) Item(name, static_cast<int>(i), value[i]);
        } else {
            Item(name, -1, value);
        }
    }
    // Gives a field of the undo view already written to the part a new value.
    void Replace(const char* field, int64_t value);
    // An element by its index in the element list: -1 the Null Element, -2
    // none, -3 one that is not in the world.
    void AddElement(const char* field, const CElement* element, unsigned views = kUndo) {
        Field(field, element, views);
    }
    // A list of elements, as their indexes.
    template <class List>
    void AddElements(const char* field, const List& list, unsigned views = kUndo) {
        if (!Wants(views)) return;
        if (bytes_) {
            Bytes(static_cast<int64_t>(list.size()), 4);
            for (const CElement* e : list) Bytes(ElementIndex(e), 4);
            return;
        }
        std::string text;
        for (const CElement* e : list) text += std::to_string(ElementIndex(e)) + " ";
        AddField(field, text);
    }
    // A value for each cell of the grid, as fields "name(x,y)"; the cells
    // whose value is `empty` are left out.
    template <class ValueAt>
    void AddCells(const char* field, int64_t empty, ValueAt valueAt, unsigned views = kUndo) {
        if (!Wants(views)) return;
        for (int x = 0; x < CElement::kGridWidth; ++x)
            for (int y = 0; y < CElement::kGridHeight; ++y) {
                const int64_t v = valueAt(x, y);
                if (v != empty) AddCell(field, x, y, v);
            }
        if (bytes_) Bytes(-1, 2);
    }
    // Which sprite (by its name; "none" for null), in the undo view; with
    // state also its frame, whether it is hidden and whether its animation
    // has finished.
    void AddSprite(const char* field, const CSprite* sprite, bool state);
    int ElementIndex(const CElement* element) const;

    // ---- Reading ---------------------------------------------------------------
    // The first difference from an earlier digest, as "#12 Crate Object:
    // FALLING is 1, was 0"; empty when the two digests are equal.
    std::string FindDifference(const CWorldDigest& then) const;
    size_t GetPartCount() const { return parts_.size(); }

private:
    CWorldDigest(View view, bool heroFacing, bool bytes);
    void Describe();
    // Starts the part of element number index.
    void BeginElement(size_t index, const CElement* element);
    bool Wants(unsigned views) const {
        if (!(views & view_)) return false;
        return !(views & kFacing) || view_ != kKey || heroFacing_ || !heroPart_;
    }
    template <class T>
    void Item(const char* name, int index, const T& value) {
        if constexpr (std::is_pointer_v<T>) {
            static_assert(std::is_convertible_v<T, const CElement*>, "pointer fields name elements");
            Number(name, index, ElementIndex(value), 4);
        } else {
            static_assert(std::is_integral_v<T> || std::is_enum_v<T>, "fields are numbers, flags or elements");
            Number(name, index, static_cast<int64_t>(value), sizeof(T));
        }
    }
    // index -1: a field of its own, else entry index of an array field.
    void Number(const char* name, int index, int64_t value, size_t size);
    void Bytes(int64_t value, size_t size);
    void AddCell(const char* field, int x, int y, int64_t value);
    void AddField(std::string_view field, std::string_view value);

    struct Part {
        std::string name;
        std::string fields;  // "field=value\n" per field
    };
    View view_ = kUndo;
    bool heroFacing_ = true;
    bool bytes_ = false;
    bool heroPart_ = false;  // the part being written is the hero's
    std::vector<Part> parts_;
    std::string bytesOut_;
    std::unordered_map<const CElement*, int> index_;
};

