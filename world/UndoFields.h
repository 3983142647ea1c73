// The one list of the fields an undo step keeps of a piece. Each class that
// keeps fields of its own names them once, in a list beside the fields, and
// its undo record, its save, its restore and its part of the world digest
// are all made from that list: a field added to the list reaches all four,
// and a field left out of it reaches none (see CWorldDigest).
//
// A list is a macro that calls its argument once per field, with the field
// and the views of the world digest it belongs to (CWorldDigest::View):
// kUndo, what undo brings back; kUndoAndKey, also what tells two positions
// at rest apart (the level tools' world key).
//
//   #define BUTTON_UNDO_FIELDS(F) F(pressed, kUndoAndKey) F(pressCount, kUndoAndKey)
//
// The record, declared in the class after the fields (it copies their types):
//   struct Saved { UNDO_RECORD_FIELDS(CElementDeviceButton, BUTTON_UNDO_FIELDS) };
//   Saved savedState[kUndoSlots];
// and in SaveState, RestoreState and DescribeState:
//   UNDO_SAVE(savedState[k], BUTTON_UNDO_FIELDS);
//   UNDO_RESTORE(savedState[k], BUTTON_UNDO_FIELDS);
//   UNDO_DESCRIBE(d, BUTTON_UNDO_FIELDS);
//
// A field is copied as it is; an array element by element. What comes back
// in its own way (sprites and their looks, links that turn into the Null
// Element, counters that undo starts afresh) stays written out by hand
// beside the list, with its digest line next to it. The copies are plain
// assignments: saving and restoring cost what they did written out.
#pragma once

#include <algorithm>
#include <cstddef>

template <class T>
inline void UndoCopy(T& to, const T& from) {
    to = from;
}

template <class T, size_t N>
inline void UndoCopy(T (&to)[N], const T (&from)[N]) {
    std::copy(from, from + N, to);
}

// The record's copy of each field of the list, under the same name and type.
#define UNDO_RECORD_FIELDS(Class, LIST)                                                                                \
    using UndoOf = Class;                                                                                              \
    LIST(UNDO_RECORD_MEMBER_)
#define UNDO_RECORD_MEMBER_(field, views) decltype(UndoOf::field) field{};

// Copies the fields of the list into a record, or back from it.
#define UNDO_SAVE(record, LIST)                                                                                        \
    do {                                                                                                               \
        auto& undoRecord_ = (record);                                                                                  \
        LIST(UNDO_SAVE_ONE_)                                                                                           \
    } while (0)
#define UNDO_SAVE_ONE_(field, views) UndoCopy(undoRecord_.field, field);

#define UNDO_RESTORE(record, LIST)                                                                                     \
    do {                                                                                                               \
        const auto& undoRecord_ = (record);                                                                            \
        LIST(UNDO_RESTORE_ONE_)                                                                                        \
    } while (0)
#define UNDO_RESTORE_ONE_(field, views) UndoCopy(field, undoRecord_.field);

// Writes the fields of the list to the world digest, each under its own name
// and in its views (needs world/CWorldDigest.h).
#define UNDO_DESCRIBE(digest, LIST)                                                                                    \
    do {                                                                                                               \
        CWorldDigest* undoDigest_ = (digest);                                                                          \
        LIST(UNDO_DESCRIBE_ONE_)                                                                                       \
    } while (0)
#define UNDO_DESCRIBE_ONE_(field, views) undoDigest_->Field(#field, field, CWorldDigest::views);
