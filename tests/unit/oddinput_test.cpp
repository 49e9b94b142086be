// Large and odd inputs on the road of a lecture: the longest log the schedule takes, with
// long titles beyond ASCII, in folders whose names hold blanks and such letters. Every
// byte of a title comes back through the import, Save Grid, Read Grid and the resume file.
#include "common/textfile.h"
#include "logger/presentationlog.h"
#include "schedule/gridfile.h"
#include "support/mainfixture.h"

#include <string>

#include <gtest/gtest.h>

namespace {

// 200 characters: UTF-8 letters, or single bytes of the Windows code page.
std::string longTitle(int row, bool utf8) {
    const std::string letter = utf8 ? "\xc3\xa4" : "\xe4"; // a-umlaut
    std::string title = std::to_string(row) + " ";
    while (title.size() < (utf8 ? 400u : 200u))
        title += letter;
    return title.substr(0, title.size() - (title.size() % (utf8 ? 2 : 1)));
}

std::string longLog(const std::string& presentation, bool utf8) {
    std::string log;
    for (int r = 1; r <= 99; ++r)
        log += PresentationLog::slideLine(r == 1 ? 0 : 1.0 / 86400 * (r % 9 + 1), "10:00:00 AM",
                                          presentation, r, longTitle(r, utf8));
    return log + PresentationLog::eventLine(2.0 / 86400, "10:30:00 AM", "Logging Stopped");
}

struct Lecture : MainFixture {
    explicit Lecture(const std::string& folder) : folder(path(folder)) {
        TestFiles::makePath(this->folder);
        start();
    }
    std::string file(const std::string& name) const { return folder + "/" + name; }
    void choose(void (Main::*command)(), const std::string& file) {
        ui.queueFile(file);
        (main.get()->*command)();
    }
    std::string folder;
};

TEST(OddInput, longestLogWithLongTitlesRoundTripsInOddlyNamedFolders) {
    struct Case {
        const char* folder;
        bool utf8;
    };
    const Case cases[] = {
        {"Vorlesung 3 Teil 2", false},
        {"Vorlesung M\xc3\xa4rz/\xc3\x9c"
         "bung \xe2\x80\x93 Folien",
         true},
#ifdef _WIN32
        // Windows drops the blanks at the end of a folder's name and takes no double quote.
        {"  leading blanks", true},
        {"comma, and 'quotes'", false},
#else
        {"  leading and trailing blanks  ", true},
        {"comma, and \"quotes\"", false},
#endif
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        Lecture lecture(c.folder);
        const std::string log = lecture.file("lecture log.txt");
        const std::string logBytes = longLog(lecture.folder + "/Folien 3.ppt", c.utf8);
        TextFile::writeAtomically(log, logBytes);

        lecture.choose(&Main::mnuRdLog_Click, log);
        EXPECT_TRUE(lecture.ui.boxTexts().empty());
        ASSERT_EQ(lecture.main->schedule().RowCount(), 99);
        for (int r = 1; r <= 99; ++r)
            ASSERT_EQ(lecture.main->Grid1.TextMatrix(r, ScheduleColumn::Title),
                      longTitle(r, c.utf8))
                << r;

        const std::string grid = lecture.file("schedule copy");
        lecture.choose(&Main::mnuSaveGrid_Click, grid);
        EXPECT_TRUE(lecture.ui.boxTexts().empty());

        Lecture reader(c.folder);
        reader.choose(&Main::mnuReadGrid_Click, grid);
        EXPECT_TRUE(reader.ui.boxTexts().empty());
        ASSERT_EQ(reader.main->schedule().RowCount(), 99);
        for (int r = 1; r <= 99; ++r)
            for (int col = ScheduleColumn::Length; col <= ScheduleColumn::Title; ++col)
                ASSERT_EQ(reader.main->Grid1.TextMatrix(r, col),
                          lecture.main->Grid1.TextMatrix(r, col))
                    << r << "," << col;

        // Closing writes the resume file beside the log; the next import applies it.
        lecture.main->txtAudioURL.Text = "pnm://h/M\xc3\xa4rz 3.ra";
        ASSERT_TRUE(lecture.main->Unload());
        Lecture again(c.folder);
        again.choose(&Main::mnuRdLog_Click, log);
        EXPECT_EQ(again.main->txtAudioURL.Text, "pnm://h/M\xc3\xa4rz 3.ra");
        EXPECT_EQ(again.readFile(log), logBytes);
    }
}

TEST(OddInput, aGridFileCutAnywhereInItsLastRowKeepsTheWholeRowsAndTellsTheLine) {
    Lecture source("cut");
    const std::string whole = source.readFile(CUE_SOURCE_DIR "/tests/samples/three_rows_grid.txt");
    const size_t lastRow = whole.find(" 5.20833333333333E-04");
    ASSERT_NE(lastRow, std::string::npos);
    // Every cut inside the third row, on a line end or in the middle of a value.
    for (size_t cut = lastRow + 1; cut < whole.size() - 2; cut += 3) {
        SCOPED_TRACE(cut);
        Lecture lecture("cut");
        const std::string file = lecture.file("cut.txt");
        TextFile::writeAtomically(file, whole.substr(0, cut));
        lecture.choose(&Main::mnuReadGrid_Click, file);
        ASSERT_EQ(lecture.ui.boxTexts().size(), 1u);
        EXPECT_NE(lecture.ui.boxTexts()[0].find("row 3"), std::string::npos)
            << lecture.ui.boxTexts()[0];
        EXPECT_EQ(lecture.main->schedule().RowCount(), 2);
        EXPECT_TRUE(lecture.main->mnuRdLog.Enabled);
        EXPECT_EQ(lecture.readFile(file), whole.substr(0, cut));
    }
}

TEST(OddInput, templatesOfManyMegabytesAreRewrittenWholeLineByLine) {
    MainFixture f;
    // A program folder of its own whose slide template is many megabytes: long runs of
    // lines and one line of two megabytes between the markers.
    const std::string programDir = f.path("program");
    TestFiles::makeProgramFolder(programDir);
    const std::string original = f.readFile(programDir + "/slides.htm");
    std::string filler;
    for (int i = 0; filler.size() < 6u << 20; ++i)
        filler += "<p>line " + std::to_string(i) + " \xc3\xa4\xe4</p>\r\n";
    // A line longer than the pieces a template is read in is copied whole.
    const std::string longLine = std::string(200000, 'y') + "\r\n";
    const size_t cut = original.find("<main>");
    ASSERT_NE(cut, std::string::npos);
    const std::string big = original.substr(0, cut) + filler + longLine + original.substr(cut);
    TextFile::writeAtomically(programDir + "/slides.htm", big);
    f.program.directory = programDir;
    f.start();

    const std::string log =
        f.writeFile("q3.txt", f.readFile(CUE_SOURCE_DIR "/tests/samples/q3.txt"));
    f.ui.queueFile(log);
    f.main->mnuRdLog_Click();
    f.ui.clearEvents();
    f.main->mnuWriteHTM_Click();
    EXPECT_TRUE(f.ui.boxTexts().empty());
    const std::string page = f.readFile(f.path("sld002.htm"));
    EXPECT_GT(page.size(), big.size() - 1000);
    EXPECT_NE(page.find(filler + longLine), std::string::npos);
    EXPECT_NE(page.find("sld003.htm"), std::string::npos);
}

} // namespace
