// The player keeps one SDL_mixer "music" stream, which decodes every format
// the suite plays (WAV, MP3, OGG, FLAC, MIDI) and plays one sound at a time.
// The audio device is opened on the first Play and kept until exit. When the
// machine's device cannot be opened, SDL's dummy driver takes its place: the
// sound then runs in real time without output, and IsPlaying behaves the same.
#include "platform/sound/sound.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cerrno>
#include <mutex>
#include <system_error>

#include "platform/error_text.h"

namespace platform::sound {
namespace {

constexpr const char* kNoDeviceText = "没有可用的声音设备";

struct Player {
    std::mutex lock;
    bool opened = false;
    bool failed = false;
    Mix_Music* music = nullptr;

    // The device stays open: a module that links its own player (the camera
    // dialog) is released while the host may still be playing.
    ~Player() { Release(); }

    bool TryOpen() {
        // The programs end on SIGTERM and SIGINT through their own close:
        // SDL must not take those signals for an event queue nobody reads.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
        if (Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 2048) == 0) return true;
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }

    // Opens the device once; the second attempt uses the silent driver.
    bool Open(std::string* error) {
        if (opened) return true;
        if (failed) {
            if (error) *error = kNoDeviceText;
            return false;
        }
        Mix_Init(MIX_INIT_FLAC | MIX_INIT_MP3 | MIX_INIT_OGG | MIX_INIT_MID);
        if (!TryOpen()) {
            SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
            if (!TryOpen()) {
                failed = true;
                if (error) *error = kNoDeviceText;
                return false;
            }
        }
        opened = true;
        return true;
    }

    // Freeing the stream halts it when it is the one playing, and leaves a
    // sound another player in the process started alone.
    void Release() {
        if (!music) return;
        Mix_FreeMusic(music);
        music = nullptr;
    }
};

Player& ThePlayer() {
    static Player player;
    return player;
}

}  // namespace

PlayOutcome Play(const std::filesystem::path& file, bool loop, std::string* error) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
        if (error) *error = UserPath(file) + ": " + ErrorReason(ENOENT, FileAccess::Read);
        return PlayOutcome::MissingFile;
    }
    Player& p = ThePlayer();
    std::lock_guard<std::mutex> guard(p.lock);
    if (!p.Open(error)) return PlayOutcome::CannotPlay;
    p.Release();
    p.music = Mix_LoadMUS(file.c_str());
    if (!p.music) {
        if (error) *error = UserPath(file) + ": 声音文件的格式无法识别或文件已损坏";
        return PlayOutcome::CannotPlay;
    }
    if (Mix_PlayMusic(p.music, loop ? -1 : 1) != 0) {
        if (error) *error = UserPath(file) + ": 声音无法播放";
        p.Release();
        return PlayOutcome::CannotPlay;
    }
    return PlayOutcome::Playing;
}

void Stop() {
    Player& p = ThePlayer();
    std::lock_guard<std::mutex> guard(p.lock);
    p.Release();
}

bool IsPlaying() {
    Player& p = ThePlayer();
    std::lock_guard<std::mutex> guard(p.lock);
    return p.music != nullptr && Mix_PlayingMusic() != 0;
}

}  // namespace platform::sound
