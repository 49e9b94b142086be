#include "mainview.h"

#include "viewparts.h"
#include "windowbinder.h"

#include "schedule/mainwindow.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <utility>

MainView::MainView(Main& main, QWidget* parent) : MainWindowView(main, parent) {
    WindowBinder& b = binder();
    QWidget* central = this->central();

    const auto timeField = [&](TextField& model) {
        QLineEdit* widget = field(model);
        ViewParts::fitToClockTime(widget);
        return widget;
    };
    const auto labelFor = [&](Label& model, QWidget* buddy) {
        QLabel* widget = label(model);
        widget->setBuddy(buddy);
        return widget;
    };

    auto* grid = new QTableWidget(central);
    b.bind(grid, main.Grid1);
    grid->setMinimumHeight(grid->verticalHeader()->defaultSectionSize() * 8);

    // The row editor: one row of the schedule at a time.
    auto* editor = new QGroupBox(tr("Row Editor"), central);
    QLineEdit* lineNum = field(main.txtLineNum);
    lineNum->setFixedWidth(lineNum->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 16);
    QLineEdit* length = timeField(main.txtSlideLength);
    QLineEdit* imgUrl = field(main.txtIMGURL);
    QLineEdit* title = field(main.txtSlideTitle);
    QLineEdit* tapeEarly = timeField(main.txtTapeEarly);
    QLineEdit* tapeLate = timeField(main.txtTapeLate);
    QPushButton* update = button(main.cmdUpdate);
    update->setMinimumWidth(update->fontMetrics().horizontalAdvance(QStringLiteral("Update")) + 40);

    auto* firstLine = new QHBoxLayout;
    firstLine->setSpacing(6);
    firstLine->addWidget(labelFor(main.lblLineNum, lineNum));
    firstLine->addWidget(lineNum);
    firstLine->addSpacing(10);
    firstLine->addWidget(labelFor(main.lblSlideLength, length));
    firstLine->addWidget(length);
    firstLine->addSpacing(6);
    // The first-row alternatives appear beside the length only for row 1; their place
    // stays reserved so the fields around them do not move.
    for (auto [choose, value] : {std::pair{&main.cmd1LogTIme, &main.txt1LogTIme},
                                 std::pair{&main.cmd1SaveTIme, &main.txt1SaveTime}}) {
        QPushButton* pick = button(*choose);
        pick->setFixedWidth(pick->fontMetrics().height() + 12);
        QLineEdit* shown = timeField(*value);
        ViewParts::keepPlaceWhenHidden(pick);
        ViewParts::keepPlaceWhenHidden(shown);
        firstLine->addWidget(pick);
        firstLine->addWidget(shown);
    }
    firstLine->addStretch();
    // Hidden for good, but every control of the window has its widget and its help.
    for (TextField* unused : {&main.txtSlideStart, &main.txtSlideStop})
        firstLine->addWidget(timeField(*unused));
    firstLine->addWidget(labelFor(main.lblTapeEarly, tapeEarly));
    firstLine->addWidget(tapeEarly);
    firstLine->addSpacing(10);
    firstLine->addWidget(labelFor(main.lblTapeLate, tapeLate));
    firstLine->addWidget(tapeLate);

    auto* secondLine = new QHBoxLayout;
    secondLine->setSpacing(6);
    secondLine->addWidget(labelFor(main.lblIMGURL, imgUrl));
    secondLine->addWidget(imgUrl, 2);
    secondLine->addSpacing(10);
    secondLine->addWidget(labelFor(main.lblSlideTitle, title));
    secondLine->addWidget(title, 3);
    secondLine->addSpacing(10);
    secondLine->addWidget(update);

    auto* editorLines = new QVBoxLayout(editor);
    editorLines->addLayout(firstLine);
    editorLines->addLayout(secondLine);

    // Where the presentation comes from and where it will live.
    auto* presentation = new QGroupBox(tr("Presentation"), central);
    auto* urls = new QGridLayout(presentation);
    urls->setHorizontalSpacing(8);
    QLineEdit* logFile = field(main.txtLogFile);
    QLineEdit* audioUrl = field(main.txtAudioURL);
    QLineEdit* htmUrl = field(main.txtHTMURL);
    urls->addWidget(labelFor(main.lblLogFile, logFile), 0, 0);
    urls->addWidget(logFile, 0, 1, 1, 2);
    urls->addWidget(labelFor(main.lblAudioURL, audioUrl), 1, 0);
    urls->addWidget(audioUrl, 1, 1, 1, 2);
    urls->addWidget(labelFor(main.lblHTMURL, htmUrl), 2, 0);
    urls->addWidget(htmUrl, 2, 1);
    QLabel* note = label(main.lblHTMNote);
    ViewParts::styleAsNote(note);
    urls->addWidget(note, 2, 2);
    urls->setColumnStretch(1, 1);

    // Texts the three fill-in buttons copy into the fields of the editor and above.
    auto* sources = new QGroupBox(tr("Fill-in Texts"), central);
    auto* fills = new QGridLayout(sources);
    fills->setHorizontalSpacing(6);
    auto* audioParts = new QHBoxLayout;
    audioParts->addWidget(field(main.txtAudioURLM), 3);
    audioParts->addWidget(field(main.txtLectPath), 2);
    fills->addLayout(audioParts, 0, 0);
    fills->addWidget(button(main.cmdAudioURL), 0, 1);
    fills->addWidget(field(main.txtRAMFileM), 1, 0);
    fills->addWidget(button(main.cmdRAM), 1, 1);
    fills->addWidget(field(main.txtSlideURLM), 2, 0);
    fills->addWidget(button(main.cmdSlide), 2, 1);
    fills->setColumnStretch(0, 1);

    auto* lower = new QHBoxLayout;
    lower->addWidget(presentation, 5);
    lower->addWidget(sources, 4);

    auto* help = new QHBoxLayout;
    auto* whatsThis = ViewParts::whatsThisButton(central);
    b.bind(whatsThis, main.Picture1);
    help->addWidget(whatsThis);
    help->addWidget(label(main.lblWhatsThis));
    help->addStretch();

    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(8, 6, 8, 6);
    layout->addWidget(grid, 1);
    layout->addWidget(editor);
    layout->addLayout(lower);
    layout->addLayout(help);

    finish();
}
