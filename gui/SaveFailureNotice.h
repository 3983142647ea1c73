// Telling the player that the profile could not be saved, or that a player
// could not be loaded. The profile notes every failed save; a screen asks
// here after the actions that save and, when told to, opens a one-button
// message box with these texts as its own child (prepared the way it
// prepares for any of its message boxes).
#pragma once

#include <string>

class CProfile;
struct DamageNotice;
struct SaveFailure;

constexpr int kSaveFailureTitle = 2217;
// Why the progress was not saved and what to do, one body for each reason:
// the folder full, write-protected, or refusing otherwise (each with the
// folder and the system's words); every name for a damaged file's copy
// taken (which names); the file away (where, and why), told as the list's
// when it is the list of players that is away; the data folder
// replaced, or away since the start. With no reason known, the plain body.
constexpr int kSaveFailureBody = 2329;
constexpr int kNotSavedNoRoomBody = 2365;
constexpr int kNotSavedNoWriteBody = 2366;
constexpr int kNotSavedRefusedBody = 2367;
constexpr int kNotSavedNoCopyNameBody = 2368;
constexpr int kNotSavedAwayBody = 2369;
// The list of players away: its own title and body (where, and why).
constexpr int kListNotSavedTitle = 2228;
constexpr int kListNotSavedAwayBody = 2377;
constexpr int kNotSavedFolderReplacedBody = 2372;
constexpr int kNotSavedFolderAwayBody = 2373;
// The bodies when choosing another player was refused because the current
// one could not be saved: his file could not be written (and why); his file
// is damaged and waits for a copy that could not be written (and why);
// every name for that copy is taken (and which names); or his file cannot be
// reached now (which file, and why).
constexpr int kSwitchRefusedBody = 2335;
constexpr int kSwitchRefusedNoCopyBody = 2342;
constexpr int kSwitchRefusedNoNameBody = 2343;
constexpr int kSwitchRefusedAwayBody = 2354;
// A player whose file is there but cannot be reached now: whom, and which
// file and why.
constexpr int kUnreachableTitle = 2227;
constexpr int kUnreachableBody = 2353;

// True once per spell of failed saves of the current profile; false without
// a profile.
bool TakeSaveFailureNotice();

// A message box's texts: its title and body ids and the values of the
// body's two placeholders.
struct ProgressMessage {
    int title = -1;
    int body = -1;
    std::string text;
    std::string text2;
};
// What helps a write the system refused with error: room on the disk, leave
// to write in the folder, or neither that the game could name.
enum class SaveRemedy { FREE_ROOM, ALLOW_WRITING, OTHER };
SaveRemedy RemedyFor(int error);
// Why the profile's last save failed and what to do, in the box of a failed
// save (or, under another title, in the question before quitting).
ProgressMessage SaveFailureMessage(const SaveFailure& failure);
// Why choosing another player was refused, as the profile's last failed
// save tells it.
ProgressMessage SwitchRefusedMessage(const CProfile& profile);
// A player whose file cannot be reached now.
ProgressMessage UnreachableMessage(const DamageNotice& unreachable);
// A file that cannot be reached now as a message shows it: where it is, and
// why it cannot be reached.
std::string AwayFileText(const std::string& file, const std::string& why);
