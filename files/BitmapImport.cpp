#include "files/Bitmap.h"
#include "files/FileErrors.h"
#include "model/ShowError.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velkaro {

namespace {

// A show takes only the top left 168 x 10000 pixels, but the decoder reads whole pictures, so
// large photos must fit too. These bounds keep a file that merely claims a vast picture (a
// run-length file of a few bytes saying 60000 x 60000) from taking the machine's memory.
constexpr std::int64_t LargestReadableFile = std::int64_t{512} << 20;
constexpr std::int64_t LargestDecodedPicture = std::int64_t{512} << 20;

enum class PictureKind { Bitmap, NotABitmap };

std::string ExtensionOf(const std::string& path) {
    const auto nameStart = path.find_last_of('/');
    const auto dot = path.find_last_of('.');
    if (dot == std::string::npos || (nameStart != std::string::npos && dot < nameStart)) return {};
    return path.substr(dot + 1);
}

std::string Lowered(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// The picture types follow the file's extension, as typed and in any letter case.
PictureKind KindOf(const std::string& path) {
    const std::string extension = ExtensionOf(path);
    const std::string lowered = Lowered(extension);
    if (lowered == "bmp" || lowered == "dib") return PictureKind::Bitmap;
    if (lowered == "ico" || lowered == "wmf" || lowered == "emf") return PictureKind::NotABitmap;
    throw ShowError("Unbekannte Bilddateierweiterung (." + extension + ")");
}

[[noreturn]] void ThrowOpenError(const std::string& path, int errorNumber) {
    throw ShowError("Datei " + path + " kann nicht geöffnet werden. " +
                    FileErrorMessage(errorNumber));
}

class OpenFile {
public:
    explicit OpenFile(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
        if (fd_ < 0) ThrowOpenError(path, errno);
        struct stat info {};
        if (::fstat(fd_, &info) != 0) ThrowOpenError(path, errno);
        if (S_ISDIR(info.st_mode)) ThrowOpenError(path, EISDIR);
        size_ = info.st_size;
    }
    ~OpenFile() { ::close(fd_); }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

    std::int64_t Size() const { return size_; }

    QByteArray ReadAll() {
        QByteArray bytes(static_cast<qsizetype>(size_), Qt::Uninitialized);
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t got =
                ::read(fd_, bytes.data() + done, static_cast<size_t>(bytes.size() - done));
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) ThrowFileError(errno);
            if (got == 0) break; // the file shrank meanwhile; the header checks judge what is left
            done += got;
        }
        bytes.truncate(done);
        return bytes;
    }

private:
    int fd_;
    std::int64_t size_ = 0;
};

[[noreturn]] void ThrowInvalid() {
    throw ShowError(InvalidBitmapMessage);
}

// The decoder leaves pixels alone that the file's data never reaches (rows skipped by
// run-length escapes, a file whose pixel offset cuts the data short), so it decodes into a
// picture that is cleared beforehand: those pixels become index 0 or black, the same every time.
QImage DecodeBitmap(const QByteArray& bytes) {
    QBuffer device;
    device.setData(bytes);
    device.open(QIODevice::ReadOnly);
    // Named explicitly: chosen by suffix, the reader would take .dib for a headerless format.
    QImageReader reader(&device, "BMP");
    // A top-down bitmap reports its height negative.
    const QSize size(reader.size().width(), std::abs(reader.size().height()));
    const QImage::Format format = reader.imageFormat();
    if (!size.isValid() || size.isEmpty() || format == QImage::Format_Invalid) ThrowInvalid();
    const std::int64_t depth = QImage::toPixelFormat(format).bitsPerPixel();
    const std::int64_t bytesNeeded =
        std::int64_t{size.width()} * size.height() * std::max<std::int64_t>(depth, 8) / 8;
    if (bytesNeeded > LargestDecodedPicture) ThrowInvalid();

    QImage image(size, format);
    if (image.isNull()) ThrowInvalid();
    image.fill(0);
    if (!reader.read(&image) || image.isNull()) ThrowInvalid();
    return image;
}

TColor ColorOf(QRgb pixel) {
    return RGB(qRed(pixel), qGreen(pixel), qBlue(pixel));
}

// Takes the top left part a show can hold, as 32-bit colours; the alpha channel is ignored, a
// cell has none.
void TakePixels(const QImage& decoded, BitmapPicture& picture) {
    const int width = std::min(decoded.width(), MaxOutputs);
    const int height = std::min(decoded.height(), MaxSteps);
    QImage part = decoded;
    if (width != decoded.width() || height != decoded.height())
        part = decoded.copy(0, 0, width, height);
    if (part.format() != QImage::Format_RGB32 && part.format() != QImage::Format_ARGB32)
        part = part.convertToFormat(QImage::Format_ARGB32);
    if (part.isNull()) ThrowInvalid();

    picture.Resize(width, height);
    for (int y = 0; y < height; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(part.constScanLine(y));
        TColor* row = picture.Pixels.data() + static_cast<std::size_t>(y) * width;
        for (int x = 0; x < width; ++x) row[x] = ColorOf(line[x]);
    }
}

} // namespace

void LoadBitmapFile(const std::string& path, BitmapPicture& picture) {
    const PictureKind kind = KindOf(path);
    OpenFile file(path);
    if (kind == PictureKind::NotABitmap) {
        picture.Resize(0, 0);
        return;
    }
    if (file.Size() > LargestReadableFile) ThrowInvalid();
    const QByteArray bytes = file.ReadAll();
    if (!HasSoundBitmapHeaders(reinterpret_cast<const unsigned char*>(bytes.constData()),
                               static_cast<std::size_t>(bytes.size())))
        ThrowInvalid();
    TakePixels(DecodeBitmap(bytes), picture);
}

} // namespace velkaro
