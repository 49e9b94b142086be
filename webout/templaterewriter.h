#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class WriteBatch;

// The streaming engine of the page writers: a template is copied to its page line by
// line, and a line that holds one of the writer's markers is written as the writer's plan
// for it says. Lines of any length are read and written in bounded memory.

// A marker a writer looks for, its letters in any case.
struct TemplateMarker {
    std::string_view text;
    // Where the line's first double-quoted value is looked for, counted from the marker's
    // start; npos for a marker that cuts no value out of its line.
    size_t valueFrom = std::string_view::npos;
};

// What a template line holds, found as its bytes go past in pieces: the first place of a
// marker, the three bytes after it, and the double quotes the line's value lies between.
class MarkerScan {
  public:
    explicit MarkerScan(TemplateMarker marker);
    // lastPiece: the line ends with this piece, so no marker can begin in its tail.
    // inPiece: where the marker first begins in the piece (npos: nowhere), as findMarkers
    // found it.
    void feed(std::string_view piece, bool lastPiece, size_t inPiece);
    void reset();
    const TemplateMarker& marker() const { return m_marker; }

    size_t length() const { return m_length; }
    bool found() const { return m_markerAt != std::string::npos; }
    size_t markerAt() const { return m_markerAt; } // npos without a marker
    const std::string& keyword() const { return m_keyword; }
    size_t firstQuote() const { return m_firstQuote; }
    // The first quote at or after the marker's valueFrom, and the next one after it.
    size_t openQuote() const { return m_open; }
    size_t closeQuote() const { return m_close; }

  private:
    TemplateMarker m_marker;
    std::string m_recent;
    std::string m_keyword;
    size_t m_length = 0;
    size_t m_markerAt = std::string::npos;
    size_t m_firstQuote = std::string::npos;
    size_t m_open = std::string::npos;
    size_t m_close = std::string::npos;
};

// Feeds a piece of a line to every scan, with one pass over the piece for all markers.
void feedScans(std::span<MarkerScan> scans, std::string_view piece, bool lastPiece);

// A piece of a written line: a range of the template line, or a text put in. A text the
// writer keeps for the whole command is put in as a view, not copied into every page.
struct LineSegment {
    bool copy = true;
    size_t from = 0;
    size_t to = 0;
    std::string text;
    std::string_view shared;
};
LineSegment copied(size_t from, size_t to);
LineSegment inserted(std::string text);
LineSegment insertedShared(std::string_view text);

// The plan for a line that holds at least one marker, from the line's scans, one per
// marker in the order the markers were given. Its segments carry the line ends too.
using LinePlan = std::function<std::vector<LineSegment>(std::span<const MarkerScan> scans)>;

// Writes the page from the template into the batch: a line without any marker unchanged
// with CR LF, every other line as its plan says. Every failure throws OutputError naming
// the template or the page; the page replaces an earlier one only once the batch commits.
void rewriteTemplate(WriteBatch& batch, const std::string& templatePath,
                     const std::string& pagePath, std::span<const TemplateMarker> markers,
                     const LinePlan& plan);
// One line as rewriteTemplate writes it, its line end and any lines put after it included.
std::string rewriteLine(std::string_view line, std::span<const TemplateMarker> markers,
                        const LinePlan& plan);
