// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the melodies and sound clips under a resources directory. The output depends on
// nothing but this program, so the committed copies can be checked against a fresh run.
#include "Media.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

namespace {

struct Output {
    const char* path;
    std::function<std::string()> make;
};

bool writeFile(const std::filesystem::path& path, const std::string& bytes) {
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return file.good();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: velmar_gen_media <resources-dir>\n", stderr);
        return 2;
    }
    using namespace velmar::media;
    const Output outputs[] = {
        {"music/Music.mid", waltzMidi},      {"music/Music2.mid", marchMidi},
        {"music/Music3.mid", popMidi},       {"sounds/CLICK.wav", clickWave},
        {"sounds/FINALLY.wav", finallyWave}, {"sounds/GAMEOVER.wav", gameOverWave},
        {"sounds/KEY.wav", keyWave},         {"sounds/MOVE.wav", moveWave},
    };
    int status = 0;
    for (const Output& output : outputs) {
        const std::filesystem::path path = std::filesystem::path(argv[1]) / output.path;
        try {
            if (!writeFile(path, output.make())) {
                std::fprintf(stderr, "velmar_gen_media: cannot write %s\n", path.c_str());
                status = 1;
            }
        } catch (const std::exception& error) {
            std::fprintf(stderr, "velmar_gen_media: %s: %s\n", output.path, error.what());
            status = 1;
        }
    }
    return status;
}
