// The file commands of the main window on full disks, odd targets and 8-bit names.
#include "common/textfile.h"
#include "support/logbuilder.h"
#include "support/mainfixture.h"
#include "support/smalldisk.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/sysmacros.h>
#endif

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>
#include <set>

namespace {

const std::string Samples = CUE_SOURCE_DIR "/tests/samples/";

struct FileSafety : ::testing::Test, MainFixture {
    FileSafety() { start(); }

    std::string at(const std::string& name) const { return dir.filePath(name); }

    std::set<std::string> names() const {
        std::set<std::string> out;
        for (const std::string& name : TestFiles::names(dir.path()))
            if (name[0] != '.')
                out.insert(name);
        return out;
    }

    void oneEditedRow() { updateRow(1, "00:00:10", "sld001.gif", "Intro", true); }

    void importLog(const std::string& path) { readLog(path); }
    void importLog(const std::string& path, const std::string& bytes) {
        putFile(path, bytes);
        importLog(path);
    }
    void saveGrid(const std::string& path) {
        ui.queueFile(path);
        main->mnuSaveGrid_Click();
    }
};

TEST_F(FileSafety, saveGridOnAFullDiskKeepsTheEarlierFileAndAsksAgainOnClosing) {
    FullDisk disk;
    const std::string grid = disk.path("grid.txt");
    putFile(grid, "earlier grid\r\n");
    oneEditedRow();
    disk.fill();

    saveGrid(grid);
    ASSERT_EQ(ui.boxTexts().size(), 1u);
    EXPECT_EQ(ui.boxTexts()[0], "'" + grid + "' cannot be written: " + std::strerror(ENOSPC) + ".");
    EXPECT_EQ(ui.events.back().title, "Save Grid");
    EXPECT_EQ(fileBytes(grid), "earlier grid\r\n");
    EXPECT_TRUE(main->schedule().ScheduleEdited());

    ui.queueAnswer(Mb::Cancel);
    EXPECT_FALSE(main->Unload());
    EXPECT_EQ(ui.boxTexts().back(), "Save Grid?");
}

TEST_F(FileSafety, aResumeFileOnAFullDiskKeepsTheEarlierOneAndOffersSaveGrid) {
    FullDisk disk;
    const std::string resume = disk.path("lect6.urs");
    putFile(resume, "earlier resume\r\n");
    importLog(disk.path("lect6.txt"), LogBuilder().slide(0, 1).end(60).bytes);
    updateRow(1, "00:01:30", "", "");
    ui.clearEvents();
    disk.fill();

    ui.queueAnswer(Mb::OK);
    ui.queueAnswer(Mb::Cancel);
    EXPECT_FALSE(main->Unload());
    ASSERT_EQ(ui.boxTexts().size(), 2u);
    EXPECT_EQ(ui.boxTexts()[0],
              "The resume file " + resume + " could not be written.\r\n" + std::strerror(ENOSPC));
    EXPECT_EQ(ui.boxTexts()[1], "Save Grid?");
    EXPECT_EQ(fileBytes(resume), "earlier resume\r\n");
    EXPECT_EQ(main->schedule().row(1).Length, "00:01:30");
}

TEST_F(FileSafety, saveGridRefusesToReplaceWhatIsNoPlainFile) {
    const struct {
        const char* name;
        bool (*make)(const std::string&);
        const char* reason;
    } nodes[] = {
#ifdef _WIN32
        // A name the system gives a device in every folder.
        {"nul.txt", [](const std::string&) { return true; }, "Not a plain file (a device)"},
#else
        {"fifo.txt", [](const std::string& p) { return ::mkfifo(p.c_str(), 0600) == 0; },
         "Not a plain file (a FIFO)"},
        {"device.txt",
         [](const std::string& p) {
             // A second null device as root, else a link to the real one.
             return ::mknod(p.c_str(), S_IFCHR | 0600, makedev(1, 3)) == 0 ||
                    ::symlink("/dev/null", p.c_str()) == 0;
         },
         "Not a plain file (a device)"},
#endif
        {"folder.txt", [](const std::string& p) { return TestFiles::makePath(p); },
         "Not a plain file (a folder)"},
    };
    oneEditedRow();
    for (const auto& node : nodes) {
        const std::string path = at(node.name);
        ASSERT_TRUE(node.make(path)) << node.name;
#ifndef _WIN32
        struct stat before {};
        ::stat(path.c_str(), &before);
#endif
        ui.clearEvents();
        saveGrid(path);
        ASSERT_EQ(ui.boxTexts().size(), 1u) << node.name;
        EXPECT_EQ(ui.boxTexts()[0], "'" + path + "' cannot be written: " + node.reason + ".");
#ifndef _WIN32
        struct stat after {};
        ASSERT_EQ(::stat(path.c_str(), &after), 0) << node.name;
        EXPECT_EQ(after.st_mode, before.st_mode) << node.name;
        EXPECT_EQ(after.st_rdev, before.st_rdev) << node.name;
#endif
        EXPECT_TRUE(main->schedule().ScheduleEdited());
    }
#ifdef _WIN32
    EXPECT_EQ(names(), (std::set<std::string>{"folder.txt"}));
#else
    EXPECT_EQ(names(), (std::set<std::string>{"device.txt", "fifo.txt", "folder.txt"}));
#endif
}

TEST_F(FileSafety, eightBitNamesAreOpenedAndCreatedByTheirBytes) {
    const std::string log = at("caf\xE9.txt");
    putFile(log, fileBytes(Samples + "q3.txt"));
    importLog(log);
    EXPECT_TRUE(ui.boxTexts().empty());
    EXPECT_EQ(main->schedule().RowCount(), 4);
    EXPECT_EQ(main->txtLogFile.Text, log);

    // No dot: ".txt" is added to the chosen bytes, nothing else changes.
    saveGrid(at("g\xE9rid"));
    EXPECT_TRUE(ui.boxTexts().empty());
    EXPECT_EQ(names(), (std::set<std::string>{"caf\xE9.txt", "g\xE9rid.txt"}));

    EXPECT_TRUE(main->Unload());
    EXPECT_EQ(names(), (std::set<std::string>{"caf\xE9.txt", "caf\xE9.urs", "g\xE9rid.txt"}));
}

TEST_F(FileSafety, aCancelledLogDialogKeepsAnEditOfferedOnClosing) {
    main->txtSlideLength.Text = "00:01:00";
    main->cmdUpdate_Click();
    ASSERT_TRUE(main->schedule().FirstRowEdited());
    ui.queueCancel();
    main->mnuRdLog_Click();

    ui.queueAnswer(Mb::Cancel);
    EXPECT_FALSE(main->Unload());
    EXPECT_EQ(ui.boxTexts(), std::vector<std::string>{"Save Grid?"});
    EXPECT_EQ(main->Grid1.TextMatrix(1, ScheduleColumn::Length), "00:01:00");
}

TEST_F(FileSafety, aHugeFileChosenByMistakeIsTurnedDownAtItsFirstLine) {
    // Sparse: a gigabyte that takes no room, one endless line of zeros.
    const std::string junk = at("junk.txt");
    putFile(junk, "");
    std::filesystem::resize_file(TestFiles::native(junk), 1LL << 30);

    ui.queueFile(junk);
    main->mnuReadGrid_Click();
    importLog(junk);
    EXPECT_EQ(ui.boxTexts(), (std::vector<std::string>{"Not a grid file", "Not a Log File"}));
}

} // namespace
