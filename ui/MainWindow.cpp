// Composition and start-up of the main window.
#include "ui/MainWindow.h"

#include "ui/BitmapCommands.h"
#include "ui/CommandPanel.h"
#include "ui/ErrorHandling.h"
#include "ui/FileDialogs.h"
#include "ui/GridMouseEditing.h"
#include "ui/GridView.h"
#include "ui/KeyboardShortcuts.h"
#include "ui/LiveOutput.h"
#include "ui/PaletteWindow.h"
#include "ui/PreviewPlayer.h"
#include "ui/RecoveryCopies.h"
#include "ui/SelectionCommands.h"
#include "ui/SelectionPanel.h"
#include "ui/SettingsControls.h"
#include "ui/ShowEdits.h"
#include "ui/ShowFileCommands.h"
#include "ui/ShowPublisher.h"
#include "ui/ShowState.h"
#include "ui/SongColumn.h"
#include "ui/SongTrack.h"
#include "ui/StatusBar.h"
#include "ui/TempoColumn.h"
#include "ui/UndoHistory.h"
#include "ui/WindowCommands.h"
#include "ui/controls/Align.h"
#include <QGroupBox>
#include <QScrollBar>

#include <QApplication>
#include <QCloseEvent>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWheelEvent>

#include <utility>

namespace velkaro {

namespace {

// Places the aligned children of every panel, parents before children, so the sizes are right
// before the window is first shown.
void ArrangeTree(QWidget* root) {
    ArrangeAligned(root);
    for (auto* child : root->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        ArrangeTree(child);
}

} // namespace

MainWindow::MainWindow(const WindowOptions& options, QWidget* parent)
    : QWidget(parent), options_(options), show_(std::make_unique<ShowState>()) {
    BuildLayout();
    ArrangeTree(this);
    undo_ = std::make_unique<UndoHistory>(*show_, *settings_, *gridView_);
    CreateCommands();
    settings_->Start();
    StartShow();
    qApp->installEventFilter(this);
    // The palette window is created hidden, right after the main window is complete.
    paletteWindow_ = new PaletteWindow(this, *show_, *gridView_);
    mouseEditing_ = std::make_unique<GridMouseEditing>(this, *show_, *settings_, *gridView_, *undo_,
                                                       *paletteWindow_);
    connect(settings_, &SettingsControls::singleColourClicked, this,
            [this] { paletteWindow_->SetMono(settings_->MonoMode()); });
    InstallKeyboardShortcuts(
        this, {*files_, *undo_, *selectionCommands_, *gridView_, *show_, *settings_});
    recovery_ = std::make_unique<RecoveryCopies>(*show_, *settings_);
    recovery_->MarkSaved();
    connect(files_, &ShowFileCommands::showMatchesFile, this, [this] { recovery_->MarkSaved(); });
    if (options_.LiveUniverse) liveOutput_->SwitchOn(*options_.LiveUniverse);
    CentreOnScreen();
}

MainWindow::~MainWindow() {
    qApp->removeEventFilter(this);
}

void MainWindow::BuildLayout() {
    setWindowTitle(Title);
    // The client area that gives the grid 931 x 687 pixels, and the song's column beside it.
    resize(1105 + SongColumn::Width + TempoColumn::Width, 809);
    SetAlignInset(this, 0);
    settings_ = new SettingsControls(this);
    // First, so that the engine's thread ends before the parts it reports to go away.
    publisher_ = new ShowPublisher(this, *show_, *settings_, options_.OlaPort);
    // A setting is one discrete change and reaches the lamps at once; cell edits are gathered.
    connect(settings_, &SettingsControls::playbackChanged, publisher_, &ShowPublisher::PublishNow);
    preview_ = new PreviewPlayer(this, *show_, *settings_, *publisher_);
    liveOutput_ = new LiveOutput(this, *publisher_);
    song_ = new SongTrack(this, *publisher_, *settings_);
    ConnectSongToPreview();
    // Aligned before the command panel, so the panel keeps its place and the columns lie
    // beyond it, the tempo's outermost.
    tempoColumn_ = new TempoColumn(this, *song_, *settings_);
    songColumn_ = new SongColumn(this, *song_, *preview_, *settings_);
    commandPanel_ = new CommandPanel(
        this, *settings_, [this](QGroupBox* box) { preview_->BuildSpeedBar(box); },
        [this](QGroupBox* box) { liveOutput_->BuildGroup(box); });
    selectionPanel_ = new SelectionPanel(this);
    BuildGridArea();
    songColumn_->FollowGrid(*gridView_);
}

void MainWindow::ConnectSongToPreview() {
    connect(preview_, &PreviewPlayer::starting, song_, &SongTrack::Play);
    connect(preview_, &PreviewPlayer::stopping, song_, &SongTrack::Pause);
    connect(preview_, &PreviewPlayer::rewinding, song_, &SongTrack::Rewind);
    connect(preview_, &PreviewPlayer::speedChanging, song_, &SongTrack::SetSpeed);
}

void MainWindow::BuildGridArea() {
    gridArea_ = new Panel(this, {}, Bevel::Lowered);
    gridArea_->setObjectName("gridArea");
    gridArea_->SetColor(Black);
    SetAlign(gridArea_, Align::Client);
    statusBar_ = new StatusBar(gridArea_);
    preview_->BuildBar(gridArea_);
    paletteHost_ = new Panel(gridArea_, "Palette");
    paletteHost_->setObjectName("paletteHost");
    paletteHost_->resize(100, 66);
    SetAlign(paletteHost_, Align::Bottom);
    gridView_ = new GridView(gridArea_, *show_, *settings_);
    connect(gridView_, &GridView::painted, publisher_, &ShowPublisher::MarkChanged);
    gridView_->SetSelectionShownHandler([this](bool active) { ShowSelectionPanel(active); });
    gridView_->SetCellHoveredHandler([this](int col, int row) { statusBar_->ShowCell(col, row); });
}

void MainWindow::CreateCommands() {
    files_ = new ShowFileCommands(this, *show_, *settings_, *gridView_, *commandPanel_, *song_);
    bitmaps_ = new BitmapCommands(this, *show_, *settings_, *gridView_, *undo_);
    showEdits_ = new ShowEdits(this, *show_, *settings_, *gridView_, *undo_);
    selectionCommands_ = new SelectionCommands(this, *show_, *settings_, *gridView_, *undo_);
    commands_ = std::make_unique<WindowCommands>(WindowCommands{*show_, *settings_, *gridView_,
                                                                *undo_, *files_, *bitmaps_,
                                                                *showEdits_, *selectionCommands_});
    commandPanel_->ConnectButtons(*commands_);
    selectionPanel_->ConnectButtons(*commands_);
}

void MainWindow::StartShow() {
    ShowState& show = *show_;
    show.PickActive = false;
    // The strip starts with red, green, blue, yellow, magenta, cyan and white; the rest black.
    show.Palette.fill(Black);
    const TColor defaults[] = {0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF,
                               0xFF00FF, 0xFFFF00, 0xFFFFFF};
    std::copy(std::begin(defaults), std::end(defaults), show.Palette.begin());
    show.ColorSwatches = show.Palette;
    show.GreySwatches = show.Palette;
    for (int i = 0; i < 8; ++i)
        show.GreySwatches[static_cast<std::size_t>(i)] =
            static_cast<TColor>((8 - i) * 32 - 1) * GreyUnit;
    show.CurCol = 0;
    show.CurRow = 0;
    show.SelectedSwatch = 0;
    ClearCells(show.Cells);
    gridView_->PaintGrid();
    undo_->FillWithCurrentShow();
    show.Memory.ClipWidth = 0;
    show.Memory.ClipHeight = 0;
    settings_->SetAllowedSteps(MaxSteps);
}

void MainWindow::FirstActivation() {
    activated_ = true;
    paletteWindow_->DockInto(paletteHost_);
    ArrangeTabOrder();
    paletteWindow_->SetMono(settings_->MonoMode());
    paletteWindow_->SlidersMoved(); // the swatches are not yet in sync: this fills the labels
    selectionPanel_->resize(commandPanel_->width(), selectionPanel_->height());
    gridView_->EndSelection();
    if (!options_.ShowFile.isEmpty()) files_->LoadCommandLineShow(options_.ShowFile);
    gridView_->PaintGrid();
    if (!startSong_.isEmpty()) song_->Attach(LocalPath(startSong_));
}

void MainWindow::ShowSelectionPanel(bool active) {
    const ArrangementHold hold(this);
    commandPanel_->setVisible(!active);
    selectionPanel_->setVisible(active);
}

bool MainWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate && !activated_) {
        // The first activation puts the focus into the outputs field, and the activation step
        // runs as it arrives; later activations change nothing.
        settings_->FocusOutputs();
        RunGuarded(this, [this] { FirstActivation(); });
    }
    return QWidget::event(event);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Wheel && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        if (widget == this || isAncestorOf(widget)) {
            // A tilt wheel or a sideways swipe carries no vertical turn and scrolls nothing.
            const int delta = static_cast<QWheelEvent*>(event)->angleDelta().y();
            if (delta != 0) gridView_->HandleWheelMessage(delta);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // The window closes at once, without a question; what was never saved is kept first.
    KeepWorkAndDarkenLamps();
    event->accept();
}

void MainWindow::KeepUnsavedWork() {
    recovery_->KeepUnsavedChanges();
}

void MainWindow::KeepWorkAndDarkenLamps() {
    if (std::exchange(ended_, true)) return;
    KeepUnsavedWork();
    liveOutput_->EndWithBlackout();
}

void MainWindow::CentreOnScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    // The frame is not known before the window is shown; a usual frame adds 16 x 39 pixels.
    const QSize outer = size() + QSize(16, 39);
    const QRect area = screen->availableGeometry();
    move(area.x() + std::max(0, (area.width() - outer.width()) / 2),
         area.y() + std::max(0, (area.height() - outer.height()) / 2));
}

} // namespace velkaro
