// Template rewriting on any template: a slide page, preload.htm and index.htm are written
// from it for a schedule whose last title comes from the input too. The page written
// through the file's line reader must be the template rewritten line by line in memory,
// whatever the lengths of its lines and its line ends. And the input's title, put into
// every place a writer fills (titles, image URLs, both URLs, start texts) of a page with
// each kind of place, gives the page the same shape as a harmless value: no value gets
// out of its attribute, its text or the data block.
#include "fuzzsupport.h"

#include "support/htmlshape.h"
#include "webout/outputerror.h"
#include "webout/slidepages.h"

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
// preload data block and the index table.
constexpr std::string_view EveryPlace =
    "<!DOCTYPE html>\n<html><head><title>t</title></head><body>\n"
    "<!-- **FIXIT**TTL --><img alt=\"t\" class=\"s\"\n"
    "  data-i='<!-- **FIXIT**GIF -->' src=\"s.gif\">\n"
    "<!-- **FIXIT**NXT --><a href=\"n.htm\" rel=\"next\">next</a>\n"
    "<script type=\"text/plain\" id=\"preload\">\n' **FIXIT**\n</script>\n"
    "<div><!--*** --></div>\n</body></html>\n";

// The shapes of the three pages written from EveryPlace with `value` in every place.
std::vector<std::vector<std::string>> shapesWith(const std::string& value) {
    PresentationOutput out;
    out.outputDirectory = Fuzz::scratchPath("");
    out.htmlUrl = value;
    out.audioUrl = value;
    out.rows = {{"00:01:00", value, "00:01:00", value, value},
                {"00:01:00", value, "00:02:00", "http:" + value, value}};
    const std::string source = Fuzz::writeScratch("every.htm", EveryPlace);
    WriteHTMFiles(source, Fuzz::scratchPath("every1.htm"), pageReplacementsFor(out.rows, 1));
    WritePreloadFile(source, Fuzz::scratchPath("every2.htm"), out);
    WriteIndexFile(source, Fuzz::scratchPath("every3.htm"), out.rows);
    return {htmlShape(Fuzz::readScratch("every1.htm")), htmlShape(Fuzz::readScratch("every2.htm")),
            htmlShape(Fuzz::readScratch("every3.htm"))};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto [templateBytes, title] =
        Fuzz::splitAt(std::string_view(reinterpret_cast<const char*>(data), size), "#title");
    const std::string templatePath = Fuzz::writeScratch("slides.htm", templateBytes);
    if (templateBytes.empty())
        Fuzz::writeScratch("slides.htm", "\n");

    PresentationOutput out;
    out.outputDirectory = Fuzz::scratchPath("");
    out.htmlUrl = "http://h/talk/";
    out.audioUrl = "pnm://h/talk.ra";
    out.rows = {{"00:01:00", "00:00:00", "00:01:00", "../q3/sld001.gif", "Welcome <&\">"},
                {"00:00:00", "00:01:00", "00:01:00", "wait.gif", std::string(title)},
                {"00:00:01", "00:01:00", "00:01:01", "sld'003.gif", "."}};

    const PageReplacements replacements = pageReplacementsFor(out.rows, 2);
    try {
        WriteHTMFiles(templatePath, Fuzz::scratchPath("sld002.htm"), replacements);
        WritePreloadFile(templatePath, Fuzz::scratchPath("preload.htm"), out);
        WriteIndexFile(templatePath, Fuzz::scratchPath("index.htm"), out.rows);
    } catch (const OutputError& e) {
        Fuzz::fail("a template that reads gives \"" + e.message() + "\"");
    }

    SlidePageRewriter rewriter(replacements);
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
