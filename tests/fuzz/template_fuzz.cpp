// Template rewriting on any template: a slide page, preload.htm and index.htm are written
// from it for a schedule whose last title comes from the input too. The page written
// through the file's line reader must be the template rewritten line by line in memory,
// whatever the lengths of its lines and its line ends.
#include "fuzzsupport.h"

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
    return 0;
}
