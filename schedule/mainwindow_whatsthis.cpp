#include "mainwindow.h"

// The short help of each control in What's This mode.
void Main::setWhatsThisTexts() {
    mnuFile.WhatsThis = "Reading a log or a saved grid, writing the web presentation, "
                        "saving the grid and leaving the program.";
    mnuRdLog.WhatsThis =
        "Reads a presentation log written by the logger into the schedule: one row per "
        "slide shown and one BREAK row per pause.";
    mnuWrtAll.WhatsThis =
        "Writes the whole presentation into the log's folder: the slide pages, the RAM "
        "files and the event list, and then starts cevents.";
    mnuWriteHTM.WhatsThis =
        "Writes one HTML page per row (sld001.htm onward), preload.htm, index.htm and the "
        "navigation images.";
    mnuWrRam.WhatsThis =
        "Writes one RealAudio metafile per row (tsld001.ram onward); each plays the "
        "lecture from its slide to the end.";
    mnuWrCevents.WhatsThis =
        "Writes the event list cevents.txt and starts the cevents tool, which makes the "
        ".rae event file that turns the pages during playback.";
    mnuReadGrid.WhatsThis =
        "Reads a schedule saved with Save Grid, with its log file name and URLs.";
    mnuSaveGrid.WhatsThis =
        "Saves the schedule, the log file name and the URLs in a grid file to finish or "
        "correct later.";
    mnuExit.WhatsThis = "Closes the program. You are asked to save a changed schedule.";
    mnuOptions.WhatsThis = "Settings kept between runs.";
    mnuConfig.WhatsThis =
        "Opens the configuration window: the audio URL, the HTM URL, the image path pattern "
        "and the location of cevents.exe.";
    nuHelpTop.WhatsThis = "The operator's guide and the program's version.";
    mnuHelp.WhatsThis = "Opens the operator's guide.";
    mnuAbout.WhatsThis = "Shows the program's name and version.";
    Grid1.WhatsThis =
        "The schedule: one row per slide or pause with its length, its start and stop on "
        "the audio tape, its image URL and its title. Click a row to load it into the row "
        "editor below.";
    lblLineNum.WhatsThis = "The number of the row shown in the row editor.";
    txtLineNum.WhatsThis =
        "The number of the row the editor writes on Update. You can edit any row or append "
        "one directly after the last.";
    lblSlideLength.WhatsThis = "How long the slide was shown, as hh:mm:ss.";
    txtSlideLength.WhatsThis =
        "How long the slide was shown, as hh:mm:ss. Starts and stops of all rows follow "
        "from the lengths on Update.";
    lblIMGURL.WhatsThis = "The URL of the slide's image, relative to the slide pages.";
    txtIMGURL.WhatsThis =
        "The URL of the slide's image, relative to the slide pages (wait.gif for a pause).";
    lblSlideTitle.WhatsThis = "The slide's title as shown in the index page.";
    txtSlideTitle.WhatsThis = "The slide's title (BREAK for a pause).";
    lblTapeEarly.WhatsThis = "How long the tape ran before the first slide appeared.";
    txtTapeEarly.WhatsThis =
        "How long the recording began before the first slide appeared, as hh:mm:ss. The "
        "next Update shifts the whole schedule later by this much once, then resets it.";
    lblTapeLate.WhatsThis = "How long after the first slide appeared the tape began.";
    txtTapeLate.WhatsThis =
        "How long after the first slide appeared the recording began, as hh:mm:ss. The next "
        "Update shortens the first slide by this much once, then resets it. It wins over "
        "Tape Early.";
    txt1LogTIme.WhatsThis = "The first slide's length as the log gave it.";
    cmd1LogTIme.WhatsThis = "Uses the first slide's length from the log for row 1.";
    txt1SaveTime.WhatsThis =
        "The first slide's length as you left it when this log was last closed.";
    cmd1SaveTIme.WhatsThis = "Uses the first slide's length you set when this log was last closed.";
    cmdUpdate.WhatsThis =
        "Writes the editor's length, image URL and title into the row, recomputes every "
        "start and stop, applies a tape offset once and moves to the next row.";
    txtSlideStart.WhatsThis = "Not used.";
    txtSlideStop.WhatsThis = "Not used.";
    txtAudioURLM.WhatsThis = "The audio server's root URL, used by the Audio button.";
    txtLectPath.WhatsThis =
        "The lecture's audio file below the server's root, used by the Audio button.";
    cmdAudioURL.WhatsThis =
        "Puts the server's root URL followed by the lecture's path into Audio URL.";
    txtRAMFileM.WhatsThis = "A text the RAM button copies into the image URL field.";
    cmdRAM.WhatsThis = "Copies the text on its left into the row editor's IMG URL.";
    txtSlideURLM.WhatsThis = "A text the Slide button copies into the title field.";
    cmdSlide.WhatsThis = "Copies the text on its left into the row editor's Title.";
    lblLogFile.WhatsThis = "The presentation log the schedule came from.";
    txtLogFile.WhatsThis =
        "The presentation log the schedule came from; its folder receives the output.";
    lblAudioURL.WhatsThis = "The URL of the lecture's RealAudio file.";
    txtAudioURL.WhatsThis =
        "The URL of the lecture's RealAudio file (ending in .ra), written into the RAM "
        "files and the pages.";
    lblHTMURL.WhatsThis = "The URL of the folder that will hold the slide pages.";
    txtHTMURL.WhatsThis =
        "The URL of the folder that will hold the slide pages, ending in /. The pages' "
        "names (sld001.htm onward) are appended to it.";
    lblHTMNote.WhatsThis = "The first page's name, appended to the HTM URL.";
    Picture1.WhatsThis = "Click here, then on any control, to see what that control does.";
    lblWhatsThis.WhatsThis =
        "Click the ? button, then on any control, to see what that control does.";
}
