#pragma once

#include "commands/PreviewClock.h"
#include "files/Bitmap.h"
#include "model/ShowMemory.h"
#include "model/ShowSettings.h"
#include "ui/controls/Canvas.h"

#include <QStringList>
#include <QWidget>

#include <array>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QFileDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QSpinBox;
class QTimer;

namespace velkaro {

class Panel;
class PaintBox;
class UpDown;
class TFPalette;

// The main window: the owner of the show and of every settings control. Its handlers are
// spread over several files by concern (layout, settings, grid view, undo, ...).
class TFVelkaro : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* Title = "Velkaro Version 1.07";
    static constexpr const char* HelpText = "Maustasten : [Links] Farbe setzen   [Mitte]  UNDO   "
                                            "[Rechts] Farbe aufnehmen und Bereich markieren";
    static constexpr const char* WebAddress = "velkaro.example.org";
    static constexpr const char* WebLink = "https://velkaro.example.org/";

    // arguments: the command line without the program name.
    explicit TFVelkaro(const QStringList& arguments = {}, QWidget* parent = nullptr);
    ~TFVelkaro() override;

    // The settings, read from their controls at the moment of use.
    int Outputs() const;
    int Steps() const;
    int StepLength() const;
    int BlendMode() const;
    bool MonoMode() const;
    int ShownRows() const;
    ShowSettings Settings() const;

    // ---- the show and its state ----
    ShowMemory Memory;
    Grid& Cells;
    std::array<TColor, 33> Palette{};
    std::array<TColor, 33> ColorSwatches{};
    std::array<TColor, 33> GreySwatches{};
    int SelectedSwatch = 0;
    bool SwatchSync = false;
    bool PickActive = false;
    bool SkipMouseUp = false;

    // View variables of the grid.
    int TopRow = 0;
    int BottomRow = 0;
    int RowHeight = 0;
    int ColWidth = 0;
    int ShownOutputs = 0;
    int CurCol = 0;
    int CurRow = 0;

    // The selected block, inclusive and ordered.
    bool SelActive = false;
    int SelCol1 = 0;
    int SelCol2 = 0;
    int SelRow1 = 0;
    int SelRow2 = 0;

    // ---- controls ----
    Panel* Panel1 = nullptr;
    Panel* PSel = nullptr;
    Panel* Panel2 = nullptr;
    PaintBox* pb = nullptr;
    QScrollBar* sbyoffs = nullptr;
    Panel* PPal = nullptr;
    Panel* Panel10 = nullptr;
    PaintBox* pbp = nullptr;
    Panel* Panel4 = nullptr;
    Panel* Panel5 = nullptr;
    Panel* Panel6 = nullptr;
    Panel* Panel8 = nullptr;
    Panel* Panel7 = nullptr;
    QLabel* im = nullptr;

    QGroupBox* GroupBox7 = nullptr;
    QCheckBox* cbmono = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button39 = nullptr;
    QSpinBox* SEnmal = nullptr;
    QLabel* Label1 = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QLineEdit* ENX = nullptr;
    UpDown* UDNX = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    QLineEdit* ELZ = nullptr;
    UpDown* udlz = nullptr;
    QGroupBox* GroupBox4 = nullptr;
    QPushButton* Button3 = nullptr;
    QPushButton* Button13 = nullptr;
    QPushButton* Button4 = nullptr;
    QPushButton* Button38 = nullptr;
    QPushButton* Button37 = nullptr;
    QGroupBox* GroupBox3 = nullptr;
    QLineEdit* ES = nullptr;
    UpDown* uds = nullptr;
    QGroupBox* RGM = nullptr;
    QButtonGroup* RGMItems = nullptr;
    QGroupBox* GroupBox5 = nullptr;
    QPushButton* Button5 = nullptr;
    QPushButton* Button6 = nullptr;
    QGroupBox* GroupBox8 = nullptr;
    QPushButton* Button9 = nullptr;
    QPushButton* Button10 = nullptr;
    QGroupBox* GroupBox9 = nullptr;
    QPushButton* Button11 = nullptr;
    QPushButton* Button19 = nullptr;
    QPushButton* Button20 = nullptr;
    QGroupBox* GroupBox12 = nullptr;
    QPushButton* Button17 = nullptr;
    QPushButton* Button18 = nullptr;
    QGroupBox* GroupBox10 = nullptr;
    QPushButton* Button14 = nullptr;
    QPushButton* Button12 = nullptr;
    QPushButton* Button35 = nullptr;
    QGroupBox* GroupBox18 = nullptr;
    QPushButton* Button15 = nullptr;
    QPushButton* Button16 = nullptr;
    QGroupBox* GroupBox11 = nullptr;
    QSpinBox* sbny = nullptr;
    QCheckBox* cbny = nullptr;
    QGroupBox* gbp = nullptr;
    QScrollBar* sbp = nullptr;

    QGroupBox* GroupBox6 = nullptr;
    QPushButton* Button7 = nullptr;
    QPushButton* Button8 = nullptr;
    QGroupBox* GroupBox13 = nullptr;
    QPushButton* Button21 = nullptr;
    QPushButton* Button36 = nullptr;
    QGroupBox* GroupBox14 = nullptr;
    QPushButton* Button23 = nullptr;
    QPushButton* Button24 = nullptr;
    QPushButton* Button22 = nullptr;
    QPushButton* Button29 = nullptr;
    QPushButton* Button30 = nullptr;
    QGroupBox* GroupBox16 = nullptr;
    QPushButton* Button25 = nullptr;
    QPushButton* Button28 = nullptr;
    QGroupBox* GroupBox17 = nullptr;
    QPushButton* Button33 = nullptr;
    QPushButton* Button32 = nullptr;
    QPushButton* Button31 = nullptr;
    QPushButton* Button34 = nullptr;
    QGroupBox* GroupBox19 = nullptr;
    QPushButton* Button40 = nullptr;
    QGroupBox* GroupBox15 = nullptr;
    QPushButton* Button26 = nullptr;
    QPushButton* Button27 = nullptr;
    Panel* Panel9 = nullptr;

    QTimer* Twheel = nullptr;
    QTimer* Timer1 = nullptr;

    // ---- start-up ----
    void FormCreate();
    void FormActivate();
    // The controls in the order the Tab key visits them.
    std::vector<QWidget*> TabChain() const;
    bool Activated() const { return activated_; }

    // ---- settings handlers ----
    void ENXChange();
    void ELZChange();
    void ESChange();
    void sbnyChange();
    void cbmonoClick();
    void Panel7Click();

    // ---- grid view ----
    void PaintGrid();
    void ClearView();
    void CellAt(int x, int y);
    void pbPaint();
    void sbyoffsChange();
    void sbyoffsEnter();
    void pbMouseMove(int x, int y);
    void FormMouseWheel(int delta);
    void FormMouseWheelDown();
    void FormMouseWheelUp();
    void TwheelTimer();
    // The whole path of one wheel message: the damped handler, then the per-notch handlers.
    void HandleWheelMessage(int delta);

    // ---- selection ----
    void SetSelection(bool active, int col1, int row1, int col2, int row2);
    void EndSelection();
    void DrawSelectionFrame();
    void DrawFrame(TColor colour);

    // ---- undo ----
    void PushUndo();
    void RestoreUndo();
    void Undo();
    void Redo();
    void Button15Click();
    void Button16Click();

    // ---- DMX show files ----
    QFileDialog* fod = nullptr;
    QFileDialog* fsd = nullptr;
    void Button1Click();
    void Button2Click();
    void Button39Click();
    // Loads a DMX show file and puts its steps, outputs, mode and length into the controls.
    void LoadShow(const QString& path, bool append);
    void SaveShow(const QString& path);
    void LoadCommandLineShow();
    void SetCaption(const QString& text);

    // ---- palette and mouse editing ----
    // The palette window, docked into PPal on activation; a child of this window throughout.
    TFPalette* FPalette = nullptr;
    void pbMouseDown(Qt::MouseButton button, int x, int y);
    void pbMouseUp(Qt::MouseButton button, int x, int y);
    // Finds the colour of the cell among the swatches, or puts it into swatch 31, and selects it.
    void PickCell(int col, int row);
    void Panel9Click();

    // ---- preview player ----
    void Timer1Timer();
    void sbpChange();
    void pbpClick();
    // The player's counters (PlayStep, PlayTick) and the bar colours of the last tick.
    PreviewClock PlayClock;
    PreviewColours PlayColours{};

    // ---- row generators ----
    void Button3Click();
    void Button13Click();
    void Button4Click();
    void Button38Click();
    void Button37Click();
    void Button9Click();
    void Button10Click();
    void Button11Click();
    void Button19Click();
    void Button20Click();
    void Button14Click();
    void Button12Click();
    void Button35Click();

    // ---- row, column and block commands ----
    // Whole-show mirrors of the main panel.
    void Button17Click();
    void Button18Click();
    // Whole rows and columns of the selection.
    void Button7Click();
    void Button8Click();
    void Button21Click();
    void Button36Click();
    // The selected block.
    void Button23Click();
    void Button24Click();
    void Button22Click();
    void Button29Click();
    void Button30Click();
    void Button25Click();
    void Button28Click();
    void Button31Click();
    void Button32Click();
    void Button33Click();
    void Button34Click();
    void Button40Click();

    // ---- bitmap import and export ----
    void Button5Click();
    void Button6Click();
    // The picture dialogs, kept so each opens where it was last left.
    QFileDialog* pod = nullptr;
    QFileDialog* PSD = nullptr;
    // The picture `im` carries: the last imported or exported one.
    BitmapPicture imPicture;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CentreOnScreen();
    void ArrangeTabOrder();
    void BuildLayout();
    void BuildStatusBar();
    void BuildMainPanel();
    void BuildSelectionPanel();
    void ConnectHandlers();
    void ConnectFileCommands();
    void ConnectPaletteAndMouse();
    void ConnectPreview();
    void ConnectRowGenerators();
    void ConnectBlockCommands();
    void ConnectBitmapCommands();
    void SetScrollMaximum();

    QStringList arguments_;
    bool activated_ = false;
    int wheelAccumulator_ = 0;
};

} // namespace velkaro
