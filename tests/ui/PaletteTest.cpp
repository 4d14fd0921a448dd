#include "WindowFixture.h"

#include "ui/controls/Panel.h"
#include "ui/upalette.h"

#include <QCheckBox>
#include <QLabel>

namespace velkaro {
namespace {

constexpr TColor Red = 0x0000FF;
constexpr TColor NearBlack = 0x101010;

class PaletteTest : public WindowTest {
protected:
    TFPalette& pal() { return *w->FPalette; }
    int S() { return pal().SwatchSize(); }
    TColor StripAt(int x, int y) { return pal().pp->canvas().Pixel(x, y); }
    // The middle of a swatch's square, well inside its outline.
    TColor SwatchShown(int slot) { return StripAt(slot * S() + S() / 2, S() / 2); }
    // The outline pixel just inside the square's left edge (not covered by the left neighbour).
    TColor OutlineOf(int slot) { return StripAt(slot * S() + 1, S() / 2); }
    void ClickStrip(int x) { QTest::mouseClick(pal().pp, Qt::LeftButton, {}, QPoint(x, 5)); }
    void ClickSwatch(int slot) { ClickStrip(slot * S() + S() / 2); }
    int RedOutlines() {
        int count = 0;
        for (int slot = 0; slot < 32; ++slot) count += OutlineOf(slot) == Red;
        return count;
    }
};

TEST_F(PaletteTest, DockedIntoThePaletteStripAboveThePreview) {
    EXPECT_EQ(pal().parentWidget(), w->PPal);
    EXPECT_FALSE(pal().isWindow());
    EXPECT_TRUE(pal().isVisible());
    EXPECT_EQ(pal().geometry(), w->PPal->contentsRect().adjusted(1, 1, -1, -1));
    EXPECT_EQ(pal().pp->height(), 34);
    EXPECT_EQ(pal().pp->width(), pal().width() - 2);
    EXPECT_EQ(pal().Panel5->height(), 28);
    EXPECT_LT(w->PPal->geometry().bottom(), w->Panel10->geometry().top());
    EXPECT_EQ(pal().Panel8->Color(), 0x8080FFu);
    EXPECT_EQ(pal().Panel6->Color(), 0x80FF80u);
    EXPECT_EQ(pal().panelx->Color(), 0xE0A000u);
    EXPECT_EQ(pal().sbr->geometry(), QRect(5, 5, 208, 16));
    EXPECT_EQ(pal().sbg->geometry(), QRect(5, 5, 209, 16));
    EXPECT_EQ(pal().Panel6->x(), 301); // inside the one-pixel bevel of Panel5
    EXPECT_EQ(pal().panelx->x(), 601);
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
    EXPECT_EQ(pal().LR->text(), "255 / 100%");
    EXPECT_EQ(pal().LG->text(), "0 / 0%");
    EXPECT_EQ(pal().LB->text(), "0 / 0%");
    EXPECT_FALSE(w->SwatchSync);
}

TEST_F(PaletteTest, SlidersBeforeTheFirstSwatchClickOnlyRenewTheirLabels) {
    const auto before = w->Palette;
    pal().sbg->setValue(128);
    EXPECT_EQ(pal().LG->text(), "128 / 50%");
    EXPECT_EQ(pal().LR->text(), "255 / 100%");
    EXPECT_EQ(pal().LB->text(), "0 / 0%");
    EXPECT_EQ(w->Palette, before);
    EXPECT_EQ(w->Cells[0][0], Black);
}

TEST_F(PaletteTest, ClickedSwatchIsLoadedOntoTheSlidersAndMixedByThem) {
    ClickSwatch(2);
    EXPECT_EQ(w->SelectedSwatch, 2);
    EXPECT_EQ(pal().sbr->value(), 0);
    EXPECT_EQ(pal().sbb->value(), 255);
    EXPECT_EQ(pal().LB->text(), "255 / 100%");
    EXPECT_EQ(OutlineOf(2), Red);
    EXPECT_EQ(RedOutlines(), 1);
    EXPECT_EQ(w->Palette[2], 0xFF0000u) << "loading the sliders does not write the swatch";

    pal().sbr->setValue(255);
    EXPECT_EQ(w->Palette[2], 0xFF00FFu);
    EXPECT_EQ(SwatchShown(2), 0xFF00FFu);
    EXPECT_EQ(w->Cells[0][0], Black) << "outside pick mode no cell follows the sliders";
}

TEST_F(PaletteTest, SingleColourModeShowsTheGreySetAndOnlyTheRedSlider) {
    w->Palette[10] = RGB(64, 200, 17);
    QTest::mouseClick(w->cbmono, Qt::LeftButton, {}, QPoint(5, 8));
    ASSERT_TRUE(w->cbmono->isChecked());
    EXPECT_TRUE(pal().MonoFlag);
    EXPECT_FALSE(pal().Panel6->isVisible());
    EXPECT_FALSE(pal().panelx->isVisible());
    EXPECT_TRUE(pal().Panel8->isVisible());
    EXPECT_EQ(pal().Panel8->Color(), White);
    for (int slot = 0; slot < 8; ++slot) {
        const TColor grey = static_cast<TColor>((8 - slot) * 32 - 1) * GreyUnit;
        EXPECT_EQ(w->Palette[static_cast<std::size_t>(slot)], grey) << slot;
        EXPECT_EQ(SwatchShown(slot), grey) << slot;
    }
    EXPECT_EQ(w->Palette[10], RGB(64, 200, 17)) << "the swatch itself is kept";
    EXPECT_EQ(SwatchShown(10), 0x404040u) << "drawn as the grey of its red byte";

    QTest::mouseClick(w->cbmono, Qt::LeftButton, {}, QPoint(5, 8));
    EXPECT_TRUE(pal().Panel6->isVisible());
    EXPECT_TRUE(pal().panelx->isVisible());
    EXPECT_EQ(pal().Panel8->Color(), 0x8080FFu);
    EXPECT_EQ(SwatchShown(0), 0x0000FFu);
    EXPECT_EQ(SwatchShown(10), RGB(64, 200, 17));
}

TEST_F(PaletteTest, MixesInTheFirstEightSlotsAreLostOverTwoModeSwitches) {
    ClickSwatch(3);
    pal().sbr->setValue(0x80);
    EXPECT_EQ(w->Palette[3], 0x00FF80u);
    ClickSwatch(12);
    pal().sbr->setValue(0x80);
    pal().sbg->setValue(0xFF);
    EXPECT_EQ(w->Palette[12], 0x00FF80u);
    QTest::mouseClick(w->cbmono, Qt::LeftButton, {}, QPoint(5, 8));
    QTest::mouseClick(w->cbmono, Qt::LeftButton, {}, QPoint(5, 8));
    EXPECT_EQ(w->Palette[3], 0x00FFFFu);
    EXPECT_EQ(w->Palette[12], 0x00FF80u);
    EXPECT_EQ(w->SelectedSwatch, 12);
    EXPECT_EQ(pal().sbg->value(), 0xFF) << "sliders stay where they were";
}

TEST_F(PaletteTest, ClicksRightOfTheSquaresSelectTheSpareSlotAndNoFurther) {
    for (int width : {817, 958, 100}) {
        pal().pp->resize(width, 34);
        const int size = width / 32;
        w->Palette[32] = Black;
        for (int x : {32 * size, width - 1}) {
            ClickSwatch(0);
            ClickStrip(x);
            EXPECT_EQ(w->SelectedSwatch, 32) << width << " " << x;
            EXPECT_EQ(RedOutlines(), 0) << width;
            EXPECT_EQ(pal().sbr->value(), 0);
        }
        // The spare slot is mixed and painted like any other.
        pal().sbr->setValue(77);
        EXPECT_EQ(w->Palette[32], 77u);
    }
}

TEST_F(PaletteTest, AStripTooNarrowForASquareSelectsNothing) {
    ClickSwatch(5);
    pal().pp->resize(31, 34);
    ASSERT_EQ(S(), 0);
    for (int x : {0, 15, 30}) ClickStrip(x);
    EXPECT_EQ(w->SelectedSwatch, 5);
    pal().ppPaint();
    EXPECT_EQ(StripAt(0, 0), StripAt(15, 15)) << "nothing is drawn";
}

} // namespace
} // namespace velkaro
