// Writes the hostile part of the show-script fuzz target's seed corpus (the
// demo show's own script is copied beside them by the build): actors at the
// limits of an int, moves that run past them, scales past the stage and
// absurd ones, every table filled to its end.
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    const std::filesystem::path dir = argv[1];
    std::filesystem::create_directories(dir);
    std::vector<std::string> seeds = {
        // An actor at the most negative int: its box starts below INT_MIN.
        "<BMP1:a;RGB:255,0,255>(MV1:-2147483648,-2147483648,1;)",
        "<BMP1:a>(MV1:2147483647,2147483647,1;MV2:-2147483648,10,1;)",
        // Moves that run from the edge of an int past it.
        "<BMP1:a;BMP2:b>[NUM:5;(MV1:-2147483640,5,-100000000,0,1,0;MV2:2147483000,-2147483000,1000,-1000,1,0)]",
        // Scales past the stage, huge, negative, growing without end.
        "<BMP1:a>(MV1:20,15,2.0;)(MV1:-5,-5,1e30;)(MV1:1,1,-3;)[NUM:50;(MV1:0,0,0,0,1,1e37)]",
        // A giant actor centred far off whose box still reaches the stage.
        "<BMP1:a>(MV1:-536870900,15,1e38;)",
    };
    // Every step, key row and position the tables hold.
    std::string full = "<BMP1:a;BMP2:b;BMP3:c;BMP4:d;BMP5:e;BMP6:f;BMP7:g;BMP8:h;BMP9:i;BMPA:j>";
    for (int s = 0; s < 70; ++s) {
        full += "[NUM:1;";
        for (int k = 0; k < 3; ++k) full += "(MV1:1,2,3,4,1,0;MVA:-2147483648,2147483647,1,1,0.5,0.1)";
        full += "]";
    }
    seeds.push_back(full);
    int n = 0;
    for (const std::string& s : seeds) {
        std::ofstream out(dir / ("hostile" + std::to_string(n++) + ".txt"), std::ios::binary);
        out << s;
    }
    return 0;
}
