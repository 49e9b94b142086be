#include "common/filepath.h"
#include "common/text.h"
#include "common/textfile.h"
#include "common/writebatch.h"
#include "support/smalldisk.h"

#ifdef _WIN32
#include "common/win32text.h"

#include <windows.h>
#else
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <set>
#include <vector>

namespace {

struct Folder {
    TempFolder dir;

    std::string path(const std::string& name) const { return dir.filePath(name); }
    // The names in the folder exactly as the system holds them.
    std::set<std::string> names() const { return TestFiles::names(dir.path()); }
};

std::vector<std::string> allLines(LineReader reader) {
    std::vector<std::string> lines;
    while (!reader.atEnd())
        lines.push_back(reader.next());
    return lines;
}

TEST(LineReader, splitsAtEveryLineEndTheSystemWrites) {
    const struct {
        std::string bytes;
        std::vector<std::string> lines;
    } cases[] = {
        {"", {}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb\rc", {"a", "b", "c"}},
        {"a\r\r\nb", {"a", "", "b"}},
        {"\r\n", {""}},
        {"last\r", {"last"}},
        {std::string("nul\0byte\xE9\r\n", 11), {std::string("nul\0byte\xE9", 9)}},
        // Line ends on either side of the places a line end is looked for in steps.
        {std::string(255, 'a') + "\r" + std::string(256, 'b') + "\n" + std::string(257, 'c'),
         {std::string(255, 'a'), std::string(256, 'b'), std::string(257, 'c')}},
        {std::string(300, 'a') + "\n" + std::string(200, 'b') + "\r" + std::string(600, 'c') +
             "\r\n",
         {std::string(300, 'a'), std::string(200, 'b'), std::string(600, 'c')}},
        {std::string(1000, '\n'), std::vector<std::string>(1000)},
        {std::string(1000, '\r'), std::vector<std::string>(1000)},
        {"a\n" + std::string(700, 'x') + "\r", {"a", std::string(700, 'x')}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(allLines(LineReader::fromBytes(c.bytes)), c.lines) << Text::forMessage(c.bytes);
        // Read in pieces of two bytes, the same lines come back whole.
        LineReader pieces = LineReader::fromBytes(c.bytes);
        std::vector<std::string> joined;
        while (!pieces.atEnd()) {
            joined.emplace_back();
            for (bool ended = false; !ended;)
                joined.back() += pieces.nextPiece(2, ended);
        }
        EXPECT_EQ(joined, c.lines) << "in pieces: " << Text::forMessage(c.bytes);
    }
}

TEST(LineReader, readsAFileAcrossBlocksWithACrLfSplitBetweenThem) {
    Folder f;
    // The CR is the last byte of the first block, its LF the first of the next.
    const std::string first(64 * 1024 - 1, 'a');
    putFile(f.path("lines.txt"), first + "\r\nsecond\r\n");
    LineReader reader(f.path("lines.txt"));
    EXPECT_EQ(reader.next(), first);
    EXPECT_EQ(reader.lineNumber(), 2);
    EXPECT_EQ(reader.next(), "second");
    EXPECT_TRUE(reader.atEnd());
    EXPECT_THROW(reader.next(), FileError);
}

TEST(LineReader, stopsAtTheCapWithoutReadingTheRestOfTheLine) {
    Folder f;
    putFile(f.path("cap.txt"), "12345\r\n123456\r\n");
    LineReader reader(f.path("cap.txt"), 5);
    EXPECT_EQ(reader.next(), "12345");
    try {
        reader.next();
        FAIL() << "a line over the cap was taken";
    } catch (const LineTooLong& e) {
        EXPECT_EQ(e.line(), 2);
    }

    // A megabyte without a line end is refused after the first blocks.
    putFile(f.path("huge.txt"), std::string(1 << 20, '\0'));
    LineReader huge(f.path("huge.txt"));
    EXPECT_THROW(huge.next(), LineTooLong);
}

TEST(TextFile, eightBitNamesAreCreatedAndOpenedByTheirOwnBytes) {
    Folder f;
    const std::string latin1 = "caf\xE9 g\xE9rid.txt";
    TextFile::writeAtomically(f.path(latin1), "bytes\xE9\r\n");
    EXPECT_EQ(f.names(), std::set<std::string>{latin1});
#ifdef _WIN32
    // In the Western code page the bytes are the letters the operator typed.
    if (::GetACP() == 1252)
        EXPECT_TRUE(
            std::filesystem::exists(TestFiles::native(f.dir.path()) / L"caf\u00e9 g\u00e9rid.txt"));
#endif
    EXPECT_TRUE(TextFile::exists(f.path(latin1)));
    EXPECT_EQ(TextFile::readAll(f.path(latin1)), "bytes\xE9\r\n");
    EXPECT_EQ(allLines(LineReader(f.path(latin1))), std::vector<std::string>{"bytes\xE9"});
    {
        LineFile log(f.path("log\xE9.txt"));
        log.writeLine("one\r\n");
    }
    EXPECT_EQ(fileBytes(f.path("log\xE9.txt")), "one\r\n");
    EXPECT_THROW(TextFile::readAll(f.path(std::string("a\0b", 3))), FileError);
}

TEST(TextFile, readAllRefusesAFileLargerThanAsked) {
    Folder f;
    putFile(f.path("big.txt"), std::string(1000, 'x'));
    EXPECT_EQ(TextFile::readAll(f.path("big.txt"), 1000).size(), 1000u);
    EXPECT_THROW(TextFile::readAll(f.path("big.txt"), 999), FileError);
}

TEST(AtomicFileWriter, replacesOnlyOnCommitAndKeepsThePermissions) {
    Folder f;
    const std::string target = f.path("grid.txt");
    putFile(target, "earlier\r\n");
#ifndef _WIN32
    ::chmod(target.c_str(), 0640);
#endif
    {
        AtomicFileWriter writer(target);
        writer.write("new");
        EXPECT_EQ(fileBytes(target), "earlier\r\n");
        // Not committed: thrown away.
    }
    EXPECT_EQ(fileBytes(target), "earlier\r\n");
    EXPECT_EQ(f.names(), std::set<std::string>{"grid.txt"});

    AtomicFileWriter writer(target);
    const std::string big(200 * 1024, 'b'); // more than one block
    writer.write(big);
    writer.write("\r\n");
    writer.commit();
    EXPECT_EQ(fileBytes(target), big + "\r\n");
#ifndef _WIN32
    struct stat st {};
    ::stat(target.c_str(), &st);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
#endif
    EXPECT_EQ(f.names(), std::set<std::string>{"grid.txt"});
}

TEST(AtomicFileWriter, aLinkToAPlainFileIsWrittenThrough) {
#ifdef _WIN32
    GTEST_SKIP() << "symbolic links need an administrator on Windows";
#else
    Folder f;
    putFile(f.path("real.txt"), "earlier");
    ASSERT_EQ(::symlink("real.txt", f.path("link.txt").c_str()), 0);
    TextFile::writeAtomically(f.path("link.txt"), "new");
    struct stat st {};
    ASSERT_EQ(::lstat(f.path("link.txt").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(fileBytes(f.path("real.txt")), "new");
#endif
}

TEST(AtomicFileWriter, aFailedStepLeavesTheEarlierFileWholeAndNoTemporaryFile) {
    for (const auto step : {TextFile::Step::Write, TextFile::Step::Sync, TextFile::Step::Close,
                            TextFile::Step::Rename}) {
        Folder f;
        const std::string target = f.path("grid.txt");
        putFile(target, "earlier\r\n");
        {
            TextFile::InjectedFault full(step, ENOSPC);
            try {
                TextFile::writeAtomically(target, "new\r\n");
                ADD_FAILURE() << "step " << static_cast<int>(step) << " failed unnoticed";
            } catch (const FileError& e) {
                EXPECT_STREQ(e.what(), std::strerror(ENOSPC));
            }
        }
        EXPECT_EQ(fileBytes(target), "earlier\r\n");
        EXPECT_EQ(f.names(), std::set<std::string>{"grid.txt"});
    }
}

// A batch compares each file's new bytes with the old ones as they stream in: an equal
// file keeps its inode and time and gets no temporary file; any difference, a link at the
// name or Same::Replace puts a new file in place, with the old one's permissions.
TEST(WriteBatch, onlyFilesWhoseBytesChangedAreReplaced) {
    const std::string big(200 * 1024 + 1, 'b');
    std::string bigEnd = big;
    bigEnd.back() = 'e';
    struct Case {
        const char* what;
        std::optional<std::string> old; // none: no file there
        std::string bytes;
        bool kept;
        WriteBatch::Same same = WriteBatch::Same::Keep;
        bool link = false;
    };
    const Case cases[] = {
        {"equal", "line\r\n", "line\r\n", true},
        {"equal, many blocks", big, big, true},
        {"empty", "", "", true},
        {"the last byte differs", big, bigEnd, false},
        {"shorter", big, big.substr(0, 1000), false},
        {"longer", "line", "line\r\n", false},
        {"none there", std::nullopt, "new", false},
        {"equal, replaced when asked", "same", "same", false, WriteBatch::Same::Replace},
#ifndef _WIN32
        {"equal behind a link", "same", "same", false, WriteBatch::Same::Keep, true},
#endif
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Folder f;
        const std::string target = f.path("page.htm");
        const std::string real = c.link ? f.path("real.htm") : target;
        if (c.old)
            putFile(real, *c.old);
#ifndef _WIN32
        if (c.link) {
            ASSERT_EQ(::symlink("real.htm", target.c_str()), 0);
        }
        if (c.old)
            ::chmod(real.c_str(), 0640);
        struct stat before {};
        ::stat(target.c_str(), &before);
#endif
        // An hour ago, as the file system holds it (wine keeps coarser times).
        std::filesystem::file_time_type hourAgo{};
        if (c.old) {
            std::filesystem::last_write_time(TextFile::nativePath(real),
                                             std::filesystem::file_time_type::clock::now() -
                                                 std::chrono::hours(1));
            hourAgo = std::filesystem::last_write_time(TextFile::nativePath(real));
        }
        {
            WriteBatch batch;
            WriteBatch::File& file = batch.add(target, c.same);
            // In pieces that do not fall on the blocks compared.
            for (size_t at = 0; at < c.bytes.size(); at += 7000)
                file.write(std::string_view(c.bytes).substr(at, 7000));
            file.finish();
            batch.add(f.path("unfinished.htm")).write("left out");
            batch.commit();
            EXPECT_EQ(batch.kept(), c.kept ? 1 : 0);
            EXPECT_EQ(batch.replaced(), c.kept ? 0 : 1);
        }
        EXPECT_EQ(fileBytes(target), c.bytes);
        std::set<std::string> names = {"page.htm"};
        if (c.link)
            names.insert("real.htm");
        EXPECT_EQ(f.names(), names);
        EXPECT_EQ(std::filesystem::last_write_time(TextFile::nativePath(target)) == hourAgo,
                  c.kept);
#ifndef _WIN32
        struct stat after {};
        ASSERT_EQ(::lstat(target.c_str(), &after), 0);
        EXPECT_TRUE(S_ISREG(after.st_mode));
        EXPECT_EQ(after.st_ino == before.st_ino, c.kept);
        if (c.old && !c.link) {
            EXPECT_EQ(after.st_mode & 07777, 0640u);
        }
        if (c.link) {
            EXPECT_EQ(fileBytes(real), *c.old);
        }
#endif
    }
}

// Five files in two folders, one of them equal to its old bytes: the commit makes them
// durable at one point (one syncfs for the file system, or one fsync a file), syncs each
// folder once, and a step that fails says which file or folder. Before the renames a
// failure leaves every old file and no temporary file; a rename that fails leaves the
// files renamed before it new, the rest old.
TEST(WriteBatch, aCommitSyncsOncePerFolderAndAFailedStepKeepsEveryFileWhole) {
    using TextFile::Step;
    using Durability = WriteBatch::Durability;
    struct Case {
        Step step;
        int skip; // steps of that kind that succeed first
        Durability durability;
        int newFiles; // -1: no failure, all four changed files new
        const char* atFault;
    };
    const Case cases[] = {
#ifdef _WIN32
        {Step::Sync, 4, Durability::SyncFileSystem, -1, nullptr}, // a flush a changed file
        {Step::Sync, 3, Durability::SyncFileSystem, 0, "b/4.htm"},
#else
        {Step::Sync, 1, Durability::SyncFileSystem, -1, nullptr}, // one file system
        {Step::Sync, 0, Durability::SyncFileSystem, 0, "a/1.htm"},
        {Step::Sync, 4, Durability::SyncEachFile, -1, nullptr}, // an fsync a changed file
        {Step::Sync, 3, Durability::SyncEachFile, 0, "b/4.htm"},
#endif
        {Step::Close, 1, Durability::SyncFileSystem, 0, "a/2.htm"},
        {Step::Rename, 2, Durability::SyncFileSystem, 2, "b/3.htm"},
        {Step::SyncFolder, 2, Durability::SyncFileSystem, -1, nullptr}, // two folders
        {Step::SyncFolder, 1, Durability::SyncFileSystem, 4, "b"},
    };
    const char* names[] = {"a/1.htm", "a/2.htm", "b/3.htm", "b/4.htm", "b/same.htm"};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(static_cast<int>(c.step)) + " after " + std::to_string(c.skip));
        Folder f;
        ASSERT_TRUE(TestFiles::makePath(f.path("a")) && TestFiles::makePath(f.path("b")));
        for (const char* name : names)
            putFile(f.path(name), std::string("old ") + name);
        std::string failure;
        {
            TextFile::InjectedFault fault(c.step, EIO, c.skip);
            WriteBatch batch(c.durability);
            for (const char* name : names) {
                WriteBatch::File& file = batch.add(f.path(name));
                file.write(std::string(name) == "b/same.htm" ? "old b/same.htm"
                                                             : std::string("new ") + name);
                file.finish();
            }
            try {
                batch.commit();
            } catch (const BatchError& e) {
                EXPECT_STREQ(e.what(), std::strerror(EIO));
                failure = e.path();
            }
        }
        EXPECT_EQ(failure, c.atFault ? f.path(c.atFault) : "");
        const int expectNew = c.newFiles < 0 ? 4 : c.newFiles;
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(fileBytes(f.path(names[i])),
                      std::string(i < expectNew ? "new " : "old ") + names[i]);
        EXPECT_EQ(TestFiles::names(f.path("a")), (std::set<std::string>{"1.htm", "2.htm"}));
        EXPECT_EQ(TestFiles::names(f.path("b")),
                  (std::set<std::string>{"3.htm", "4.htm", "same.htm"}));
    }
}

TEST(LineFile, aLineThatCannotReachTheDiskIsReported) {
    Folder f;
    LineFile log(f.path("log.txt"));
    log.writeLine("first\r\n");
    for (const auto step : {TextFile::Step::Write, TextFile::Step::Sync}) {
        TextFile::InjectedFault full(step, ENOSPC);
        EXPECT_THROW(log.writeLine("second\r\n"), FileError);
    }
    log.close();
    EXPECT_FALSE(log.isOpen());
    EXPECT_THROW(log.writeLine("late\r\n"), FileError);
}

// A line cut short by a file-size limit, or written but not synced, leaves nothing behind,
// and the line after it starts clean.
TEST(LineFile, aLineThatCannotBeWrittenWholeLeavesNoFragment) {
    struct Case {
        const char* what;
        std::function<void(const std::string& log)> fail; // makes the next line fail
    };
    std::optional<TextFile::InjectedFault> fault;
#ifndef _WIN32
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
#endif
    const Case cases[] = {
#ifndef _WIN32 // Windows has no file-size limit
        {"file-size limit",
         [&](const std::string& log) {
             rlimit lower = saved;
             lower.rlim_cur = fileBytes(log).size() + 5;
             ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &lower), 0);
         }},
#endif
        {"sync", [&](const std::string&) { fault.emplace(TextFile::Step::Sync, ENOSPC); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Folder f;
        LineFile log(f.path("log.txt"));
        log.writeLine("first\r\n");
        c.fail(f.path("log.txt"));
        EXPECT_THROW(log.writeLine("a line longer than the room left\r\n"), FileError);
#ifndef _WIN32
        ::setrlimit(RLIMIT_FSIZE, &saved);
#endif
        fault.reset();
        EXPECT_EQ(fileBytes(f.path("log.txt")), "first\r\n");
        log.writeLine("third\r\n");
        EXPECT_EQ(fileBytes(f.path("log.txt")), "first\r\nthird\r\n");
    }
}

// The open file is compared with the path: a deleted, moved or replaced log is noticed
// and writing goes on at the path, after what stands there. On Windows the open log
// cannot be deleted, moved or replaced at all, and stays where it is.
TEST(LineFile, noticesWhenThePathNoLongerNamesTheOpenFile) {
    struct Case {
        const char* what;
        std::function<bool(const Folder& f)> change; // false when the system refused
        std::string atPath;                          // after reopen and one more line
    };
    const Case cases[] = {
        {"deleted", [](const Folder& f) { return TestFiles::remove(f.path("log.txt")); },
         "two\r\n"},
        {"moved",
         [](const Folder& f) { return TestFiles::rename(f.path("log.txt"), f.path("moved.txt")); },
         "two\r\n"},
        {"replaced by an editor's copy",
         [](const Folder& f) {
             putFile(f.path("copy.txt"), "one\r\n");
             return TestFiles::rename(f.path("copy.txt"), f.path("log.txt"));
         },
         "one\r\ntwo\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Folder f;
        LineFile log(f.path("log.txt"));
        log.writeLine("one\r\n");
        EXPECT_TRUE(log.stillAtPath());
#ifdef _WIN32
        EXPECT_FALSE(c.change(f));
        EXPECT_TRUE(log.stillAtPath());
        log.writeLine("two\r\n");
        EXPECT_EQ(fileBytes(f.path("log.txt")), "one\r\ntwo\r\n");
        continue;
#endif
        EXPECT_TRUE(c.change(f));
        EXPECT_FALSE(log.stillAtPath());
        log.reopen();
        EXPECT_TRUE(log.stillAtPath());
        log.writeLine("two\r\n");
        EXPECT_EQ(fileBytes(f.path("log.txt")), c.atPath);
    }
}

TEST(SmallDiskFull, nothingIsLostWhenTheDiskFillsUp) {
    SmallDisk disk;
    if (!disk.available())
        GTEST_SKIP() << "a small file system needs root on Linux";
    const std::string target = disk.path("grid.txt");
    const std::string earlier = "Cuemark Grid File\r\nearlier\r\n";
    TextFile::writeAtomically(target, earlier);
    LineFile log(disk.path("log.txt"));
    log.writeLine("before\r\n");
    disk.fill();

    try {
        TextFile::writeAtomically(target, std::string(16 * 1024, 'g'));
        FAIL() << "a write to a full disk reported success";
    } catch (const FileError& e) {
        EXPECT_STREQ(e.what(), std::strerror(ENOSPC));
    }
    EXPECT_EQ(fileBytes(target), earlier);
    EXPECT_THROW(
        {
            for (int i = 0; i < 2000; ++i)
                log.writeLine("a line the log cannot take\r\n");
        },
        FileError);
}

// Makes a node of the given kind at path; false when this machine cannot.
using MakeNode = std::function<bool(const std::string&)>;

TEST(TextFile, onlyPlainFilesAreReadOrWritten) {
    const struct {
        const char* kind;
        const char* name; // in the test's folder, unless a path of its own
        MakeNode make;
    } nodes[] = {
        {"folder", "node", [](const std::string& p) { return TestFiles::makePath(p); }},
#ifdef _WIN32
        // Names that reach a device in any folder, and a pipe of the test's own.
        {"device", "NUL", [](const std::string&) { return true; }},
        {"device", "com1.txt", [](const std::string&) { return true; }},
        {"device", "Con ", [](const std::string&) { return true; }},
        {"device", "\\\\.\\NUL", [](const std::string&) { return true; }},
        {"pipe", "\\\\.\\pipe\\cuemark-textfile-test",
         [](const std::string& p) {
             return ::CreateNamedPipeW(Win32Text::widen(p).c_str(), PIPE_ACCESS_DUPLEX, 0, 1, 0, 0,
                                       0, nullptr) != INVALID_HANDLE_VALUE;
         }},
#else
        {"FIFO", "node", [](const std::string& p) { return ::mkfifo(p.c_str(), 0600) == 0; }},
        {"device", "node",
         [](const std::string& p) {
             // A copy of the null device as root, else a link to the real one.
             return ::mknod(p.c_str(), S_IFCHR | 0600, makedev(1, 3)) == 0 ||
                    ::symlink("/dev/null", p.c_str()) == 0;
         }},
        {"socket", "node",
         [](const std::string& p) {
             const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
             sockaddr_un addr{};
             addr.sun_family = AF_UNIX;
             if (p.size() >= sizeof addr.sun_path)
                 return false;
             std::strcpy(addr.sun_path, p.c_str());
             const bool made = ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
             ::close(fd);
             return made;
         }},
#endif
    };
    for (const auto& node : nodes) {
        Folder f;
        const std::string name = node.name;
        const std::string p = name.rfind("\\\\", 0) == 0 ? name : f.path(name);
        if (!node.make(p))
            continue;
#ifndef _WIN32
        struct stat before {};
        ::stat(p.c_str(), &before);
#endif
        for (const auto& use : std::vector<std::function<void()>>{
                 [&] { TextFile::writeAtomically(p, "x"); },
                 [&] { LineFile log(p); },
                 [&] { LineReader reader(p); },
                 [&] { TextFile::readAll(p); },
             }) {
            try {
                use();
                ADD_FAILURE() << node.kind << " " << name << " taken as a file";
            } catch (const FileError& e) {
                EXPECT_NE(std::string(e.what()).find("Not a plain file"), std::string::npos)
                    << node.kind << " " << name << ": " << e.what();
            }
        }
#ifndef _WIN32
        struct stat after {};
        ASSERT_EQ(::stat(p.c_str(), &after), 0) << node.kind;
        EXPECT_EQ(after.st_mode, before.st_mode) << node.kind;
        EXPECT_EQ(after.st_ino, before.st_ino) << node.kind;
#endif
        EXPECT_FALSE(TextFile::exists(p)) << name;
        for (const std::string& left : f.names())
            EXPECT_EQ(left, "node") << "left beside the " << node.kind;
    }
}

TEST(Text, forMessageShowsABoundedEscapedQuote) {
    const std::string megabyte(1 << 20, 'j');
    const struct {
        std::string input;
        std::string shown;
    } cases[] = {
        {"00:61:00", "00:61:00"},
        {std::string(80, 'a'), std::string(80, 'a')},
        {std::string(81, 'a'), std::string(80, 'a') + "..."},
        {megabyte, std::string(80, 'j') + "..."},
        {std::string("a\0b\tc\x7F", 6), "a\\x00b\\x09c\\x7F"},
        {"caf\xE9", "caf\xE9"},
        // 79 ASCII bytes then a two-byte UTF-8 character: dropped whole.
        {std::string(79, 'a') + "\xC3\xA9z", std::string(79, 'a') + "..."},
        {std::string(76, 'a') + std::string(10, '\0'), std::string(76, 'a') + "\\x00..."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Text::forMessage(c.input), c.shown);
}

TEST(Text, sentenceEndsAReasonWithOneFullStop) {
    const std::pair<std::string, std::string> cases[] = {
        {"No such file or directory", "No such file or directory."},
        {"File not found.", "File not found."},
        {"", "."},
        {"Ends in dots...", "Ends in dots..."},
    };
    for (const auto& [reason, shown] : cases)
        EXPECT_EQ(Text::sentence(reason), shown);
}

} // namespace
