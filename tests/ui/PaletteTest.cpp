#include "WindowFixture.h"

#include "ui/PaletteWindow.h"
#include "ui/controls/Panel.h"

#include <QCheckBox>
#include <QLabel>

namespace velkaro {
namespace {

constexpr TColor Red = 0x0000FF;
constexpr TColor NearBlack = 0x101010;

class PaletteTest : public WindowTest {
protected:
    PaletteWindow& pal() { return w->Palette(); }
    int S() { return pal().SwatchSize(); }
    TColor StripAt(int x, int y) {
        return Child<PaintBox>(pal(), "swatchStrip")->canvas().Pixel(x, y);
    }
    // The middle of a swatch's square, well inside its outline.
    TColor SwatchShown(int slot) { return StripAt(slot * S() + S() / 2, S() / 2); }
    // The outline pixel just inside the square's left edge (not covered by the left neighbour).
    TColor OutlineOf(int slot) { return StripAt(slot * S() + 1, S() / 2); }
    void ClickStrip(int x) {
        QTest::mouseClick(Child<PaintBox>(pal(), "swatchStrip"), Qt::LeftButton, {}, QPoint(x, 5));
    }
    void ClickSwatch(int slot) { ClickStrip(slot * S() + S() / 2); }
    int RedOutlines() {
        int count = 0;
        for (int slot = 0; slot < 32; ++slot) count += OutlineOf(slot) == Red;
        return count;
    }
};

TEST_F(PaletteTest, DockedIntoThePaletteStripAboveThePreview) {
    EXPECT_EQ(pal().parentWidget(), Child<Panel>(*w, "paletteHost"));
    EXPECT_FALSE(pal().isWindow());
    EXPECT_TRUE(pal().isVisible());
    EXPECT_EQ(pal().geometry(),
              Child<Panel>(*w, "paletteHost")->contentsRect().adjusted(1, 1, -1, -1));
    EXPECT_EQ(Child<PaintBox>(pal(), "swatchStrip")->height(), 34);
    EXPECT_EQ(Child<PaintBox>(pal(), "swatchStrip")->width(), pal().width() - 2);
    EXPECT_EQ(Child<Panel>(pal(), "sliderRow")->height(), 28);
    EXPECT_LT(Child<Panel>(*w, "paletteHost")->geometry().bottom(),
              Child<Panel>(*w, "previewPanel")->geometry().top());
    EXPECT_EQ(Child<Panel>(pal(), "redSliderPanel")->Color(), 0x8080FFu);
    EXPECT_EQ(Child<Panel>(pal(), "greenSliderPanel")->Color(), 0x80FF80u);
    EXPECT_EQ(Child<Panel>(pal(), "blueSliderPanel")->Color(), 0xE0A000u);
    EXPECT_EQ(Child<QScrollBar>(pal(), "redSlider")->geometry(), QRect(5, 5, 208, 16));
    EXPECT_EQ(Child<QScrollBar>(pal(), "greenSlider")->geometry(), QRect(5, 5, 209, 16));
    EXPECT_EQ(Child<Panel>(pal(), "greenSliderPanel")->x(),
              301); // inside the one-pixel bevel of Panel5
    EXPECT_EQ(Child<Panel>(pal(), "blueSliderPanel")->x(), 601);
}

TEST_F(PaletteTest, StripAndLabelsAtStart) {
    const TColor start[] = {0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
    for (int slot = 0; slot < 7; ++slot) EXPECT_EQ(SwatchShown(slot), start[slot]) << slot;
    for (int slot = 7; slot < 32; ++slot) EXPECT_EQ(SwatchShown(slot), Black) << slot;
    EXPECT_EQ(OutlineOf(0), Red);
    EXPECT_EQ(RedOutlines(), 1);
    EXPECT_EQ(OutlineOf(1), NearBlack);
    EXPECT_EQ(StripAt(S() + 1, S() + 2), Canvas::FromRgb(pal().palette().window().color().rgb()))
        << "below the squares the strip keeps its background";
    EXPECT_EQ(Child<QLabel>(pal(), "redValueLabel")->text(), "255 / 100%");
    EXPECT_EQ(Child<QLabel>(pal(), "greenValueLabel")->text(), "0 / 0%");
    EXPECT_EQ(Child<QLabel>(pal(), "blueValueLabel")->text(), "0 / 0%");
    EXPECT_FALSE(w->Show().SwatchSync);
}

TEST_F(PaletteTest, SlidersBeforeTheFirstSwatchClickOnlyRenewTheirLabels) {
    const auto before = w->Show().Palette;
    Child<QScrollBar>(pal(), "greenSlider")->setValue(128);
    EXPECT_EQ(Child<QLabel>(pal(), "greenValueLabel")->text(), "128 / 50%");
    EXPECT_EQ(Child<QLabel>(pal(), "redValueLabel")->text(), "255 / 100%");
    EXPECT_EQ(Child<QLabel>(pal(), "blueValueLabel")->text(), "0 / 0%");
    EXPECT_EQ(w->Show().Palette, before);
    EXPECT_EQ(w->Show().Cells[0][0], Black);
}

TEST_F(PaletteTest, ClickedSwatchIsLoadedOntoTheSlidersAndMixedByThem) {
    ClickSwatch(2);
    EXPECT_EQ(w->Show().SelectedSwatch, 2);
    EXPECT_EQ(Child<QScrollBar>(pal(), "redSlider")->value(), 0);
    EXPECT_EQ(Child<QScrollBar>(pal(), "blueSlider")->value(), 255);
    EXPECT_EQ(Child<QLabel>(pal(), "blueValueLabel")->text(), "255 / 100%");
    EXPECT_EQ(OutlineOf(2), Red);
    EXPECT_EQ(RedOutlines(), 1);
    EXPECT_EQ(w->Show().Palette[2], 0xFF0000u) << "loading the sliders does not write the swatch";

    Child<QScrollBar>(pal(), "redSlider")->setValue(255);
    EXPECT_EQ(w->Show().Palette[2], 0xFF00FFu);
    EXPECT_EQ(SwatchShown(2), 0xFF00FFu);
    EXPECT_EQ(w->Show().Cells[0][0], Black) << "outside pick mode no cell follows the sliders";
}

TEST_F(PaletteTest, SingleColourModeShowsTheGreySetAndOnlyTheRedSlider) {
    w->Show().Palette[10] = RGB(64, 200, 17);
    QTest::mouseClick(Child<QCheckBox>(*w, "singleColourCheck"), Qt::LeftButton, {}, QPoint(5, 8));
    ASSERT_TRUE(Child<QCheckBox>(*w, "singleColourCheck")->isChecked());
    EXPECT_FALSE(Child<Panel>(pal(), "greenSliderPanel")->isVisible());
    EXPECT_FALSE(Child<Panel>(pal(), "blueSliderPanel")->isVisible());
    EXPECT_TRUE(Child<Panel>(pal(), "redSliderPanel")->isVisible());
    EXPECT_EQ(Child<Panel>(pal(), "redSliderPanel")->Color(), White);
    for (int slot = 0; slot < 8; ++slot) {
        const TColor grey = static_cast<TColor>((8 - slot) * 32 - 1) * GreyUnit;
        EXPECT_EQ(w->Show().Palette[static_cast<std::size_t>(slot)], grey) << slot;
        EXPECT_EQ(SwatchShown(slot), grey) << slot;
    }
    EXPECT_EQ(w->Show().Palette[10], RGB(64, 200, 17)) << "the swatch itself is kept";
    EXPECT_EQ(SwatchShown(10), 0x404040u) << "drawn as the grey of its red byte";

    QTest::mouseClick(Child<QCheckBox>(*w, "singleColourCheck"), Qt::LeftButton, {}, QPoint(5, 8));
    EXPECT_TRUE(Child<Panel>(pal(), "greenSliderPanel")->isVisible());
    EXPECT_TRUE(Child<Panel>(pal(), "blueSliderPanel")->isVisible());
    EXPECT_EQ(Child<Panel>(pal(), "redSliderPanel")->Color(), 0x8080FFu);
    EXPECT_EQ(SwatchShown(0), 0x0000FFu);
    EXPECT_EQ(SwatchShown(10), RGB(64, 200, 17));
}

TEST_F(PaletteTest, MixesInTheFirstEightSlotsAreLostOverTwoModeSwitches) {
    ClickSwatch(3);
    Child<QScrollBar>(pal(), "redSlider")->setValue(0x80);
    EXPECT_EQ(w->Show().Palette[3], 0x00FF80u);
    ClickSwatch(12);
    Child<QScrollBar>(pal(), "redSlider")->setValue(0x80);
    Child<QScrollBar>(pal(), "greenSlider")->setValue(0xFF);
    EXPECT_EQ(w->Show().Palette[12], 0x00FF80u);
    QTest::mouseClick(Child<QCheckBox>(*w, "singleColourCheck"), Qt::LeftButton, {}, QPoint(5, 8));
    QTest::mouseClick(Child<QCheckBox>(*w, "singleColourCheck"), Qt::LeftButton, {}, QPoint(5, 8));
    EXPECT_EQ(w->Show().Palette[3], 0x00FFFFu);
    EXPECT_EQ(w->Show().Palette[12], 0x00FF80u);
    EXPECT_EQ(w->Show().SelectedSwatch, 12);
    EXPECT_EQ(Child<QScrollBar>(pal(), "greenSlider")->value(), 0xFF)
        << "sliders stay where they were";
}

TEST_F(PaletteTest, ClicksRightOfTheSquaresSelectTheSpareSlotAndNoFurther) {
    for (int width : {817, 958, 100}) {
        Child<PaintBox>(pal(), "swatchStrip")->resize(width, 34);
        const int size = width / 32;
        w->Show().Palette[32] = Black;
        for (int x : {32 * size, width - 1}) {
            ClickSwatch(0);
            ClickStrip(x);
            EXPECT_EQ(w->Show().SelectedSwatch, 32) << width << " " << x;
            EXPECT_EQ(RedOutlines(), 0) << width;
            EXPECT_EQ(Child<QScrollBar>(pal(), "redSlider")->value(), 0);
        }
        // The spare slot is mixed and painted like any other.
        Child<QScrollBar>(pal(), "redSlider")->setValue(77);
        EXPECT_EQ(w->Show().Palette[32], 77u);
    }
}

TEST_F(PaletteTest, AStripTooNarrowForASquareSelectsNothing) {
    ClickSwatch(5);
    Child<PaintBox>(pal(), "swatchStrip")->resize(31, 34);
    ASSERT_EQ(S(), 0);
    for (int x : {0, 15, 30}) ClickStrip(x);
    EXPECT_EQ(w->Show().SelectedSwatch, 5);
    Child<PaintBox>(pal(), "swatchStrip")->Repaint();
    EXPECT_EQ(StripAt(0, 0), StripAt(15, 15)) << "nothing is drawn";
}

} // namespace
} // namespace velkaro
