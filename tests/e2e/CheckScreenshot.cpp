// Looks for the editor's grid in a screenshot of the whole screen and checks what a user sees:
//   CheckScreenshot shot.png empty      the start-up window: an empty one-step show
//   CheckScreenshot shot.png show RRGGBB the first cell of the shown show has that colour
#include <QImage>

#include <cstdio>
#include <optional>

namespace {

constexpr int GridWidth = 931;
constexpr int GridHeight = 687;
constexpr QRgb Red = 0xFFFF0000;
constexpr QRgb Black = 0xFF000000;
constexpr QRgb Border = 0xFF303030;

int failures = 0;

void Expect(bool ok, const char* what, int x, int y) {
    if (ok) return;
    std::fprintf(stderr, "FAILED: %s at (%d, %d)\n", what, x, y);
    ++failures;
}

QRgb At(const QImage& shot, int x, int y) {
    return shot.pixel(x, y) | 0xFF000000;
}

// The grid's top left corner: the start of the first red run exactly as wide as the grid.
std::optional<QPoint> FindGrid(const QImage& shot) {
    for (int y = 0; y + GridHeight <= shot.height(); ++y) {
        int run = 0;
        for (int x = 0; x <= shot.width(); ++x) {
            const bool red = x < shot.width() && At(shot, x, y) == Red;
            if (red) {
                ++run;
                continue;
            }
            if (run == GridWidth) return QPoint(x - run, y);
            run = 0;
        }
    }
    return std::nullopt;
}

void CheckEmptyShow(const QImage& shot, QPoint g) {
    for (int x : {0, 465, GridWidth - 1}) {
        Expect(At(shot, g.x() + x, g.y() + 1) == Red, "start line", g.x() + x, g.y() + 1);
        Expect(At(shot, g.x() + x, g.y() + 66) == Red, "end line", g.x() + x, g.y() + 66);
        Expect(At(shot, g.x() + x, g.y() + 67) == Red, "end line", g.x() + x, g.y() + 67);
        Expect(At(shot, g.x() + x, g.y() + 68) == Black, "black below the show", x, 68);
        Expect(At(shot, g.x() + x, g.y() + GridHeight - 1) == Black, "black grid area", x, 686);
    }
    Expect(At(shot, g.x(), g.y() + 30) == Border, "cell border", g.x(), g.y() + 30);
    Expect(At(shot, g.x() + 10, g.y() + 30) == Black, "black cell", g.x() + 10, g.y() + 30);
    Expect(At(shot, g.x() + 925, g.y() + 30) == Black, "undrawn right strip", g.x() + 925, 30);
}

// The help text panel of the status bar, below palette and preview: dark text on a light face.
void CheckHelpText(const QImage& shot, QPoint g) {
    const int top = g.y() + GridHeight + 66 + 25 + 4;
    int dark = 0, light = 0;
    for (int y = top; y < top + 20 && y < shot.height(); ++y)
        for (int x = g.x() + 300; x < g.x() + 600; ++x) {
            const int grey = qGray(At(shot, x, y));
            dark += grey < 90;
            light += grey > 180;
        }
    Expect(dark > 100 && light > 2000, "help text in the status bar", g.x() + 300, top);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    QImage shot(argv[1]);
    if (shot.isNull()) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 2;
    }
    const auto grid = FindGrid(shot);
    if (!grid) {
        std::fprintf(stderr, "FAILED: no grid with its red start line in the screenshot\n");
        return 1;
    }
    std::printf("grid found at (%d, %d)\n", grid->x(), grid->y());
    CheckHelpText(shot, *grid);
    if (QString(argv[2]) == "empty") CheckEmptyShow(shot, *grid);
    if (QString(argv[2]) == "show" && argc > 3) {
        const QRgb wanted = 0xFF000000 | QString(argv[3]).toUInt(nullptr, 16);
        Expect(At(shot, grid->x() + 10, grid->y() + 10) == wanted, "first cell colour",
               grid->x() + 10, grid->y() + 10);
    }
    return failures == 0 ? 0 : 1;
}
