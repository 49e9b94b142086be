#include "slidepages.h"

#include "common/eightbittext.h"
#include "common/text.h"
#include "common/textfile.h"
#include "webout/outputerror.h"
#include "webout/pagefiles.h"
#include "webout/pathhelpers.h"

#include <algorithm>
#include <optional>
#include <type_traits>

namespace {

constexpr std::string_view PageMarker = "<!-- **FIXIT**";
constexpr std::string_view PreloadMarker = "**FIXIT**";
constexpr std::string_view IndexMarker = "<!--*** -->";
// The keyword follows the marker; the comment's closing "XXX -->" comes before the value.
constexpr size_t KeywordLength = 3;
constexpr size_t ValueSearchOffset = PageMarker.size() + 7;

// Template lines come and go in pieces of this size, so a line of any length costs no
// more memory than one piece.
constexpr size_t PieceBytes = 64 * 1024;

// Reads a template line by line, each line in pieces.
class TemplateReader {
  public:
    explicit TemplateReader(const std::string& path) : m_path(path) {
        guarded([&] {
            m_reader.emplace(path);
            return true;
        });
    }
    bool atEnd() {
        return guarded([&] { return m_reader->atEnd(); });
    }
    std::string nextPiece(bool& lineEnded) {
        return guarded([&] { return m_reader->nextPiece(PieceBytes, lineEnded); });
    }
    void nextPiece(bool& lineEnded, std::string& piece) {
        guarded([&] { m_reader->nextPiece(PieceBytes, lineEnded, piece); });
    }

  private:
    template <class F> std::invoke_result_t<F> guarded(F&& step) {
        try {
            return step();
        } catch (const FileError& e) {
            throw OutputError(m_path, e.what());
        }
    }
    std::string m_path;
    std::optional<LineReader> m_reader;
};

// Copies ranges of a template line that came in more than one piece to the page, reading
// the template a second time, opened on first need and moved forward to the line asked
// for. A range that starts before the piece in hand reads the line again from a fresh
// reader.
class LineCopier {
  public:
    explicit LineCopier(const std::string& path) : m_path(path) {}

    // line is 1-based and never before the line of an earlier call.
    void copy(int line, size_t from, size_t to, OutputFile& page) {
        if (!m_reader)
            m_reader.emplace(m_path);
        while (m_line < line)
            finishLine();
        if (m_started && from < m_pieceAt)
            rewind();
        while (from < to) {
            if (!m_started || from >= m_pieceAt + m_piece.size()) {
                if (m_started && m_ended)
                    return;
                advance();
                continue;
            }
            const size_t n = std::min(to, m_pieceAt + m_piece.size()) - from;
            page.write(std::string_view(m_piece).substr(from - m_pieceAt, n));
            from += n;
        }
    }

  private:
    // Leaves the rest of the line unread and moves to the next one.
    void finishLine() {
        while (!m_started || !m_ended)
            advance();
        m_started = false;
        m_piece.clear();
        m_pieceAt = 0;
        ++m_line;
    }
    void advance() {
        m_pieceAt += m_piece.size();
        m_piece = m_reader->nextPiece(m_ended);
        m_started = true;
    }
    void rewind() {
        m_reader.emplace(m_path);
        for (int line = 1; line < m_line; ++line)
            for (bool ended = false; !ended;)
                m_reader->nextPiece(ended);
        m_started = false;
        m_piece.clear();
        m_pieceAt = 0;
    }

    std::string m_path;
    std::optional<TemplateReader> m_reader;
    std::string m_piece;
    size_t m_pieceAt = 0;
    bool m_started = false;
    bool m_ended = false;
    int m_line = 1;
};

// Streams a template into a page: each line is scanned for the marker, then written as
// the plan for it says. A line that came in one piece (any line of ordinary length) is
// written from that piece; only a longer one is read again for its ranges.
template <class Plan>
void rewriteTemplate(const std::string& templatePath, const std::string& pagePath,
                     std::string_view marker, Plan&& plan) {
    TemplateReader scanner(templatePath);
    LineCopier copier(templatePath);
    OutputFile page(pagePath);
    std::string first;
    for (int line = 1; !scanner.atEnd(); ++line) {
        MarkerScan scan(marker);
        bool ended = false;
        scanner.nextPiece(ended, first);
        const bool whole = ended;
        scan.feed(first, ended);
        while (!ended) {
            const std::string piece = scanner.nextPiece(ended);
            scan.feed(piece, ended);
        }
        // Every plan copies a line without the marker as it is.
        if (whole && scan.markerAt() == std::string::npos) {
            page.writeLine(first);
            continue;
        }
        for (const LineSegment& segment : plan(scan)) {
            if (!segment.copy)
                page.write(segment.text);
            else if (whole)
                page.write(std::string_view(first).substr(segment.from, segment.to - segment.from));
            else
                copier.copy(line, segment.from, segment.to, page);
        }
    }
    page.commit();
}

LineSegment copied(size_t from, size_t to) {
    return {true, from, to, {}};
}
LineSegment inserted(std::string text) {
    return {false, 0, 0, std::move(text)};
}

bool isAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The first place of a marker in a text, its letters in any case. Every marker begins with
// punctuation, which an exact search finds quickly; only there are letters compared.
size_t findMarker(std::string_view text, std::string_view marker) {
    size_t lead = 0;
    while (lead < marker.size() && !isAsciiLetter(marker[lead]))
        ++lead;
    const std::string_view prefix = marker.substr(0, lead);
    for (size_t at = text.find(prefix); at != std::string_view::npos;
         at = text.find(prefix, at + 1)) {
        if (Text::equalsNoCase(text.substr(at, marker.size()), marker))
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

MarkerScan::MarkerScan(std::string_view marker) : m_marker(marker) {}

void MarkerScan::feed(std::string_view piece, bool lastPiece) {
    const size_t pieceAt = m_length;
    m_length += piece.size();
    if (m_firstQuote == std::string::npos) {
        if (const size_t quote = piece.find('"'); quote != std::string_view::npos)
            m_firstQuote = pieceAt + quote;
    }
    size_t from = 0; // the first byte of the piece after the marker
    if (m_markerAt == std::string::npos) {
        // A marker may begin in the tail of the pieces before this one: the seam is
        // searched on its own, so a piece is never copied whole.
        const size_t tailBytes = m_marker.size() - 1;
        size_t found = std::string::npos; // in the tail followed by the piece
        if (!m_recent.empty())
            found = findMarker(m_recent + std::string(piece.substr(0, tailBytes)), m_marker);
        if (found == std::string::npos) {
            if (const size_t inPiece = findMarker(piece, m_marker); inPiece != std::string::npos)
                found = m_recent.size() + inPiece;
        }
        if (found == std::string::npos) {
            if (lastPiece)
                return;
            if (piece.size() >= tailBytes) {
                m_recent.assign(piece.substr(piece.size() - tailBytes));
            } else {
                m_recent.append(piece);
                m_recent.erase(0, m_recent.size() - std::min(m_recent.size(), tailBytes));
            }
            return;
        }
        m_markerAt = pieceAt - m_recent.size() + found;
        from = found + m_marker.size() - m_recent.size();
        m_recent.clear();
    }
    if (m_close != std::string::npos)
        return;
    for (size_t i = from; i < piece.size(); ++i) {
        const size_t at = pieceAt + i;
        if (m_keyword.size() < KeywordLength)
            m_keyword += piece[i];
        if (piece[i] != '"' || at < m_markerAt + ValueSearchOffset)
            continue;
        if (m_open == std::string::npos) {
            m_open = at;
        } else {
            m_close = at;
            break;
        }
    }
}

std::vector<LineSegment> SlidePageRewriter::plan(const MarkerScan& scan) {
    const size_t end = scan.length();
    if (scan.markerAt() == std::string::npos)
        return {copied(0, end), inserted("\r\n")};
    const std::pair<std::string_view, const std::string*> known[] = {
        {"GIF", &m_replacements.GIF}, {"NXT", &m_replacements.NXT}, {"PRV", &m_replacements.PRV},
        {"RAM", &m_replacements.RAM}, {"NDX", &m_replacements.NDX}, {"TTL", &m_replacements.TTL}};
    for (const auto& [name, value] : known)
        if (Text::equalsNoCase(scan.keyword(), name))
            m_carried = *value;
    // The text up to and with the opening quote, the replacement, then the line from the
    // closing quote; without a closing quote the whole line follows the replacement.
    const size_t open = scan.openQuote();
    const size_t close = open == std::string::npos ? scan.firstQuote() : scan.closeQuote();
    const size_t keep = open == std::string::npos ? 0 : open + 1;
    return {copied(0, keep), inserted(m_carried),
            copied(close == std::string::npos ? 0 : close, end), inserted("\r\n")};
}

std::string SlidePageRewriter::rewrite(std::string_view line) {
    MarkerScan scan(PageMarker);
    scan.feed(line, true);
    std::string out;
    for (const LineSegment& segment : plan(scan))
        out += segment.copy ? line.substr(segment.from, segment.to - segment.from)
                            : std::string_view(segment.text);
    out.resize(out.size() - 2); // the line end
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
    const std::string utf8 = EightBitText::toUtf8(bytes);
    std::string out;
    for (size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        if (lead < 0x80) {
            out += htmlEscape(utf8.substr(i++, 1));
            continue;
        }
        // toUtf8 gives well-formed UTF-8: the lead byte tells the length.
        const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        unsigned long code = lead & (0x7F >> length);
        for (size_t k = 1; k < length && i + k < utf8.size(); ++k)
            code = (code << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        out += "&#" + std::to_string(code) + ";";
        i += length;
    }
    return out;
}

std::string scriptDataUrl(std::string_view url) {
    std::string out;
    out.reserve(url.size());
    for (const char c : url) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == '<' || c == '>' || c == '"')
            out += percentEncoded(c);
        else
            out += c;
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
    rewriteTemplate(templatePath, pagePath, PageMarker,
                    [&](const MarkerScan& scan) { return rewriter.plan(scan); });
}

void WritePreloadFile(const std::string& templatePath, const std::string& pagePath,
                      const PresentationOutput& out) {
    const std::string block = preloadBlock(out);
    rewriteTemplate(templatePath, pagePath, PreloadMarker, [&](const MarkerScan& scan) {
        std::vector<LineSegment> plan = {copied(0, scan.length()), inserted("\r\n")};
        if (scan.markerAt() != std::string::npos)
            plan.push_back(inserted(block));
        return plan;
    });
}

bool WriteIndexFile(const std::string& templatePath, const std::string& pagePath,
                    const std::vector<ScheduleRow>& rows) {
    bool expanded = false;
    rewriteTemplate(templatePath, pagePath, IndexMarker, [&](const MarkerScan& scan) {
        const size_t p = scan.markerAt();
        const size_t end = scan.length();
        if (expanded || p == std::string::npos)
            return std::vector<LineSegment>{copied(0, end), inserted("\r\n")};
        expanded = true;
        // The text before the marker above the table, the text after it below.
        std::vector<LineSegment> plan;
        if (p > 0)
            plan = {copied(0, p), inserted("\r\n")};
        plan.push_back(inserted(indexTable(rows)));
        if (p + IndexMarker.size() < end) {
            plan.push_back(copied(p + IndexMarker.size(), end));
            plan.push_back(inserted("\r\n"));
        }
        return plan;
    });
    return expanded;
}

AllPagesResult writeAllPages(const PresentationOutput& out, const std::string& programDirectory,
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
    AllPagesResult result;
    result.indexTemplate = shipped("index.htm");
    result.indexMarkerFound =
        WriteIndexFile(result.indexTemplate, out.outputDirectory + "index.htm", out.rows);
    return result;
}
