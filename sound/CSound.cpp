#include "sound/CSound.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <map>
#include <vector>

#include "engine/CAtomicFile.h"
#include "engine/CDraw.h"
#include "engine/CInput.h"
#include "engine/CPackFile.h"
#include "engine/DataFolder.h"
#include "engine/FileFields.h"
#include "engine/Log.h"
#include "engine/ResourceFiles.h"
#include "engine/Utilities.h"
#include "platform/AudioResult.h"
#include "platform/CAudioSound.h"
#include "platform/CAudioSystem.h"
#include "platform/Platform.h"
#include "sound/CSoundObject.h"

CAudioSystem* CSound::audio = nullptr;
bool CSound::ready = false;
CSoundObject* CSound::currentMusic = nullptr;

namespace {

constexpr int kChannels = 128;
constexpr int kSettingsVersion = 3;
const char* const kSoundFolder = "resource/sound/";
constexpr int kEffectsFadeFrames = 10;
constexpr int kMusicFadeOutFrames = 15;
constexpr int kMusicLongFadeIn = 30;
constexpr int kMusicShortFadeIn = 5;
// Output types the dialogue offers, in menu order.
constexpr int kMenuOutputs[3] = {6, 7, 8};

std::vector<CAudioSound*> g_sounds;           // the sound table; null where creation failed
std::map<std::string, int32_t> g_names;       // name -> sound index
std::vector<CSoundObject*> g_live;            // every registered object, in construction order
float g_musicMaster = 0.05f;
float g_effectsMaster = 0.6f;
bool g_fromFolder = true;
CSoundObject* g_music[CSound::MUSIC_COUNT] = {};
int32_t g_stageIndex = 0;
FILE* g_consoleIn = nullptr;
FILE* g_consoleOut = nullptr;

FILE* ConsoleIn() { return g_consoleIn ? g_consoleIn : stdin; }
FILE* ConsoleOut() { return g_consoleOut ? g_consoleOut : stdout; }

const char* const kMusicNames[CSound::MUSIC_COUNT] = {"main.oxm",   "map.oxm",    "story.oxm",
                                                       "stage1.oxm", "stage2.oxm", "stage3.oxm"};

// The decoded sound keeps the name it was loaded under, for the audio layer's
// record of what played.
void NameSound(int32_t index, const std::string& name) {
    if (index >= 0 && static_cast<size_t>(index) < g_sounds.size() && g_sounds[static_cast<size_t>(index)])
        g_sounds[static_cast<size_t>(index)]->SetName(name);
}

// The next character of the console that accept takes; EOF (with the reason
// for the log) at the end of input, once a terminate signal has come, or
// after kMaxSkippedCharacters others.
template <typename Accept>
int ReadChoice(FILE* in, Accept accept, const char** why) {
    for (int skipped = 0;; ++skipped) {
        if (CInput::IsTerminating()) {
            *why = "Ended by a signal";
            return EOF;
        }
        if (skipped > CSound::kMaxSkippedCharacters) {
            *why = "No answer among the characters typed";
            return EOF;
        }
        errno = 0;
        const int c = fgetc(in);
        if (c == EOF && ferror(in) && errno == EINTR) {
            // A signal broke the wait: a terminate signal ends the dialogue
            // above, any other one lets it wait on.
            clearerr(in);
            --skipped;
            continue;
        }
        if (c == EOF) {
            *why = "End of input";
            return EOF;
        }
        if (accept(c)) return c;
    }
}

float ClampMaster(float v) {
    if (std::isnan(v)) return 0.0f;
    return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
}

}  // namespace

// ---------------------------------------------------------------- start-up

void CSound::Report(int result) { ErrorLog(false, "Sound library error: %s\n", AudioErrorString(result)); }

std::string CSound::SettingsPath() {
    char tail[32];
    snprintf(tail, sizeof tail, "%sv%i.DAT", "SOUND", kSettingsVersion);
    return std::string(GetProfileDir()) + tail;
}

void CSound::SetConsole(FILE* in, FILE* out) {
    g_consoleIn = in;
    g_consoleOut = out;
}

void CSound::Init(bool fromFile) {
    if (ready) return;
    // A system left from a failed start is replaced by a fresh one.
    delete audio;
    audio = new CAudioSystem();
    if (fromFile) LoadSettings();
    else SelectOutputInteractive();
    const int r = audio->Init(kChannels);
    if (r != AUDIO_OK) {
        Report(r);
        ready = false;
        return;
    }
    ready = true;
}

void CSound::LoadSettings() {
    if (!audio) return;
    const std::string path = SettingsPath();
    // Read as every file is: a pipe standing there must not stop the start.
    FILE* f = PlatformOpenForReading(path);
    if (!f) {
        // No settings yet: the audio system's defaults, without a word.
        if (errno != ENOENT)
            DebugLog(DBG_WARNING, "CSound::LoadSettings()   %s is no file that can be read: using the default output\n",
                     path.c_str());
        return;
    }
    uint8_t bytes[8];
    const size_t got = fread(bytes, 1, sizeof bytes, f);
    fclose(f);
    if (got < sizeof bytes) {
        // A short file holds no usable pair: keep the defaults.
        DebugLog(DBG_WARNING, "CSound::LoadSettings()   %s is %u bytes, not 8: using the default output\n",
                 path.c_str(), static_cast<unsigned>(got));
        return;
    }
    int32_t output = 0, driver = 0;
    memcpy(&output, bytes, 4);
    memcpy(&driver, bytes + 4, 4);
    output = static_cast<int32_t>(SwapInt32(static_cast<uint32_t>(output)));
    driver = static_cast<int32_t>(SwapInt32(static_cast<uint32_t>(driver)));
    fprintf(ConsoleOut(),
            "\nSound settings loaded from file.  To alter settings in the future, run the game with a command line "
            "parameter of 4\n");
    fflush(ConsoleOut());
    int r = audio->SetOutput(output);
    if (r != AUDIO_OK) Report(r);
    r = audio->SetDriver(driver);
    if (r != AUDIO_OK) Report(r);
}

void CSound::SelectOutputInteractive() {
    if (!audio) return;
    FILE* in = ConsoleIn();
    FILE* out = ConsoleOut();
    fprintf(out, "\nPROFESSOR TUMBLEWICK - SOUND INITIALIZATION\n\n");
    fprintf(out, "****** PLEASE SELECT DESIRED SOUND SYSTEM ****** \n");
    fprintf(out, "1 - DirectSound\n");
    fprintf(out, "2 - Windows Multimedia\n");
    fprintf(out, "3 - ASIO\n");
    fprintf(out, "\nInput the number corresponding to the desired sound system and press ENTER: ");
    fflush(out);
    const char* why = "";
    int c = ReadChoice(in, [](int k) { return k >= '1' && k <= '3'; }, &why);
    if (c == EOF) {
        // Nobody answered: keep the defaults and store nothing.
        DebugLog(DBG_WARNING, "CSound::SelectOutputInteractive()   %s: default sound output kept\n", why);
        return;
    }
    const int output = kMenuOutputs[c - '1'];
    int r = audio->SetOutput(output);
    if (r != AUDIO_OK) Report(r);
    int drivers = 0;
    r = audio->GetNumDrivers(&drivers);
    if (r != AUDIO_OK) Report(r);
    fprintf(out, "\n\n****** PLEASE SELECT DESIRED SOUND DRIVER ****** \n");
    for (int i = 0; i < drivers; ++i) {
        char name[256];
        r = audio->GetDriverName(i, name, sizeof name);
        if (r != AUDIO_OK) Report(r);
        fprintf(out, "%d : %s\n", i + 1, name);
    }
    fprintf(out, "\nInput the number corresponding to the desired sound driver and press ENTER: ");
    fflush(out);
    if (drivers <= 0) {
        DebugLog(DBG_WARNING, "CSound::SelectOutputInteractive()   No sound driver to choose\n");
        audio->SetOutput(CAudioSystem::kOutputAuto);
        return;
    }
    c = ReadChoice(in, [drivers](int k) { return k - '1' >= 0 && k - '1' < drivers; }, &why);
    if (c == EOF) {
        DebugLog(DBG_WARNING, "CSound::SelectOutputInteractive()   %s: default sound output kept\n", why);
        audio->SetOutput(CAudioSystem::kOutputAuto);
        return;
    }
    const int driver = c - '1';
    r = audio->SetDriver(driver);
    if (r != AUDIO_OK) Report(r);

    const std::string path = SettingsPath();
    CAtomicFile file(path);
    // Never into a data folder put in place of the one this copy locked.
    FILE* f = IsProfileDirClaimed() ? file.Open() : nullptr;
    bool ok = f != nullptr;
    ok = ok && WriteInt32(output, f);
    ok = ok && WriteInt32(driver, f);
    if (!ok) file.MarkFailed();
    if (ok && file.Commit()) return;
    // The choice is already in effect: the game goes on with it, and the
    // player learns that the next start will ask again.
    ErrorLog(false, "Cannot save sound data: %s\n", path.c_str());
    fprintf(out, "\n\nThe sound settings cannot be saved to %s, so this choice is used for this run only and will not "
                 "be remembered.\n", path.c_str());
    fflush(out);
}

void CSound::Update() {
    if (!ready) return;
    for (size_t i = 0; i < g_live.size(); ++i) {
        CSoundObject* o = g_live[i];
        UpdateFade(o);
        if (o->delay > 0) {
            --o->delay;
            if (o->delay == 0) Play(o, false, 0, 0.0f);
        }
    }
    audio->Update();
}

void CSound::Shutdown() {
    if (!ready) return;
    for (CAudioSound* s : g_sounds) {
        if (!s) continue;
        const int r = audio->ReleaseSound(s);
        if (r != AUDIO_OK) Report(r);
    }
    g_sounds.clear();
    g_names.clear();
    const int r = audio->Close();
    if (r != AUDIO_OK) Report(r);
    delete audio;
    audio = nullptr;
    // Objects still alive keep their records but no longer reach a channel.
    for (CSoundObject* o : g_live) o->channel = 0;
    // Back to the state before the first Init.
    currentMusic = nullptr;
    g_stageIndex = 0;
    g_musicMaster = 0.05f;
    g_effectsMaster = 0.6f;
    ready = false;
}

// ---------------------------------------------------------------- sound pack

void CSound::SetLoadFromDirectory(bool fromFolder) { g_fromFolder = fromFolder; }

void CSound::loadSound() {
    if (!ready) return;
    g_names.clear();
    if (g_fromFolder) {
        LoadSoundFolder();
        return;
    }
    DebugLog(DBG_DEBUG, "Loading SOUND_URL_DAT:  %s\n", kSoundPackFile);
    if (LoadSoundPack(kSoundPackFile)) return;
    TellResourceFileFailed(kSoundPackFile);
    ErrorLog(true, "Cannot load sound resource file!\n");
}

bool CSound::LoadSoundPack(const std::string& path) {
    if (!ready) return false;
    CPackFile pack;
    if (!pack.Load(path)) {
        DebugLog(DBG_ERROR, "CSound::loadSound()   %s: %s\n", path.c_str(), pack.Error().c_str());
        return false;
    }
    for (const CPackFile::Entry& e : pack.Entries()) {
        const int32_t index = CreateSound(e.data, static_cast<int32_t>(e.size));
        DebugLog(DBG_PRELOAD, "CSound::loadSound   #%-6i:   %s  (DAT)\n", index, e.name.c_str());
        NameSound(index, e.name);
        g_names.emplace(e.name, index);  // a name already present keeps its first sound
        CDraw::StepProgress(100);
    }
    return true;
}

void CSound::LoadSoundFolder() {
    DebugLog(DBG_DEBUG, "Loading SOUND_URL_DIR:  %s\n", kSoundFolder);
    std::vector<PlatformDirEntry> entries;
    if (!PlatformListDir(kSoundFolder, &entries)) {
        ErrorLog(true, "Unable to preload sounds: Directory stream pointer was not opened.\n");
        return;
    }
    DebugLog(DBG_PRELOAD, "Scanning SOUND_URL_DIR for preloading...\n");
    std::vector<std::string> names;
    for (const PlatformDirEntry& e : entries)
        if (e.isRegularFile) names.push_back(e.name);
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        const int32_t index = CreateSound(name.c_str(), -1);
        DebugLog(DBG_PRELOAD, "CSound::loadSound   #%-6i:   %s  (DIR)\n", index, name.c_str());
        NameSound(index, name);
        g_names.emplace(name, index);
        CDraw::StepProgress(100);
    }
}

int32_t CSound::CreateSound(const void* nameOrData, int32_t length) {
    if (!ready) return -1;
    CAudioSound* sound = nullptr;
    int r;
    if (length == -1) {
        const std::string path = std::string(kSoundFolder) + (nameOrData ? static_cast<const char*>(nameOrData) : "");
        r = audio->CreateSoundFromFile(path.c_str(), &sound);
    } else if (length < 0) {
        r = AUDIO_ERR_INVALID_PARAM;
    } else {
        r = audio->CreateSoundFromMemory(nameOrData, static_cast<size_t>(length), &sound);
    }
    if (r != AUDIO_OK) Report(r);
    return StoreSound(sound);
}

int32_t CSound::StoreSound(CAudioSound* sound) {
    // Always a new slot: a sound that failed keeps its own empty slot, so its
    // name can never answer with the next sound's data.
    g_sounds.push_back(sound);
    return static_cast<int32_t>(g_sounds.size() - 1);
}

int32_t CSound::FindSound(const char* name) {
    if (!ready) return -1;
    const auto it = g_names.find(name ? name : "");
    if (it == g_names.end()) {
        ErrorLog(true, "Unable to find preloaded sound: %s\n", name ? name : "");
        return -1;
    }
    return it->second;
}

// ---------------------------------------------------------------- sound objects

void CSound::Register(CSoundObject* object) {
    g_live.push_back(object);
    object->registered = true;
}

void CSound::Unregister(CSoundObject* object) {
    const auto it = std::find(g_live.begin(), g_live.end(), object);
    if (it != g_live.end()) g_live.erase(it);
    object->registered = false;
}

void CSound::RemoveSound(CSoundObject* object) {
    if (!object || !object->registered) return;
    if (ready && IsPlaying(object)) audio->Stop(object->channel);  // result not needed
    Unregister(object);
    for (CSoundObject*& slot : g_music)
        if (slot == object) slot = nullptr;
    if (currentMusic == object) currentMusic = nullptr;
}

float CSound::MasterOf(const CSoundObject* object) { return object->isMusic ? g_musicMaster : g_effectsMaster; }

CAudioSound* CSound::SoundOf(const CSoundObject* object) {
    if (object->soundIndex < 0 || static_cast<size_t>(object->soundIndex) >= g_sounds.size()) return nullptr;
    return g_sounds[static_cast<size_t>(object->soundIndex)];
}

void CSound::Play(CSoundObject* object, bool loop, int32_t delayFrames, float freqFactor) {
    if (!ready || !object) return;
    DebugLog(DBG_SOUND, "Attempting to play sound '%s'\n", object->name.c_str());
    if (MasterOf(object) == 0.0f && !loop) return;
    if (delayFrames > 0) {
        object->delay = delayFrames;
        return;
    }
    // A looping start left running would sound on forever out of reach.
    if (object->looping && IsPlaying(object)) audio->Stop(object->channel);
    AudioChannelId channel = 0;
    int r = audio->PlaySound(SoundOf(object), true, loop, &channel);
    object->channel = channel;
    object->looping = loop;
    if (r != AUDIO_OK) {
        Report(r);
        return;  // nothing to start
    }
    SetVolume(object, object->volume);
    if (freqFactor != 0.0f) {
        float frequency = 1.0f;
        r = audio->GetFrequency(channel, &frequency);
        if (r != AUDIO_OK) Report(r);
        r = audio->SetFrequency(channel, freqFactor * frequency);
        if (r != AUDIO_OK) Report(r);
    }
    audio->SetPaused(channel, false);
}

bool CSound::IsPlaying(CSoundObject* object) {
    if (!ready || !object || object->channel == 0) return false;
    CAudioSound* current = nullptr;
    if (audio->GetCurrentSound(object->channel, &current) != AUDIO_OK) return false;
    if (!current || current != SoundOf(object)) return false;
    bool playing = false;
    if (audio->IsPlaying(object->channel, &playing) != AUDIO_OK) return false;
    return playing;
}

void CSound::SetVolume(CSoundObject* object, float volume) {
    if (!ready || !object) return;
    // Kept even before the first start, so that the start applies it.
    object->volume = volume;
    if (!IsPlaying(object)) return;
    const int r = audio->SetVolume(object->channel, volume);
    if (r != AUDIO_OK) Report(r);
}

void CSound::StopChannel(CSoundObject* object) {
    if (!ready || !object || object->channel == 0) return;
    if (!IsPlaying(object)) return;
    const int r = audio->Stop(object->channel);
    if (r != AUDIO_OK) Report(r);
}

void CSound::FadeIn(CSoundObject* object, int32_t frames) {
    if (!ready || !object) return;
    if (object->fadeOut < 0) object->volume = 0.0f;
    object->fadeOut = -1;
    object->fadeIn = frames;
}

void CSound::FadeOut(CSoundObject* object, int32_t frames) {
    if (!ready || !object) return;
    if (object->fadeIn < 0) object->volume = MasterOf(object);
    object->fadeIn = -1;
    object->fadeOut = frames;
}

bool CSound::IsFadingOut(CSoundObject* object) { return ready && object && object->fadeOut >= 0; }
bool CSound::IsFadingIn(CSoundObject* object) { return ready && object && object->fadeIn >= 0; }
bool CSound::IsDelayed(CSoundObject* object) { return ready && object && object->delay > 0; }
float CSound::GetVolume(CSoundObject* object) { return ready && object ? object->volume : 0.0f; }

void CSound::UpdateFade(CSoundObject* object) {
    if (!ready || !object) return;
    if (object->fadeOut >= 0) {
        const float v = object->fadeOut == 0 ? 0.0f : object->volume - object->volume / static_cast<float>(object->fadeOut);
        SetVolume(object, v);
        if (object->volume == 0.0f && !(object->looping && !object->isMusic)) {
            StopChannel(object);
            SetVolume(object, MasterOf(object));
        }
        --object->fadeOut;
    } else if (object->fadeIn >= 0) {
        const float master = MasterOf(object);
        const float v = object->fadeIn == 0 ? master : object->volume + (master - object->volume) / static_cast<float>(object->fadeIn);
        SetVolume(object, v);
        --object->fadeIn;
    }
}

void CSound::SetMusicVolume(float volume) {
    if (!ready) return;
    g_musicMaster = ClampMaster(volume);
    for (CSoundObject* o : g_live)
        if (o->isMusic && o->fadeIn < 0 && o->fadeOut < 0) SetVolume(o, g_musicMaster);
}

void CSound::SetEffectsVolume(float volume) {
    if (!ready) return;
    g_effectsMaster = ClampMaster(volume);
    for (CSoundObject* o : g_live)
        if (!o->isMusic && o->fadeIn < 0 && o->fadeOut < 0) SetVolume(o, g_effectsMaster);
}

float CSound::GetEffectsVolume() { return g_effectsMaster; }

void CSound::FadeOutEffects() {
    if (!ready) return;
    for (CSoundObject* o : g_live) {
        if (o->isMusic) continue;
        if (o->volume != 0.0f && o->fadeOut < 0) {
            if (IsPlaying(o) && o->looping && o->volume > 0.0f) FadeOut(o, kEffectsFadeFrames);
        } else {
            StopChannel(o);
            SetVolume(o, g_effectsMaster);
        }
    }
}

void CSound::FadeInLoopingEffects() {
    if (!ready) return;
    for (CSoundObject* o : g_live)
        if (!o->isMusic && o->looping && IsPlaying(o)) FadeIn(o, kEffectsFadeFrames);
}

void CSound::StopAllEffects() {
    if (!ready) return;
    for (CSoundObject* o : g_live)
        if (!o->isMusic && IsPlaying(o)) StopChannel(o);
}

// ---------------------------------------------------------------- music

CSoundObject* CSound::GetMusic(int slot) { return slot >= 0 && slot < MUSIC_COUNT ? g_music[slot] : nullptr; }

void CSound::CreateMusic() {
    if (!ready) return;
    for (int i = 0; i < MUSIC_COUNT; ++i)
        if (!g_music[i]) g_music[i] = new CSoundObject(kMusicNames[i], true);
}

void CSound::PlayMusic(CSoundObject* track, bool loop, bool longFadeIn) {
    if (!ready || !track) return;
    if (track == currentMusic) return;
    if (currentMusic) FadeOut(currentMusic, kMusicFadeOutFrames);
    currentMusic = track;
    FadeIn(track, longFadeIn ? kMusicLongFadeIn : kMusicShortFadeIn);
    Play(track, loop, 0, 0.0f);
}

void CSound::PlayMainMusic() {
    if (ready) PlayMusic(g_music[MUSIC_MAIN], true, true);
}

void CSound::PlayMapMusic() {
    if (ready) PlayMusic(g_music[MUSIC_MAP], true, false);
}

void CSound::PlayStoryMusic() {
    if (ready) PlayMusic(g_music[MUSIC_STORY], true, true);
}

void CSound::PlayStageMusic(bool same) {
    if (!ready) return;
    if (!same) g_stageIndex = (g_stageIndex + 1) % 3;
    PlayMusic(g_music[MUSIC_STAGE1 + g_stageIndex], true, true);
}

void CSound::FadeOutMusic() {
    if (!ready) return;
    if (currentMusic) FadeOut(currentMusic, kMusicFadeOutFrames);
    currentMusic = nullptr;
}

void CSound::DeleteMusic() {
    for (CSoundObject*& slot : g_music) {
        CSoundObject* o = slot;
        slot = nullptr;
        delete o;
    }
    currentMusic = nullptr;
}
