// The player check of replaced photographs: phone photographs saved into the demo's
// greeting card, played in Ruffle by `tarvenox render` and compared with the same
// photographs scaled by the engine's scaling alone, and marker pictures that show
// whether the drawn picture keeps its proportions under each fit.
//   photo_check INPUTS TARVENOX
// bench/run makes INPUTS (the 12 MP photographs) and builds the program beside the demo.
#include <png.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "BenchInputs.h"
#include "common/Log.h"
#include "picture/PictureScaling.h"
#include "support/PictureFiles.h"

namespace tarvenox::bench {
namespace {

std::string inputs;
std::string program;

// A picture the renderer wrote, as RGBA rows.
struct Frame {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgba;
    const std::uint8_t* at(int x, int y) const { return &rgba[(static_cast<std::size_t>(y) * width + x) * 4]; }
};

struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

void runProgram(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), program);
    std::string line;
    for (const auto& a : arguments) line += "'" + a + "' ";
    const int status = std::system((line + ">/dev/null").c_str());
    if (status == -1 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) throw std::runtime_error("failed: " + line);
}

void writeFile(const std::string& path, ByteSpan data) {
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    if (!file) throw std::runtime_error("cannot write " + path);
}

Frame readPng(const std::string& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) throw std::runtime_error("cannot read " + path);
    image.format = PNG_FORMAT_RGBA;
    Frame frame{static_cast<int>(image.width), static_cast<int>(image.height),
                std::vector<std::uint8_t>(PNG_IMAGE_SIZE(image))};
    if (!png_image_finish_read(&image, nullptr, frame.rgba.data(), 0, nullptr))
        throw std::runtime_error("cannot decode " + path);
    return frame;
}

// Saves the greeting card with the picture under the fit and renders it at `scale`
// times the stage's size (550 x 400).
Frame savedAndRendered(const std::string& picture, const char* fit, int scale, const std::string& name) {
    const std::string demo = program.substr(0, program.rfind('/')) + "/demo/packed";
    const std::string movie = inputs + "/check-" + name + ".swf";
    const std::string png = inputs + "/check-" + name + ".png";
    ::unlink(movie.c_str());
    runProgram({"save", "--template", "greeting", "--data", demo, "-o", movie, "--image", "photo=" + picture, "--fit",
                std::string("photo=") + fit});
    runProgram({"render", movie, "-o", png, "--size", std::to_string(550 * scale) + "x" + std::to_string(400 * scale)});
    return readPng(png);
}

// The box of the magenta pixels (at least half covered, by the edges' blending).
Box magentaBox(const Frame& frame) {
    Box box{frame.width, frame.height, 0, 0};
    for (int y = 0; y < frame.height; ++y) {
        for (int x = 0; x < frame.width; ++x) {
            const std::uint8_t* p = frame.at(x, y);
            if (p[0] - p[1] < 128 || p[2] - p[1] < 128) continue;
            box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1),
                   std::max(box.bottom, y + 1)};
        }
    }
    if (box.width() <= 0) throw std::runtime_error("the marker is not on the stage");
    return box;
}

// An opaque RGB picture of the given size: white with a centred magenta square whose
// side is 7/10 of the picture's smaller side: large, and still whole where cover crops a
// 3:4 picture into the 4:3 slot.
Bytes squareMarker(int width, int height) {
    test::PngPicture picture{static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height), PNG_COLOR_TYPE_RGB};
    const int side = std::min(width, height) * 7 / 10;
    for (int y = 0; y < height; ++y) {
        Bytes row(static_cast<std::size_t>(width) * 3, 255);
        const bool inY = std::abs(2 * y + 1 - height) < side;
        for (int x = 0; inY && x < width; ++x) {
            if (std::abs(2 * x + 1 - width) < side) row[x * 3 + 1] = 0;
        }
        picture.rows.push_back(std::move(row));
    }
    return test::encodePng(picture);
}

Bytes plainMarker() {
    test::PngPicture picture{64, 64, PNG_COLOR_TYPE_RGB};
    Bytes row;
    for (int x = 0; x < 64; ++x) row.insert(row.end(), {255, 0, 255});
    picture.rows.assign(64, row);
    return test::encodePng(picture);
}

double luma(const std::uint8_t* p) { return 0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2]; }

// The mean structural similarity of the luma of two pictures of one size, over 8 x 8
// windows four pixels apart (the constants of the SSIM paper for 8-bit samples).
double ssim(const std::vector<double>& a, const std::vector<double>& b, int width, int height) {
    constexpr double c1 = 6.5025, c2 = 58.5225;
    double sum = 0;
    int windows = 0;
    for (int y = 0; y + 8 <= height; y += 4) {
        for (int x = 0; x + 8 <= width; x += 4) {
            double ma = 0, mb = 0, va = 0, vb = 0, cov = 0;
            for (int j = 0; j < 8; ++j) {
                for (int i = 0; i < 8; ++i) {
                    const std::size_t k = static_cast<std::size_t>(y + j) * width + x + i;
                    ma += a[k], mb += b[k], va += a[k] * a[k], vb += b[k] * b[k], cov += a[k] * b[k];
                }
            }
            ma /= 64, mb /= 64;
            va = va / 64 - ma * ma, vb = vb / 64 - mb * mb, cov = cov / 64 - ma * mb;
            sum += (2 * ma * mb + c1) * (2 * cov + c2) / ((ma * ma + mb * mb + c1) * (va + vb + c2));
            ++windows;
        }
    }
    return windows > 0 ? sum / windows : 0;
}

// The photograph as the engine's scaling alone makes it for the slot under cover,
// against what Ruffle drew in the slot's box; the box's edges (blended with the stage)
// are left out.
double photoSimilarity(const Frame& drawn, const Box& slot, const PicturePixels& upright) {
    const FitPlan plan = planFit(upright.width, upright.height, slot.width() / kPixelsPerStagePixel,
                                 slot.height() / kPixelsPerStagePixel, PictureFit::Cover);
    const auto reference = scaledPixels(upright, plan);
    if (!reference) throw std::runtime_error("out of memory");
    if (std::abs(static_cast<int>(reference->width) - slot.width()) > 1 ||
        std::abs(static_cast<int>(reference->height) - slot.height()) > 1) {
        throw std::runtime_error("the reference is " + std::to_string(reference->width) + " x " +
                                 std::to_string(reference->height) + ", not the slot's size");
    }
    constexpr int inset = 3;
    const int width = std::min<int>(slot.width(), reference->width) - 2 * inset;
    const int height = std::min<int>(slot.height(), reference->height) - 2 * inset;
    std::vector<double> a, b;
    for (int y = inset; y < inset + height; ++y) {
        for (int x = inset; x < inset + width; ++x) {
            a.push_back(luma(drawn.at(slot.left + x, slot.top + y)));
            const std::size_t k =
                (static_cast<std::size_t>(y) * reference->width + x) * static_cast<std::size_t>(reference->channels);
            b.push_back(luma(&reference->samples[k]));
        }
    }
    return ssim(a, b, width, height);
}

PicturePixels rgbPixels(std::uint32_t width, std::uint32_t height, Bytes samples) {
    PicturePixels pixels;
    pixels.width = width, pixels.height = height, pixels.channels = 3, pixels.samples = std::move(samples);
    return pixels;
}

bool within(double value, double target, double tolerance) { return std::abs(value / target - 1) <= tolerance; }

// How much of a pixel is magenta rather than white or the dark stage: 0 to 1, so that
// the sums along a line measure the marker's edges to a fraction of a pixel.
double magentaShare(const std::uint8_t* p) { return std::clamp((p[0] + p[2] - 2.0 * p[1]) / 510.0, 0.0, 1.0); }

// The marker's width over its height, each measured along the lines through the middle
// half of the box (its blended edges counted by their share).
double markerAspect(const Frame& frame, const Box& box) {
    double across = 0, down = 0;
    int rows = 0, columns = 0;
    for (int y = box.top + box.height() / 4; y < box.bottom - box.height() / 4; ++y, ++rows) {
        for (int x = std::max(0, box.left - 2); x < std::min(frame.width, box.right + 2); ++x)
            across += magentaShare(frame.at(x, y));
    }
    for (int x = box.left + box.width() / 4; x < box.right - box.width() / 4; ++x, ++columns) {
        for (int y = std::max(0, box.top - 2); y < std::min(frame.height, box.bottom + 2); ++y)
            down += magentaShare(frame.at(x, y));
    }
    return (across / rows) / (down / columns);
}

int check() {
    const std::string slotMarker = inputs + "/check-slot.png", portraitMarker = inputs + "/check-portrait-square.png";
    writeFile(slotMarker, plainMarker());
    writeFile(portraitMarker, squareMarker(600, 800));
    const Box slot = magentaBox(savedAndRendered(slotMarker, "cover", 2, "slot"));
    std::printf("The greeting card's photograph slot drawn at twice the stage's size: %d x %d pixels\n", slot.width(),
                slot.height());

    bool passed = true;
    struct Photo {
        const char* name;
        std::string file;
        PicturePixels upright;
    };
    const Photo photos[] = {
        {"12 MP landscape JPEG", photoJpeg(inputs), rgbPixels(4000, 3000, photoPixels(4000, 3000, 16021, 3))},
        {"12 MP portrait JPEG, Exif orientation 6", portraitPhotoJpeg(inputs),
         rgbPixels(3000, 4000, portraitPhotoPixels())},
    };
    for (const Photo& photo : photos) {
        const double similarity =
            photoSimilarity(savedAndRendered(photo.file, "cover", 2, "photo"), slot, photo.upright);
        passed &= similarity >= 0.97;
        std::printf("  %s under cover, in Ruffle against the reference: SSIM %.4f  [>= 0.97]\n", photo.name,
                    similarity);
    }
    // A 3:4 picture's centred square must stay square in the 4:3 slot, cropped or framed.
    for (const char* fit : {"cover", "contain"}) {
        const Frame drawn = savedAndRendered(portraitMarker, fit, 4, fit);
        const Box square = magentaBox(drawn);
        const double aspect = markerAspect(drawn, square);
        passed &= within(aspect, 1.0, 0.01);
        std::printf("  a square in a portrait picture under %s: drawn %d x %d, aspect %.4f  [1 +- 1%%]\n", fit,
                    square.width(), square.height(), aspect);
    }
    return passed ? 0 : 1;
}

}  // namespace
}  // namespace tarvenox::bench

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: photo_check INPUTS TARVENOX\n");
        return 2;
    }
    tarvenox::setLogStream(nullptr);
    tarvenox::bench::inputs = argv[1];
    tarvenox::bench::program = argv[2];
    try {
        return tarvenox::bench::check();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "photo_check: %s\n", e.what());
        return 1;
    }
}
