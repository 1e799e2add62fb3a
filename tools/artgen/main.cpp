// artgen: writes the program's generated artwork (icon, later the bitmaps) into the folder
// given on the command line. Output depends on nothing but this code.
#include <cstdio>
#include <string>
#include <vector>

#include "Icon.h"
#include "ImageFiles.h"

namespace {

struct Artwork {
    const char* fileName;
    std::vector<uint8_t> (*make)();
};

// Every file the resource script includes from the art folder.
const Artwork kArtwork[] = {
    {"tandrix.ico", &artgen::MakeIcon},
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: artgen <output folder>\n");
        return 2;
    }
    const std::string folder = argv[1];
    for (const Artwork& art : kArtwork) {
        const std::string path = folder + "/" + art.fileName;
        if (!artgen::WriteFile(path, art.make())) {
            std::fprintf(stderr, "artgen: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
