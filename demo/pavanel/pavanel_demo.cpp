// Build-time tool of the demo base directory for Pavanel: writes the builder
// settings record with its defaults (no path of this machine), and gives the series project two voices
// (a short tune as WAV, which plays, and a WMA name, which cannot play here
// and shows the message for it). It also writes the sound files of
// "KZVSYSPIC" that every new project copies: two short MIDI tunes and the
// help voice.
//
//   pavanel_demo BASE
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include "platform/files.h"
#include "project_editor/project_file.h"
#include "project_editor/sys_set_info.h"

namespace fs = std::filesystem;
namespace pe = project_editor;

namespace {

[[noreturn]] void Fail(const std::string& why) {
    std::fprintf(stderr, "pavanel_demo: %s\n", why.c_str());
    std::exit(1);
}

void Put16(std::vector<std::uint8_t>& b, unsigned v) {
    b.push_back(v & 0xFF);
    b.push_back((v >> 8) & 0xFF);
}
void Put32(std::vector<std::uint8_t>& b, std::uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

// Three rising notes, 16-bit mono at 22,050 Hz, softened at both ends.
std::vector<std::uint8_t> Tune() {
    const int rate = 22050;
    const double notes[] = {523.25, 659.25, 783.99};
    std::vector<std::int16_t> samples;
    for (double f : notes) {
        const int n = rate / 4;
        for (int i = 0; i < n; ++i) {
            const double envelope = std::min(1.0, std::min(i, n - i) / 600.0);
            samples.push_back(static_cast<std::int16_t>(9000 * envelope * std::sin(2 * std::numbers::pi * f * i / rate)));
        }
    }
    std::vector<std::uint8_t> b;
    const std::uint32_t data = static_cast<std::uint32_t>(samples.size() * 2);
    for (char c : std::string("RIFF")) b.push_back(static_cast<std::uint8_t>(c));
    Put32(b, 36 + data);
    for (char c : std::string("WAVEfmt ")) b.push_back(static_cast<std::uint8_t>(c));
    Put32(b, 16);
    Put16(b, 1);
    Put16(b, 1);
    Put32(b, rate);
    Put32(b, rate * 2);
    Put16(b, 2);
    Put16(b, 16);
    for (char c : std::string("data")) b.push_back(static_cast<std::uint8_t>(c));
    Put32(b, data);
    for (std::int16_t s : samples) Put16(b, static_cast<std::uint16_t>(s));
    return b;
}

// A format-0 MIDI file of one track playing `notes` (quarter notes, piano).
std::vector<std::uint8_t> Midi(const std::vector<int>& notes) {
    std::vector<std::uint8_t> track = {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,  // 120 beats a minute
                                       0x00, 0xC0, 0x00};                         // piano
    for (int n : notes) {
        const auto key = static_cast<std::uint8_t>(n);
        track.insert(track.end(), {0x00, 0x90, key, 0x50, 0x60, 0x80, key, 0x00});
    }
    track.insert(track.end(), {0x00, 0xFF, 0x2F, 0x00});
    std::vector<std::uint8_t> b = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 0x60, 'M', 'T', 'r', 'k'};
    const auto len = static_cast<std::uint32_t>(track.size());
    b.insert(b.end(), {static_cast<std::uint8_t>(len >> 24), static_cast<std::uint8_t>(len >> 16),
                       static_cast<std::uint8_t>(len >> 8), static_cast<std::uint8_t>(len)});
    b.insert(b.end(), track.begin(), track.end());
    return b;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: pavanel_demo BASE\n");
        return 2;
    }
    const fs::path base = fs::path(argv[1]);

    // The settings with their defaults, the output folder as the relative
    // "KZV输出的网页": the builder takes it under the base directory it runs
    // in, so a copied or moved demo base publishes into itself.
    const pe::CSysSetInfo settings;
    std::string why;
    if (!platform::SaveFileAtomic(base / std::string(pe::kSysSetInfoFileName), settings.Bytes(), &why))
        Fail("cannot write the settings: " + why);

    const std::string series = settings.GetSeriesName();
    const fs::path dm3 = pe::ProjectFilePath(base, series);
    auto project = std::make_unique<pe::ProjectFile>();
    if (pe::LoadProjectFile(dm3, *project) != pe::ProjectFileError::None) Fail("cannot read " + dm3.string());
    const fs::path voices = base / fs::path(series) / "音乐及语音";
    fs::create_directories(voices);
    if (!platform::SaveFileAtomic(voices / "开衫介绍.wav", Tune(), &why)) Fail("cannot write the tune: " + why);
    // A voice in a format this machine cannot play: the program says so.
    const std::vector<std::uint8_t> wma = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                           0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
    if (!platform::SaveFileAtomic(voices / "风衣介绍.wma", wma, &why)) Fail("cannot write the WMA voice: " + why);
    const fs::path sys = base / "KZVSYSPIC";
    fs::create_directories(sys);
    if (!platform::SaveFileAtomic(sys / "background_music.mid", Midi({60, 64, 67, 72, 67, 64, 60}), &why) ||
        !platform::SaveFileAtomic(sys / "Gif_InitSound.MID", Midi({72, 79, 84}), &why) ||
        !platform::SaveFileAtomic(sys / "onLineHelp_dress.wma", wma, &why))
        Fail("cannot write the system sounds: " + why);
    int given = 0;
    for (int i = 0; i < project->PartCount(); ++i) {
        pe::PartRecord& part = project->parts.at(static_cast<std::size_t>(i));
        if (part.PictureName() == "燕麦色开衫") part.SetVoiceText("开衫介绍.wav"), ++given;
        if (part.PictureName() == "驼色风衣") part.SetVoiceText("风衣介绍.wma"), ++given;
    }
    if (given != 2) Fail("the series project lacks the parts that get voices");
    if (!platform::SaveFileAtomic(dm3, pe::WriteProjectBytes(*project), &why)) Fail("cannot write " + dm3.string());
    return 0;
}
