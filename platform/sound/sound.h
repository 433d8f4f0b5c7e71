#pragma once
// Playing sound files: part voices, show-stage beats, the camera's shutter.
// One player for the whole process; a new Play replaces what plays. Called
// from the window thread. With no sound device the player falls back to a
// silent device, so a program never fails because a machine has no speakers.
#include <filesystem>
#include <string>

namespace platform::sound {

enum class PlayOutcome {
    Playing,      // started; plays on in the background
    MissingFile,  // the file is not there
    CannotPlay,   // the file is there but its format cannot be played here
};

// Plays `file` (WAV, MP3, OGG, FLAC; MIDI only where a soundfont is installed)
// asynchronously, replacing whatever plays. `loop` repeats it until Stop().
// `error` receives a short reason when the outcome is not Playing.
PlayOutcome Play(const std::filesystem::path& file, bool loop = false,
                 std::string* error = nullptr);

// Stops what plays (nothing when nothing plays).
void Stop();

// True while a started sound has not finished or been stopped.
bool IsPlaying();

}  // namespace platform::sound
