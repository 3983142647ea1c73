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
// Why the progress was not saved, each body with what helps after it: the
// folder that refused the file (and the system's words); every name for a
// damaged file's copy taken (which names); the file away (where, and why),
// told as the list's when it is the list of players that is away; the data
// folder replaced, or away since the start. With no reason known, the plain
// body.
constexpr int kSaveFailureBody = 2329;
constexpr int kNotSavedBody = 2365;
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
// reached now (which file, and why). Each with what helps.
constexpr int kSwitchRefusedBody = 2335;
constexpr int kSwitchRefusedNoCopyBody = 2342;
constexpr int kSwitchRefusedNoNameBody = 2343;
constexpr int kSwitchRefusedAwayBody = 2354;
// A player whose file is there but cannot be reached now: whom, and which
// file and why, and what helps.
constexpr int kUnreachableTitle = 2227;
constexpr int kUnreachableBody = 2353;

// What helps, one sentence each, told after the reason (the body's "%3"):
// room on the disk, or on the player's share of it; leave to write there; a
// disk made writable again; a game started without a limit on the size of
// its files, or on how many it opens; the disk looked at; a link that leads
// round in a circle, a path too long, a file where a folder should be, or a
// folder where a file should be, each mended; the drive or the file brought
// back; other programs closed; a moment's wait; old copies moved away; the
// old data folder put back; else a look at the disk and the folder.
constexpr int kAdviceFreeRoom = 2600;
constexpr int kAdviceFreeShare = 2601;
constexpr int kAdviceAllowWriting = 2602;
constexpr int kAdviceMakeWritable = 2603;
constexpr int kAdviceLiftSizeLimit = 2604;
constexpr int kAdviceCheckDisk = 2605;
constexpr int kAdviceMendLink = 2606;
constexpr int kAdviceShortenPath = 2607;
constexpr int kAdviceMoveFile = 2608;
constexpr int kAdviceMoveFolder = 2609;
constexpr int kAdviceBringBack = 2610;
constexpr int kAdviceCloseOthers = 2611;
constexpr int kAdviceLiftOpenLimit = 2612;
constexpr int kAdviceWait = 2613;
constexpr int kAdviceMoveCopies = 2614;
constexpr int kAdvicePutFolderBack = 2615;
constexpr int kAdviceCheckFolder = 2616;
// The game's own reasons, beside the system's error numbers: every name for
// a damaged file's copy is taken; the data folder was deleted or replaced
// while the game ran.
constexpr int kReasonCopyNamesTaken = -1;
constexpr int kReasonFolderReplaced = -2;

// The one rule from a reason (an errno a write, a removal or a look at a
// file gave, or one of the game's own reasons above) to what helps: the id
// of its advice text, for every message that gives one.
int AdviceFor(int reason);

// True once per spell of failed saves of the current profile; false without
// a profile.
bool TakeSaveFailureNotice();

// A message box's texts: its title and body ids, the values of the body's
// two placeholders and the advice for its third.
struct ProgressMessage {
    int title = -1;
    int body = -1;
    std::string text;
    std::string text2;
    int advice = -1;
};
// Why the profile's last save failed and what to do, in the box of a failed
// save (or, under another title, in the question before quitting).
ProgressMessage SaveFailureMessage(const SaveFailure& failure);
// Why choosing another player than player was refused, as the profile's
// last failed save tells it.
ProgressMessage SwitchRefusedMessage(const SaveFailure& failure, const std::string& player);
// A player whose file cannot be reached now.
ProgressMessage UnreachableMessage(const DamageNotice& unreachable);
// A file that cannot be reached now as a message shows it: where it is, and
// why it cannot be reached.
std::string AwayFileText(const std::string& file, const std::string& why);
