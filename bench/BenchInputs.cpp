// The inputs of the save benchmarks, made from fixed seeds.
#include "BenchInputs.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <stdexcept>

#include "TemplateBuilder.h"
#include "common/ByteWriter.h"
#include "support/MovieBuilder.h"
#include "support/Mp3Builder.h"
#include "support/PictureFiles.h"
#include "swf/Deflate.h"
#include "swf/SWFBitWriter.h"
#include "swf/SWFMatrix.h"

namespace tarvenox::bench {

namespace {

// splitmix64: the same numbers from the same seed with every compiler and library
// (the standard distributions differ between libraries).
struct Random {
    std::uint64_t state;
    std::uint64_t next() {
        std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, 1).
    float unit() { return static_cast<float>(next() >> 40) / static_cast<float>(1 << 24); }
    // Roughly normal with the given spread: the sum of four uniforms.
    float noise(float spread) { return (unit() + unit() + unit() + unit() - 2.0f) * spread * 1.7f; }
};

void save(const std::string& path, ByteSpan data) {
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    if (!file) throw std::runtime_error("cannot write " + path);
}

tools::Pixels opaquePixels(int width, int height, std::uint64_t seed) {
    const Bytes rgb = photoPixels(width, height, seed, 3);
    tools::Pixels pixels{width, height, std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height)};
    for (std::size_t i = 0; i < pixels.argb.size(); ++i) {
        pixels.argb[i] =
            0xFF000000u | std::uint32_t(rgb[i * 3]) << 16 | std::uint32_t(rgb[i * 3 + 1]) << 8 | rgb[i * 3 + 2];
    }
    return pixels;
}

constexpr int kW1PngSide = 1024;
constexpr std::uint64_t kW1PngSeed = 16001;

}  // namespace

Bytes photoPixels(int width, int height, std::uint64_t seed, int channels) {
    Random random{seed};
    // Value noise: a lattice of random colours per scale, bilinearly interpolated, each
    // finer scale half as strong as the one before.
    struct Scale {
        int cells;
        float strength;
        std::vector<float> lattice;
    };
    std::vector<Scale> scales;
    float strength = 170.0f;
    for (int cells = 3; cells <= 192; cells *= 2, strength *= 0.5f) {
        Scale scale{cells, strength, std::vector<float>(static_cast<std::size_t>(cells + 1) * (cells + 1) * 3)};
        for (float& v : scale.lattice) v = random.unit() - 0.5f;
        scales.push_back(std::move(scale));
    }
    Bytes out(static_cast<std::size_t>(width) * height * channels);
    std::uint8_t* p = out.data();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x, p += channels) {
            float colour[3] = {118.0f, 112.0f, 104.0f};
            for (const Scale& s : scales) {
                const float fx = static_cast<float>(x) * s.cells / width;
                const float fy = static_cast<float>(y) * s.cells / height;
                const int ix = static_cast<int>(fx);
                const int iy = static_cast<int>(fy);
                const float tx = fx - ix;
                const float ty = fy - iy;
                const std::size_t row = static_cast<std::size_t>(s.cells + 1) * 3;
                const float* a = &s.lattice[iy * row + ix * 3];
                const float* b = a + row;
                for (int k = 0; k < 3; ++k) {
                    const float top = a[k] + (a[k + 3] - a[k]) * tx;
                    const float bottom = b[k] + (b[k + 3] - b[k]) * tx;
                    colour[k] += (top + (bottom - top) * ty) * s.strength;
                }
            }
            // Light noise shared by the channels, and a little of each channel's own.
            const float grain = random.noise(2.0f);
            for (int k = 0; k < 3; ++k) {
                const float v = colour[k] + grain + random.noise(0.7f);
                p[k] = static_cast<std::uint8_t>(std::clamp(std::lround(v), 0l, 255l));
            }
            if (channels == 4) p[3] = 255;
        }
    }
    return out;
}

W1Files w1Files(const std::string& folder) {
    return {folder + "/w1-template.swf", folder + "/w1-photo.png", folder + "/w1-banner.jpg", folder + "/w1-music.mp3"};
}

void writeW1Inputs(const std::string& folder) {
    const W1Files files = w1Files(folder);
    const Bytes rgba = photoPixels(kW1PngSide, kW1PngSide, kW1PngSeed, 4);
    test::PngPicture picture{.width = kW1PngSide, .height = kW1PngSide, .colorType = PNG_COLOR_TYPE_RGBA};
    for (int y = 0; y < kW1PngSide; ++y) {
        const auto row = rgba.begin() + static_cast<std::ptrdiff_t>(y) * kW1PngSide * 4;
        picture.rows.emplace_back(row, row + kW1PngSide * 4);
    }
    save(files.png, test::encodePng(picture));
    save(files.jpeg, test::encodeJpegRgb(1920, 1080, photoPixels(1920, 1080, 16002, 3)));
    // 4 MB of 128 kbit/s frames: four minutes of music.
    save(files.mp3, test::mp3Frames(test::kMpeg1Layer3_128k_44100_Joint, 4'000'000 / 418));

    // The template: two pictures of 640 x 480 (0.9 MB each), a short tune, a font and
    // ten texts bound to variables.
    tools::TemplateBuilder builder(800, 600, 24, 8);
    builder.setBackground(0x203040);
    const std::uint16_t font = builder.addFont("Title", "DejaVu Sans");
    builder.addPicture("photo", opaquePixels(640, 480, 16003), {20, 20, 400, 300});
    builder.addPicture("banner", opaquePixels(640, 480, 16004), {440, 20, 340, 255});
    const std::string tune = folder + "/w1-template-tune.mp3";
    save(tune, test::mp3Frames(test::kMpeg1Layer3_128k_44100_Joint, 600));
    if (const Report added = builder.addSound("music", tune); added.failed()) throw std::runtime_error(added.text());
    ActionVariables variables;
    for (int i = 0; i < 10; ++i) {
        const std::string name = "text" + std::to_string(i);
        tools::TextField field;
        field.variable = name;
        field.fontId = font;
        field.place = {20, 340 + 25 * i, 760, 24};
        builder.addTextField(field);
        variables.push_back(std::make_unique<SWFStringType>(name, "Default text " + std::to_string(i)));
    }
    builder.setVariables(variables);
    if (const Report written = builder.write(files.movie); written.failed()) throw std::runtime_error(written.reason());
}

std::string photoJpeg(const std::string& folder) { return folder + "/photo-12mp.jpg"; }

void writePhotoJpeg(const std::string& folder) {
    save(photoJpeg(folder), test::encodeJpegRgb(4000, 3000, photoPixels(4000, 3000, 16021, 3), 92));
}

std::string portraitPhotoJpeg(const std::string& folder) { return folder + "/photo-portrait-exif6.jpg"; }

namespace {
constexpr int kPortraitWidth = 3000;
constexpr int kPortraitHeight = 4000;
}  // namespace

Bytes portraitPhotoPixels() { return photoPixels(kPortraitWidth, kPortraitHeight, 16022, 3); }

void writePortraitPhotoJpeg(const std::string& folder) {
    // The stored rows are the upright picture turned a quarter anticlockwise: stored
    // (x, y) holds upright (width - 1 - y, x) of the picture as seen.
    const Bytes upright = portraitPhotoPixels();
    const int storedWidth = kPortraitHeight;
    const int storedHeight = kPortraitWidth;
    Bytes stored(upright.size());
    for (int y = 0; y < storedHeight; ++y) {
        for (int x = 0; x < storedWidth; ++x) {
            const std::size_t from = (static_cast<std::size_t>(x) * kPortraitWidth + (kPortraitWidth - 1 - y)) * 3;
            const std::size_t to = (static_cast<std::size_t>(y) * storedWidth + x) * 3;
            std::copy_n(&upright[from], 3, &stored[to]);
        }
    }
    Bytes jpeg = test::encodeJpegRgb(storedWidth, storedHeight, stored, 92);
    // APP1 "Exif": a big-endian TIFF header and one directory holding Orientation
    // (tag 274, SHORT) = 6, placed right after the start of image.
    const Bytes app1 = {0xFF, 0xE1, 0x00, 0x22, 'E', 'x', 'i', 'f', 0, 0, 'M', 'M', 0, 0x2A, 0, 0, 0, 8,
                        0,    1,    0x01, 0x12, 0,   3,   0,   0,   0, 1, 0,   6,   0, 0,    0, 0, 0, 0};
    jpeg.insert(jpeg.begin() + 2, app1.begin(), app1.end());
    save(portraitPhotoJpeg(folder), jpeg);
}

Bytes argbOf(Bytes rgba) {
    for (std::size_t i = 0; i + 3 < rgba.size(); i += 4) std::rotate(&rgba[i], &rgba[i + 3], &rgba[i + 4]);
    return rgba;
}

Bytes w1BitmapPixels() { return argbOf(photoPixels(kW1PngSide, kW1PngSide, kW1PngSeed, 4)); }

Bytes drawnArgb(int width, int height) {
    Bytes argb(static_cast<std::size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            // A sky in bands, a sun, two hills: flat colours with hard edges.
            const double t = static_cast<double>(y) / height;
            std::uint8_t r = static_cast<std::uint8_t>(70 + 180 * t), g = static_cast<std::uint8_t>(110 + 60 * t),
                         b = static_cast<std::uint8_t>(200 - 120 * t);
            const double sunX = x - width * 0.68, sunY = y - height * 0.42;
            if (sunX * sunX + sunY * sunY < height * height * 0.02) r = 255, g = 214, b = 90;
            if (y > height * (0.62 + 0.08 * std::sin(x * 6.0 / width))) r = 60, g = 120, b = 70;
            if (y > height * (0.78 + 0.06 * std::sin(x * 9.0 / width + 1.5))) r = 35, g = 85, b = 45;
            std::uint8_t* p = &argb[(static_cast<std::size_t>(y) * width + x) * 4];
            p[0] = 255, p[1] = r, p[2] = g, p[3] = b;
        }
    }
    return argb;
}

void writeLargeMovie(const std::string& path, std::uint64_t bytes) {
    using test::le16;
    using test::operator+;
    // The scene's media, made once and stored under a new id in every scene.
    const Bytes bitmapPixels = photoPixels(200, 150, 16010, 4);
    Bytes lossless = {5};  // BitmapFormat 5, then width and height
    writeUI16(lossless, 200);
    writeUI16(lossless, 150);
    {
        const Bytes packed = zlibCompress(argbOf(bitmapPixels));
        lossless.insert(lossless.end(), packed.begin(), packed.end());
    }
    const Bytes jpeg = test::encodeJpegRgb(320, 240, photoPixels(320, 240, 16011, 3));
    const Bytes sound =
        Bytes{0x2F} + test::le32(1152 * 96) + test::le16(0) + test::mp3Frames(test::kMpeg1Layer3_128k_44100_Joint, 96);

    test::MovieBuilder movie(10, SWFRect{0, 16000, 0, 12000, 0});
    std::uint64_t written = 0;
    std::uint16_t id = 1;
    int frames = 0;
    while (written < bytes && id < 0xFFF0) {
        const std::uint16_t bitmap = id++;
        const std::uint16_t picture = id++;
        const std::uint16_t music = id++;
        const std::uint16_t shape = id++;
        const Bytes bodies[] = {le16(bitmap) + lossless, le16(picture) + Bytes{0xFF, 0xD9, 0xFF, 0xD8} + jpeg,
                                le16(music) + sound};
        movie.tag(36, bodies[0]).tag(21, bodies[1]).tag(14, bodies[2]);
        // A 200 x 150 px rectangle filled with the bitmap (clipped, 20 twips a pixel),
        // placed at depth 1 (the first time; moved there afterwards).
        SWFBitWriter fill;
        fill.writeAlignedByte(0x41);
        fill.writeAlignedUI16(bitmap);
        SWFMatrix matrix;
        matrix.hasScale = true;
        matrix.scaleX = matrix.scaleY = 20 << 16;
        matrix.write(fill);
        movie.tag(2, tools::rectangleShape(shape, 4000, 3000, fill.take()));
        movie.tag(26,
                  Bytes{static_cast<std::uint8_t>(frames == 0 ? 0x06 : 0x07)} + le16(1) + le16(shape) + Bytes{0x00});
        if (frames % 16 == 0) {
            const std::string name = "scene" + std::to_string(frames);
            movie.tag(56, le16(1) + le16(bitmap) + test::cstr(name));
            movie.tag(12, Bytes{0x96, 0x07, 0x00, 0x00} + test::cstr("frame") + Bytes{0x17, 0x00});  // push, pop
        }
        movie.showFrame();
        ++frames;
        written += bodies[0].size() + bodies[1].size() + bodies[2].size() + 80;
    }
    movie.frameCount(static_cast<std::uint16_t>(std::min(frames, 0xFFFF)));
    movie.writeTo(path);
}

}  // namespace tarvenox::bench
