#include "ui/PicturePreview.h"

#include "files/Bitmap.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QPixmap>

namespace velkaro {

namespace {

constexpr int PreviewSide = 160;

// Only files up to this size are read for a preview; a show's picture is far smaller.
constexpr qint64 LargestPreviewFile = qint64{64} << 20;

bool HasBitmapSuffix(const QFileInfo& file) {
    const QString suffix = file.suffix().toLower();
    return suffix == QLatin1String("bmp") || suffix == QLatin1String("dib");
}

// The image reader decodes many damaged bitmaps without complaint; a preview is only tried
// for a bitmap whose headers describe a picture that fits in the file.
bool BitmapLooksSound(const QString& path) {
    QFile file(path);
    if (file.size() > LargestPreviewFile || !file.open(QIODevice::ReadOnly)) return false;
    const QByteArray bytes = file.readAll();
    return HasSoundBitmapHeaders(reinterpret_cast<const unsigned char*>(bytes.constData()),
                                 static_cast<std::size_t>(bytes.size()));
}

QImage ReadPreviewImage(const QString& path) {
    const QFileInfo file(path);
    if (!file.isFile()) return {};
    QImageReader reader(path);
    if (HasBitmapSuffix(file)) {
        if (!BitmapLooksSound(path)) return {};
        // By suffix alone the reader takes a .dib for a headerless picture.
        reader.setFormat("BMP");
    }
    return reader.read();
}

// Pictures of a show are often a few pixels wide: scale without smoothing so each cell stays
// a sharp block, and never beyond the preview's square.
QPixmap PreviewPixmap(const QImage& image) {
    if (image.isNull()) return {};
    return QPixmap::fromImage(
        image.scaled(PreviewSide, PreviewSide, Qt::KeepAspectRatio, Qt::FastTransformation));
}

} // namespace

void AddPicturePreview(QFileDialog* dialog) {
    auto* preview = new QLabel(dialog);
    preview->setObjectName("picturePreview");
    preview->setFixedSize(PreviewSide + 8, PreviewSide + 8);
    preview->setAlignment(Qt::AlignCenter);
    preview->setFrameShape(QFrame::StyledPanel);
    if (auto* grid = qobject_cast<QGridLayout*>(dialog->layout()))
        grid->addWidget(preview, 1, grid->columnCount(), Qt::AlignTop);
    QObject::connect(dialog, &QFileDialog::currentChanged, preview, [preview](const QString& path) {
        preview->setPixmap(PreviewPixmap(ReadPreviewImage(path)));
    });
}

} // namespace velkaro
