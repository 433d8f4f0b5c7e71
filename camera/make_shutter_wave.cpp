// Build tool: writes the shutter sound to the path given.
#include <cstdio>
#include <string>

#include "camera/shutter_wave.h"
#include "platform/files.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_shutter_wave <out.wav>\n");
        return 2;
    }
    const auto bytes = camera::ShutterWaveBytes();
    std::string error;
    if (!platform::SaveFileAtomic(argv[1], bytes, &error)) {
        std::fprintf(stderr, "make_shutter_wave: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
