// Picture files chosen to replace a movie's pictures.
#include "picture/PictureFile.h"

#include <algorithm>
#include <cctype>

#include "common/Exception.h"
#include "common/FileIO.h"
#include "common/Messages.h"
#include "common/Texts.h"
#include "picture/JpegCheck.h"
#include "picture/JpegEncoder.h"
#include "picture/LosslessPixels.h"
#include "picture/PngImage.h"
#include "swf/SWFJpegImage.h"
#include "swf/SWFLosslessImage.h"

namespace tarvenox {

namespace {

// The preview's copy of a large photograph: no visible loss at the size it is shown.
constexpr int kPreviewQuality = 90;

bool endsWithIgnoringCase(const std::string& text, std::string_view ending) {
    if (text.size() < ending.size()) return false;
    return std::equal(
        ending.begin(), ending.end(), text.end() - static_cast<std::ptrdiff_t>(ending.size()), [](char a, char b) {
            return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
        });
}

// The replacement's refusal of a file it cannot read or decode.
Report refusal(const std::string& message, const std::string& reason) {
    return Report::failure(reason).fail(message, MessageKind::OkCancel);
}

}  // namespace

PictureKind pictureKind(const std::string& path) {
    if (endsWithIgnoringCase(path, ".png")) return PictureKind::Png;
    if (endsWithIgnoringCase(path, ".jpg") || endsWithIgnoringCase(path, ".jpeg")) {
        return PictureKind::Jpeg;
    }
    return PictureKind::Other;
}

Result<PictureConversion> convertPicture(const std::string& path, PreviewCopy preview) {
    PictureConversion out;
    switch (pictureKind(path)) {
        case PictureKind::Jpeg: {
            auto data = readFileBytes(path);
            if (!data) return refusal(missingPictureMessage(path), data.report().reason());
            SmallerPicture smaller;
            out.check = jpegVerdict(*data, path, preview == PreviewCopy::Yes ? &smaller : nullptr);
            out.image = SWFJpegImage::fromJpegData(0, *data);
            if (!out.check.failed() && !smaller.pixels.empty()) {
                const Bytes encoded = encodeJpeg(smaller, kPreviewQuality);
                if (!encoded.empty()) out.previewImage = SWFJpegImage::fromJpegData(0, encoded);
            }
            break;
        }
        case PictureKind::Png: {
            auto image = PngImageImpl::read(path, PngImageImpl::BodyWhileDecoding::Yes);
            if (!image) return refusal(image.report().messages().front().text, image.report().reason());
            std::unique_ptr<SWFLosslessImage> lossless = losslessImageFromPng(0, *image);
            if (!lossless) return refusal(outOfMemoryMessage(path), text("picture.notInMemory", {path}));
            // A picture the camera stored turned stands up, as a JPEG's does when fitted.
            if (image->orientation() != 1) {
                auto pixels = losslessPixels(*lossless);
                if (!pixels) return refusal(outOfMemoryMessage(path), text("picture.notInMemory", {path}));
                lossless = losslessImageFromPixels(orientedPixels(std::move(*pixels), image->orientation()));
            }
            out.image = std::move(lossless);
            break;
        }
        case PictureKind::Other: break;
    }
    return out;
}

Report pictureVerdict(const Result<PictureConversion>& conversion, const std::string& path) {
    if (conversion) return conversion->check;
    const Report& failure = conversion.report();
    // A JPEG that cannot be read has no markers: it gets the check's word for an empty one.
    const std::string message = pictureKind(path) == PictureKind::Jpeg
                                    ? jpegVerdict(Bytes{}, path).messages().front().text
                                    : failure.messages().front().text;
    return Report::failure(failure.reason()).fail(message);
}

Report checkPicture(const std::string& path) { return pictureVerdict(convertPicture(path), path); }

void checkPictureFile(const std::string& path) {
    if (const Report verdict = checkPicture(path); verdict.failed()) {
        throw FileException(verdict.messages().front().text, path, __LINE__, __FILE__);
    }
}

std::string missingPictureMessage(const std::string& path) { return text("picture.notFound", {path}); }

std::string outOfMemoryMessage(const std::string& path) { return text("picture.outOfMemory", {path}); }

}  // namespace tarvenox
