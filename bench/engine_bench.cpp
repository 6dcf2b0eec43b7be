// What a save costs: reading and writing a movie, and each conversion it may run.
#include <benchmark/benchmark.h>
#include <libdeflate.h>
#include <png.h>
#include <zlib.h>

#include "BenchInputs.h"
#include "common/Log.h"
#include "font/DefineFont2.h"
#include "picture/JpegCheck.h"
#include "picture/JpegEncoder.h"
#include "picture/PngImage.h"
#include "sound/Mp3Sound.h"
#include "support/MovieBuilder.h"
#include "support/Mp3Builder.h"
#include "support/PictureFiles.h"
#include "swf/Deflate.h"
#include "swf/SWFLosslessImage.h"
#include "swf/SWFReader.h"
#include "swf/SWFWriter.h"

namespace tarvenox {
namespace {

// A movie of a hundred tags with 1 MB of bodies, read and written back.
void BM_ReadAndWriteMovie(benchmark::State& state) {
    test::MovieBuilder builder;
    for (int i = 0; i < 100; ++i) builder.tag(i % 2 ? 2 : 20, Bytes(10000, static_cast<std::uint8_t>(i)));
    const Bytes movie = builder.build();
    for (auto _ : state) {
        auto file = readSWF(movie, "bench.swf");
        benchmark::DoNotOptimize(serializeSWF(*file));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * movie.size()));
}
BENCHMARK(BM_ReadAndWriteMovie);

// A photo-sized RGBA picture decoded and compressed into a DefineBitsLossless2 body.
void BM_PngToLosslessBitmap(benchmark::State& state) {
    const auto side = static_cast<std::uint32_t>(state.range(0));
    test::PngPicture picture{.width = side, .height = side, .colorType = PNG_COLOR_TYPE_RGBA};
    for (std::uint32_t y = 0; y < side; ++y) {
        Bytes row(side * 4);
        for (std::uint32_t x = 0; x < side * 4; ++x) row[x] = static_cast<std::uint8_t>(x * 7 + y * 3);
        picture.rows.push_back(std::move(row));
    }
    const Bytes png = test::encodePng(picture);
    for (auto _ : state) {
        auto image = PngImageImpl::decode(png, "bench.png");
        benchmark::DoNotOptimize(losslessImageFromPng(1, *image));
    }
}
BENCHMARK(BM_PngToLosslessBitmap)->Arg(256)->Arg(1024)->Unit(benchmark::kMillisecond);

// The check of a chosen JPEG, which decodes every scan (at 1/8 scale) with libjpeg-turbo.
void BM_JpegCheck(benchmark::State& state) {
    const int side = static_cast<int>(state.range(0));
    const Bytes jpeg = test::encodeJpeg(side, side * 3 / 4, false);
    for (auto _ : state) benchmark::DoNotOptimize(jpegVerdict(jpeg, "bench.jpg"));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * jpeg.size()));
}
BENCHMARK(BM_JpegCheck)->Arg(640)->Arg(4096)->Unit(benchmark::kMillisecond);

// The same check of a 4000 x 4000 photograph, alone (0) and making the preview's smaller
// copy in the same pass, encoded anew (1).
void BM_JpegCheckWithPreviewCopy(benchmark::State& state) {
    const Bytes jpeg = test::encodeJpegRgb(4000, 4000, bench::photoPixels(4000, 4000, 25, 3), 90);
    for (auto _ : state) {
        SmallerPicture smaller;
        benchmark::DoNotOptimize(jpegVerdict(jpeg, "photo.jpg", state.range(0) ? &smaller : nullptr));
        if (state.range(0)) benchmark::DoNotOptimize(encodeJpeg(smaller, 90));
    }
}
BENCHMARK(BM_JpegCheckWithPreviewCopy)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The 224 glyphs of an installed face turned into a DefineFont2 body.
void BM_DefineFont2FromInstalledFace(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(buildDefineFont2Body(1, "Title", "DejaVu Sans"));
}
BENCHMARK(BM_DefineFont2FromInstalledFace)->Unit(benchmark::kMillisecond);

// Three minutes of 128 kbit/s MP3 frames: the frame walk that finds the sample count.
void BM_Mp3ToDefineSound(benchmark::State& state) {
    const Bytes mp3 = test::mp3Frames(test::kMpeg1Layer3_128k_44100_Joint, 7000);
    for (auto _ : state) benchmark::DoNotOptimize(soundFromMp3(1, mp3, "bench.mp3"));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * mp3.size()));
}
BENCHMARK(BM_Mp3ToDefineSound)->Unit(benchmark::kMillisecond);

// The pixels the compression levels are chosen on: W1's photograph (1024 x 1024) and a
// drawn picture of the same size.
const Bytes& benchPixels(std::int64_t kind) {
    static const Bytes photo = bench::w1BitmapPixels();
    static const Bytes drawn = bench::drawnArgb(1024, 1024);
    return kind == 0 ? photo : drawn;
}

std::size_t zlibLevel9Size(ByteSpan data) {
    uLongf size = compressBound(data.size());
    Bytes out(size);
    compress2(out.data(), &size, data.data(), data.size(), 9);
    return size;
}

// One compressor on one kind of pixels (0 photograph, 1 drawn): zlib at level 9 (level
// 0 here) or libdeflate at levels 1 to 12. size_vs_zlib9 is the size against zlib's
// level 9 in per cent: what the level of zlibCompress is chosen on.
void BM_DeflateLevels(benchmark::State& state) {
    const Bytes& pixels = benchPixels(state.range(0));
    const int level = static_cast<int>(state.range(1));
    Bytes out(compressBound(pixels.size()) + 1024);
    std::size_t size = 0;
    libdeflate_compressor* compressor = level > 0 ? libdeflate_alloc_compressor(level) : nullptr;
    for (auto _ : state) {
        if (compressor != nullptr) {
            size = libdeflate_zlib_compress(compressor, pixels.data(), pixels.size(), out.data(), out.size());
        } else {
            uLongf n = out.size();
            compress2(out.data(), &n, pixels.data(), pixels.size(), 9);
            size = n;
        }
    }
    libdeflate_free_compressor(compressor);
    state.counters["size_vs_zlib9"] =
        100.0 * static_cast<double>(size) / static_cast<double>(zlibLevel9Size(pixels)) - 100.0;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * pixels.size()));
}
BENCHMARK(BM_DeflateLevels)
    ->ArgsProduct({{0, 1}, {0, 1, 2, 4, 5, 6, 8, 9, 10, 12}})
    ->ArgNames({"drawn", "level"})
    ->Unit(benchmark::kMillisecond);

// zlibCompress on one thread and on every core, for each kind of pixels.
void BM_ZlibCompress(benchmark::State& state) {
    const Bytes& pixels = benchPixels(state.range(0));
    const auto threads = static_cast<unsigned>(state.range(1) == 0 ? availableThreads() : state.range(1));
    std::size_t size = 0;
    for (auto _ : state) size = zlibCompress(pixels, threads).size();
    state.counters["size_vs_zlib9"] =
        100.0 * static_cast<double>(size) / static_cast<double>(zlibLevel9Size(pixels)) - 100.0;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * pixels.size()));
}
BENCHMARK(BM_ZlibCompress)
    ->ArgsProduct({{0, 1}, {1, 0}})
    ->ArgNames({"drawn", "threads"})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarvenox

int main(int argc, char** argv) {
    tarvenox::setLogStream(nullptr);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
