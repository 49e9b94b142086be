// Read Grid on any bytes: a grid file read in full saves and reads back unchanged; one read
// in part shows its line and leaves the window out of grid mode. The same bytes as a
// resume file give all four values or none.
#include "fuzzsupport.h"

#include "schedule/gridfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (const auto resume = GridFile::readResume(std::string(bytes))) {
        if (!(resume->firstLength >= 0 && resume->firstLength < 1))
            Fuzz::fail("a resume file gives a first length that is no time of day");
    }

    const std::string path = Fuzz::writeScratch("grid.txt", bytes.empty() ? "\n" : bytes);
    Fuzz::Session session;
    session.ui.queueFile(path);
    session.main->mnuReadGrid_Click();
    const bool gridMode = !session.main->mnuRdLog.Enabled;
    if (!session.ui.boxTexts().empty()) {
        if (gridMode)
            Fuzz::fail("a grid read with a message switches into grid mode");
        return 0;
    }
    if (!gridMode)
        Fuzz::fail("a grid read without a message leaves Read Log File on");
    if (session.main->schedule().RowCount() > 0)
        Fuzz::checkGridRoundTrip(session, "grid-saved.txt");
    return 0;
}
