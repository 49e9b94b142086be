#pragma once

#include "webout/presentation.h"

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The links filled into the marker lines of slide page i, by the marker's keyword.
struct PageReplacements {
    std::string GIF; // the row's ImageUrl, HTML-escaped
    std::string NXT; // sld(i+1).htm, or index.htm on the last page
    std::string PRV; // sld(i-1).htm, or index.htm on the first page
    std::string RAM; // tsld(i).ram
    std::string NDX; // index.htm
    std::string TTL; // the row's title as the index shows it, HTML-escaped
};

// The images copied beside the pages, in the order they are copied.
inline constexpr std::array<const char*, 5> PageImageNames = {
    "p2hnext.gif", "p2hprev.gif", "p2hup.gif", "ralogo.gif", "wait.gif"};

// Page i (1-based) of the rows.
PageReplacements pageReplacementsFor(const std::vector<ScheduleRow>& rows, int page);
// firstsld.htm for page 1, lastsld.htm for the last page, slides.htm between.
const char* templateNameFor(int page, int rowCount);
std::string pageFileName(int page);

// What a template line holds, found as its bytes go past in pieces, so a line of any
// length is read in bounded memory: the first place of a marker (letters in any case), the
// three bytes after it, and the double quotes a slide page's marker line is cut at.
class MarkerScan {
  public:
    explicit MarkerScan(std::string_view marker);
    // lastPiece: the line ends with this piece, so no marker can begin in its tail.
    void feed(std::string_view piece, bool lastPiece);

    size_t length() const { return m_length; }
    size_t markerAt() const { return m_markerAt; } // npos without a marker
    const std::string& keyword() const { return m_keyword; }
    size_t firstQuote() const { return m_firstQuote; }
    // The first quote from the keyword's start plus 7 on, and the next one after it.
    size_t openQuote() const { return m_open; }
    size_t closeQuote() const { return m_close; }

  private:
    std::string_view m_marker;
    std::string m_recent;
    std::string m_keyword;
    size_t m_length = 0;
    size_t m_markerAt = std::string::npos;
    size_t m_firstQuote = std::string::npos;
    size_t m_open = std::string::npos;
    size_t m_close = std::string::npos;
};

// A piece of a written line: a range of the template line, or a text put in.
struct LineSegment {
    bool copy = true;
    size_t from = 0;
    size_t to = 0;
    std::string text;
};

// Rewrites the marker lines of one page, one line at a time. A marker with an unknown
// keyword repeats the replacement of the page's previous marker line.
class SlidePageRewriter {
  public:
    explicit SlidePageRewriter(const PageReplacements& replacements)
        : m_replacements(replacements) {}
    // What the page gets for a scanned line, its line end included.
    std::vector<LineSegment> plan(const MarkerScan& scan);
    // The line as the page gets it; a line without a marker comes back unchanged.
    std::string rewrite(std::string_view line);

  private:
    const PageReplacements& m_replacements;
    std::string m_carried;
};

// "&", "<", ">", '"' and "'" as character references, so a text shows as written and
// stays inside its element or its attribute, whichever quote that uses.
std::string htmlEscape(std::string_view text);
// A title as the pages show it: "NO TITLE" when empty, "LEADER" for ".", else the title
// escaped; a title that is not UTF-8 is read in the Windows code page and its letters
// beyond ASCII written as numeric character references.
std::string shownTitle(std::string_view title);
// A URL for the preload page's data block: "<", ">", '"' and control bytes
// percent-encoded (the same URL to a browser), so it can end neither its quotes, its
// line nor the block.
std::string scriptDataUrl(std::string_view url);

// The MaxGIFs, SLDtoGIF and AudioURL lines inserted after the preload marker.
std::string preloadBlock(const PresentationOutput& out);
// The table inserted at the index marker.
std::string indexTable(const std::vector<ScheduleRow>& rows);

// Each writes one page from one template; every failure throws OutputError naming the
// template or the page. WriteHTMFiles, despite its plural, is one slide page: writeAllPages
// below writes them all.
void WriteHTMFiles(const std::string& templatePath, const std::string& pagePath,
                   const PageReplacements& replacements);
void WritePreloadFile(const std::string& templatePath, const std::string& pagePath,
                      const PresentationOutput& out);
// False when the template has no index marker: the page is then a plain copy of it.
bool WriteIndexFile(const std::string& templatePath, const std::string& pagePath,
                    const std::vector<ScheduleRow>& rows);

struct AllPagesResult {
    bool indexMarkerFound = true;
    std::string indexTemplate;
};

// The whole of "Write HTM Files" after its checks: every page, preload.htm, the page
// images and index.htm, in that order, from the templates and images in programDirectory
// (named without a trailing separator). Stops at the first failure with an OutputError.
AllPagesResult writeAllPages(const PresentationOutput& out, const std::string& programDirectory,
                             std::span<const std::string> pageImages);
