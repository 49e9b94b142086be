#include "templaterewriter.h"

#include "common/text.h"
#include "common/textfile.h"
#include "webout/outputerror.h"
#include "webout/pagefiles.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <type_traits>

namespace {

// A writer looks for this many markers at most.
constexpr size_t MaxMarkers = 4;

// The keyword is the three bytes after a marker.
constexpr size_t KeywordLength = 3;

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
    void nextPiece(bool& lineEnded, std::string& piece) {
        guarded([&] { m_reader->nextPiece(PieceBytes, lineEnded, piece); });
    }
    std::string_view wholeLines() {
        return guarded([&] { return m_reader->wholeLines(); });
    }
    void skipLines(size_t bytes, int lines) { m_reader->skipLines(bytes, lines); }

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
        m_reader->nextPiece(m_ended, m_piece);
        m_started = true;
    }
    void rewind() {
        m_reader.emplace(m_path);
        for (int line = 1; line < m_line; ++line)
            for (bool ended = false; !ended;)
                m_reader->nextPiece(ended, m_piece);
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

// Whether a marker stands at a place of the text, its letters in any case. A marker begins
// with two punctuation bytes, compared exactly first.
bool markerAt(std::string_view text, size_t at, std::string_view marker) {
    return text.size() - at >= marker.size() && text[at + 1] == marker[1] &&
           Text::equalsNoCase(text.substr(at, marker.size()), marker);
}

// The first place of a marker in a text.
size_t findMarker(std::string_view text, std::string_view marker) {
    for (const char *at = text.data(), *end = at + text.size();
         (at = static_cast<const char*>(std::memchr(at, marker[0], end - at))); ++at)
        if (markerAt(text, at - text.data(), marker))
            return at - text.data();
    return std::string_view::npos;
}

// Where a marker is looked for: its first '*', a byte ordinary HTML seldom holds (the
// markers' '<' begins every tag), or its first byte.
size_t anchorOf(std::string_view marker) {
    const size_t star = marker.find('*');
    return star == std::string_view::npos ? 0 : star;
}

// The first place in the text of every marker the scans still look for, in one pass:
// memchr finds the markers' anchor bytes, and only there are markers compared.
void findMarkers(std::string_view text, std::span<const MarkerScan> scans, std::span<size_t> at) {
    struct Lead {
        char byte;
        const char* next;
    };
    Lead leads[MaxMarkers];
    size_t anchors[MaxMarkers];
    size_t leadCount = 0;
    size_t wanted = 0;
    const char* end = text.data() + text.size();
    const auto nextOf = [&](const char* from, char byte) {
        return static_cast<const char*>(std::memchr(from, byte, end - from));
    };
    for (size_t i = 0; i < scans.size(); ++i) {
        at[i] = std::string_view::npos;
        if (scans[i].found())
            continue;
        ++wanted;
        const std::string_view marker = scans[i].marker().text;
        anchors[i] = anchorOf(marker);
        const char byte = marker[anchors[i]];
        if (std::none_of(leads, leads + leadCount, [&](const Lead& l) { return l.byte == byte; }))
            leads[leadCount++] = {byte, nextOf(text.data(), byte)};
    }
    while (wanted > 0) {
        Lead* lead = nullptr;
        for (Lead* l = leads; l != leads + leadCount; ++l)
            if (l->next && (!lead || l->next < lead->next))
                lead = l;
        if (!lead)
            return;
        const size_t place = static_cast<size_t>(lead->next - text.data());
        for (size_t i = 0; i < scans.size(); ++i) {
            const std::string_view marker = scans[i].marker().text;
            const size_t anchor = anchors[i];
            // A marker that begins before this text is the seam's to find.
            if (scans[i].found() || at[i] != std::string_view::npos ||
                marker[anchor] != lead->byte || place < anchor ||
                !markerAt(text, place - anchor, marker))
                continue;
            at[i] = place - anchor;
            --wanted;
        }
        lead->next = nextOf(lead->next + 1, lead->byte);
    }
}

// The bytes of whole lines before the first line that holds a marker: all of them when none
// does.
size_t linesBeforeMarker(std::string_view lines, std::span<MarkerScan> scans) {
    for (MarkerScan& scan : scans)
        scan.reset();
    size_t at[MaxMarkers];
    findMarkers(lines, scans, std::span<size_t>(at, scans.size()));
    const size_t first = *std::min_element(at, at + scans.size());
    if (first == std::string_view::npos)
        return lines.size();
    size_t lineStart = first;
    while (lineStart > 0 && lines[lineStart - 1] != '\n' && lines[lineStart - 1] != '\r')
        --lineStart;
    return lineStart;
}

// Copies whole lines to the page, each ended by CR LF whatever ended it in the template,
// in spans as long as the template's own line ends allow; the lines copied.
int copyLines(std::string_view lines, OutputFile& page) {
    const char* at = lines.data();
    const char* end = at + lines.size();
    const auto next = [&](char byte) {
        return static_cast<const char*>(std::memchr(at, byte, end - at));
    };
    const char* span = at;
    const char* cr = next('\r');
    const char* lf = next('\n');
    int count = 0;
    while (cr || lf) {
        ++count;
        if (cr && lf == cr + 1) {
            at = lf + 1;
            cr = next('\r');
            lf = next('\n');
            continue;
        }
        // A lone CR or LF: the span so far, then CR LF in its place.
        const bool lone = cr && (!lf || cr < lf);
        const char* lineEnd = lone ? cr : lf;
        page.write(std::string_view(span, static_cast<size_t>(lineEnd - span)));
        page.write(Text::crlf);
        at = span = lineEnd + 1;
        (lone ? cr : lf) = next(lone ? '\r' : '\n');
    }
    page.write(std::string_view(span, static_cast<size_t>(end - span)));
    return count;
}

std::vector<MarkerScan> scansFor(std::span<const TemplateMarker> markers) {
    return {markers.begin(), markers.end()};
}

bool anyFound(std::span<const MarkerScan> scans) {
    return std::any_of(scans.begin(), scans.end(), [](const MarkerScan& s) { return s.found(); });
}

std::string_view textOf(const LineSegment& segment) {
    return segment.text.empty() ? segment.shared : std::string_view(segment.text);
}

} // namespace

void feedScans(std::span<MarkerScan> scans, std::string_view piece, bool lastPiece) {
    if (scans.size() > MaxMarkers)
        throw std::logic_error("too many markers");
    size_t at[MaxMarkers];
    findMarkers(piece, scans, std::span<size_t>(at, scans.size()));
    for (size_t i = 0; i < scans.size(); ++i)
        scans[i].feed(piece, lastPiece, at[i]);
}

LineSegment copied(size_t from, size_t to) {
    return {true, from, to, {}, {}};
}
LineSegment inserted(std::string text) {
    return {false, 0, 0, std::move(text), {}};
}
LineSegment insertedShared(std::string_view text) {
    return {false, 0, 0, {}, text};
}

MarkerScan::MarkerScan(TemplateMarker marker) : m_marker(marker) {}

void MarkerScan::reset() {
    m_recent.clear();
    m_keyword.clear();
    m_length = 0;
    m_markerAt = m_firstQuote = m_open = m_close = std::string::npos;
}

void MarkerScan::feed(std::string_view piece, bool lastPiece, size_t inPiece) {
    const std::string_view marker = m_marker.text;
    const size_t pieceAt = m_length;
    m_length += piece.size();
    // Only a marker that cuts out a value needs the line's first quote.
    if (m_marker.valueFrom != std::string_view::npos && m_firstQuote == std::string::npos) {
        if (const size_t quote = piece.find('"'); quote != std::string_view::npos)
            m_firstQuote = pieceAt + quote;
    }
    size_t from = 0; // the first byte of the piece after the marker
    if (m_markerAt == std::string::npos) {
        // A marker may begin in the tail of the pieces before this one: the seam is
        // searched on its own, so a piece is never copied whole.
        const size_t tailBytes = marker.size() - 1;
        size_t found = std::string::npos; // in the tail followed by the piece
        if (!m_recent.empty())
            found = findMarker(m_recent + std::string(piece.substr(0, tailBytes)), marker);
        if (found == std::string::npos && inPiece != std::string::npos)
            found = m_recent.size() + inPiece;
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
        from = found + marker.size() - m_recent.size();
        m_recent.clear();
    }
    for (size_t i = from; i < piece.size() && m_keyword.size() < KeywordLength; ++i)
        m_keyword += piece[i];
    if (m_close != std::string::npos || m_marker.valueFrom == std::string_view::npos)
        return;
    // The value's quotes count from valueFrom on; memchr finds them on a line of any length.
    const size_t valueAt = m_markerAt + m_marker.valueFrom;
    size_t i = std::max(from, valueAt > pieceAt ? valueAt - pieceAt : 0);
    while (m_close == std::string::npos && (i = piece.find('"', i)) != std::string_view::npos) {
        (m_open == std::string::npos ? m_open : m_close) = pieceAt + i;
        ++i;
    }
}

void rewriteTemplate(WriteBatch& batch, const std::string& templatePath,
                     const std::string& pagePath, std::span<const TemplateMarker> markers,
                     const LinePlan& plan) {
    TemplateReader scanner(templatePath);
    LineCopier copier(templatePath);
    OutputFile page(batch, pagePath);
    std::vector<MarkerScan> scans = scansFor(markers);
    std::string first;
    std::string piece;
    for (int line = 1; !scanner.atEnd(); ++line) {
        // The lines up to the next one with a marker go to the page as they are, their
        // line ends made CR LF, many at once.
        if (const std::string_view lines = scanner.wholeLines(); !lines.empty()) {
            if (const size_t plain = linesBeforeMarker(lines, scans)) {
                const int count = copyLines(lines.substr(0, plain), page);
                scanner.skipLines(plain, count);
                line += count - 1;
                continue;
            }
        }
        for (MarkerScan& scan : scans)
            scan.reset();
        bool ended = false;
        scanner.nextPiece(ended, first);
        const bool whole = ended;
        feedScans(scans, first, ended);
        while (!ended) {
            scanner.nextPiece(ended, piece);
            feedScans(scans, piece, ended);
        }
        // A line of ordinary length came in one piece and is written from it; only a
        // longer one is read again for its ranges.
        if (whole && !anyFound(scans)) {
            page.writeLine(first);
            continue;
        }
        if (!anyFound(scans)) {
            copier.copy(line, 0, scans.front().length(), page);
            page.write(Text::crlf);
            continue;
        }
        for (const LineSegment& segment : plan(scans)) {
            if (!segment.copy)
                page.write(textOf(segment));
            else if (whole)
                page.write(std::string_view(first).substr(segment.from, segment.to - segment.from));
            else
                copier.copy(line, segment.from, segment.to, page);
        }
    }
    page.commit();
}

std::string rewriteLine(std::string_view line, std::span<const TemplateMarker> markers,
                        const LinePlan& plan) {
    std::vector<MarkerScan> scans = scansFor(markers);
    feedScans(scans, line, true);
    if (!anyFound(scans))
        return std::string(line) + std::string(Text::crlf);
    std::string out;
    for (const LineSegment& segment : plan(scans))
        out +=
            segment.copy ? line.substr(segment.from, segment.to - segment.from) : textOf(segment);
    return out;
}
