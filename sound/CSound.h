// The sound manager: named sound effects and music over our audio layer, with
// fades and delayed starts counted in frames (one step per Update from the
// frame loop). Static members only. Until Init succeeds every operation is a
// silent no-op, so the game runs without sound when there is no device or
// sound is turned off on the command line.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

class CAudioSound;
class CAudioSystem;
class CSoundObject;

class CSound {
public:
    // --- Start-up and output settings ---
    // Creates the audio system, takes the output and driver from SOUNDv3.DAT
    // (fromFile) or from the console dialogue, and opens the device.
    static void Init(bool fromFile);
    static void LoadSettings();
    // The console dialogue. An answer is the first character that names a
    // choice; the dialogue gives up, keeping the default output and storing
    // nothing, at the end of input, on a terminate signal (see
    // CInput::CatchTerminateSignals), or once kMaxSkippedCharacters others
    // have come before one that does (input that never answers, /dev/zero).
    static void SelectOutputInteractive();
    static constexpr int kMaxSkippedCharacters = 1000;
    // Once per frame: one fade step and the delayed starts of every object.
    static void Update();
    // Frees every sound and closes the audio system; nothing in the game
    // calls it. Afterwards the system is silent again until the next Init,
    // with the master volumes and the music choice as at program start.
    static void Shutdown();
    static bool IsReady() { return ready; }

    // --- Sound pack and sound objects ---
    static void SetLoadFromDirectory(bool fromFolder);
    // Decodes every sound of kSoundPackFile (or of resource/sound/ in folder
    // mode); a missing or damaged pack ends the program.
    static void loadSound();
    // The pack part of loadSound for one path: false, with the reason in the
    // log, when the pack is missing or damaged.
    static bool LoadSoundPack(const std::string& path);
    // data and length are a whole file in memory, or a file name under
    // resource/sound/ with length -1. The sound index, -1 when not ready.
    static int32_t CreateSound(const void* nameOrData, int32_t length);
    static int32_t StoreSound(CAudioSound* sound);
    // The index of a preloaded sound; a name that is not there is fatal.
    static int32_t FindSound(const char* name);

    static void Play(CSoundObject* object, bool loop = false, int32_t delayFrames = 0, float freqFactor = 0.0f);
    static void StopChannel(CSoundObject* object);
    static bool IsPlaying(CSoundObject* object);
    static void FadeIn(CSoundObject* object, int32_t frames);
    static void FadeOut(CSoundObject* object, int32_t frames);
    static bool IsFadingOut(CSoundObject* object);
    static bool IsFadingIn(CSoundObject* object);
    static bool IsDelayed(CSoundObject* object);
    static float GetVolume(CSoundObject* object);
    static void SetVolume(CSoundObject* object, float volume);
    static void SetMusicVolume(float volume);
    static void SetEffectsVolume(float volume);
    static float GetEffectsVolume();
    static void UpdateFade(CSoundObject* object);
    static void FadeOutEffects();
    static void FadeInLoopingEffects();
    static void StopAllEffects();
    // Stops the object and takes it off the list; its destructor then has
    // nothing left to do.
    static void RemoveSound(CSoundObject* object);

    // --- Music ---
    static void CreateMusic();
    static void PlayMusic(CSoundObject* track, bool loop, bool longFadeIn);
    static void PlayMainMusic();
    static void PlayMapMusic();
    static void PlayStoryMusic();
    static void PlayStageMusic(bool same);
    static void FadeOutMusic();
    static void DeleteMusic();

    enum MusicSlot { MUSIC_MAIN, MUSIC_MAP, MUSIC_STORY, MUSIC_STAGE1, MUSIC_STAGE2, MUSIC_STAGE3, MUSIC_COUNT };
    static CSoundObject* GetMusic(int slot);
    static CSoundObject* GetCurrentMusic() { return currentMusic; }

    // The streams of the console dialogue; null gives stdin and stdout back.
    static void SetConsole(FILE* in, FILE* out);
    // The audio system (null before Init).
    static CAudioSystem* System() { return audio; }
    static std::string SettingsPath();

private:
    friend class CSoundObject;
    static void Register(CSoundObject* object);
    static void Unregister(CSoundObject* object);
    static void Report(int result);
    static float MasterOf(const CSoundObject* object);
    static CAudioSound* SoundOf(const CSoundObject* object);
    static void LoadSoundFolder();

    static CAudioSystem* audio;
    static bool ready;
    static CSoundObject* currentMusic;
};
