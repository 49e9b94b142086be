#include "form1.h"

// The pop-up help of What's This mode, one text per control.
void Form1::setWhatsThisTexts() {
    Label1[0].WhatsThis = "The presentation log being written.";
    lblLogFIle.WhatsThis =
        "The full path of the presentation log being written; NONE while nothing is logged.";
    Label1[1].WhatsThis = "The presentation being shown.";
    lblPPTFile.WhatsThis =
        "The path of the presentation whose slide show is being logged, as PowerPoint reports it.";
    Label1[2].WhatsThis = "The last slide logged.";
    lblSlideNum.WhatsThis = "The number of the last slide logged, shown when the show ends.";
    lblStatus.WhatsThis =
        "Says when a line could not be written to the log, with the time and the reason.";
    cmdOpenLog.WhatsThis = "Binds PowerPoint and asks for the log file. Off once a log is open.";
    cmdEnd.WhatsThis =
        "Writes the closing line, closes the log and ends the Logger, after you confirm.";
    Picture1.WhatsThis = "Click here, then on any control, to see what that control does.";
    Label2.WhatsThis = "Click the ? button, then on any control, to see what that control does.";
    mnuFile.WhatsThis = "Opening the log file and leaving the program.";
    mnuOpenLog.WhatsThis = "Binds PowerPoint and asks for the log file. Off once a log is open.";
    mnuExit.WhatsThis = "Closes the Logger; with a log open it asks first.";
    mnuOptions.WhatsThis = "The options, kept for the next start as soon as they are clicked.";
    mnuBeep1.WhatsThis = "Beep when a slide show is first seen.";
    mnuBeep2.WhatsThis = "Beep once at the first slide change after that.";
    mnuZoomPPT.WhatsThis =
        "Bring PowerPoint's window up large before the log dialog and once the log is open.";
    if (mnuRecord)
        mnuRecord->WhatsThis =
            "Record the default sound input beside the log, from its opening to its closing "
            "line; the status line shows the input's level. From the next log on.";
    mnuHelpTop.WhatsThis = "The Logger's help and its About box.";
    mnuHelp.WhatsThis = "Shows the contents of the Logger's help.";
    mnuAbout.WhatsThis = "Shows the program's name and version.";
}
