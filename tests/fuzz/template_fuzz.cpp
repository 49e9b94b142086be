// Template rewriting on any template: a slide page, preload.htm and index.htm are written
// from it for a schedule whose last title, and its slide's words, come from the input too.
// The page written through the file's line reader must be the template rewritten line by
// line in memory, whatever the lengths of its lines and its line ends. And the input's
// title, put into every place a writer fills (titles, slide text and notes, image URLs,
// both URLs, start texts) of a page with each kind of place, gives the page the same shape
// as a harmless value: no value gets out of its attribute, its text, the words block or a
// data block, and the lecture's JSON reads back with the title and words in their places.
#include "fuzzsupport.h"

#include "common/eightbittext.h"
#include "support/htmlshape.h"
#include "webout/lecturetable.h"
#include "webout/outputerror.h"
#include "webout/pagefiles.h"
#include "webout/slidepages.h"
#include "webout/slidetext.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <string>
#include <vector>

namespace {

// The template's lines as the writers take them: CR LF, LF or CR end a line.
std::vector<std::string_view> linesOf(std::string_view bytes) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    for (size_t i = 0; i < bytes.size();) {
        if (bytes[i] != '\r' && bytes[i] != '\n') {
            ++i;
            continue;
        }
        lines.push_back(bytes.substr(start, i - start));
        i += (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ? 2 : 1;
        start = i;
    }
    if (start < bytes.size())
        lines.push_back(bytes.substr(start));
    return lines;
}

// A page with every kind of place the writers fill: attributes in both quotes, text, the
// preload data block, the index table, the lecture's data block and the slide's words.
constexpr std::string_view EveryPlace =
    "<!DOCTYPE html>\n<html><head><title>t</title><!-- **LECTURE** -->\n</head><body>\n"
    "<!-- **FIXIT**TTL --><img alt=\"t\" class=\"s\"\n"
    "  data-i='<!-- **FIXIT**GIF -->' src=\"s.gif\">\n"
    "<!-- **FIXIT**NXT --><a href=\"n.htm\" rel=\"next\">next</a>\n"
    "<script type=\"text/plain\" id=\"preload\">\n' **FIXIT**\n</script>\n"
    "<main><!-- **SLIDETEXT** -->\n</main>\n<div><!--*** --></div>\n</body></html>\n";

// The text as the lecture table holds it: UTF-8, an 8-bit text read in the code page.
std::string asUtf8(const std::string& text) {
    return EightBitText::isUtf8(text) ? text : EightBitText::toUtf8(text);
}

// A value as one line of slide text: its line ends as blanks, after a letter, so that any
// value makes one line as the harmless one does.
std::string wordLine(std::string_view value) {
    std::string line = "v" + std::string(value);
    for (char& c : line)
        if (c == '\r' || c == '\n')
            c = ' ';
    return line;
}

// slides.txt beside sld001.gif, its slide 1 with the value as text and as a note.
void writeSlideText(std::string_view value) {
    const std::string line = wordLine(value);
    Fuzz::writeScratch(SlideTextFileName, "Cuemark Slide Text\r\nslide 1\r\ntext " + line +
                                          "\r\nnote " + line + "\r\n");
}

// The lecture's JSON in a page must read back, its row `row` (0-based) titled `title` and
// its text and notes the value's line.
void checkLectureData(const std::string& page, size_t row, const std::string& title,
                      const std::string& value) {
    const std::string open = "<script type=\"application/json\" id=\"cm-lecture\">\r\n";
    const size_t from = page.find(open);
    const size_t to = page.find("\r\n</script>", from);
    if (from == std::string::npos || to == std::string::npos)
        Fuzz::fail("no lecture data block in a page with the marker");
    const std::string data = page.substr(from + open.size(), to - from - open.size());
    QJsonParseError error;
    const QJsonDocument json =
        QJsonDocument::fromJson(QByteArray(data.data(), qsizetype(data.size())), &error);
    if (error.error != QJsonParseError::NoError || !json.isObject())
        Fuzz::fail("the lecture data is no JSON object: " + error.errorString().toStdString());
    const QJsonObject shown = json.object()["rows"].toArray().at(qsizetype(row)).toObject();
    const auto bytes = [](const QJsonValue& v) { return v.toString().toUtf8().toStdString(); };
    if (bytes(shown["title"]) != asUtf8(shownTitleText(title)))
        Fuzz::fail("a title reads back from the lecture data as \"" + bytes(shown["title"]) + "\"");
    const std::vector<std::string> expected = {asUtf8(wordLine(value))};
    for (const char* field : {"text", "notes"}) {
        std::vector<std::string> got;
        for (const QJsonValue& line : shown[field].toArray())
            got.push_back(bytes(line));
        if (got != expected)
            Fuzz::fail(std::string("the slide's ") + field + " read back changed");
    }
}

// The shapes of the pages written from EveryPlace with `value` in every place: the slide
// page of a row with the value as its image, that of a row with slide text, preload.htm and
// index.htm.
std::vector<std::vector<std::string>> shapesWith(const std::string& value) {
    PresentationOutput out;
    out.outputDirectory = Fuzz::scratchPath("") + "/";
    out.htmlUrl = value;
    out.audioUrl = value;
    out.rows = {{"00:01:00", value, "00:01:00", value, value},
                {"00:01:00", value, "00:02:00", "http:" + value, value},
                {"00:01:00", "00:02:00", "00:03:00", "sld001.gif", value}};
    writeSlideText(value);
    const LectureTable lecture(out);
    const std::string source = Fuzz::writeScratch("every.htm", EveryPlace);
    WriteBatch batch;
    WriteHTMFiles(batch, source, Fuzz::scratchPath("every1.htm"), pageReplacementsFor(out.rows, 1),
                  lecture.insertsFor(1));
    WriteHTMFiles(batch, source, Fuzz::scratchPath("every2.htm"), pageReplacementsFor(out.rows, 3),
                  lecture.insertsFor(3));
    WritePreloadFile(batch, source, Fuzz::scratchPath("every3.htm"), out);
    WriteIndexFile(batch, source, Fuzz::scratchPath("every4.htm"), out.rows,
                   lecture.insertsFor(0));
    commitOutputs(batch);
    std::vector<std::vector<std::string>> shapes;
    for (const char* name : {"every1.htm", "every2.htm", "every3.htm", "every4.htm"})
        shapes.push_back(htmlShape(Fuzz::readScratch(name)));
    checkLectureData(Fuzz::readScratch("every2.htm"), 2, value, value);
    return shapes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto [templateBytes, title] =
        Fuzz::splitAt(std::string_view(reinterpret_cast<const char*>(data), size), "#title");
    const std::string templatePath = Fuzz::writeScratch("slides.htm", templateBytes);
    if (templateBytes.empty())
        Fuzz::writeScratch("slides.htm", "\n");

    PresentationOutput out;
    out.outputDirectory = Fuzz::scratchPath("") + "/";
    out.htmlUrl = "http://h/talk/";
    out.audioUrl = "pnm://h/talk.ra";
    out.rows = {{"00:01:00", "00:00:00", "00:01:00", "wait.gif", "Welcome <&\">"},
                {"00:00:00", "00:01:00", "00:01:00", "sld001.gif", std::string(title)},
                {"00:00:01", "00:01:00", "00:01:01", "sld'003.gif", "."}};
    writeSlideText(title);
    const LectureTable lecture(out);

    const PageReplacements replacements = pageReplacementsFor(out.rows, 2);
    try {
        WriteBatch batch;
        WriteHTMFiles(batch, templatePath, Fuzz::scratchPath("sld002.htm"), replacements,
                      lecture.insertsFor(2));
        WritePreloadFile(batch, templatePath, Fuzz::scratchPath("preload.htm"), out);
        WriteIndexFile(batch, templatePath, Fuzz::scratchPath("index.htm"), out.rows,
                       lecture.insertsFor(0));
        commitOutputs(batch);
    } catch (const OutputError& e) {
        Fuzz::fail("a template that reads gives \"" + e.message() + "\"");
    }

    SlidePageRewriter rewriter(replacements, lecture.insertsFor(2));
    const std::string written = Fuzz::readScratch("slides.htm");
    std::string expected;
    for (std::string_view line : linesOf(written))
        expected += rewriter.rewrite(line) + "\r\n";
    if (Fuzz::readScratch("sld002.htm") != expected)
        Fuzz::fail("the written page is not the template rewritten line by line");

    static const std::vector<std::vector<std::string>> harmless = shapesWith("x");
    try {
        if (shapesWith(std::string(title)) != harmless)
            Fuzz::fail("a value got out of its place in a page");
    } catch (const OutputError& e) {
        Fuzz::fail("a page with every place gives \"" + e.message() + "\"");
    }
    return 0;
}
