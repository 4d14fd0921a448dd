// The main window's control tree: every control with its caption, hint, range, default and place.
#include "ui/Unit1.h"

#include "ui/controls/Align.h"
#include "ui/controls/PaintBox.h"
#include "ui/controls/Panel.h"
#include "ui/controls/UpDown.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTimer>

namespace velkaro {

namespace {

constexpr int SidePanelWidth = 141;

QGroupBox* NewGroupBox(QWidget* parent, const QString& caption, int height,
                       Align align = Align::Top) {
    auto* box = new QGroupBox(caption, parent);
    box->resize(SidePanelWidth, height);
    SetAlign(box, align);
    return box;
}

QPushButton* NewButton(QWidget* parent, const QString& caption, int left, int top, int width,
                       int height, const QString& hint = {}) {
    auto* button = new QPushButton(caption, parent);
    button->setGeometry(left, top, width, height);
    if (!hint.isEmpty()) button->setToolTip(hint);
    return button;
}

Panel* NewStatusField(QWidget* parent, int width, Align align) {
    auto* field = new Panel(parent, {}, Bevel::Lowered);
    field->resize(width, 27);
    SetAlign(field, align);
    return field;
}

struct NumberField {
    QLineEdit* field;
    UpDown* spinner;
};

// An edit field with its spinner to the right, as the three settings boxes place them.
NumberField NewNumberField(QGroupBox* box, int min, int max, int position, int typedLimit,
                           const QString& hint) {
    auto* field = new QLineEdit(box);
    field->setGeometry(8, 16, 97, 21);
    field->setToolTip(hint);
    auto* spinner = new UpDown(box, field, min, max, position, typedLimit);
    spinner->setGeometry(105, 16, 16, 21);
    return {field, spinner};
}

} // namespace

void TFVelkaro::BuildLayout() {
    setWindowTitle(Title);
    resize(1105, 809); // the client area that gives the grid 931 x 687 pixels
    SetAlignInset(this, 0);

    Panel1 = new Panel(this, {}, Bevel::Lowered);
    Panel1->resize(SidePanelWidth, height());
    SetAlign(Panel1, Align::Right);
    PSel = new Panel(this, {}, Bevel::Lowered);
    PSel->resize(SidePanelWidth, height());
    SetAlign(PSel, Align::Right);
    Panel2 = new Panel(this, {}, Bevel::Lowered);
    Panel2->SetColor(Black);
    SetAlign(Panel2, Align::Client);

    BuildStatusBar();
    BuildMainPanel();
    BuildSelectionPanel();

    Twheel = new QTimer(this);
    Twheel->setInterval(30);
    Timer1 = new QTimer(this);
    Timer1->setInterval(100);
    Timer1->start();
}

void TFVelkaro::BuildStatusBar() {
    Panel4 = new Panel(Panel2);
    Panel4->resize(100, 29);
    SetAlign(Panel4, Align::Bottom);
    Panel5 = NewStatusField(Panel4, 184, Align::Left);
    Panel6 = NewStatusField(Panel4, 104, Align::Left);
    Panel7 = NewStatusField(Panel4, 132, Align::Right);
    Panel7->SetCaption(WebAddress);
    Panel7->SetCaptionColor(RGB(0, 0, 255));
    QFont linkFont = Panel7->font();
    linkFont.setUnderline(true);
    Panel7->setFont(linkFont);
    Panel7->setCursor(Qt::PointingHandCursor);
    Panel8 = NewStatusField(Panel4, 100, Align::Client);
    Panel8->SetCaption(QString::fromUtf8(HelpText));

    Panel10 = new Panel(Panel2, "Preview");
    Panel10->resize(100, 25);
    SetAlign(Panel10, Align::Bottom);
    pbp = new PaintBox(Panel10);
    SetAlign(pbp, Align::Client);

    PPal = new Panel(Panel2, "Palette");
    PPal->resize(100, 66);
    SetAlign(PPal, Align::Bottom);

    sbyoffs = new QScrollBar(Qt::Vertical, Panel2);
    sbyoffs->resize(31, 100);
    sbyoffs->setRange(0, 1);
    sbyoffs->setSingleStep(1);
    sbyoffs->setPageStep(10);
    sbyoffs->setFocusPolicy(Qt::ClickFocus); // the Tab key passes it by
    SetAlign(sbyoffs, Align::Right);

    pb = new PaintBox(Panel2);
    pb->SetBackground(Black);
    SetAlign(pb, Align::Client);

    im = new QLabel(this);
    im->hide();
}

void TFVelkaro::BuildMainPanel() {
    GroupBox7 = NewGroupBox(Panel1, "Datei", 80);
    cbmono = new QCheckBox("Einfarbig", GroupBox7);
    cbmono->setGeometry(56, 0, 97, 17);
    Button1 = NewButton(GroupBox7, "Laden", 8, 20, 57, 25, "DMX Datei laden");
    Button2 = NewButton(GroupBox7, "Speichern", 72, 20, 57, 25, "DMX Datei speichern");
    Button39 = NewButton(GroupBox7, QString::fromUtf8("Anhängen"), 8, 48, 57, 25);
    SEnmal = new QSpinBox(GroupBox7);
    SEnmal->setGeometry(72, 48, 33, 22);
    SEnmal->setRange(1, 10);
    SEnmal->setValue(1);
    SEnmal->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    // A spin edit reads as its minimum when its text is no number and is held to its range.
    SEnmal->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    Label1 = new QLabel("mal", GroupBox7);
    Label1->move(104, 52);

    GroupBox1 = NewGroupBox(Panel1, QString::fromUtf8("Anzahl Ausgänge"), 40);
    auto outputs = NewNumberField(GroupBox1, MinOutputs, MaxOutputs, 20, 3,
                                  "Anzahl der zu steuernden RGB-Gruppen");
    ENX = outputs.field;
    UDNX = outputs.spinner;

    GroupBox2 = NewGroupBox(Panel1, "Anzahl Schritte", 40);
    auto steps =
        NewNumberField(GroupBox2, MinSteps, 1000, 1, 4,
                       "Die Letzte Zeile gibt an, welches die zuletzt gezeigte Szene ist.");
    ELZ = steps.field;
    udlz = steps.spinner;

    GroupBox4 = NewGroupBox(Panel1, "Letzte Zeile Kopieren", 80);
    Button3 = NewButton(GroupBox4, "<<<", 8, 16, 33, 25,
                        "Die letzte Zeile kopieren und um ein Feld nach links verschieben");
    Button13 = NewButton(GroupBox4, "===", 48, 16, 33, 25,
                         QString::fromUtf8("Die letzte Zeile unverändert kopieren "));
    Button4 = NewButton(GroupBox4, ">>>", 88, 16, 33, 25,
                        "Die letzte Zeile kopieren und um ein Feld nach rechts verschieben");
    Button38 = NewButton(GroupBox4, "<< |", 8, 48, 33, 25);
    Button37 = NewButton(GroupBox4, "| >>", 88, 48, 35, 25);

    GroupBox3 = NewGroupBox(Panel1, QString::fromUtf8("Schrittlänge (1/10 Sek)"), 40);
    auto length =
        NewNumberField(GroupBox3, MinStepLength, MaxStepLength, 10, 5, "Anzeigedauer pro Szene");
    ES = length.field;
    uds = length.spinner;

    RGM = NewGroupBox(Panel1, "Modus", 64);
    RGM->setToolTip(QString::fromUtf8("Überblendmodus zwischen zwei Szenen"));
    RGMItems = new QButtonGroup(RGM);
    const char* modes[] = {"100% Fade", "100% Hold", "50% Fade / 50% Hold"};
    for (int i = 0; i < 3; ++i) {
        auto* item = new QRadioButton(modes[i], RGM);
        item->setGeometry(8, 14 + 16 * i, 128, 16);
        RGMItems->addButton(item, i);
    }
    RGMItems->button(FadeMode)->setChecked(true);

    GroupBox5 = NewGroupBox(Panel1, "Bitmap Import/ Export", 48);
    Button5 = NewButton(GroupBox5, "Laden", 8, 16, 49, 25, "Ein Bitmap als Animation übernehmen");
    Button6 = NewButton(GroupBox5, "Speichern", 64, 16, 65, 25, "Animation als Bitmap speichern");

    const QString chaseHint = "Aus der ersten Szene einen Farbverlauf  erzeugen";
    GroupBox8 = NewGroupBox(Panel1, "Lauflicht aus erster Zeile", 56);
    Button9 = NewButton(GroupBox8, "<<<<<<<", 8, 16, 49, 25, chaseHint);
    Button10 = NewButton(GroupBox8, ">>>>>>", 64, 16, 65, 25, chaseHint);
    // Seven arrows do not fit a 49-pixel button in the panels' face; they do in a narrow
    // fixed-width one, which both arrow buttons share so that they look alike.
    QFont arrows("DejaVu Sans Mono");
    arrows.setStyleHint(QFont::Monospace);
    arrows.setPixelSize(11);
    Button9->setFont(arrows);
    Button10->setFont(arrows);

    GroupBox9 = NewGroupBox(Panel1, "Erste Zeile ", 51);
    Button11 = NewButton(GroupBox9, "Dehnen", 8, 16, 49, 25);
    Button19 = NewButton(GroupBox9, "<<", 64, 16, 25, 25);
    Button20 = NewButton(GroupBox9, ">>", 96, 16, 27, 25);

    GroupBox12 = NewGroupBox(Panel1, "Spiegeln", 48);
    Button17 = NewButton(GroupBox12, "Horizontal", 8, 16, 57, 25);
    Button18 = NewButton(GroupBox12, "Vertikal", 72, 16, 57, 25);

    GroupBox10 = NewGroupBox(Panel1, "Editieren", 80);
    Button14 = NewButton(GroupBox10, "Clr", 8, 16, 57, 25);
    Button12 = NewButton(GroupBox10, "Aufhellen", 72, 16, 57, 25);
    Button35 = NewButton(GroupBox10, "Regenbogen", 8, 48, 123, 25);

    GroupBox18 = NewGroupBox(Panel1, {}, 48);
    Button15 = NewButton(GroupBox18, "Undo", 8, 13, 57, 25);
    Button16 = NewButton(GroupBox18, "Redo", 72, 13, 57, 25);

    GroupBox11 = NewGroupBox(Panel1, "Angezeigte Schritte", 48, Align::Bottom);
    sbny = new QSpinBox(GroupBox11);
    sbny->setGeometry(8, 19, 41, 22);
    sbny->setRange(1, 200);
    sbny->setValue(10);
    sbny->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    cbny = new QCheckBox("Automatisch", GroupBox11);
    cbny->setGeometry(56, 20, 97, 17);
    cbny->setChecked(true);
    GroupBox11->hide();

    gbp = NewGroupBox(Panel1, "Vorschau 100%", 38, Align::Bottom);
    sbp = new QScrollBar(Qt::Horizontal, gbp);
    sbp->setGeometry(2, 38 - 17 - 2, 135, 17);
    sbp->setRange(25, 400);
    sbp->setValue(100);
}

void TFVelkaro::BuildSelectionPanel() {
    GroupBox6 = NewGroupBox(PSel, "Ganze Zeile(n)", 56);
    Button7 = NewButton(GroupBox6, QString::fromUtf8("Löschen"), 8, 24, 49, 25);
    Button8 = NewButton(GroupBox6, "Duplizieren", 64, 24, 67, 25);

    GroupBox13 = NewGroupBox(PSel, "Ganze Spalten", 48);
    Button21 = NewButton(GroupBox13, QString::fromUtf8("Löschen"), 8, 16, 49, 25);
    Button36 = NewButton(GroupBox13, "Duplizieren", 64, 15, 67, 25);

    GroupBox14 = NewGroupBox(PSel, "Auswahl", 151);
    Button23 = NewButton(GroupBox14, "Kopieren", 8, 16, 49, 25);
    Button24 = NewButton(GroupBox14, QString::fromUtf8("Einfügen"), 64, 16, 67, 25);
    Button22 = NewButton(GroupBox14, "Trimmen", 8, 48, 49, 25);
    Button29 = NewButton(GroupBox14, "Nach Rechts Spiegeln", 8, 80, 121, 25);
    Button30 = NewButton(GroupBox14, "Nach Unten spiegeln", 8, 112, 121, 25);

    GroupBox16 = NewGroupBox(PSel, "Spiegeln", 48);
    Button25 = NewButton(GroupBox16, "Horizontal", 8, 16, 57, 25);
    Button28 = NewButton(GroupBox16, "Vertikal", 72, 16, 57, 25);

    GroupBox17 = NewGroupBox(PSel, "Verschieben", 89);
    Button33 = NewButton(GroupBox17, "^", 56, 24, 35, 25);
    Button32 = NewButton(GroupBox17, "<", 8, 40, 41, 25);
    Button31 = NewButton(GroupBox17, ">", 96, 40, 35, 25);
    Button34 = NewButton(GroupBox17, "v", 56, 56, 33, 25);

    GroupBox19 = NewGroupBox(PSel, QString::fromUtf8("Überblenden"), 98);
    Button40 = NewButton(GroupBox19, "Vertikal", 72, 16, 59, 25);

    GroupBox15 = NewGroupBox(PSel, {}, 54);
    Button26 = NewButton(GroupBox15, "Undo", 8, 16, 57, 25);
    Button27 = NewButton(GroupBox15, "Redo", 72, 16, 57, 25);

    Panel9 = new Panel(PSel, "Auswahl beenden    [X]");
    Panel9->resize(SidePanelWidth, 32);
    SetAlign(Panel9, Align::Bottom);
}

} // namespace velkaro
