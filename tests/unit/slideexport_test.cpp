#include "common/textfile.h"
#include "slides/fileurl.h"
#include "slides/powerpointdeck.h"
#include "slides/slideexport.h"
#include "slides/slidetextwriter.h"
#include "support/testfiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <set>
#include <sstream>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// PowerPoint as the slide export meets it through automation: it records every member
// called and draws a slide as a short text naming the slide and the asked size.
struct FakePowerPoint {
    std::vector<std::string> calls;
    int presentationsBefore = 0;
    int slides = 3;
    bool openFails = false;
    std::set<int> failingSlides;
    // Set while slide interruptAt is drawn, as a signal would.
    int interruptAt = 0;
    std::atomic<bool> interrupted{false};

    struct Object : AutomationObject {
        FakePowerPoint& pp;
        std::string name;
        Object(FakePowerPoint& p, std::string n) : pp(p), name(std::move(n)) {}

        AutomationRef child(const std::string& n) { return std::make_shared<Object>(pp, n); }
        AutomationValue get(const std::string& member,
                            const std::vector<AutomationValue>& args) override {
            pp.calls.push_back(name + "." + member);
            if (member == "Presentations" || member == "Slides" || member == "PageSetup" ||
                member == "Shapes" || member == "NotesPage")
                return child(member);
            // The slides and their notes pages hold no shapes.
            if (member == "Count")
                return std::int32_t(name == "Slides"   ? pp.slides
                                    : name == "Shapes" ? 0
                                                       : pp.open());
            if (member == "SlideWidth")
                return 720.0;
            if (member == "SlideHeight")
                return std::int32_t(540);
            throw AutomationError("Object doesn't support this property or method");
        }
        void put(const std::string&, const AutomationValue&) override {
            throw AutomationError("Object doesn't support this property or method");
        }
        AutomationValue call(const std::string& member,
                             const std::vector<AutomationValue>& args) override {
            std::string text = name + "." + member + "(";
            for (const auto& a : args)
                text += (text.back() == '(' ? "" : ",") + asText(a);
            pp.calls.push_back(text + ")");
            if (member == "Open") {
                if (pp.openFails)
                    throw AutomationError("PowerPoint could not open the file.");
                pp.opened = true;
                return child("Presentation");
            }
            if (member == "Close")
                pp.opened = false;
            if (member == "Item")
                return child("Slide" + asText(args.at(0)));
            if (member == "Export") {
                const int n = std::stoi(name.substr(5));
                if (n == pp.interruptAt)
                    pp.interrupted = true;
                if (pp.failingSlides.count(n))
                    throw AutomationError("Slide.Export : Failed.");
                std::string path = asText(args.at(0));
                // PowerPoint is handed Windows paths; here they name the same file.
                EXPECT_EQ(path.find('/'), std::string::npos) << path;
                std::replace(path.begin(), path.end(), '\\', '/');
                TextFile::writeAtomically(path, "slide " + std::to_string(n) + " " +
                                                    asText(args.at(1)) + " " + asText(args.at(2)) +
                                                    "x" + asText(args.at(3)));
            }
            return {};
        }
    };

    bool opened = false;
    int open() const { return presentationsBefore + (opened ? 1 : 0); }
    AutomationFactory factory() {
        return [this](const std::string& className) -> AutomationRef {
            calls.push_back("create " + className);
            return std::make_shared<Object>(*this, "Application");
        };
    }
};

struct Outcome {
    int status;
    std::string errors;
    std::string progress;
};

Outcome run(FakePowerPoint& pp, const SlidesRequest& request) {
    PowerPointDeck deck(pp.factory());
    std::ostringstream errors, progress;
    const int status = exportSlides(request, deck, errors, &progress, &pp.interrupted);
    return {status, errors.str(), progress.str()};
}

} // namespace

// The whole road on a deck beside which no folder exists yet: the folder is named as the
// image pattern names it, and PowerPoint, which held nothing before, is quit again.
TEST(SlideExport, drawsEverySlideThroughPowerPointIntoThePatternsFolder) {
    TempFolder dir;
    const std::string talks = dir.filePath("my talks");
    ASSERT_TRUE(TestFiles::makePath(talks));
    const std::string deck = talks + "/q3.review.ppt";
    TextFile::writeAtomically(deck, "deck");
    FakePowerPoint pp;
    SlidesRequest request;
    request.deck = deck;
    request.width = 320;

    const Outcome r = run(pp, request);
    EXPECT_EQ(r.status, SlidesDone) << r.errors;
    EXPECT_EQ(r.errors, "");
    const std::string folder = talks + "/q3";
    EXPECT_EQ(TestFiles::names(folder),
              (std::set<std::string>{"sld001.gif", "sld002.gif", "sld003.gif", "slides.txt"}));
    EXPECT_EQ(TextFile::readAll(folder + "/sld002.gif"), "slide 2 GIF 320x240");
    EXPECT_EQ(std::count(r.progress.begin(), r.progress.end(), '\n'),
              4); // a line a slide, and the text file's

    std::string windowsDeck = deck;
    std::replace(windowsDeck.begin(), windowsDeck.end(), '/', '\\');
    const std::vector<std::string> expected = {
        "create PowerPoint.Application", "Application.Presentations",
        "Presentations.Count",           "Presentations.Open(" + windowsDeck + ",-1,0,0)",
        "Presentation.Slides",           "Slides.Count",
        "Presentation.PageSetup",        "PageSetup.SlideWidth",
        "PageSetup.SlideHeight"};
    ASSERT_GE(pp.calls.size(), expected.size() + 3);
    EXPECT_EQ(std::vector<std::string>(pp.calls.begin(), pp.calls.begin() + expected.size()),
              expected);
    const std::vector<std::string> end = {"Presentation.Close()", "Presentations.Count",
                                          "Application.Quit()"};
    EXPECT_EQ(std::vector<std::string>(pp.calls.end() - 3, pp.calls.end()), end);
}

// What goes wrong: refused before PowerPoint is asked (no deck, an empty one), refused by
// PowerPoint (nothing written, no folder made), one slide failing (reported by number, the
// others written, the earlier file of the failed slide whole), or an interrupt (PowerPoint
// let go still).
TEST(SlideExport, reportsWhatFailedAndWritesNothingForADeckNotOpened) {
    struct Case {
        const char* name;
        bool deckExists;
        bool openFails;
        std::set<int> failing;
        int presentationsBefore;
        ImageFormat format;
        int status;
        std::set<std::string> files;
        const char* message;
        bool quits;
        int interruptAt = 0;
        bool emptyDeck = false;
    };
    // clang-format off
    const std::vector<Case> cases = {
        {"missing deck", false, false, {}, 0, ImageFormat::Gif, SlidesRefused, {},
         "no such file", false},
        {"refused deck", true, true, {}, 0, ImageFormat::Gif, SlidesRefused, {},
         "cannot open the deck", true},
        {"slide 2 fails", true, false, {2}, 0, ImageFormat::Gif, SlidesFailed,
         {"sld001.gif", "sld002.gif", "sld003.gif", "slides.txt"}, "slide 2 was not written", true},
        {"operator's PowerPoint", true, false, {}, 1, ImageFormat::Png, SlidesDone,
         {"sld001.png", "sld002.png", "sld003.png", "slides.txt"}, "", false},
        {"interrupted", true, false, {}, 0, ImageFormat::Gif, SlidesFailed, {"sld001.gif"},
         "slides 2 to 3 were not written", true, 1},
        {"empty deck", true, false, {}, 0, ImageFormat::Gif, SlidesRefused, {},
         "is an empty file", false, 0, true},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder dir;
        const std::string deck = dir.filePath("talk.odp");
        const std::string folder = dir.filePath("images");
        if (c.deckExists)
            TextFile::writeAtomically(deck, c.emptyDeck ? "" : "deck");
        if (!c.failing.empty()) {
            ASSERT_TRUE(TestFiles::makePath(folder));
            TextFile::writeAtomically(folder + "/sld002.gif", "earlier picture");
        }
        FakePowerPoint pp;
        pp.openFails = c.openFails;
        pp.failingSlides = c.failing;
        pp.presentationsBefore = c.presentationsBefore;
        pp.interruptAt = c.interruptAt;
        SlidesRequest request;
        request.deck = deck;
        request.folder = folder;
        request.format = c.format;

        const Outcome r = run(pp, request);
        EXPECT_EQ(r.status, c.status);
        EXPECT_NE(r.errors.find(c.message), std::string::npos) << r.errors;
        EXPECT_EQ(TestFiles::names(folder), c.files);
        EXPECT_EQ(TestFiles::exists(folder), !c.files.empty());
        if (!c.failing.empty()) {
            EXPECT_EQ(TextFile::readAll(folder + "/sld002.gif"), "earlier picture");
        }
        if (c.format == ImageFormat::Png) {
            EXPECT_EQ(TextFile::readAll(folder + "/sld003.png"), "slide 3 PNG 640x480");
        }
        EXPECT_EQ(!pp.calls.empty() && pp.calls.back() == "Application.Quit()", c.quits);
        if (!c.deckExists || c.emptyDeck) {
            EXPECT_TRUE(pp.calls.empty());
        }
    }
}

TEST(SlideExport, readsTheCommandLineAndNamesTheFolderAsThePatternDoes) {
    struct Case {
        std::vector<std::string> args;
        std::string error; // empty: accepted
        int width;
        ImageFormat format;
        std::string folder;
    };
    const std::vector<Case> cases = {
        {{"talk.odp"}, "", 640, ImageFormat::Gif, ""},
        {{"--width", "1024", "--format", "png", "a b.odp", "out"},
         "",
         1024,
         ImageFormat::Png,
         "out"},
        {{"--width=200", "--", "-odd.odp"}, "", 200, ImageFormat::Gif, ""},
        {{"a.odp", "--width", "1920", "--width", "800"}, "", 800, ImageFormat::Gif, ""},
        {{}, "no deck", 0, ImageFormat::Gif, ""},
        {{"a.odp", "b", "c"}, "too many", 0, ImageFormat::Gif, ""},
        {{"--width", "0", "a.odp"}, "width", 0, ImageFormat::Gif, ""},
        {{"--width", "12px", "a.odp"}, "width", 0, ImageFormat::Gif, ""},
        {{"--format", "jpg", "a.odp"}, "format", 0, ImageFormat::Gif, ""},
        {{"a.odp", "--width"}, "needs a value", 0, ImageFormat::Gif, ""},
        {{"--height", "5", "a.odp"}, "unknown option", 0, ImageFormat::Gif, ""},
    };
    // The command line as cueslides reads it: through the one reader, options after the deck too.
    const auto read = [](std::vector<std::string> args) {
        args.insert(args.begin(), "cueslides");
        std::vector<const char*> argv;
        for (const std::string& arg : args)
            argv.push_back(arg.c_str());
        return readCommandLine(static_cast<int>(argv.size()), argv.data(), slidesCommandLine());
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.empty() ? "(none)" : c.args.back());
        try {
            const SlidesRequest r = slidesRequestOf(read(c.args));
            EXPECT_EQ(c.error, "");
            EXPECT_EQ(r.width, c.width);
            EXPECT_EQ(r.format, c.format);
            EXPECT_EQ(r.folder, c.folder);
        } catch (const std::invalid_argument& e) {
            EXPECT_NE(c.error, "");
            EXPECT_NE(std::string(e.what()).find(c.error), std::string::npos) << e.what();
        }
    }
    testing::internal::CaptureStdout();
    EXPECT_EQ(read({"a.odp", "--help"}).answered, 0);
    const std::string help = testing::internal::GetCapturedStdout();
    EXPECT_NE(help.find("Usage: cueslides [options] DECK [FOLDER]"), std::string::npos) << help;
    EXPECT_NE(help.find("--width <N>"), std::string::npos) << help;

    const std::vector<std::pair<std::string, std::string>> folders = {
        {"C:\\Talks\\Q3.review.ppt", "C:\\Talks\\Q3"},
        {"/home/a b/lecture 6.odp", "/home/a b/lecture 6"},
        {"talk", "talk"},
        {"talks/.odp", ""},
    };
    for (const auto& [deck, folder] : folders)
        EXPECT_EQ(defaultImageFolder(deck), folder) << deck;
}

// A link planted at an image's name, to a file outside the folder or to none: the image
// takes the link's place, and nothing outside is written or made.
TEST(SlideExport, aLinkPlantedAtAnImageNameIsReplacedNotWrittenThrough) {
#ifdef _WIN32
    GTEST_SKIP() << "symbolic links need an administrator on Windows";
#else
    struct Case {
        const char* name;
        bool targetExists;
    };
    const std::vector<Case> cases = {{"sld001.gif", true}, {"sld002.gif", false}};
    TempFolder dir;
    const std::string outside = dir.filePath("outside");
    const std::string folder = dir.filePath("images");
    ASSERT_TRUE(TestFiles::makePath(outside) && TestFiles::makePath(folder));
    TextFile::writeAtomically(dir.filePath("talk.odp"), "deck");
    for (const Case& c : cases) {
        if (c.targetExists)
            putFile(outside + "/" + c.name, "kept");
        ASSERT_EQ(::symlink((outside + "/" + c.name).c_str(), (folder + "/" + c.name).c_str()), 0);
    }
    const auto before = TestFiles::names(outside);
    FakePowerPoint pp;
    SlidesRequest request;
    request.deck = dir.filePath("talk.odp");
    request.folder = folder;

    const Outcome r = run(pp, request);
    EXPECT_EQ(r.status, SlidesDone) << r.errors;
    EXPECT_EQ(TestFiles::names(outside), before);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.targetExists) {
            EXPECT_EQ(fileBytes(outside + "/" + c.name), "kept");
        }
        struct stat st {};
        ASSERT_EQ(::lstat((folder + "/" + c.name).c_str(), &st), 0);
        EXPECT_TRUE(S_ISREG(st.st_mode));
        EXPECT_EQ(fileBytes(folder + "/" + c.name).rfind("slide ", 0), 0u);
    }
#endif
}

TEST(SlideExport, aFileUrlKeepsEveryByteOfThePath) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"/talks/caf\xE9 6.odp", "file:///talks/caf%E9%206.odp"},
        {"/t/caf\xEF\xBF\xBD.odp", "file:///t/caf%EF%BF%BD.odp"},
        {"/t/100%#?;\\.odp", "file:///t/100%25%23%3F%3B%5C.odp"},
        {"/A-z_0.9~/", "file:///A-z_0.9~/"},
        {"talks/q3.odp", ""},
        {"", ""},
    };
    for (const auto& [path, url] : cases)
        EXPECT_EQ(fileUrlOf(path), url) << path;
}

// One line per line of a slide's words: every line break splits, a tab or other control
// character is one blank, blank lines go, and bytes that are not UTF-8 become U+FFFD.
TEST(SlideExport, slideTextHasOneLinePerLineOfASlidesWords) {
    struct Case {
        const char* name;
        SlideWords words;
        std::vector<std::string> lines; // after "slide 1"
    };
    const std::vector<Case> cases = {
        {"nothing said", {}, {}},
        {"every part",
         {"Title", {"first", "second"}, {"said"}},
         {"title Title", "text first", "text second", "note said"}},
        {"line breaks",
         {"a\nb", {"c\r\nd\re\vf", "g\xE2\x80\xA8h\xE2\x80\xA9i\xC2\x85j\fk"}, {"n1\n\nn2"}},
         {"title a", "title b", "text c", "text d", "text e", "text f", "text g", "text h",
          "text i", "text j", "text k", "note n1", "note n2"}},
        {"controls and blanks",
         {"",
          {"a\tb\x01"
           "c\x7F"
           "d\xC2\x9F"
           "e",
           "  two  ", "\t \n \x1B"},
          {" \t "}},
         {"text a b c d e", "text   two  "}},
        {"letters",
         {"Gr\xC3\xBC\xC3\x9F"
          "e \xE2\x80\x94 \xF0\x9F\x8E\x93",
          {},
          {}},
         {"title Gr\xC3\xBC\xC3\x9F"
          "e \xE2\x80\x94 \xF0\x9F\x8E\x93"}},
        {"not UTF-8",
         {"caf\xE9", {"\xC0\xAF|\xED\xA0\x80|\xF4\x90\x80\x80|\xE2\x82"}, {}},
         {"title caf\xEF\xBF\xBD",
          "text \xEF\xBF\xBD\xEF\xBF\xBD|\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD|"
          "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD|\xEF\xBF\xBD\xEF\xBF\xBD"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> expected = {"Cuemark Slide Text", "slide 1"};
        expected.insert(expected.end(), c.lines.begin(), c.lines.end());
        expected.push_back("slide 2");
        EXPECT_EQ(slideTextLines({c.words, SlideWords{}}), expected);
    }
}

namespace {

// A presentation program that draws each slide as its number and reads the words given.
class WordsDeck : public DeckExporter {
  public:
    std::vector<SlideWords> words;
    int unreadable = 0;

    DeckSize open(const std::string&) override { return {static_cast<int>(words.size()), 4, 3}; }
    void exportSlide(int number, const std::string& imagePath, ImageFormat, int, int) override {
        TextFile::writeAtomically(imagePath, std::to_string(number));
    }
    std::optional<SlideWords> slideWords(int number) override {
        if (number == unreadable)
            throw DeckError("the program is busy");
        return words.at(static_cast<size_t>(number - 1));
    }
    void close() override {}
};

} // namespace

// slides.txt is written whole with every slide's words, CR LF after each line, in the
// link's place where one was planted; when a slide's words cannot be read it is not
// written at all, the earlier file stays, and the run says so with status 1.
TEST(SlideExport, writesEverySlidesWordsIntoSlidesTxtOrNone) {
    struct Case {
        const char* name;
        int unreadable;
        bool linkPlanted;
        int status;
        std::string text;
        const char* message;
    };
    const std::string whole = "Cuemark Slide Text\r\nslide 1\r\ntitle Opening\r\nnote Hello\r\n"
                              "slide 2\r\ntext caf\xC3\xA9 au lait\r\n";
    const std::vector<Case> cases = {
        {"all read", 0, false, SlidesDone, whole, ""},
        {"a planted link", 0, true, SlidesDone, whole, ""},
        {"slide 2 unread", 2, false, SlidesFailed, "earlier",
         "slides.txt was not written: the words of slide 2 were not read: the program is busy"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder dir;
        const std::string folder = dir.filePath("images");
        ASSERT_TRUE(TestFiles::makePath(folder));
        TextFile::writeAtomically(dir.filePath("talk.odp"), "deck");
        const std::string outside = dir.filePath("outside.txt");
        if (c.linkPlanted) {
#ifdef _WIN32
            continue;
#else
            putFile(outside, "kept");
            ASSERT_EQ(::symlink(outside.c_str(), (folder + "/slides.txt").c_str()), 0);
#endif
        } else {
            putFile(folder + "/slides.txt", "earlier");
        }
        WordsDeck deck;
        deck.words = {{"Opening", {}, {"Hello"}}, {"", {"caf\xC3\xA9\tau lait"}, {}}};
        deck.unreadable = c.unreadable;
        SlidesRequest request;
        request.deck = dir.filePath("talk.odp");
        request.folder = folder;
        std::ostringstream errors;

        EXPECT_EQ(exportSlides(request, deck, errors, nullptr), c.status);
        EXPECT_NE(errors.str().find(c.message), std::string::npos) << errors.str();
        EXPECT_EQ(fileBytes(folder + "/slides.txt"), c.text);
        EXPECT_EQ(TestFiles::names(folder),
                  (std::set<std::string>{"sld001.gif", "sld002.gif", "slides.txt"}));
        if (c.linkPlanted) {
            EXPECT_EQ(fileBytes(outside), "kept");
        }
    }
}
