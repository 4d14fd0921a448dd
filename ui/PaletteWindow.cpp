// The palette window: the swatch strip, the three colour sliders and the single-colour set.
#include "ui/PaletteWindow.h"

#include "ui/GridView.h"
#include "ui/ShowState.h"
#include "ui/controls/Align.h"
#include "ui/controls/PaintBox.h"
#include "ui/controls/Panel.h"

#include <QLabel>
#include <QScrollBar>

#include <algorithm>

namespace velkaro {

namespace {

constexpr int FirstSetSlots = 8; // the slots that the colour and single-colour sets replace
constexpr int PickSlot = 31;     // the swatch that takes a picked colour no swatch holds yet
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
Slider NewSlider(QWidget* parent, const QString& name, const QString& colourName, TColor colour,
                 int barWidth, int position) {
    auto* panel = new Panel(parent, {}, Bevel::None);
    panel->setObjectName(name + "SliderPanel");
    panel->SetColor(colour);
    panel->resize(300, 26);
    SetAlign(panel, Align::Left);
    auto* bar = new QScrollBar(Qt::Horizontal, panel);
    bar->setObjectName(name + "Slider");
    bar->setAccessibleName(colourName);
    bar->setGeometry(5, 5, barWidth, 16);
    bar->setRange(0, 255);
    bar->setValue(position);
    bar->setFocusPolicy(Qt::StrongFocus);
    auto* label = new QLabel(panel);
    label->setObjectName(name + "ValueLabel");
    label->setGeometry(224, 8, 74, 13);
    return {panel, bar, label};
}

QString SliderText(int position) {
    return QString::number(position) + " / " + QString::number(position * 100 / 255) + "%";
}

} // namespace

PaletteWindow::PaletteWindow(QWidget* owner, ShowState& show, GridView& view)
    : QWidget(owner, Qt::Tool | Qt::WindowStaysOnTopHint), show_(show), view_(view) {
    setObjectName("paletteWindow");
    setWindowTitle(Caption);
    BuildLayout();
    swatchStrip_->OnPaint = [this] { PaintSwatches(); };
    swatchStrip_->OnMouseDown = [this](Qt::MouseButton, int x, int) { SwatchClicked(x); };
    for (auto* bar : {redSlider_, greenSlider_, blueSlider_})
        connect(bar, &QScrollBar::valueChanged, this, [this] { SlidersMoved(); });
    // Floating, it would sit centred over the main window; in practice it is always docked.
    move(owner->geometry().center() - rect().center());
}

void PaletteWindow::BuildLayout() {
    resize(944, 69);
    SetAlignInset(this, 0);
    auto* sliderRow = new Panel(this, {}, Bevel::Lowered);
    sliderRow->setObjectName("sliderRow");
    sliderRow->resize(944, 28);
    SetAlign(sliderRow, Align::Bottom);
    auto* stripPanel = new Panel(this, {}, Bevel::Lowered);
    stripPanel->setObjectName("swatchStripPanel");
    SetAlign(stripPanel, Align::Client);
    swatchStrip_ = new PaintBox(stripPanel);
    swatchStrip_->setObjectName("swatchStrip");
    swatchStrip_->setAccessibleName("Farbpalette");
    swatchStrip_->SetBackground(Canvas::FromRgb(palette().color(QPalette::Window).rgb()));
    SetAlign(swatchStrip_, Align::Client);

    const Slider red = NewSlider(sliderRow, "red", "Rot", RedPanelColour, 208, 255);
    const Slider green = NewSlider(sliderRow, "green", "Grün", GreenPanelColour, 209, 0);
    const Slider blue = NewSlider(sliderRow, "blue", "Blau", BluePanelColour, 208, 0);
    redSliderPanel_ = red.panel;
    redSlider_ = red.bar;
    redValueLabel_ = red.label;
    greenSliderPanel_ = green.panel;
    greenSlider_ = green.bar;
    greenValueLabel_ = green.label;
    blueSliderPanel_ = blue.panel;
    blueSlider_ = blue.bar;
    blueValueLabel_ = blue.label;
    ArrangeAligned(this);
    ArrangeAligned(sliderRow);
    ArrangeAligned(stripPanel);
}

void PaletteWindow::DockInto(QWidget* host) {
    setParent(host, Qt::Widget); // a child window has no border of its own
    SetAlign(this, Align::Client);
    show();
}

void PaletteWindow::paintEvent(QPaintEvent*) {
    PaintSwatches();
}

void PaletteWindow::SetMono(bool mono) {
    singleColour_ = mono;
    greenSliderPanel_->setVisible(!mono);
    blueSliderPanel_->setVisible(!mono);
    const auto& saved = mono ? show_.GreySwatches : show_.ColorSwatches;
    std::copy_n(saved.begin(), FirstSetSlots, show_.Palette.begin());
    redSliderPanel_->SetColor(mono ? White : RedPanelColour);
    PaintSwatches();
}

void PaletteWindow::LoadSliders() {
    show_.SwatchSync = false;
    const TColor swatch = show_.Palette[static_cast<std::size_t>(show_.SelectedSwatch)];
    redSlider_->setValue(RedOf(swatch));
    greenSlider_->setValue(GreenOf(swatch));
    blueSlider_->setValue(BlueOf(swatch));
    show_.SwatchSync = true;
}

int PaletteWindow::SwatchSize() const {
    return swatchStrip_->width() / ShownSwatches;
}

void PaletteWindow::DrawSwatch(int slot, int size) {
    const TColor colour = show_.Palette[static_cast<std::size_t>(slot)];
    Canvas& canvas = swatchStrip_->canvas();
    const int left = slot * size;
    const int right = left + size;
    // The 3-pixel outline is centred on the square's one-pixel border, so it reaches one pixel
    // beyond the square and overlaps the outline of the square to the left.
    const int reach = OutlineWidth / 2;
    canvas.SetBrushColor(slot == show_.SelectedSwatch ? SelectedOutline : Outline);
    canvas.FillRect(left - reach, -reach, right + reach, size + reach);
    canvas.SetBrushColor(singleColour_ ? MonoGrey(colour) : colour);
    canvas.FillRect(left + reach + 1, reach + 1, right - reach - 1, size - reach - 1);
}

void PaletteWindow::PaintSwatches() {
    const int size = SwatchSize();
    if (size == 0) return; // a strip narrower than 32 pixels has no room for a square
    for (int slot = 0; slot < ShownSwatches; ++slot) DrawSwatch(slot, size);
}

void PaletteWindow::SwatchClicked(int x) {
    const int size = SwatchSize();
    if (size == 0) return;
    // Right of the last square lies the spare slot; a strip whose remainder is wider than one
    // square still selects nothing beyond it.
    show_.SelectedSwatch = std::clamp(x / size, 0, SpareSwatch);
    PaintSwatches();
    LoadSliders();
}

void PaletteWindow::SlidersMoved() {
    redValueLabel_->setText(SliderText(redSlider_->value()));
    greenValueLabel_->setText(SliderText(greenSlider_->value()));
    blueValueLabel_->setText(SliderText(blueSlider_->value()));
    if (!show_.SwatchSync) return;
    const TColor swatch = RGB(redSlider_->value(), greenSlider_->value(), blueSlider_->value());
    show_.Palette[static_cast<std::size_t>(show_.SelectedSwatch)] = swatch;
    PaintSwatches();
    if (show_.PickActive) show_.Cells[show_.CurRow][show_.CurCol] = swatch;
    view_.PaintGrid();
}

void PaletteWindow::PickColour(TColor colour) {
    if (isHidden()) show();
    // The lowest of the 32 shown swatches that holds the colour; otherwise the colour replaces
    // swatch 31. The spare slot 32 is never searched.
    auto& palette = show_.Palette;
    const auto shown = palette.begin() + ShownSwatches;
    const auto found = std::find(palette.begin(), shown, colour);
    if (found == shown) palette[PickSlot] = colour;
    show_.SelectedSwatch = found == shown ? PickSlot : static_cast<int>(found - palette.begin());
    LoadSliders();
    swatchStrip_->Repaint();
}

} // namespace velkaro
