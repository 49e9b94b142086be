#include "slidepages.h"

#include "common/eightbittext.h"
#include "common/text.h"
#include "common/textfile.h"
#include "webout/outputerror.h"
#include "webout/pagefiles.h"
#include "webout/pathhelpers.h"

#include <QList>
#include <QString>

#include <cctype>
#include <optional>

namespace {

constexpr std::string_view PageMarker = "<!-- **FIXIT**";
constexpr std::string_view PreloadMarker = "**FIXIT**";
constexpr std::string_view IndexMarker = "<!--*** -->";
// The keyword follows the marker; the comment's closing "XXX -->" comes before the value.
constexpr size_t KeywordLength = 3;
constexpr size_t ValueSearchOffset = PageMarker.size() + 7;

// Streams a template into a page, line by line; perLine writes what each line becomes.
template <class PerLine>
void rewriteTemplate(const std::string& templatePath, const std::string& pagePath,
                     PerLine&& perLine) {
    std::optional<LineReader> reader;
    try {
        reader.emplace(templatePath);
    } catch (const FileError& e) {
        throw OutputError(templatePath, e.what());
    }
    OutputFile page(pagePath);
    for (;;) {
        std::string line;
        try {
            if (reader->atEnd())
                break;
            line = reader->next();
        } catch (const FileError& e) {
            throw OutputError(templatePath, e.what());
        }
        perLine(line, page);
    }
    page.commit();
}

// The first place of a marker in a line, its letters in any case. Every marker begins with
// punctuation, which an exact search finds quickly; only there are letters compared.
size_t findMarker(std::string_view line, std::string_view marker) {
    size_t lead = 0;
    while (lead < marker.size() && !std::isalpha(static_cast<unsigned char>(marker[lead])))
        ++lead;
    const std::string_view prefix = marker.substr(0, lead);
    for (size_t at = line.find(prefix); at != std::string_view::npos;
         at = line.find(prefix, at + 1)) {
        if (Text::equalsNoCase(line.substr(at, marker.size()), marker))
            return at;
    }
    return std::string_view::npos;
}

std::string numberWithSign(size_t n) {
    return " " + std::to_string(n);
}

} // namespace

std::string pageFileName(int page) {
    return "sld" + threeDigits(page) + ".htm";
}

const char* templateNameFor(int page, int rowCount) {
    if (page == 1)
        return "firstsld.htm";
    if (page == rowCount)
        return "lastsld.htm";
    return "slides.htm";
}

PageReplacements pageReplacementsFor(const std::vector<ScheduleRow>& rows, int page) {
    const ScheduleRow& row = rows.at(static_cast<size_t>(page - 1));
    // A neighbour that does not exist is replaced by the index, so no link is dead.
    const int count = static_cast<int>(rows.size());
    return {htmlEscape(row.ImageUrl),
            page < count ? pageFileName(page + 1) : "index.htm",
            page > 1 ? pageFileName(page - 1) : "index.htm",
            "tsld" + threeDigits(page) + ".ram",
            "index.htm",
            shownTitle(row.Title)};
}

std::string SlidePageRewriter::rewrite(std::string_view line) {
    const size_t m = findMarker(line, PageMarker);
    if (m == std::string_view::npos)
        return std::string(line);
    const std::string_view keyword =
        line.substr(std::min(line.size(), m + PageMarker.size()), KeywordLength);
    const std::pair<std::string_view, const std::string*> known[] = {
        {"GIF", &m_replacements.GIF}, {"NXT", &m_replacements.NXT}, {"PRV", &m_replacements.PRV},
        {"RAM", &m_replacements.RAM}, {"NDX", &m_replacements.NDX}, {"TTL", &m_replacements.TTL}};
    for (const auto& [name, value] : known)
        if (Text::equalsNoCase(keyword, name))
            m_carried = *value;

    // Quote positions are 1-based, 0 when absent, as the rule counts them.
    const size_t open = m + ValueSearchOffset < line.size() ? line.find('"', m + ValueSearchOffset)
                                                            : std::string_view::npos;
    const size_t a = open == std::string_view::npos ? 0 : open + 1;
    const size_t close = line.find('"', a);
    const size_t b = close == std::string_view::npos ? 0 : close + 1;
    std::string out(line.substr(0, a));
    out += m_carried;
    out += b == 0 ? line : line.substr(b - 1);
    return out;
}

std::string htmlEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string shownTitle(std::string_view title) {
    if (title.empty())
        return "NO TITLE";
    if (title == ".")
        return "LEADER";
    const std::string bytes(title);
    if (EightBitText::isUtf8(bytes))
        return htmlEscape(title);
    // An 8-bit title (a log from a Windows code page) would not read as UTF-8 in the
    // browser: its letters go in as character references of their code page reading.
    std::string out;
    for (const char32_t c : EightBitText::decode(bytes).toUcs4()) {
        if (c < 0x80)
            out += htmlEscape(std::string(1, static_cast<char>(c)));
        else
            out += "&#" + std::to_string(static_cast<unsigned long>(c)) + ";";
    }
    return out;
}

std::string scriptDataUrl(std::string_view url) {
    static constexpr char Hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(url.size());
    for (const char c : url) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == '<' || c == '>' || c == '"') {
            out += '%';
            out += Hex[byte >> 4];
            out += Hex[byte & 0x0F];
        } else {
            out += c;
        }
    }
    return out;
}

std::string preloadBlock(const PresentationOutput& out) {
    const size_t n = out.rows.size();
    std::string block = "  MaxGIFs = " + numberWithSign(n) + "\r\n";
    block += "ReDim SLDtoGIF (" + numberWithSign(n) + " )\r\n";
    for (size_t i = 1; i <= n; ++i) {
        const std::string& image = out.rows[i - 1].ImageUrl;
        const bool absolute = image.find(':') != std::string::npos;
        block += "SLDtoGIF (" + numberWithSign(i) + ") = \"" +
                 scriptDataUrl((absolute ? "" : out.htmlUrl) + image) + "\"\r\n";
    }
    block += "AudioURL = \"" + scriptDataUrl(out.audioUrl) + "\"\r\n";
    return block;
}

std::string indexTable(const std::vector<ScheduleRow>& rows) {
    std::string table = "<TABLE BORDER=\"1\">\r\n"
                        "<TR>\r\n"
                        "<TD> Slide </TD>\r\n"
                        "<TD> Title </TD>\r\n"
                        "<TD> Start </TD></TR>\r\n";
    for (size_t i = 1; i <= rows.size(); ++i) {
        const ScheduleRow& row = rows[i - 1];
        table += "<TR>\r\n<TD>" + std::to_string(i) + "</TD>\r\n";
        table += "<TD><A HREF=\"" + pageFileName(static_cast<int>(i)) + "\" > " +
                 shownTitle(row.Title) + "</A></P></A></TD>\r\n";
        table += "<TD>" + htmlEscape(row.Start) + "</TD></TR>\r\n";
    }
    table += "</TABLE>\r\n";
    return table;
}

void WriteHTMFiles(const std::string& templatePath, const std::string& pagePath,
                   const PageReplacements& replacements) {
    SlidePageRewriter rewriter(replacements);
    rewriteTemplate(templatePath, pagePath, [&](const std::string& line, OutputFile& page) {
        page.writeLine(rewriter.rewrite(line));
    });
}

void WritePreloadFile(const std::string& templatePath, const std::string& pagePath,
                      const PresentationOutput& out) {
    const std::string block = preloadBlock(out);
    rewriteTemplate(templatePath, pagePath, [&](const std::string& line, OutputFile& page) {
        page.writeLine(line);
        if (findMarker(line, PreloadMarker) != std::string::npos)
            page.write(block);
    });
}

bool WriteIndexFile(const std::string& templatePath, const std::string& pagePath,
                    const std::vector<ScheduleRow>& rows) {
    bool expanded = false;
    rewriteTemplate(templatePath, pagePath, [&](const std::string& line, OutputFile& page) {
        const size_t p = expanded ? std::string::npos : findMarker(line, IndexMarker);
        if (p == std::string::npos) {
            page.writeLine(line);
            return;
        }
        expanded = true;
        const std::string_view head = std::string_view(line).substr(0, p);
        const std::string_view tail = std::string_view(line).substr(p + IndexMarker.size());
        if (!head.empty())
            page.writeLine(head);
        page.write(indexTable(rows));
        if (!tail.empty())
            page.writeLine(tail);
    });
    return expanded;
}

HtmlFilesResult writeHtmlFiles(const PresentationOutput& out, const std::string& programDirectory,
                               std::span<const std::string> pageImages) {
    const auto shipped = [&](std::string_view name) {
        return programDirectory + "/" + std::string(name);
    };
    const int rowCount = static_cast<int>(out.rows.size());
    for (int i = 1; i <= rowCount; ++i)
        WriteHTMFiles(shipped(templateNameFor(i, rowCount)), out.outputDirectory + pageFileName(i),
                      pageReplacementsFor(out.rows, i));
    WritePreloadFile(shipped("preload.htm"), out.outputDirectory + "preload.htm", out);
    for (const std::string& image : pageImages)
        copyOutputFile(shipped(image), out.outputDirectory + image);
    HtmlFilesResult result;
    result.indexTemplate = shipped("index.htm");
    result.indexMarkerFound =
        WriteIndexFile(result.indexTemplate, out.outputDirectory + "index.htm", out.rows);
    return result;
}
