// Picture files chosen to replace a movie's pictures.
#include "swf/PictureFile.h"

#include <algorithm>
#include <cctype>

#include "common/Exception.h"
#include "common/FileIO.h"
#include "common/Messages.h"
#include "swf/JpegCheck.h"
#include "swf/JpegEncoder.h"
#include "swf/PngImage.h"
#include "swf/SWFJpegImage.h"
#include "swf/SWFLosslessImage.h"

namespace tarvenox {

namespace {

// The preview's copy of a large photograph: no visible loss at the size it is shown.
constexpr int kPreviewQuality = 90;

bool endsWithIgnoringCase(const std::string& text, std::string_view ending) {
    if (text.size() < ending.size()) return false;
    return std::equal(ending.begin(), ending.end(), text.end() - static_cast<std::ptrdiff_t>(ending.size()),
                      [](char a, char b) {
                          return std::tolower(static_cast<unsigned char>(a)) ==
                                 std::tolower(static_cast<unsigned char>(b));
                      });
}

}  // namespace

PictureKind pictureKind(const std::string& path) {
    if (endsWithIgnoringCase(path, ".png")) return PictureKind::Png;
    if (endsWithIgnoringCase(path, ".jpg") || endsWithIgnoringCase(path, ".jpeg")) {
        return PictureKind::Jpeg;
    }
    return PictureKind::Other;
}

PictureConversion convertPicture(const std::string& path, PreviewCopy preview) {
    PictureConversion out;
    switch (pictureKind(path)) {
        case PictureKind::Jpeg: {
            auto data = readFileBytes(path);
            if (!data) {
                // Refused like an empty file, with the cause for the command line.
                out.problem = jpegProblem(Bytes{}, path);
                out.problem->reason = data.report().reason();
                out.report.fail(missingPictureMessage(path), MessageKind::OkCancel);
                break;
            }
            SmallerPicture smaller;
            out.problem = jpegProblem(*data, path, preview == PreviewCopy::Yes ? &smaller : nullptr);
            out.image = SWFJpegImage::fromJpegData(0, *data);
            if (!out.problem && !smaller.pixels.empty()) {
                const Bytes encoded = encodeJpeg(smaller, kPreviewQuality);
                if (!encoded.empty()) out.previewImage = SWFJpegImage::fromJpegData(0, encoded);
            }
            break;
        }
        case PictureKind::Png: {
            PngImageImpl image(path, PngImageImpl::BodyWhileDecoding::Yes);
            if (!image.valid()) {
                out.problem = PictureProblem{image.error(), image.reason()};
                out.report.fail(image.error(), MessageKind::OkCancel);
                break;
            }
            out.image = SWFLosslessImage::fromPng(0, image);
            if (!out.image) out.report.fail(outOfMemoryMessage(path), MessageKind::OkCancel);
            break;
        }
        case PictureKind::Other:
            break;
    }
    return out;
}

std::optional<PictureProblem> pictureProblem(const std::string& path) { return convertPicture(path).problem; }

void checkPictureFile(const std::string& path) {
    if (auto problem = pictureProblem(path)) {
        throw FileException(problem->message, path, __LINE__, __FILE__);
    }
}

std::string missingPictureMessage(const std::string& path) {
    return "Datei " + path + " nicht gefunden.";
}

std::string outOfMemoryMessage(const std::string& path) {
    return "Das Bild " + path + " ist zu groß für den Speicher.";
}

}  // namespace tarvenox
