#pragma once

#include "webout/lecturetable.h"
#include "webout/presentation.h"
#include "webout/templaterewriter.h"

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

// Rewrites the marker lines of one page, one line at a time. A marker with an unknown
// keyword repeats the replacement of the page's previous marker line. A lecture marker's
// line is followed by the data block, a slide text marker's by the row's words.
class SlidePageRewriter {
  public:
    explicit SlidePageRewriter(const PageReplacements& replacements, LectureInserts lecture = {})
        : m_replacements(replacements), m_lecture(std::move(lecture)) {}
    // What the page gets for a line with a marker, its line end included; the scans are
    // those of SlidePageMarkers.
    std::vector<LineSegment> plan(std::span<const MarkerScan> scans);
    // The line as the page gets it, without its last line end; a line without a marker
    // comes back unchanged.
    std::string rewrite(std::string_view line);

  private:
    const PageReplacements& m_replacements;
    LectureInserts m_lecture;
    std::string m_carried;
};

// The markers of a slide template: the link marker "<!-- **FIXIT**", then the lecture
// and slide text markers, whose lines the data block and the words follow.
extern const std::array<TemplateMarker, 3> SlidePageMarkers;

// A title as the pages show it: "NO TITLE" when empty, "LEADER" for ".", else the title;
// shownTitle gives it as HTML text (htmlUtf8Text).
std::string shownTitleText(std::string_view title);
std::string shownTitle(std::string_view title);

// The MaxGIFs, SLDtoGIF and AudioURL lines inserted after the preload marker.
std::string preloadBlock(const PresentationOutput& out);
// The table inserted at the index marker.
std::string indexTable(const std::vector<ScheduleRow>& rows);

// Each writes one page from one template; every failure throws OutputError naming the
// template or the page. WriteHTMFiles, despite its plural, is one slide page: writeAllPages
// below writes them all. Without lecture inserts the lecture markers get nothing.
// Each page goes into the batch, in place once the batch commits.
void WriteHTMFiles(WriteBatch& batch, const std::string& templatePath, const std::string& pagePath,
                   const PageReplacements& replacements, const LectureInserts& lecture = {});
void WritePreloadFile(WriteBatch& batch, const std::string& templatePath,
                      const std::string& pagePath, const PresentationOutput& out);
// False when the template has no index marker: the page is then a plain copy of it.
bool WriteIndexFile(WriteBatch& batch, const std::string& templatePath, const std::string& pagePath,
                    const std::vector<ScheduleRow>& rows, const LectureInserts& lecture = {});

struct AllPagesResult {
    bool indexMarkerFound = true;
    std::string indexTemplate;
};

// The whole of "Write HTM Files" after its checks: every page, preload.htm, the page
// images, index.htm and chapters.vtt, in that order, from the templates and images in
// programDirectory (named without a trailing separator); the lecture table and the slide
// texts are read once, before the first page. Every file goes into the batch; the files
// made before a failure stay in it. Stops at the first failure with an OutputError.
AllPagesResult writeAllPages(WriteBatch& batch, const PresentationOutput& out,
                             const std::string& programDirectory,
                             std::span<const std::string> pageImages);
