// Writes the inputs of the save benchmarks into a folder: W1's template, picture, photo
// and music, 12 MP photographs (landscape, and portrait by Exif) for the greeting card, and a 200 MB movie for the
// pass-through. Every byte comes from fixed seeds.
//   make_bench_inputs FOLDER
#include <cstdio>
#include <exception>
#include <filesystem>

#include "BenchInputs.h"
#include "common/Log.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_bench_inputs FOLDER\n");
        return 2;
    }
    tarvenox::setLogStream(nullptr);
    try {
        std::filesystem::create_directories(argv[1]);
        tarvenox::bench::writeW1Inputs(argv[1]);
        tarvenox::bench::writePhotoJpeg(argv[1]);
        tarvenox::bench::writePortraitPhotoJpeg(argv[1]);
        tarvenox::bench::writeLargeMovie(std::string(argv[1]) + "/large.swf", 200'000'000);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_bench_inputs: %s\n", e.what());
        return 1;
    }
    return 0;
}
