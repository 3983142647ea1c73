// Small helpers shared by the whole program: random numbers, rectangles, case
// conversion, tokenizing, folder listing, number formatting, the browser, the
// operating-system version and the two folders of the program.
#pragma once

#include <string>
#include <vector>

#include "engine/ReadNumber.h"     // the one reader of the numbers people and files write
#include "engine/Rect.h"
#include "engine/TerminalText.h"  // EscapeControls, shared with the tools and the score server

class CSprite;

float RandomFloat(float min, float max);
int RandomInt(float min, float max);

bool RectsOverlap(const Rect& a, const Rect& b);
void UnionRect(Rect* out, const Rect& a, const Rect& b);
// Defined with the sprite (they need its rectangle).
bool SpritesOverlap(CSprite* a, CSprite* b);
bool SpriteOverlapsRect(CSprite* s, const Rect& r);

std::string ToUpper(const std::string& s);
std::string ToLower(const std::string& s);

// s without the blanks, tabs and carriage returns at either end.
std::string TrimBlanks(const std::string& s);

// A path under the home folder as the player knows it ("~/..."): shorter,
// so that it fits a message box.
std::string ShownPath(const std::string& path);

// Appends every maximal run of non-delimiter characters of s to out.
void Tokenize(const std::string& s, std::vector<std::string>& out, const std::string& delimiters);

// The regular files of folder whose names end in extension (case-sensitive),
// without the extension; sorted case-insensitively when asked; with
// withUnreachable, also the names that cannot be reached now (a link to a
// file on a drive not mounted). The working folder is never changed.
void GetFiles(std::vector<std::string>& out, const char* folder, const char* extension, bool sorted,
              bool withUnreachable = false);

// value in decimal with "," between groups of three; values below 1 give "0".
std::string GroupThousands(int value);
void GroupThousands(int value, char* out, size_t outSize);

void OpenURL(const char* url);

bool IsWinNT();
bool IsWin9x();
bool IsVistaOrLater();

void MakeDir(const char* path);
void InitDirectories();
const char* GetProfileDir();
// Forgets both folders, as before InitDirectories (tests).
void ResetDirectories();
const char* GetLevelsDir();
// The data folder (the profile folder) this copy of the game locked at
// start-up, by its identity. Until one is noted (tests, tools) every save may
// go to the profile folder.
void NoteClaimedProfileDir(unsigned long long device, unsigned long long inode);
// The data folder could not be reached when the game started (a link to a
// drive not mounted): error is why. Its files were never read, so nothing
// is written there for the rest of the session, even once it is back: a
// save would go over what the game did not see.
void NoteProfileDirAway(int error);
// Why the data folder was away at start-up (an errno); 0 when it was not.
int ProfileDirAwayError();
// Whether the data folder may take a write now, and why not: away since
// the start-up; claimed, but nothing can be reached at its path now (deleted,
// or a link to a drive unplugged meanwhile: error says why), where the
// same folder may come back; or another folder in its place, which a second
// copy of the game may own. Nothing may be written there unless it is
// CLAIMED: every save checks first.
enum class ProfileDirState { CLAIMED, AWAY_SINCE_START, UNREACHABLE, REPLACED };
ProfileDirState CheckProfileDir(int* error = nullptr);
// CheckProfileDir() == ProfileDirState::CLAIMED.
bool IsProfileDirClaimed();
