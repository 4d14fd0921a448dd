// The palette window: the swatch strip, the three colour sliders and the single-colour set.
#include "ui/upalette.h"

#include "ui/Unit1.h"
#include "ui/controls/Align.h"
#include "ui/controls/PaintBox.h"
#include "ui/controls/Panel.h"

#include <QLabel>
#include <QScrollBar>

#include <algorithm>

namespace velkaro {

namespace {

constexpr int FirstSetSlots = 8; // the slots that the colour and single-colour sets replace
constexpr int OutlineWidth = 3;
constexpr TColor SelectedOutline = 0x0000FF; // red
constexpr TColor Outline = 0x101010;
constexpr TColor RedPanelColour = 0x8080FF;
constexpr TColor GreenPanelColour = 0x80FF80;
constexpr TColor BluePanelColour = 0xE0A000;

struct Slider {
    Panel* panel;
    QScrollBar* bar;
    QLabel* label;
};

// One coloured slider panel of the bottom row: the scroll bar and its value text to the right.
Slider NewSlider(QWidget* parent, TColor colour, int barWidth, int position) {
    auto* panel = new Panel(parent, {}, Bevel::None);
    panel->SetColor(colour);
    panel->resize(300, 26);
    SetAlign(panel, Align::Left);
    auto* bar = new QScrollBar(Qt::Horizontal, panel);
    bar->setGeometry(5, 5, barWidth, 16);
    bar->setRange(0, 255);
    bar->setValue(position);
    bar->setFocusPolicy(Qt::StrongFocus);
    auto* label = new QLabel(panel);
    label->setGeometry(224, 8, 74, 13);
    return {panel, bar, label};
}

QString SliderText(int position) {
    return QString::number(position) + " / " + QString::number(position * 100 / 255) + "%";
}

} // namespace

TFPalette::TFPalette(TFVelkaro& owner)
    : QWidget(&owner, Qt::Tool | Qt::WindowStaysOnTopHint), owner_(owner) {
    setWindowTitle(Caption);
    BuildLayout();
    pp->OnPaint = [this] { ppPaint(); };
    pp->OnMouseDown = [this](Qt::MouseButton, int x, int) { ppMouseDown(x); };
    for (auto* bar : {sbr, sbg, sbb})
        connect(bar, &QScrollBar::valueChanged, this, [this] { sbrChange(); });
    // Floating, it would sit centred over the main window; in practice it is always docked.
    move(owner.geometry().center() - rect().center());
}

void TFPalette::BuildLayout() {
    resize(944, 69);
    SetAlignInset(this, 0);
    Panel5 = new Panel(this, {}, Bevel::Lowered);
    Panel5->resize(944, 28);
    SetAlign(Panel5, Align::Bottom);
    Panel4 = new Panel(this, {}, Bevel::Lowered);
    SetAlign(Panel4, Align::Client);
    pp = new PaintBox(Panel4);
    pp->SetBackground(Canvas::FromRgb(palette().color(QPalette::Window).rgb()));
    SetAlign(pp, Align::Client);

    const Slider red = NewSlider(Panel5, RedPanelColour, 208, 255);
    const Slider green = NewSlider(Panel5, GreenPanelColour, 209, 0);
    const Slider blue = NewSlider(Panel5, BluePanelColour, 208, 0);
    Panel8 = red.panel;
    sbr = red.bar;
    LR = red.label;
    Panel6 = green.panel;
    sbg = green.bar;
    LG = green.label;
    panelx = blue.panel;
    sbb = blue.bar;
    LB = blue.label;
    ArrangeAligned(this);
    ArrangeAligned(Panel5);
    ArrangeAligned(Panel4);
}

void TFPalette::DockInto(QWidget* host) {
    setParent(host, Qt::Widget); // a child window has no border of its own
    SetAlign(this, Align::Client);
    show();
}

void TFPalette::paintEvent(QPaintEvent*) {
    FormPaint();
}

void TFPalette::FormPaint() {
    ppPaint();
}

void TFPalette::SetMono(bool mono) {
    MonoFlag = mono;
    Panel6->setVisible(!mono);
    panelx->setVisible(!mono);
    const auto& saved = mono ? owner_.GreySwatches : owner_.ColorSwatches;
    std::copy_n(saved.begin(), FirstSetSlots, owner_.Palette.begin());
    Panel8->SetColor(mono ? White : RedPanelColour);
    ppPaint();
}

void TFPalette::LoadSliders() {
    owner_.SwatchSync = false;
    const TColor swatch = owner_.Palette[static_cast<std::size_t>(owner_.SelectedSwatch)];
    sbr->setValue(RedOf(swatch));
    sbg->setValue(GreenOf(swatch));
    sbb->setValue(BlueOf(swatch));
    owner_.SwatchSync = true;
}

int TFPalette::SwatchSize() const {
    return pp->width() / ShownSwatches;
}

void TFPalette::DrawSwatch(int slot, int size) {
    const TColor colour = owner_.Palette[static_cast<std::size_t>(slot)];
    Canvas& canvas = pp->canvas();
    const int left = slot * size;
    const int right = left + size;
    // The 3-pixel outline is centred on the square's one-pixel border, so it reaches one pixel
    // beyond the square and overlaps the outline of the square to the left.
    const int reach = OutlineWidth / 2;
    canvas.SetBrushColor(slot == owner_.SelectedSwatch ? SelectedOutline : Outline);
    canvas.FillRect(left - reach, -reach, right + reach, size + reach);
    canvas.SetBrushColor(MonoFlag ? MonoGrey(colour) : colour);
    canvas.FillRect(left + reach + 1, reach + 1, right - reach - 1, size - reach - 1);
}

void TFPalette::ppPaint() {
    const int size = SwatchSize();
    if (size == 0) return; // a strip narrower than 32 pixels has no room for a square
    for (int slot = 0; slot < ShownSwatches; ++slot) DrawSwatch(slot, size);
}

void TFPalette::ppMouseDown(int x) {
    const int size = SwatchSize();
    if (size == 0) return;
    // Right of the last square lies the spare slot; a strip whose remainder is wider than one
    // square still selects nothing beyond it.
    owner_.SelectedSwatch = std::clamp(x / size, 0, SpareSwatch);
    ppPaint();
    LoadSliders();
}

void TFPalette::sbrChange() {
    LR->setText(SliderText(sbr->value()));
    LG->setText(SliderText(sbg->value()));
    LB->setText(SliderText(sbb->value()));
    if (!owner_.SwatchSync) return;
    const TColor swatch = RGB(sbr->value(), sbg->value(), sbb->value());
    owner_.Palette[static_cast<std::size_t>(owner_.SelectedSwatch)] = swatch;
    ppPaint();
    if (owner_.PickActive) owner_.Cells[owner_.CurRow][owner_.CurCol] = swatch;
    owner_.PaintGrid();
}

} // namespace velkaro
