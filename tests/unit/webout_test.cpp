#include "common/clocktime.h"
#include "common/textfile.h"
#include "webout/encoders.h"
#include "webout/eventlist.h"
#include "webout/lecturetable.h"
#include "webout/metafiles.h"
#include "webout/outputerror.h"
#include "webout/pagefiles.h"
#include "webout/slidepages.h"
#include "webout/slidetext.h"

#include "support/htmlshape.h"
#include "support/testfiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <map>
#include <tuple>
#include <type_traits>

namespace {

// The writers' rules are pinned on plain templates of the tests' own (the shipped ones
// carry the player), beside the shipped images, in a program folder made once per set.
const std::string& programFolder(const std::string& templates) {
    static std::map<std::string, TempFolder> dirs;
    static std::map<std::string, std::string> paths;
    if (const auto known = paths.find(templates); known != paths.end())
        return known->second;
    TempFolder& dir = dirs[templates];
    const std::string source = CUE_SOURCE_DIR;
    TestFiles::copyFiles(source + "/tests/golden/webout/" + templates, dir.path());
    for (const char* image : PageImageNames)
        TestFiles::copy(source + "/templates/" + image, dir.filePath(image));
    return paths[templates] = dir.path();
}
const std::string& templateDir() {
    return programFolder("templates");
}
const std::string GoldenDir = CUE_SOURCE_DIR "/tests/golden/webout/";

std::string readBytes(const std::string& path) {
    return TestFiles::exists(path) ? fileBytes(path) : "<missing>";
}

std::map<std::string, std::string> filesIn(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const std::string& name : TestFiles::fileNames(folder))
        files[name] = readBytes(folder + "/" + name);
    return files;
}

std::vector<std::string> pageImages() {
    return {PageImageNames.begin(), PageImageNames.end()};
}

struct Folder {
    TempFolder dir;
    std::string path() const { return dir.path() + "/"; }
    std::string file(const std::string& name) const { return path() + name; }
};

PresentationOutput presentation(std::vector<ScheduleRow> rows, const std::string& folder) {
    return {std::move(rows), folder, "http://www.cuemark.example/talks/q3/",
            "pnm://audio.cuemark.example/talks/q3.ra"};
}

// A writer into a batch of its own, put in place at once; what the writer returns.
template <class Write> auto placed(Write&& write) {
    WriteBatch batch;
    if constexpr (std::is_void_v<decltype(write(batch))>) {
        write(batch);
        commitOutputs(batch);
    } else {
        auto result = write(batch);
        commitOutputs(batch);
        return result;
    }
}

// The three writers of "Write HTM, RAM, RAE" into one folder.
void writeAll(const PresentationOutput& out, const std::string& program = templateDir()) {
    WriteBatch batch;
    writeAllPages(batch, out, program, pageImages());
    writeMetafiles(batch, out);
    writeEventList(batch, out);
    commitOutputs(batch);
}

struct GoldenCase {
    std::string templates;
    std::vector<ScheduleRow> rows;
};
const std::map<std::string, GoldenCase> GoldenCases = {
    {"one", {"templates", {{"00:00:30", "00:00:00", "00:00:30", "../q3/sld001.gif", "Welcome"}}}},
    // A leader without a title and a slide without one, its image given as a full URL.
    {"two",
     {"templates",
      {{"00:00:12", "00:00:00", "00:00:12", "../q3/sld001.gif", "."},
       {"00:10:00", "00:00:12", "00:10:12", "http://img.cuemark.example/q3/sld002.gif", ""}}}},
    // A talk with a pause, a slide shown twice, a slide too short to show, a title that
    // needs escaping and a start typed with a one-digit hour.
    {"twelve",
     {"templates",
      {{"00:00:20", "00:00:00", "00:00:20", "../q3/sld001.gif", "."},
       {"00:02:10", "00:00:20", "00:02:30", "../q3/sld002.gif", "Third quarter in review"},
       {"00:03:05", "00:02:30", "00:05:35", "../q3/sld003.gif", "Revenue, by region"},
       {"00:04:00", "00:05:35", "00:09:35", "../q3/sld004.gif", "R&D <draft> \"costs\""},
       {"00:05:00", "00:09:35", "00:14:35", "wait.gif", "BREAK"},
       {"00:01:45", "00:14:35", "00:16:20", "../q3/sld005.gif", "Hiring"},
       {"00:00:00", "00:16:20", "00:16:20", "../q3/sld006.gif", "Skipped past"},
       {"00:03:30", "00:16:20", "00:19:50", "../q3/sld007.gif", "Customers in M\xfcnchen"},
       {"00:02:00", "00:19:50", "00:21:50", "../q3/sld003.gif", "Revenue, by region"},
       {"00:43:10", "00:21:50", "1:05:00", "../q3/sld008.gif", "Outlook"},
       {"00:01:00", "1:05:00", "01:06:00", "../q3/sld009.gif", ""},
       {"00:00:40", "01:06:00", "01:06:40", "../q3/sld010.gif", "Questions"}}}},
    // Templates with the lecture markers and the deck's words in ../q3/slides.txt: a pause,
    // an 8-bit title and text, a slide shown twice with the same words, one too short to
    // be a chapter, one whose image is a full URL (no words).
    {"lecture",
     {"lecturetemplates",
      {{"00:00:15", "00:00:00", "00:00:15", "../q3/sld001.gif", "."},
       {"00:01:00", "00:00:15", "00:01:15", "../q3/sld002.gif", "Agenda & <aims>"},
       {"00:02:00", "00:01:15", "00:03:15", "wait.gif", "BREAK"},
       {"00:00:45", "00:03:15", "00:04:00", "../q3/sld003.gif", "Caf\xe9 results"},
       {"00:00:00", "00:04:00", "00:04:00", "../q3/sld004.gif", "Skipped"},
       {"00:01:00", "00:04:00", "00:05:00", "../q3/sld002.gif", "Agenda & <aims>"},
       {"00:00:30", "00:05:00", "00:05:30", "http://img.example/q3/sld005.gif", ""}}}},
};

} // namespace

// Every file of a presentation, byte for byte. CUE_UPDATE_GOLDENS=1 rewrites the goldens.
TEST(WebOutput, presentationsMatchTheirGoldensByteForByte) {
    for (const auto& [name, golden] : GoldenCases) {
        SCOPED_TRACE(name);
        // The presentation in talk/, its slide images (here only their words) in q3/.
        Folder root;
        const std::string talk = root.file("talk");
        TestFiles::makePath(talk);
        TestFiles::makePath(root.file("q3"));
        TestFiles::copy(GoldenDir + "lectureslides/slides.txt", root.file("q3/slides.txt"));
        writeAll(presentation(golden.rows, talk + "/"), programFolder(golden.templates));
        std::map<std::string, std::string> written = filesIn(talk);
        for (const std::string& image : pageImages()) {
            EXPECT_EQ(written[image], readBytes(templateDir() + "/" + image)) << image;
            written.erase(image);
        }
        const std::string folder = GoldenDir + name;
        if (std::getenv("CUE_UPDATE_GOLDENS")) {
            std::filesystem::remove_all(TestFiles::native(folder));
            TestFiles::makePath(folder);
            for (const auto& [file, bytes] : written)
                putFile(folder + "/" + file, bytes);
        }
        EXPECT_EQ(written, filesIn(folder));
    }
}

// Hostile values in every place the writers fill (image URLs, both URLs, titles, start
// texts): each page keeps the elements, event handlers, scripts and data-block lines it has
// with harmless values, and the one-slide page links only to pages that exist.
TEST(WebOutput, hostileValuesStayInTheirPlaces) {
    const std::string hostile[] = {
        "x\"><img src=x onerror=alert(1)>",          "x' onmouseover='alert(1)",
        "</script><script>alert(1)</script>",        "<!--<script>",
        "a\r\nAudioURL = \"javascript:alert(1)\"\n", "&lt;script&gt;&#x3c;",
    };
    const auto rowsWith = [](const std::string& v) {
        return std::vector<ScheduleRow>{{"00:01:00", v, "00:01:00", v, v},
                                        {"00:01:00", v, "00:02:00", "http:" + v, v},
                                        {"00:01:00", v, "00:03:00", "../" + v + "/s001.gif", v}};
    };
#ifdef CUE_HTML_SHAPE
    const auto shapes = [](const std::vector<ScheduleRow>& rows, const std::string& url) {
        Folder dir;
        placed([&](WriteBatch& b) {
            writeAllPages(b, {rows, dir.path(), url, url}, templateDir(), pageImages());
        });
        std::map<std::string, std::vector<std::string>> shape;
        for (const auto& [name, bytes] : filesIn(dir.dir.path()))
            if (name.ends_with(".htm"))
                shape[name] = htmlShape(bytes);
        return shape;
    };
    const auto harmless = shapes(rowsWith("x"), "x");
    ASSERT_EQ(harmless.size(), 5u);
    EXPECT_EQ(htmlCounts(harmless.at("sld001.htm")).eventHandlers, 0);
    for (const std::string& value : hostile) {
        const auto written = shapes(rowsWith(value), value);
        for (const auto& [name, shape] : harmless) {
            const HtmlCounts want = htmlCounts(shape);
            const HtmlCounts got = htmlCounts(written.at(name));
            EXPECT_EQ(written.at(name), shape)
                << name << " with " << value << ": " << got.elements << " elements, "
                << got.eventHandlers << " handlers, " << got.scripts << " scripts; expected "
                << want.elements << ", " << want.eventHandlers << ", " << want.scripts;
        }
    }
#else
    // libgumbo, which reads the shapes, is not built for Windows; the bytes are the same.
    std::cout << "[ SKIPPED  ] the page shapes: no HTML parser in this build\n";
    (void)hostile;
#endif

    Folder one;
    placed([&](WriteBatch& b) {
        writeAllPages(b, presentation({rowsWith("x")[0]}, one.path()), templateDir(), pageImages());
    });
    const std::string page = readBytes(one.file("sld001.htm"));
    for (size_t at = page.find("href=\""); at != std::string::npos;
         at = page.find("href=\"", at + 1)) {
        const std::string target = page.substr(at + 6, page.find('"', at + 6) - at - 6);
        if (target.ends_with(".htm")) {
            EXPECT_TRUE(TestFiles::exists(one.file(target))) << target;
        }
    }
}

TEST(WebOutput, slidePageMarkersAreRewrittenLineByLine) {
    const PageReplacements r{"../q3/sld004.gif", "sld005.htm", "sld003.htm",
                             "tsld004.ram",      "index.htm",  "R&amp;D"};
    struct Case {
        const char* what;
        std::vector<std::string> lines;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"marker in small letters",
         {R"(<!-- **fixit**gif --><img src="old.gif">)"},
         {R"(<!-- **fixit**gif --><img src="../q3/sld004.gif">)"}},
        {"empty quoted value",
         {R"(<!-- **FIXIT**GIF --><img src="">)"},
         {R"(<!-- **FIXIT**GIF --><img src="../q3/sld004.gif">)"}},
        {"no quote on the line: replacement in front",
         {"<!-- **FIXIT**NDX --> back"},
         {"index.htm<!-- **FIXIT**NDX --> back"}},
        {"unknown keyword on the first marker line empties the value",
         {R"(<!-- **FIXIT**XYZ --><a href="x.htm">)"},
         {R"(<!-- **FIXIT**XYZ --><a href="">)"}},
        {"unknown keyword on a later line repeats the previous replacement",
         {R"(<!-- **FIXIT**NXT --><a href="a">)", R"(<!-- **FIXIT**ZZZ --><a href="b">)"},
         {R"(<!-- **FIXIT**NXT --><a href="sld005.htm">)",
          R"(<!-- **FIXIT**ZZZ --><a href="sld005.htm">)"}},
        {"only the first quoted value after the comment",
         {R"(x="1" <!-- **FIXIT**PRV --><a href="p" rel="prev">)"},
         {R"(x="1" <!-- **FIXIT**PRV --><a href="sld003.htm" rel="prev">)"}},
        {"keyword in any case; the metafile and title",
         {R"(<!-- **FIXIT**ram --><a href="t">)", R"(<!-- **FIXIT**Ttl --><img alt="t">)"},
         {R"(<!-- **FIXIT**ram --><a href="tsld004.ram">)",
          R"(<!-- **FIXIT**Ttl --><img alt="R&amp;D">)"}},
        {"lines without a marker stay byte for byte",
         {"  a, \"b\" ,c", "", "\t<!-- FIXIT -->"},
         {"  a, \"b\" ,c", "", "\t<!-- FIXIT -->"}},
    };
    for (const Case& c : cases) {
        SlidePageRewriter rewriter(r);
        std::vector<std::string> got;
        for (const std::string& line : c.lines)
            got.push_back(rewriter.rewrite(line));
        EXPECT_EQ(got, c.expected) << c.what;
    }
}

// Lines far longer than the pieces a template is read in (a minified script or an inline
// image) are copied whole, markers anywhere in them found and filled.
TEST(WebOutput, templateLinesOfAnyLengthAreRewritten) {
    Folder dir;
    const std::vector<ScheduleRow> rows = {{"00:01:00", "00:00:00", "00:01:00", "a.gif", "A"}};
    const PresentationOutput out = presentation(rows, dir.path());
    const PageReplacements r = pageReplacementsFor(rows, 1);
    const std::string big(200 * 1024, 'x');
    const std::string bigQuoted = "\"" + big + "\"";
    const std::string page[] = {
        big + "\r\n" + big,
        big + R"(<!-- **fixit**gif --><img src=")" + big + "\" alt=\"" + big + "\">",
        "q\"" + big + R"(<!-- **FIXIT**NXT --> )" + big,
        big + R"(<!-- **FIXIT**RAM --> ")" + big,
        R"(<!-- **FIXIT**TTL --> ")" + big + "\r\n" + bigQuoted + R"(<!-- **FIXIT**ZZZ -->"")",
    };
    for (const std::string& text : page) {
        putFile(dir.file("t.htm"), text);
        placed([&](WriteBatch& b) { WriteHTMFiles(b, dir.file("t.htm"), dir.file("p.htm"), r); });
        SlidePageRewriter rewriter(r);
        std::string expected;
        for (size_t from = 0; from <= text.size();) {
            const size_t end = std::min(text.find("\r\n", from), text.size());
            expected += rewriter.rewrite(std::string_view(text).substr(from, end - from)) + "\r\n";
            from = end + 2;
        }
        EXPECT_EQ(readBytes(dir.file("p.htm")), expected) << text.substr(0, 40);
    }

    putFile(dir.file("t.htm"), big + "**FIXIT**" + big);
    placed([&](WriteBatch& b) { WritePreloadFile(b, dir.file("t.htm"), dir.file("p.htm"), out); });
    EXPECT_EQ(readBytes(dir.file("p.htm")), big + "**FIXIT**" + big + "\r\n" + preloadBlock(out));
    putFile(dir.file("t.htm"), big + "<!--*** -->" + big);
    EXPECT_TRUE(placed([&](WriteBatch& b) {
        return WriteIndexFile(b, dir.file("t.htm"), dir.file("p.htm"), rows);
    }));
    EXPECT_EQ(readBytes(dir.file("p.htm")), big + "\r\n" + indexTable(rows) + big + "\r\n");
}

// Lines without a marker go to the page many at once: whatever ended them in the
// template (CR LF, LF, CR, LF then CR, a block's end between CR and LF, the file's end),
// the page has the lines the line reader splits, each ended by CR LF, and the marker lines
// among them rewritten.
TEST(WebOutput, plainLinesAreCopiedInRunsWithEveryLineEndMadeCrLf) {
    Folder dir;
    const std::vector<ScheduleRow> rows = {{"00:01:00", "00:00:00", "00:01:00", "a.gif", "A"},
                                           {"00:01:00", "00:01:00", "00:02:00", "b.gif", "B"}};
    const PageReplacements r = pageReplacementsFor(rows, 2);
    const std::string marker = R"(<img src="x"><!-- **FIXIT**GIF --><img src="old.gif">)";
    const std::string block(64 * 1024 - 1, 'x');
    const std::string texts[] = {
        "a\r\nb\nc\rd\n\re\r\n" + marker + "\nf\r\n\r\n" + marker + "\rlast",
        block + "\r\n" + marker + "\r\n" + std::string(10, '*') + "\r\n",
        "lone CR at a block's end" + block.substr(24) + "\r" + marker + "\n**\n",
        std::string(3, '\n') + block + block + "\r\n" + marker,
    };
    for (const std::string& text : texts) {
        putFile(dir.file("t.htm"), text);
        placed([&](WriteBatch& b) { WriteHTMFiles(b, dir.file("t.htm"), dir.file("p.htm"), r); });
        SlidePageRewriter rewriter(r);
        std::string expected;
        LineReader lines = LineReader::fromBytes(text, text.size());
        while (!lines.atEnd())
            expected += rewriter.rewrite(lines.next()) + "\r\n";
        EXPECT_EQ(readBytes(dir.file("p.htm")), expected) << text.substr(0, 30);
    }
}

// Templates are read in pieces of 64 KiB: a marker cut by a piece's end, and short lines
// around lines longer than a piece, give the page the in-memory rewrite gives.
TEST(WebOutput, markersAcrossTheReadingPiecesAreFound) {
    Folder dir;
    const std::vector<ScheduleRow> rows = {{"00:01:00", "00:00:00", "00:01:00", "a.gif", "A"},
                                           {"00:01:00", "00:01:00", "00:02:00", "b.gif", "B"}};
    const PageReplacements r = pageReplacementsFor(rows, 1);
    const size_t piece = 64 * 1024;
    const std::string marker = R"(<!-- **FIXIT**GIF --><img src="old.gif">)";
    const std::string shortMarker = R"(<!-- **fixit**NXT --><a href="x">)";
    struct Case {
        const char* what;
        std::string text;
    };
    std::vector<Case> cases;
    // The marker begins 1 to 14 bytes before the first piece ends, or right at its end.
    for (size_t before = 0; before <= 14; ++before)
        cases.push_back({"marker cut by the piece's end",
                         std::string(piece - before, 'x') + marker + "\r\n" + shortMarker});
    cases.push_back({"short lines, a long line, short lines, a long line",
                     shortMarker + "\r\nplain\r\n" + std::string(piece + 10, 'y') + marker +
                         "\r\n" + shortMarker + "\r\n\r\n" + shortMarker + "\r\n" + marker +
                         std::string(3 * piece, 'z') + "\r\nlast"});
    cases.push_back({"a line of exactly one piece", std::string(piece, 'w') + "\r\n" + marker});
    for (const Case& c : cases) {
        putFile(dir.file("t.htm"), c.text);
        placed([&](WriteBatch& b) { WriteHTMFiles(b, dir.file("t.htm"), dir.file("p.htm"), r); });
        SlidePageRewriter rewriter(r);
        std::string expected;
        for (size_t from = 0; from <= c.text.size();) {
            const size_t end = std::min(c.text.find("\r\n", from), c.text.size());
            expected +=
                rewriter.rewrite(std::string_view(c.text).substr(from, end - from)) + "\r\n";
            from = end + 2;
        }
        EXPECT_EQ(readBytes(dir.file("p.htm")), expected)
            << c.what << " (" << c.text.size() << " bytes)";
    }

    // The preload and index markers cut by the piece's end, after a short first line.
    const PresentationOutput out = presentation(rows, dir.path());
    for (size_t before = 1; before <= 10; ++before) {
        const std::string head = "top\r\n" + std::string(piece - before, 'x');
        putFile(dir.file("t.htm"), head + "**FIXIT**tail");
        placed(
            [&](WriteBatch& b) { WritePreloadFile(b, dir.file("t.htm"), dir.file("p.htm"), out); });
        EXPECT_EQ(readBytes(dir.file("p.htm")), head + "**FIXIT**tail\r\n" + preloadBlock(out))
            << before;
        putFile(dir.file("t.htm"), head + "<!--*** -->tail");
        EXPECT_TRUE(placed([&](WriteBatch& b) {
            return WriteIndexFile(b, dir.file("t.htm"), dir.file("p.htm"), rows);
        }));
        EXPECT_EQ(readBytes(dir.file("p.htm")),
                  "top\r\n" + head.substr(5) + "\r\n" + indexTable(rows) + "tail\r\n")
            << before;
    }
}

TEST(WebOutput, preloadAndIndexPagesExpandTheirMarkers) {
    Folder dir;
    const std::vector<ScheduleRow> rows = {
        {"00:01:00", "00:00:00", "00:01:00", "../q3/sld001.gif", "Intro"},
        {"00:01:00", "00:01:00", "00:02:00", "http://img.example/a.gif", "Second"}};
    const PresentationOutput out = presentation(rows, dir.path());
    struct Case {
        const char* what;
        std::string templateText;
        std::string expected;
        bool index;
        bool markerFound;
    };
    const std::string block = "  MaxGIFs =  2\r\nReDim SLDtoGIF ( 2 )\r\n"
                              "SLDtoGIF ( 1) = \"http://www.cuemark.example/talks/q3/../q3/"
                              "sld001.gif\"\r\n"
                              "SLDtoGIF ( 2) = \"http://img.example/a.gif\"\r\n"
                              "AudioURL = \"pnm://audio.cuemark.example/talks/q3.ra\"\r\n";
    const std::string table = indexTable(rows);
    const Case cases[] = {
        {"every preload marker gets a block", "a\n' **fixit**\nb\n**FIXIT**\n",
         "a\r\n' **fixit**\r\n" + block + "b\r\n**FIXIT**\r\n" + block, false, true},
        {"preload without a marker is a copy", "a\r\nb", "a\r\nb\r\n", false, true},
        {"index marker in mid-line", "<p>before<!--*** -->after</p>\nend\n",
         "<p>before\r\n" + table + "after</p>\r\nend\r\n", true, true},
        {"index marker alone; a second one stays", "x\n<!--*** -->\n<!--*** -->\n",
         "x\r\n" + table + "<!--*** -->\r\n", true, true},
        {"index without a marker is a copy", "a\nb\n", "a\r\nb\r\n", true, false},
    };
    for (const Case& c : cases) {
        const std::string source = dir.file("template.htm");
        putFile(source, c.templateText);
        const std::string page = dir.file("page.htm");
        bool found = true;
        if (c.index)
            found = placed([&](WriteBatch& b) { return WriteIndexFile(b, source, page, rows); });
        else
            placed([&](WriteBatch& b) { WritePreloadFile(b, source, page, out); });
        EXPECT_EQ(readBytes(page), c.expected) << c.what;
        EXPECT_EQ(found, c.markerFound) << c.what;
    }
    EXPECT_NE(table.find("<TD><A HREF=\"sld002.htm\" > Second</A></P></A></TD>\r\n"
                         "<TD>00:01:00</TD></TR>"),
              std::string::npos);
}

TEST(WebOutput, failuresNameTheFileAndTheReason) {
    Folder dir;
    const std::vector<ScheduleRow> rows = {{"00:01:00", "00:00:00", "00:01:00", "a.gif", "A"},
                                           {"00:01:00", "00:01:00", "later", "b.gif", "B"}};
    const auto failure = [](auto&& write) -> std::string {
        try {
            write();
        } catch (const OutputError& e) {
            return e.message();
        }
        return "no failure";
    };
    const PresentationOutput out = presentation(rows, dir.path());
    const PresentationOutput nowhere = presentation(rows, dir.file("missing/"));

    EXPECT_EQ(
        failure([&] {
            placed([&](WriteBatch& b) { writeAllPages(b, out, dir.file("none"), pageImages()); });
        }).rfind("'" + dir.file("none") + "/firstsld.htm' ", 0),
        0u);
    EXPECT_EQ(
        failure([&] {
            placed([&](WriteBatch& b) { writeAllPages(b, nowhere, templateDir(), pageImages()); });
        }).rfind("'" + dir.file("missing/sld001.htm") + "' ", 0),
        0u);
    const std::vector<std::string> noSuchImage = {"p2hnext.gif", "nosuch.gif"};
    EXPECT_EQ(failure([&] {
                  placed([&](WriteBatch& b) { writeAllPages(b, out, templateDir(), noSuchImage); });
              }).rfind("'" + templateDir() + "/nosuch.gif' ", 0),
              0u);
    // The last Stop is read before any metafile is written.
    Folder clean;
    EXPECT_EQ(failure([&] {
                  placed(
                      [&](WriteBatch& b) { writeMetafiles(b, presentation(rows, clean.path())); });
              }),
              "'' Stop of row 2 (\"later\") is not a time.");
    EXPECT_TRUE(filesIn(clean.dir.path()).empty());
    EXPECT_EQ(
        failure([&] { return placed([&](WriteBatch& b) { return writeEventList(b, out); }); }),
        "'" + dir.file("cevents.txt") + "' Stop of row 2 (\"later\") is not a time.");
    EXPECT_EQ(failure([&] {
                  return placed([&](WriteBatch& b) { return writeEventList(b, nowhere); });
              }).rfind("'" + dir.file("missing/cevents.txt"), 0),
              0u);
}

TEST(WebOutput, eventFileNameComesFromTheAudioUrl) {
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        {"pnm://audio.example/presentations/stockholder_1.ra", "stockholder_1.rae"},
        {"pnm://audio.example/talks/LECT6.RA", "LECT6.rae"},
        {"pnm://audio.example/talks/lect6.Ra", "lect6.rae"},
        {"pnm://live.radio.example/talks/lect6.ra", "live.rae"},
        {"pnm:talk.ra", "talk.rae"},
        {"talk.ra", "talk.rae"},
        {".ra/x.ra", ".rae"},
        {"pnm://audio.example/talks/lect6.mp3", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [url, expected] : cases)
        EXPECT_EQ(GetRAEFile(url), expected) << url;
}

TEST(WebOutput, namesAndLinesOfTheSmallFiles) {
    const double start = *ClockTime::parse("00:01:05");
    const double stop = *ClockTime::parse("00:04:10");
    EXPECT_EQ(eventListLine(start, stop, "http://w.example/", 2),
              "u 00:00:01:05.0 00:00:04:09.9 http://w.example/sld002.htm");
    EXPECT_EQ(metafileLine("pnm://a.example/t.ra", start, *ClockTime::parse("00:45:10")),
              "pnm://a.example/t.ra?start=\"00:01:05\"&end=\"00:45:10\"");
    EXPECT_EQ(metafileName(100), "tsld100.ram");
    EXPECT_EQ(pageFileName(7), "sld007.htm");
    EXPECT_STREQ(templateNameFor(1, 1), "firstsld.htm");
    EXPECT_STREQ(templateNameFor(2, 2), "lastsld.htm");
    EXPECT_STREQ(templateNameFor(2, 3), "slides.htm");
    EXPECT_EQ(shownTitle("a\"b<c>&'"), "a&quot;b&lt;c&gt;&amp;&#39;");
    // 8-bit titles as references of their Windows-1252 reading; UTF-8 keeps its bytes.
    EXPECT_EQ(shownTitle("Caf\xe9 \x80 \x93<\x94"), "Caf&#233; &#8364; &#8220;&lt;&#8221;");
    EXPECT_EQ(shownTitle("Caf\xc3\xa9"), "Caf\xc3\xa9");
    EXPECT_EQ(scriptDataUrl("a b\"<c>\r\n\x7f%20\xe9'"), "a b%22%3Cc%3E%0D%0A%7F%20\xe9'");
    EXPECT_EQ(outputDirectoryOf("talk.txt"), std::nullopt);
    EXPECT_EQ(outputDirectoryOf("/talks/q3.txt"), "/talks/");
}

TEST(WebOutput, slideTextIsReadOrLeftOut) {
    const std::string head = "Cuemark Slide Text\r\n";
    struct Case {
        const char* what;
        std::string bytes;
        std::optional<std::map<int, std::pair<std::vector<std::string>, std::vector<std::string>>>>
            expected;
    };
    const Case cases[] = {
        {"text and notes by slide, unknown keywords, titles and empty lines left out",
         head + "slide 2\r\ntitle T\r\ntext a\r\nnote n\r\nshape x\r\ntext\r\n\r\nTEXT  b \r\n"
                "slide 007\r\ntext c",
         {{{2, {{"a", " b "}, {"n"}}}, {7, {{"c"}, {}}}}}},
        {"LF and CR line ends, a byte-order mark and the header in any case",
         "\xEF\xBB\xBF"
         "cuemark slide text\nslide 1\rtext \xe9\n",
         {{{1, {{"\xe9"}, {}}}}}},
        {"only the header", head, {{}}},
        {"no header", "slide 1\r\ntext a\r\n", std::nullopt},
        {"empty", "", std::nullopt},
        {"words before the first slide", head + "text a\r\nslide 1\r\n", std::nullopt},
        {"a slide number that is no number", head + "slide one\r\n", std::nullopt},
        {"slide 0", head + "slide 0\r\n", std::nullopt},
        {"a slide number too long", head + "slide 12345678901\r\n", std::nullopt},
    };
    for (const Case& c : cases) {
        const auto read = readSlideText(c.bytes);
        ASSERT_EQ(read.has_value(), c.expected.has_value()) << c.what;
        if (!read)
            continue;
        std::map<int, std::pair<std::vector<std::string>, std::vector<std::string>>> got;
        for (const auto& [number, words] : *read)
            got[number] = {words.text, words.notes};
        EXPECT_EQ(got, *c.expected) << c.what;
    }

    const std::tuple<const char*, int, std::optional<std::string>> images[] = {
        {"../q3/sld008.gif", 8, "out/../q3/slides.txt"},
        {"sld010.GIF", 10, "out/slides.txt"},
        {"..\\deck\\img1005.png", 1005, "out/..\\deck\\slides.txt"},
        {"wait.gif", 0, "out/slides.txt"},
        {"../q3/sld003", 0, "out/../q3/slides.txt"},
        {"../q3/sld003.g-f", 0, "out/../q3/slides.txt"},
        {"http://img.example/q3/sld002.gif", 2, std::nullopt},
        {"/q3/sld002.gif", 2, std::nullopt},
    };
    for (const auto& [url, number, path] : images) {
        EXPECT_EQ(deckNumber(url), number) << url;
        EXPECT_EQ(slideTextPath("out/", url), path) << url;
    }
}

TEST(WebOutput, lectureValuesAreEncodedForTheirPlaces) {
    const std::pair<std::string, std::string> json[] = {
        {"plain", "\"plain\""},
        {"</script><!--", "\"\\u003c/script\\u003e\\u003c!--\""},
        {"a\"b\\c&d", "\"a\\\"b\\\\c\\u0026d\""},
        {"\r\n\t\x01\x7f", "\"\\u000d\\u000a\\u0009\\u0001\\u007f\""},
        {"\xe2\x80\xa8\xe2\x80\xa9\xc2\x85", "\"\\u2028\\u2029\\u0085\""},
        {"Caf\xc3\xa9 \xe2\x82\xac", "\"Caf\xc3\xa9 \xe2\x82\xac\""},
        // Not UTF-8: read in the Windows code page, as titles are.
        {"Caf\xe9 \x80 \x85", "\"Caf\xc3\xa9 \xe2\x82\xac \xe2\x80\xa6\""},
    };
    for (const auto& [text, expected] : json)
        EXPECT_EQ(jsonString(text), expected) << text;
    EXPECT_EQ(vttText("R&D <draft> --> \"x\"\r\n\xe9"),
              "R&amp;D &lt;draft&gt; --&gt; \"x\"  \xc3\xa9");
}

// The lecture markers in any case and anywhere in a line, on lines read in pieces, give the
// page the in-memory rewrite gives; without inserts they only keep their lines.
TEST(WebOutput, lectureMarkersAreFollowedByTheirBlocks) {
    Folder dir;
    const std::vector<ScheduleRow> rows = {{"00:01:00", "00:00:00", "00:01:00", "a.gif", "A"},
                                           {"00:01:00", "00:01:00", "00:02:00", "b.gif", "B"}};
    const PresentationOutput out = presentation(rows, dir.path());
    const LectureTable lecture(out);
    const PageReplacements r = pageReplacementsFor(rows, 1);
    const std::string piece(64 * 1024 - 5, 'x');
    const std::string page[] = {
        "a\r\n<!-- **lecture** -->\r\nb<!-- **SlideText** -->c\r\n",
        piece + "<!-- **LECTURE** --><!-- **FIXIT**GIF --><img src=\"\">\r\n" + piece +
            "<!-- **SLIDETEXT** -->" + piece,
    };
    for (const std::string& text : page) {
        for (const LectureInserts& inserts : {lecture.insertsFor(1), LectureInserts{}}) {
            putFile(dir.file("t.htm"), text);
            placed([&](WriteBatch& b) {
                WriteHTMFiles(b, dir.file("t.htm"), dir.file("p.htm"), r, inserts);
            });
            SlidePageRewriter rewriter(r, inserts);
            std::string expected;
            for (size_t from = 0; from < text.size();) {
                const size_t end = std::min(text.find("\r\n", from), text.size());
                expected +=
                    rewriter.rewrite(std::string_view(text).substr(from, end - from)) + "\r\n";
                from = end + 2;
            }
            EXPECT_EQ(readBytes(dir.file("p.htm")), expected) << text.substr(0, 30);
        }
    }
    SlidePageRewriter rewriter(r, lecture.insertsFor(2));
    EXPECT_EQ(rewriter.rewrite("<!-- **SLIDETEXT** -->"),
              "<!-- **SLIDETEXT** -->\r\n<div id=\"cm-words\"><h2 class=\"cm-words-title\">B</h2>"
              "<ul id=\"cm-slide-text\"></ul><div id=\"cm-slide-notes\"></div></div>");
    EXPECT_EQ(SlidePageRewriter(r).rewrite("<!-- **LECTURE** -->"), "<!-- **LECTURE** -->");
}
