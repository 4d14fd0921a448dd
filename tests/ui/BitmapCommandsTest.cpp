// The bitmap buttons driven through their real dialogs: what an import changes and keeps, the
// undo snapshot taken before the dialog, failures through the error box, export round trips and
// the dialogs' filter and picture preview.
#include "WindowFixture.h"

#include "files/ShowFile.h"
#include "files/ShowRecord.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QListView>
#include <QMap>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>

namespace velkaro {
namespace {

class BitmapCommandsTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_TRUE(dir.isValid());
    }

    QString PathOf(const QString& name) const { return dir.filePath(name); }

    // Qt's own writer: a 24-bit bitmap, independent of the export under test.
    QString SavePicture(const QImage& image, const QString& name) const {
        const QString path = PathOf(name);
        EXPECT_TRUE(image.save(path, "BMP"));
        return path;
    }

    void WriteBytes(const QString& name, const QByteArray& bytes) const {
        QFile file(PathOf(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    static QImage Pattern(int width, int height) {
        QImage image(width, height, QImage::Format_RGB32);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) image.setPixel(x, y, qRgb(x * 20, y * 40, 0x56));
        return image;
    }
    static TColor PatternCell(int x, int y) { return RGB(x * 20, y * 40, 0x56); }

    // Every cell of the working area gets a colour of its own.
    void FillShow() {
        for (int r = 0; r <= LastRow; ++r)
            for (int c = 0; c <= LastCol; ++c)
                w->Show().Cells[r][c] = static_cast<TColor>((r * 169 + c) * 2654435761u) & 0xFFFFFF;
    }
    TColor Filled(int r, int c) const {
        return static_cast<TColor>((r * 169 + c) * 2654435761u) & 0xFFFFFF;
    }

    // Clicks a button whose handler opens a dialog; act runs on the dialog once it is up.
    void ClickWithDialog(QPushButton* button, std::function<void(QFileDialog*)> act) {
        bool ran = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ran = dialog != nullptr;
            if (!dialog) return;
            act(dialog);
        });
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_TRUE(ran) << "no file dialog opened";
    }

    // Chooses a file as a user does: the folder, then the name typed into the name field.
    void Choose(QFileDialog* dialog, const QString& name) {
        dialog->setDirectory(dir.path());
        dialog->findChild<QLineEdit*>("fileNameEdit")->setText(name);
        auto* buttons = dialog->findChild<QDialogButtonBox*>("buttonBox");
        buttons
            ->button(dialog->acceptMode() == QFileDialog::AcceptOpen ? QDialogButtonBox::Open
                                                                     : QDialogButtonBox::Save)
            ->click();
    }

    void Import(const QString& name) {
        ClickWithDialog(Child<QPushButton>(*w, "importBitmapButton"),
                        [&](QFileDialog* d) { Choose(d, name); });
    }
    void Export(const QString& name) {
        ClickWithDialog(Child<QPushButton>(*w, "exportBitmapButton"),
                        [&](QFileDialog* d) { Choose(d, name); });
    }

    // The cells of rows 0..rows-1 over all columns, to compare a show before and after.
    std::vector<TColor> Rows(int rows) const {
        const TColor* first = w->Show().Cells[0];
        return std::vector<TColor>(first, first + rows * GridCols);
    }

    QTemporaryDir dir;
};

TEST_F(BitmapCommandsTest, ASmallPictureReplacesOnlyItsCellsAndTheRestIsStillSaved) {
    FillShow();
    Child<UpDown>(*w, "outputsSpinner")->SetPosition(20);
    Child<UpDown>(*w, "stepsSpinner")->SetPosition(30);
    SavePicture(Pattern(10, 5), "small.bmp");

    Import("small.bmp");

    EXPECT_TRUE(errors.isEmpty());
    EXPECT_EQ(w->Settings().Outputs(), 10);
    EXPECT_EQ(w->Settings().Steps(), 5);
    EXPECT_EQ(Child<QLineEdit>(*w, "outputsEdit")->text(), "10");
    EXPECT_EQ(Child<QLineEdit>(*w, "stepsEdit")->text(), "5");
    EXPECT_EQ(w->Bitmaps().LastPicture().Width, 10);
    EXPECT_EQ(w->Bitmaps().LastPicture().Height, 5);
    // The grid shows the new cells, not only the new size.
    EXPECT_EQ(PixelAt(9 * w->View().ColWidth() + w->View().ColWidth() / 2,
                      4 * w->View().RowHeight() + w->View().RowHeight() / 2),
              PatternCell(9, 4));
    for (int r = 0; r < 40; ++r)
        for (int c = 0; c <= LastCol; ++c) {
            const TColor expected = r < 5 && c < 10 ? PatternCell(c, r) : Filled(r, c);
            ASSERT_EQ(w->Show().Cells[r][c], expected) << "row " << r << " column " << c;
        }

    const QString show = PathOf("show.dmx");
    SaveShow(show.toStdString(), w->Show().Cells, w->Settings().Values(), w->Settings().MonoMode());
    QFile file(show);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    ASSERT_EQ(bytes.size(), 5 * static_cast<int>(ShowRecord::Size));
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < ShowRecord::Outputs; ++c) {
            const auto at = r * ShowRecord::Size + ShowRecord::RedByte(c);
            const TColor cell = RGB(static_cast<unsigned char>(bytes[at]),
                                    static_cast<unsigned char>(bytes[at + 1]),
                                    static_cast<unsigned char>(bytes[at + 2]));
            ASSERT_EQ(cell, c < 10 ? PatternCell(c, r) : Filled(r, c))
                << "record " << r << " output " << c;
        }
}

TEST_F(BitmapCommandsTest, AnIconGivesAnEmptyPictureAndLeavesTheShow) {
    FillShow();
    Child<UpDown>(*w, "outputsSpinner")->SetPosition(33);
    Child<UpDown>(*w, "stepsSpinner")->SetPosition(44);
    SavePicture(Pattern(4, 4), "before.bmp");
    Import("before.bmp");
    ASSERT_EQ(w->Bitmaps().LastPicture().Width, 4);
    const std::vector<TColor> before = Rows(50);
    const int undoPos = w->Show().Memory.Undo.UndoPos();
    WriteBytes("logo.ICO", QByteArray(64, '\1'));

    Import("logo.ICO");

    EXPECT_TRUE(errors.isEmpty());
    EXPECT_EQ(w->Bitmaps().LastPicture().Width, 0);
    EXPECT_EQ(w->Bitmaps().LastPicture().Height, 0);
    EXPECT_EQ(w->Settings().Outputs(), 4);
    EXPECT_EQ(w->Settings().Steps(), 4);
    EXPECT_EQ(Child<QLineEdit>(*w, "outputsEdit")->text(), "4");
    EXPECT_EQ(Child<QLineEdit>(*w, "stepsEdit")->text(), "4");
    EXPECT_EQ(Rows(50), before);
    EXPECT_EQ(w->Show().Memory.Undo.UndoPos(), (undoPos + 1) % UndoRing::SlotCount);
}

TEST_F(BitmapCommandsTest, ACancelledImportStillTakesItsSnapshotAndSkipsTheNextRelease) {
    FillShow();
    Child<UpDown>(*w, "outputsSpinner")->SetPosition(7);
    Child<UpDown>(*w, "stepsSpinner")->SetPosition(9);
    const std::vector<TColor> before = Rows(20);
    const ShowSettings settings = w->Settings().Values();
    const int undoPos = w->Show().Memory.Undo.UndoPos();
    w->Show().IgnoreNextGridRelease = false;

    ClickWithDialog(Child<QPushButton>(*w, "importBitmapButton"),
                    [](QFileDialog* d) { d->reject(); });

    EXPECT_EQ(w->Show().Memory.Undo.UndoPos(), (undoPos + 1) % UndoRing::SlotCount);
    EXPECT_TRUE(w->Show().IgnoreNextGridRelease);
    EXPECT_EQ(Rows(20), before);
    EXPECT_EQ(w->Settings().Values(), settings);
    EXPECT_TRUE(errors.isEmpty());

    // The snapshot is the show as it was, so undoing right away changes nothing visible.
    QTest::mouseClick(Child<QPushButton>(*w, "undoButton"), Qt::LeftButton);
    EXPECT_EQ(Rows(20), before);
    EXPECT_EQ(w->Settings().Values(), settings);
    EXPECT_EQ(w->Show().Memory.Undo.UndoPos(), undoPos);
}

TEST_F(BitmapCommandsTest, AFailedImportIsReportedAndLeavesTheShow) {
    FillShow();
    Child<UpDown>(*w, "outputsSpinner")->SetPosition(12);
    Child<UpDown>(*w, "stepsSpinner")->SetPosition(13);
    const std::vector<TColor> before = Rows(20);
    const ShowSettings settings = w->Settings().Values();
    QByteArray damaged("BM");
    damaged.append(60, '\xFF');
    WriteBytes("damaged.bmp", damaged);
    WriteBytes("photo.png", QByteArray(16, '\0'));

    Import("damaged.bmp");
    Import("photo.png");
    Import("missing.bmp");

    ASSERT_EQ(errors.size(), 3);
    EXPECT_EQ(errors[0], QString::fromUtf8("Bitmap ist ungültig."));
    EXPECT_EQ(errors[1], "Unbekannte Bilddateierweiterung (.png)");
    EXPECT_TRUE(errors[2].startsWith(
        QString::fromUtf8("Datei %1 kann nicht geöffnet werden. ").arg(PathOf("missing.bmp"))))
        << errors[2].toStdString();
    EXPECT_EQ(Rows(20), before);
    EXPECT_EQ(w->Settings().Values(), settings);
}

TEST_F(BitmapCommandsTest, AnExportedShowImportsAsTheSameCells) {
    FillShow();
    Child<UpDown>(*w, "outputsSpinner")->SetPosition(12);
    Child<UpDown>(*w, "stepsSpinner")->SetPosition(7);
    Child<QCheckBox>(*w, "singleColourCheck")
        ->click(); // single-colour mode only changes how cells are drawn
    const std::vector<TColor> before = Rows(7);
    const int undoPos = w->Show().Memory.Undo.UndoPos();
    w->Show().IgnoreNextGridRelease = false;

    Export("show"); // the default extension is added
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_TRUE(QFile::exists(PathOf("show.BMP")));
    EXPECT_EQ(w->Show().Memory.Undo.UndoPos(), undoPos);
    EXPECT_TRUE(w->Show().IgnoreNextGridRelease);

    ClearCells(w->Show().Cells);
    Child<UpDown>(*w, "outputsSpinner")->SetPosition(100);
    Child<UpDown>(*w, "stepsSpinner")->SetPosition(200);
    Import("show.BMP");

    EXPECT_TRUE(errors.isEmpty());
    EXPECT_EQ(w->Settings().Outputs(), 12);
    EXPECT_EQ(w->Settings().Steps(), 7);
    for (int r = 0; r < 7; ++r)
        for (int c = 0; c < 12; ++c) ASSERT_EQ(w->Show().Cells[r][c], before[r * GridCols + c]);
}

TEST_F(BitmapCommandsTest, ReplacingAnExportedFileAsksFirst) {
    FillShow();
    Child<UpDown>(*w, "outputsSpinner")->SetPosition(3);
    Child<UpDown>(*w, "stepsSpinner")->SetPosition(2);
    Export("show.bmp");
    Child<UpDown>(*w, "outputsSpinner")->SetPosition(5);

    bool asked = false;
    ClickWithDialog(Child<QPushButton>(*w, "exportBitmapButton"), [&](QFileDialog* d) {
        QTimer::singleShot(0, [&] {
            auto* question = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            asked = question != nullptr;
            if (question) question->button(QMessageBox::Yes)->click();
        });
        Choose(d, "show.bmp");
    });

    EXPECT_TRUE(asked);
    EXPECT_TRUE(errors.isEmpty());
    Import("show.bmp");
    EXPECT_EQ(w->Bitmaps().LastPicture().Width, 5);
    EXPECT_EQ(w->Bitmaps().LastPicture().Height, 2);
}

TEST_F(BitmapCommandsTest, TheOpenDialogListsBitmapsInAnyCaseAndPreviewsThem) {
    SavePicture(Pattern(10, 5), "upper.BMP");
    SavePicture(Pattern(10, 5), "lower.bmp");
    SavePicture(Pattern(10, 5), "mixed.dib");
    SavePicture(Pattern(10, 5), "other.png");
    WriteBytes("damaged.Bmp", QByteArray("BM") + QByteArray(60, '\xFF'));

    QStringList listed;
    QMap<QString, bool> previewed;
    QString filterShown;
    QString suffix;
    ClickWithDialog(Child<QPushButton>(*w, "importBitmapButton"), [&](QFileDialog* d) {
        d->setDirectory(dir.path());
        auto* list = d->findChild<QListView*>("listView");
        auto* preview = d->findChild<QLabel*>("picturePreview");
        auto* filter = d->findChild<QComboBox*>("fileTypeCombo");
        if (!list || !preview || !filter) return d->reject();
        filterShown = filter->currentText();
        suffix = d->defaultSuffix();
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return list->model()->rowCount(list->rootIndex()) >= 3; }));
        for (int i = 0; i < list->model()->rowCount(list->rootIndex()); ++i) {
            const QModelIndex index = list->model()->index(i, 0, list->rootIndex());
            listed << index.data().toString();
            list->setCurrentIndex(index); // as a click on the name does
            previewed[index.data().toString()] = !preview->pixmap().isNull();
        }
        // A .dib is a bitmap too, though the filter does not list it.
        emit d->currentChanged(PathOf("mixed.dib"));
        previewed["mixed.dib"] = !preview->pixmap().isNull();
        d->reject();
    });

    EXPECT_EQ(filterShown, "Bitmap");
    EXPECT_EQ(suffix, "BMP");
    listed.sort();
    EXPECT_EQ(listed, (QStringList{"damaged.Bmp", "lower.bmp", "upper.BMP"}));
    EXPECT_TRUE(previewed["lower.bmp"]);
    EXPECT_TRUE(previewed["upper.BMP"]);
    EXPECT_TRUE(previewed["mixed.dib"]);
    EXPECT_FALSE(previewed["damaged.Bmp"]);
}

} // namespace
} // namespace velkaro
