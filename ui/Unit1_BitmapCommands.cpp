// Bitmap import and export: a picture whose pixel column x is output x and pixel row y step y.
#include "ui/Unit1.h"

#include "files/Bitmap.h"
#include "ui/ErrorHandling.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>

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

// Puts a preview of the selected picture beside the dialog's file list.
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

// A picture dialog: one filter showing only its name and matching the extension in any
// letter case, BMP added to a name typed without an extension.
QFileDialog* NewPictureDialog(QWidget* parent, const QString& name, const QString& filterName,
                              QFileDialog::AcceptMode mode) {
    auto* dialog = new QFileDialog(parent);
    dialog->setObjectName(name);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setOption(QFileDialog::HideNameFilterDetails);
    dialog->setAcceptMode(mode);
    // An import may name a file that does not exist; the load then reports it.
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setNameFilter(filterName + " (*.[Bb][Mm][Pp])");
    dialog->setDefaultSuffix("BMP");
    dialog->setSizeGripEnabled(true);
    AddPicturePreview(dialog);
    return dialog;
}

// Runs a dialog; the chosen path, or an empty one when the user cancels.
QString ChosenPath(QFileDialog* dialog) {
    if (dialog->exec() != QDialog::Accepted) return {};
    const QStringList files = dialog->selectedFiles();
    return files.isEmpty() ? QString() : files.first();
}

std::string LocalPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

} // namespace

void TFVelkaro::ConnectBitmapCommands() {
    connect(Button5, &QPushButton::clicked, this, [this] { Button5Click(); });
    connect(Button6, &QPushButton::clicked, this, [this] { Button6Click(); });
}

void TFVelkaro::Button5Click() {
    RunGuarded(this, [this] {
        // The snapshot comes first, so even a cancelled import can be undone to this point.
        PushUndo();
        SkipMouseUp = true;
        // The dialogs are made on first use; each then keeps the folder it was left in.
        if (!pod) pod = NewPictureDialog(this, "pod", "Bitmap", QFileDialog::AcceptOpen);
        const QString path = ChosenPath(pod);
        if (path.isEmpty()) return;
        // A failed load leaves the picture and the show as they were.
        LoadBitmapFile(LocalPath(path), imPicture);
        const PictureSize size = ImportedSize(imPicture);
        // Written as text, so the fields' own rules refuse the 0 of an empty picture.
        ENX->setText(QString::number(size.Width));
        ELZ->setText(QString::number(size.Height));
        ImportBitmap(imPicture, Cells);
        PaintGrid();
    });
}

void TFVelkaro::Button6Click() {
    RunGuarded(this, [this] {
        SkipMouseUp = true;
        if (!PSD) PSD = NewPictureDialog(this, "PSD", "BITMAP", QFileDialog::AcceptSave);
        const QString path = ChosenPath(PSD);
        if (path.isEmpty()) return;
        ExportBitmap(Cells, Outputs(), Steps(), imPicture);
        SaveBitmapFile(LocalPath(path), imPicture);
    });
}

} // namespace velkaro
