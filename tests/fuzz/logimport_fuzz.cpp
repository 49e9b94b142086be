// Read Log File on any bytes: the log, and after a line "#urs" the resume file beside it.
// The import either rejects the log with its one message or gives rows that Save Grid
// writes and Read Grid gives back unchanged; closing writes the resume file it reads.
#include "fuzzsupport.h"

#include "schedule/gridfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto [log, resume] =
        Fuzz::splitAt(std::string_view(reinterpret_cast<const char*>(data), size), "#urs");
    const std::string path = Fuzz::writeScratch("lecture.txt", log);
    Fuzz::writeScratch("lecture.urs", resume);

    Fuzz::Session session;
    session.ui.queueFile(path);
    session.main->mnuRdLog_Click();
    const auto boxes = session.ui.boxTexts();
    if (session.main->schedule().RowCount() == 0)
        return 0;
    for (const std::string& box : boxes) {
        // A resume file that the rows cannot take is refused with a message; any other box
        // after a successful import is a fault.
        if (box.find("Tape Late") == std::string::npos)
            Fuzz::fail("import of a log shows \"" + box + "\"");
    }
    Fuzz::checkGridRoundTrip(session, "lecture-grid.txt");

    // Closing after an import writes the resume file; the next import of the log reads it.
    Fuzz::writeScratch("lecture.urs", {});
    session.ui.queueAnswer(Mb::No);
    session.main->Unload();
    if (session.main->schedule().ScheduleEdited() || session.main->schedule().FirstRowEdited())
        return 0;
    const std::string written = Fuzz::readScratch("lecture.urs");
    if (!written.empty() && !GridFile::readResume(written))
        Fuzz::fail("the resume file written on closing does not read back");
    return 0;
}
