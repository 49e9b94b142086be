#include "whatsthis.h"

#include <map>
#include <utility>

namespace {

using Key = std::pair<std::string, std::string>;

const std::map<Key, const char*>& table() {
    static const std::map<Key, const char*> texts = {
        // The post-processor's main window.
        {{"Main", "mnuFile"},
         "Reading a log or a saved grid, writing the web presentation, "
         "saving the grid and leaving the program."},
        {{"Main", "mnuRdLog"},
         "Reads a presentation log written by the logger into the schedule: one row per "
         "slide shown and one BREAK row per pause."},
        {{"Main", "mnuWrtAll"},
         "Writes the whole presentation into the log's folder: the slide pages, the RAM "
         "files and the event list, and then starts cevents."},
        {{"Main", "mnuWriteHTM"},
         "Writes one HTML page per row (sld001.htm onward), preload.htm, index.htm and the "
         "navigation images."},
        {{"Main", "mnuWrRam"},
         "Writes one RealAudio metafile per row (tsld001.ram onward); each plays the "
         "lecture from its slide to the end."},
        {{"Main", "mnuWrCevents"},
         "Writes the event list cevents.txt and starts the cevents tool, which makes the "
         ".rae event file that turns the pages during playback."},
        {{"Main", "mnuReadGrid"},
         "Reads a schedule saved with Save Grid, with its log file name and URLs."},
        {{"Main", "mnuSaveGrid"},
         "Saves the schedule, the log file name and the URLs in a grid file to finish or "
         "correct later."},
        {{"Main", "mnuExit"}, "Closes the program. You are asked to save a changed schedule."},
        {{"Main", "mnuOptions"}, "Settings kept between runs."},
        {{"Main", "mnuConfig"},
         "Opens the configuration window: the audio URL, the HTM URL, the image path pattern "
         "and the location of cevents.exe."},
        {{"Main", "nuHelpTop"}, "The operator's guide and the program's version."},
        {{"Main", "mnuHelp"}, "Opens the operator's guide."},
        {{"Main", "mnuAbout"}, "Shows the program's name and version."},
        {{"Main", "Grid1"},
         "The schedule: one row per slide or pause with its length, its start and stop on "
         "the audio tape, its image URL and its title. Click a row to load it into the row "
         "editor below."},
        {{"Main", "lblLineNum"}, "The number of the row shown in the row editor."},
        {{"Main", "txtLineNum"},
         "The number of the row the editor writes on Update. You can edit any row or append "
         "one directly after the last."},
        {{"Main", "lblSlideLength"}, "How long the slide was shown, as hh:mm:ss."},
        {{"Main", "txtSlideLength"},
         "How long the slide was shown, as hh:mm:ss. Starts and stops of all rows follow "
         "from the lengths on Update."},
        {{"Main", "lblIMGURL"}, "The URL of the slide's image, relative to the slide pages."},
        {{"Main", "txtIMGURL"},
         "The URL of the slide's image, relative to the slide pages (wait.gif for a pause)."},
        {{"Main", "lblSlideTitle"}, "The slide's title as shown in the index page."},
        {{"Main", "txtSlideTitle"}, "The slide's title (BREAK for a pause)."},
        {{"Main", "lblTapeEarly"}, "How long the tape ran before the first slide appeared."},
        {{"Main", "txtTapeEarly"},
         "How long the recording began before the first slide appeared, as hh:mm:ss. The "
         "next Update shifts the whole schedule later by this much once, then resets it."},
        {{"Main", "lblTapeLate"}, "How long after the first slide appeared the tape began."},
        {{"Main", "txtTapeLate"},
         "How long after the first slide appeared the recording began, as hh:mm:ss. The next "
         "Update shortens the first slide by this much once, then resets it. It wins over "
         "Tape Early."},
        {{"Main", "txt1LogTIme"}, "The first slide's length as the log gave it."},
        {{"Main", "cmd1LogTIme"}, "Uses the first slide's length from the log for row 1."},
        {{"Main", "txt1SaveTime"},
         "The first slide's length as you left it when this log was last closed."},
        {{"Main", "cmd1SaveTIme"},
         "Uses the first slide's length you set when this log was last closed."},
        {{"Main", "cmdUpdate"},
         "Writes the editor's length, image URL and title into the row, recomputes every "
         "start and stop, applies a tape offset once and moves to the next row."},
        {{"Main", "txtSlideStart"}, "Not used."},
        {{"Main", "txtSlideStop"}, "Not used."},
        {{"Main", "txtAudioURLM"}, "The audio server's root URL, used by the Audio button."},
        {{"Main", "txtLectPath"},
         "The lecture's audio file below the server's root, used by the Audio button."},
        {{"Main", "cmdAudioURL"},
         "Puts the server's root URL followed by the lecture's path into Audio URL."},
        {{"Main", "txtRAMFileM"}, "A text the RAM button copies into the image URL field."},
        {{"Main", "cmdRAM"}, "Copies the text on its left into the row editor's IMG URL."},
        {{"Main", "txtSlideURLM"}, "A text the Slide button copies into the title field."},
        {{"Main", "cmdSlide"}, "Copies the text on its left into the row editor's Title."},
        {{"Main", "lblLogFile"}, "The presentation log the schedule came from."},
        {{"Main", "txtLogFile"},
         "The presentation log the schedule came from; its folder receives the output."},
        {{"Main", "lblAudioURL"}, "The URL of the lecture's RealAudio file."},
        {{"Main", "txtAudioURL"},
         "The URL of the lecture's RealAudio file (ending in .ra), written into the RAM "
         "files and the pages."},
        {{"Main", "lblHTMURL"}, "The URL of the folder that will hold the slide pages."},
        {{"Main", "txtHTMURL"},
         "The URL of the folder that will hold the slide pages, ending in /. The pages' "
         "names (sld001.htm onward) are appended to it."},
        {{"Main", "lblHTMNote"}, "The first page's name, appended to the HTM URL."},
        {{"Main", "Picture1"}, "Click here, then on any control, to see what that control does."},
        {{"Main", "lblWhatsThis"},
         "Click the ? button, then on any control, to see what that control does."},

        // The configuration window.
        {{"frmConfig", "lblAudioURL"}, "The URL of the lecture's RealAudio file."},
        {{"frmConfig", "txtAudioURL"},
         "The URL of the lecture's RealAudio file, ending in .ra. Stored by Save and "
         "offered at every start."},
        {{"frmConfig", "lblHTMURL"}, "The URL of the folder that will hold the slide pages."},
        {{"frmConfig", "txtHTMURL"},
         "The URL of the folder that will hold the slide pages, ending in /."},
        {{"frmConfig", "lblHTMNote"}, "The first page's name, appended to the HTM URL."},
        {{"frmConfig", "lblIMG"}, "The pattern of the slide images' URLs."},
        {{"frmConfig", "txtIMGPath"},
         "The pattern of the slide images' URLs, relative to the pages. {PF} stands for the "
         "presentation's file name and 000 for the slide number: ../{PF}/sld000.gif."},
        {{"frmConfig", "lblCevents"}, "Where the RealAudio tool cevents.exe is."},
        {{"frmConfig", "txtCevents"},
         "The full path of the RealAudio tool cevents.exe, which compiles the event list."},
        {{"frmConfig", "cmdCevents"}, "Browse for cevents.exe."},
        {{"frmConfig", "cmdCurrent"},
         "Copies the main window's Audio URL and HTM URL into these fields; Save stores "
         "them."},
        {{"frmConfig", "cmdSave"},
         "Checks the values, warns about doubtful ones, stores them and closes the window."},
        {{"frmConfig", "cmdCancel"}, "Closes the window without storing anything."},
        {{"frmConfig", "Picture1"},
         "Click here, then on any control, to see what that control does."},
        {{"frmConfig", "lblWhatsThis"},
         "Click the ? button, then on any control, to see what that control does."},

        // The About box.
        {{"About", "Label1"}, "The system this program belongs to."},
        {{"About", "Label2"}, "The system's name is a trademark."},
        {{"About", "Label4"}, "This program's name."},
        {{"About", "Label3"}, "This program's version."},
        {{"About", "lblNotice"}, "Who made the program."},
        {{"About", "Command1"}, "Closes this box."},
    };
    return texts;
}

} // namespace

QString whatsThisText(const std::string& window, const std::string& control) {
    const auto it = table().find({window, control});
    return it == table().end() ? QString() : QString::fromUtf8(it->second);
}
