#include "ui/controls/Canvas.h"

#include <gtest/gtest.h>

#include <string>

namespace velkaro {
namespace {

// The lit pixels of a small image, one text row per image row ('#' lit, '.' black).
std::string Lit(const Canvas& canvas) {
    std::string rows;
    for (int y = 0; y < canvas.Height(); ++y) {
        for (int x = 0; x < canvas.Width(); ++x) rows += canvas.Pixel(x, y) == Black ? '.' : '#';
        rows += '\n';
    }
    return rows;
}

class CanvasLineTest : public ::testing::Test {
protected:
    void SetUp() override {
        image.fill(Canvas::ToRgb(Black));
        canvas.SetPenColor(White);
    }
    void Line(int x1, int y1, int x2, int y2) {
        canvas.MoveTo(x1, y1);
        canvas.LineTo(x2, y2);
    }
    QImage image{5, 4, QImage::Format_RGB32};
    Canvas canvas{&image};
};

TEST_F(CanvasLineTest, StraightLinesLeaveOutTheirEndPixelInEitherDirection) {
    Line(1, 0, 4, 0);
    Line(3, 3, 0, 3);
    Line(0, 0, 0, 2);
    Line(4, 3, 4, 1);
    EXPECT_EQ(Lit(canvas), "####.\n"
                           "#....\n"
                           "....#\n"
                           ".####\n");
}

TEST_F(CanvasLineTest, LinesFarBeyondTheImageAreCutToIt) {
    Line(-100000, 1, 100000, 1);
    Line(2, 100000, 2, -100000);
    Line(-5, 7, 9, 7); // wholly below
    Line(7, -5, 7, 9); // wholly right
    EXPECT_EQ(Lit(canvas), "..#..\n"
                           "#####\n"
                           "..#..\n"
                           "..#..\n");
}

TEST_F(CanvasLineTest, SlantedLinesStillStepPixelByPixel) {
    Line(0, 0, 4, 4);
    EXPECT_EQ(Lit(canvas), "#....\n"
                           ".#...\n"
                           "..#..\n"
                           "...#.\n");
}

} // namespace
} // namespace velkaro
