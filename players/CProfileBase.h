// The installation's side of the player profile: the list of profiles with
// their numbers, names and score-board names, the options password, the
// options block at the head of every profile file, and the INFO file that
// holds the list. CProfile adds the player's progress behind the options.
//
// Every write goes to a temporary file beside the real one and is renamed
// over it only when every field was written, so a failed save leaves the
// earlier file whole; the failure is logged and returned. Every read is
// bounded by the size of the file; a copy of a damaged file is kept beside
// it as "<name>.damaged" before anything could overwrite it, and the player
// is told of it once (TakeDamageNotice). A damaged file whose copy cannot be
// made (a full disk) is never written over: every save of it tries the copy
// first and fails while the copy cannot be made.
//
// No list loses a player whose profile file is on disk: the entries still
// whole keep their names and numbers, and every other profile file (one
// whose entry a damaged or missing list lost, or one written while the
// list could not be) comes back as a player of its own number, named
// "PLAYER n" after its file (or the next free such name). An entry with
// nothing at its file's place counts as damage and goes. A deleted player's
// file goes with him, so that no rebuild brings him back.
//
// A player whose file is there but cannot be reached now (a link to a drive
// not mounted yet, a link that goes round, a file the game may not read) is
// neither damaged nor missing: his entry stays, he is not loaded and nothing
// is saved over his file, and he is back as soon as his file can be read. A
// start whose current player is such a one goes on with another player (a
// new one when there is none), and says so. Once her file was read or
// written, a link to it that leads nowhere later on (her drive unmounted
// while the game runs) means the same: no save creates a new file where the
// link leads, where it would hide under the drive once the drive is back;
// the save fails, the progress stays in memory, and the next save after the
// file is back writes it.
//
// A list that cannot be reached now is neither damaged nor missing either:
// it is not kept aside nor written over. The game runs with the list
// rebuilt from the players' files, and says so; a change to the list (a
// player added, renamed or deleted, a score-board name, the password) fails
// to save as long as the list cannot be reached, each time with the reason
// of now. Once it is back, the next save reads it again and adds what
// changed meanwhile before it writes it; a player deleted meanwhile stays
// deleted, and one made meanwhile whose number the list gave to another
// player (a game on another data folder that shares the list) moves to a
// free number, her file with her, and is told. A list whose link leads
// nowhere later on waits the same way, until it is back.
//
// A data folder that could not be reached at start (the whole folder a
// link to a drive not mounted) is away for the session: nothing of it was
// read, so the session plays with a new player of its own, says so, and
// writes nothing there, not even once the drive is back.
//
// Numbers run from 0 to kMaxProfileNumber; a new player gets the number
// after the last one handed out, and past the highest the lowest free one.
#pragma once

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "players/DamageNotice.h"

class CAtomicFile;
class CByteReader;

// Why a save of a player's file or of the list failed.
enum class SaveProblem {
    NONE,
    WRITE_FAILED,     // the folder refused the file (full, read-only, ...)
    NO_COPY,          // a damaged file waits for its copy, which could not be written
    NO_COPY_NAME,     // a damaged file waits for its copy, and every name for one is taken
    FOLDER_NOT_OURS,  // the data folder is no longer the one this game locked
    FOLDER_AWAY,      // the data folder could not be reached at start: nothing is written there this session
    NO_PLAYER,        // there is no current player
    UNREACHABLE,      // the file is where a link leads and cannot be reached now (a drive not mounted)
};

struct SaveFailure {
    SaveProblem problem = SaveProblem::NONE;
    // The file not written (where its link leads), or the damaged one that
    // waits for its copy.
    std::string file;
    // The folder that refused (the link's target's), with a slash at its end;
    // for a data folder away since the start, where its link leads.
    std::string folder;
    int error = 0;       // the errno it refused with
    // What failed was the list of players (a change to it: a player added,
    // renamed or deleted), not a player's progress.
    bool list = false;
};

// Why LoadProfile changed nothing.
enum class LoadRefusal {
    NONE,
    NOT_LISTED,   // no player of that name
    NOT_SAVED,    // the outgoing player could not be saved first
    UNREACHABLE,  // the player's file cannot be reached now
};

class CProfileBase {
public:
    static constexpr int kVersion = 3;
    static constexpr uint32_t kFreshHeaderWord = 3600;
    static constexpr int kNameMax = 15;        // name fields are 16 bytes with a terminator
    static constexpr int kPasswordMax = 10;
    static constexpr int kOptionTextSize = 256;
    static constexpr int kOptionsBlockSize = 276;
    static constexpr int kInfoHeaderSize = 34;
    static constexpr int kInfoEntrySize = 36;
    // The highest number a profile file can have: its player's name, "PLAYER
    // n", must fit a name field.
    static constexpr int32_t kMaxProfileNumber = 99999998;
    static constexpr int kDefaultLevel = 6;    // volumes and game speed
    static constexpr int kMaxLevel = 11;
    static constexpr uint32_t kCheaterMismatch = 0x4;
    static constexpr const char* kFirstProfileName = "PLAYER 1";
    // A damaged file's copy is "<file>.damaged", then ".damaged2" and on to
    // this many copies.
    static constexpr const char* kDamagedSuffix = ".damaged";
    static constexpr int kMaxDamagedCopies = 99;

    CProfileBase();
    CProfileBase(const CProfileBase&) = delete;
    CProfileBase& operator=(const CProfileBase&) = delete;

    // The player's part (CProfile): fresh progress, the body of the profile
    // file behind the options block, and the three option flags.
    virtual void Reset() = 0;
    virtual bool Read(CByteReader& in) = 0;
    virtual bool Write(FILE* f) = 0;
    virtual void ResetOptionFlags() = 0;
    virtual ~CProfileBase();

    // Options.
    uint8_t IsFullscreen() const { return fullscreen_; }
    void SetFullscreen(uint8_t on);
    void ToggleFullscreen();
    float GetMouseSpeed() const { return mouseSpeed_; }
    void SetMouseSpeed(float speed);
    uint8_t GetSystemPointer() const { return systemPointer_; }
    void SetSystemPointer(uint8_t on);
    void ApplyInputSettings();
    int GetSoundVolume() const { return soundVolume_; }
    void SetSoundVolume(int v);
    int GetMusicVolume() const { return musicVolume_; }
    void SetMusicVolume(int v);
    int GetGameSpeed() const { return gameSpeed_; }
    void SetGameSpeed(int v);
    uint8_t GetSpareFlag() const { return spareFlag_; }
    void SetSpareFlag(uint8_t v) { spareFlag_ = v; }
    const char* GetOptionText() const { return optionText_; }
    // Defaults of the options block without applying them; ResetOptionsBlock
    // also refills the text from the MOREGAMES_URL parameter and, while the
    // display is open, keeps the mode it shows.
    void SetOptionDefaults();
    void ResetOptionsBlock();
    // The options screen's "defaults": option defaults and flags, applied.
    void ResetOptions();

    // The master volumes a volume index stands for.
    static float EffectsVolumeFor(int v);
    static float MusicVolumeFor(int v);

    // Options password (at most 10 characters).
    bool HasPassword() const { return password_[0] != 0; }
    const char* GetPassword() const { return password_; }
    bool SetPassword(const char* text);

    // The program-wide cheater word stored in the INFO file.
    static void AddCheaterFlags(uint32_t mask);
    static uint32_t GetCheaterStatus();
    static void ClearCheaterFlags(uint32_t mask);

    // Profile list.
    int GetProfileCount() const { return static_cast<int>(profileNumbers_.size()); }
    const char* GetProfileNameAt(int i) const;           // ascending number; null past the end
    const char* GetProfileName(int number = -1) const;  // -1: current; "" (logged) when unknown
    int GetProfileNumber(const char* name) const;       // -1 (logged) when unknown
    int GetCurrentProfile() const { return currentProfile_; }
    void SetCurrentProfile(int n) { currentProfile_ = n; }
    int GetLastProfileNumber() const { return lastProfileNumber_; }
    uint32_t GetHeaderWord() const { return headerWord_; }
    // A name already in use, empty-pointer or longer than 15 bytes is refused
    // (false). CreateProfile makes the new profile current and writes it;
    // DeleteProfile removes the player's file once the list without him is
    // written.
    // Switching players (CreateProfile, LoadProfile of another name) first
    // saves the outgoing player and is refused, changing nothing, when that
    // save fails.
    bool CreateProfile(const char* name);
    bool RenameProfile(const char* oldName, const char* newName);
    bool DeleteProfile(const char* name);
    // Makes the named profile current (null: the current number) and loads
    // its file; a missing or damaged file gives defaults. False when the name
    // is not listed, the outgoing player cannot be saved or the player's
    // file cannot be reached now (nothing changes: GetLoadRefusal says which),
    // or when the file was damaged.
    bool LoadProfile(const char* name);
    LoadRefusal GetLoadRefusal() const { return loadRefusal_; }
    // After a refusal for UNREACHABLE: whose file, which one, and why.
    const DamageNotice& GetUnreachable() const { return unreachable_; }
    bool ResetProfiles();
    bool HasScoreboardName(int number = -1);
    const char* GetScoreboardName(int number = -1) const;  // null when the number has no entry
    bool SetScoreboardName(const char* name);

    // Files. Each returns false (with a log line) when it failed; what was
    // not saved stays in memory and the next save writes it.
    bool Save();
    // A failed save is told to the player once: true for the first failure
    // after the last successful save (asking again gives false), then false
    // until a save has succeeded and a later one fails.
    bool TakeSaveFailureNotice();
    bool IsSaveFailing() const { return saveNotice_ != kNoticeNone; }
    // Why the last save (Save, WriteInfo and all that call them) failed;
    // problem NONE after one that succeeded.
    const SaveFailure& GetSaveFailure() const { return saveFailure_; }
    // A damaged profile file or list of players is told to the player once:
    // each load that met one leaves a notice, and the notices are handed
    // out oldest first, each a single time (false when none is left).
    bool TakeDamageNotice(DamageNotice* notice);
    bool WriteOptions(FILE* f);
    bool ReadOptions(CByteReader& in);
    bool WriteInfo();
    bool ReadInfo();

    std::string ProfileFileName(int number) const;
    std::string InfoFileName() const;

protected:
    // What a whole-file read found: the bytes; nothing at the path at all;
    // something that is no file of ours (a pipe, a device or a folder in its
    // place, or far too large); or a file that cannot be reached or read now
    // (error: the errno).
    enum class FileState { WHOLE, MISSING, NOT_A_FILE, UNREACHABLE };
    static FileState ReadWholeFile(const std::string& path, std::string* out, int* error = nullptr);
    // Keeps a copy of a damaged file (its bytes; null when it could not be
    // read, then the file itself is moved) so no later save can destroy it.
    // The copy's path; empty when none could be kept, and then why says why.
    static std::string KeepAside(const std::string& path, const std::string* bytes, SaveFailure* why);

private:
    // The list as the INFO file holds it; false when it is damaged (what is
    // whole of it is kept).
    bool ParseInfo(const std::string& bytes);
    // An empty list with a fresh header.
    void StartFreshList();
    // After a damaged or missing list: every profile file on disk that no
    // entry names comes back.
    void RebuildList();
    // The numbers of the profile files on disk, ascending.
    std::vector<int32_t> ProfileNumbersOnDisk() const;
    std::string FreeRecoveredName(int32_t number) const;
    int FirstFreeProfileNumber() const;
    static bool ValidName(const char* name);
    void ApplyVolumes();
    void SwitchDisplayIfOpen();
    // Saves the current player before another one takes its place; true
    // when there is none to save.
    bool SaveOutgoing();
    // Loads the byte-wise first player whose file can be reached, without
    // saving the current one (deleted, or one whose file cannot be reached);
    // a new player when there is none.
    bool LoadFirstReachable();
    // Notes why a save failed (the first reason of a save that meets several).
    void NoteSaveFailure(SaveProblem problem, const std::string& file, const std::string& folder, int error);
    // Logs and notes a file the folder refused.
    void NoteWriteFailure(const CAtomicFile& file, const char* what);
    // Refuses to load the player of number, whose file at path cannot be
    // reached now (error: the errno).
    void NoteUnreachable(int32_t number, const std::string& path, int error);
    // Logs and notes a file not written because it cannot be reached now
    // (error: the errno).
    void NoteAway(const CAtomicFile& file, int error, const char* what);
    // Notes a change to the list of players, which is to be written.
    void EditList() { listEdited_ = true; }
    // Whether the data folder may take the file at path now; false with the
    // save failure noted.
    bool FolderTakes(const std::string& path, const char* what);
    // Reads the list away since the start again: still away, listAway_ says
    // why now; back, it is read and what changed meanwhile (the players
    // added, renamed and deleted, score-board names, the password) goes into
    // it, ready to be written. False, with nothing changed and the save
    // failure noted, when a player made meanwhile had to move to a free
    // number and her file could not be moved.
    bool TakeListBack();
    // Save and WriteInfo without noting their outcome.
    bool WriteProfileFile();
    bool WriteInfoFiles();
    // Removes the files of the players deleted since the last list written.
    void RemoveDeletedFiles();
    // Follows the outcome of every save for TakeSaveFailureNotice.
    void NoteSave(bool ok);
    // Keeps the damaged file aside and leaves the notice for the player:
    // of the list of players, or of the current player's progress.
    void NoteDamaged(DamageKind kind, const std::string& path, const std::string* bytes);
    // True when nothing at path waits to be kept aside, or its copy could be
    // made now; false (the save failure noted) while a damaged file there
    // still has none.
    bool KeptAsideBeforeSave(const std::string& path);

    // A damaged file that could not be kept aside yet: its bytes, or none
    // when it could not even be read (then it is to be moved aside).
    struct CopyToKeep {
        bool read = false;
        std::string bytes;
    };
    std::map<std::string, CopyToKeep> notKeptAside_;  // by path

    std::vector<DamageNotice> damageNotices_;
    // Deleted players whose files go once a list without them is on disk.
    std::vector<int32_t> filesToRemove_;

    enum SaveNotice : uint8_t { kNoticeNone, kNoticePending, kNoticeTold };
    SaveNotice saveNotice_ = kNoticeNone;
    SaveFailure saveFailure_;
    LoadRefusal loadRefusal_ = LoadRefusal::NONE;
    DamageNotice unreachable_;
    // The current player's file was read or written: a link to it that
    // leads nowhere now means the file is away, not that there is none yet.
    bool fileSeen_ = false;
    // Why the list could not be reached at start (an errno; 0 when it
    // could): the one in memory is rebuilt from the players' files and is
    // never written over it.
    int listAway_ = 0;
    // The list in memory holds changes that are not written yet.
    bool listEdited_ = false;
    // The players as the list rebuilt at start while it was away had them:
    // what differs from it once the list is back changed meanwhile.
    std::map<int32_t, std::string> awayNames_;

    int32_t lastProfileNumber_ = -1;
    int32_t version_ = kVersion;
    uint32_t headerWord_ = kFreshHeaderWord;
    int32_t currentProfile_ = -1;
    char password_[kPasswordMax + 1] = {};
    std::map<std::string, int32_t> profileNumbers_;
    std::map<int32_t, std::string> profileNames_;
    std::map<int32_t, std::string> scoreboardNames_;
    char optionText_[kOptionTextSize + 1] = {};
    uint8_t fullscreen_ = 1;
    uint8_t systemPointer_ = 1;
    float mouseSpeed_ = 1.0f;
    uint8_t spareFlag_ = 1;
    int32_t soundVolume_ = kDefaultLevel;
    int32_t musicVolume_ = kDefaultLevel;
    int32_t gameSpeed_ = kDefaultLevel;

    static uint32_t cheaterStatus_;
};
