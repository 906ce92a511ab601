// Open and Save of the Main tab.
#include <filesystem>
#include <system_error>

#include "app/sondrix_dlg.h"
#include "imaging/bmp_file.h"
#include "imaging/image_file.h"
#include "imaging/raw_file.h"
#include "imaging/wsq_codec.h"
#include "imaging/wsq_file.h"
#include "platform/native_file.h"
#include "ui/main_tab_page.h"
#include "ui/strings_image_files.h"

namespace sondrix {

namespace {

// The text with its "%s" replaced by the path.
std::string WithPath(int textId, const std::string& path) {
    std::string text = LoadString(textId);
    const size_t at = text.find("%s");
    return at == std::string::npos ? text : text.replace(at, 2, path);
}

// The text that turns a file down, by format and by what the file
// functions found.
std::string RejectionText(const std::string& extension, ImageFileStatus status,
                          const std::string& path) {
    switch (status) {
        case ImageFileStatus::NotFound:
            return LoadString(IDS_FILE_NOT_EXISTED);
        case ImageFileStatus::InvalidFile:
            return LoadString(IDS_INVALID_FILE);
        case ImageFileStatus::NotSupported:
        case ImageFileStatus::TooShort:
        case ImageFileStatus::TooLarge:
            return LoadString(extension == "bmp" ? IDS_BITMAP_NOT_SUPPORTED
                                                 : IDS_FILE_SIZE_NOT_SUPPORTED);
        case ImageFileStatus::CodecError:
            return LoadString(IDS_IMAGE_ERROR);
        case ImageFileStatus::IoError:
        case ImageFileStatus::Ok:
            break;
    }
    return WithPath(IDS_IMAGE_READ_FAILED, path);
}

// A WSQ file decoded within the page's buffer; its first `image.size()`
// pixels are the image, whatever frame the file gives, as long as it gives
// that many.
ImageFileStatus ReadWsqImage(const std::string& path, std::vector<uint8_t>& image,
                             std::FILE* diagnostics) {
    std::vector<uint8_t> decoded(kWsqPixelCapacity);
    int width = 0;
    int height = 0;
    const ImageFileStatus status =
        ReadWsqFile(path, decoded.data(), decoded.size(), &width, &height, diagnostics);
    if (status != ImageFileStatus::Ok) {
        return status;
    }
    if (static_cast<size_t>(width) * static_cast<size_t>(height) < image.size()) {
        return ImageFileStatus::TooShort;
    }
    std::copy_n(decoded.begin(), image.size(), image.begin());
    return ImageFileStatus::Ok;
}

}  // namespace

void CImageDlg::OpenImageFile() {
    CSondrixDlg& main = Main();
    SFileDialog request;
    request.filter = LoadString(IDS_IMAGE_OPEN_FILTER);
    request.defaultExtension = LoadString(IDS_IMAGE_DEFAULT_EXTENSION);
    request.mustExist = true;
    const std::vector<std::string> chosen = main.Ui().FileDialog(request);
    if (chosen.empty()) {
        return;
    }
    const std::string& path = chosen.front();
    const std::string extension = ImageFileExtension(path);

    // Everything is read into an image of its own first: a file turned
    // down leaves the page's image as it was.
    std::error_code error;
    const size_t size = static_cast<size_t>(imageWidth) * static_cast<size_t>(imageHeight);
    std::vector<uint8_t> image(std::min(size, imageBuffer.size()));
    ImageFileStatus status = ImageFileStatus::InvalidFile;
    if (!std::filesystem::exists(PathFromUtf8(path), error)) {
        status = ImageFileStatus::NotFound;
    } else if (image.size() != size) {
        status = ImageFileStatus::NotSupported;
    } else if (extension == "raw") {
        status = ReadRawFile(path, image.data(), imageWidth, imageHeight);
    } else if (extension == "bmp") {
        status = ReadBmpFile(path, image.data(), imageWidth, imageHeight);
    } else if (extension == "wsq") {
        status = ReadWsqImage(path, image, codecDiagnostics);
    }
    if (status != ImageFileStatus::Ok) {
        main.Ui().MessageBox(RejectionText(extension, status, path), EIcon::Stop);
        return;
    }
    std::copy(image.begin(), image.end(), imageBuffer.begin());
    imagePresent = 1;
    Changed(kImage);
}

void CImageDlg::SaveImageFile() {
    CSondrixDlg& main = Main();
    SFileDialog request;
    request.save = true;
    request.filter = LoadString(IDS_IMAGE_SAVE_FILTER);
    request.defaultExtension = LoadString(IDS_IMAGE_DEFAULT_EXTENSION);
    request.overwritePrompt = true;
    request.mustExist = true;
    const std::vector<std::string> chosen = main.Ui().FileDialog(request);
    if (chosen.empty()) {
        return;
    }
    const std::string& path = chosen.front();
    // The pauses between the parts of a BMP file run on the page's clock.
    std::string reason;
    const ImageFileStatus status = WriteImageFile(
        path, imageBuffer.data(), imageBuffer.size(), imageWidth, imageHeight,
        [this](int ms) { Loop().Sleep(static_cast<uint32_t>(ms)); }, codecDiagnostics, &reason);
    switch (status) {
        case ImageFileStatus::Ok:
            main.Ui().MessageBox(WithPath(IDS_IMAGE_SAVED, path), EIcon::Information);
            break;
        case ImageFileStatus::InvalidFile:
            main.Ui().MessageBox(LoadString(IDS_INVALID_FILE), EIcon::Stop);
            break;
        case ImageFileStatus::CodecError:
            main.Ui().MessageBox(LoadString(IDS_IMAGE_ERROR), EIcon::Stop);
            break;
        case ImageFileStatus::NotSupported:
            main.Ui().MessageBox(LoadString(IDS_FILE_SIZE_NOT_SUPPORTED), EIcon::Stop);
            break;
        default:
            // A file that could not be written is never reported as saved;
            // the one that was there before is left as it was.
            main.Ui().MessageBox(
                WithPath(IDS_IMAGE_WRITE_FAILED, reason.empty() ? path : path + ": " + reason),
                EIcon::Stop);
            break;
    }
}

}  // namespace sondrix
