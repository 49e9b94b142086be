#include "slidepages.h"

#include "common/text.h"
#include "webout/encoders.h"
#include "webout/pagefiles.h"
#include "webout/pathhelpers.h"

namespace {

// The keyword follows the page marker; the comment's closing "XXX -->" comes before the
// value.
constexpr TemplateMarker PageMarker{"<!-- **FIXIT**", 14 + 7};
constexpr TemplateMarker PreloadMarker{"**FIXIT**"};
constexpr TemplateMarker IndexMarker{"<!--*** -->"};
constexpr TemplateMarker LectureMarker{"<!-- **LECTURE** -->"};
constexpr TemplateMarker SlideTextMarker{"<!-- **SLIDETEXT** -->"};
constexpr TemplateMarker IndexMarkers[] = {IndexMarker, LectureMarker};

// The data block after a lecture marker's line, once for every such line.
void addLectureBlock(std::vector<LineSegment>& plan, const MarkerScan& scan,
                     const LectureInserts& lecture) {
    if (!scan.found() || lecture.dataHead.empty())
        return;
    plan.push_back(insertedShared(lecture.dataHead));
    plan.push_back(inserted(lecture.page));
    plan.push_back(insertedShared(lecture.dataTail));
}

std::string numberWithSign(size_t n) {
    return " " + std::to_string(n);
}

} // namespace

const std::array<TemplateMarker, 3> SlidePageMarkers = {PageMarker, LectureMarker, SlideTextMarker};

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

std::vector<LineSegment> SlidePageRewriter::plan(std::span<const MarkerScan> scans) {
    const MarkerScan& scan = scans[0];
    const size_t end = scan.length();
    std::vector<LineSegment> plan;
    if (!scan.found()) {
        plan = {copied(0, end), inserted("\r\n")};
    } else {
        const std::pair<std::string_view, const std::string*> known[] = {
            {"GIF", &m_replacements.GIF}, {"NXT", &m_replacements.NXT},
            {"PRV", &m_replacements.PRV}, {"RAM", &m_replacements.RAM},
            {"NDX", &m_replacements.NDX}, {"TTL", &m_replacements.TTL}};
        for (const auto& [name, value] : known)
            if (Text::equalsNoCase(scan.keyword(), name))
                m_carried = *value;
        // The text up to and with the opening quote, the replacement, then the line from
        // the closing quote; without a closing quote the whole line follows the replacement.
        const size_t open = scan.openQuote();
        const size_t close = open == std::string::npos ? scan.firstQuote() : scan.closeQuote();
        const size_t keep = open == std::string::npos ? 0 : open + 1;
        plan = {copied(0, keep), inserted(m_carried),
                copied(close == std::string::npos ? 0 : close, end), inserted("\r\n")};
    }
    addLectureBlock(plan, scans[1], m_lecture);
    if (scans[2].found() && !m_lecture.words.empty())
        plan.push_back(insertedShared(m_lecture.words));
    return plan;
}

std::string SlidePageRewriter::rewrite(std::string_view line) {
    std::string out = rewriteLine(line, SlidePageMarkers, [&](auto scans) { return plan(scans); });
    out.resize(out.size() - 2); // the line end
    return out;
}

std::string shownTitleText(std::string_view title) {
    if (title.empty())
        return "NO TITLE";
    if (title == ".")
        return "LEADER";
    return std::string(title);
}

std::string shownTitle(std::string_view title) {
    return htmlUtf8Text(shownTitleText(title));
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

void WriteHTMFiles(WriteBatch& batch, const std::string& templatePath, const std::string& pagePath,
                   const PageReplacements& replacements, const LectureInserts& lecture) {
    SlidePageRewriter rewriter(replacements, lecture);
    rewriteTemplate(batch, templatePath, pagePath, SlidePageMarkers,
                    [&](std::span<const MarkerScan> scans) { return rewriter.plan(scans); });
}

void WritePreloadFile(WriteBatch& batch, const std::string& templatePath,
                      const std::string& pagePath, const PresentationOutput& out) {
    const std::string block = preloadBlock(out);
    const TemplateMarker markers[] = {PreloadMarker};
    rewriteTemplate(batch, templatePath, pagePath, markers, [&](std::span<const MarkerScan> scans) {
        return std::vector<LineSegment>{copied(0, scans.front().length()), inserted("\r\n"),
                                        insertedShared(block)};
    });
}

bool WriteIndexFile(WriteBatch& batch, const std::string& templatePath, const std::string& pagePath,
                    const std::vector<ScheduleRow>& rows, const LectureInserts& lecture) {
    bool expanded = false;
    const std::string table = indexTable(rows);
    const auto plan = [&](std::span<const MarkerScan> scans) {
        const size_t p = scans[0].markerAt();
        const size_t end = scans[0].length();
        std::vector<LineSegment> segments;
        if (expanded || !scans[0].found()) {
            segments = {copied(0, end), inserted("\r\n")};
        } else {
            expanded = true;
            // The text before the marker above the table, the text after it below.
            if (p > 0)
                segments = {copied(0, p), inserted("\r\n")};
            segments.push_back(insertedShared(table));
            if (p + IndexMarker.text.size() < end) {
                segments.push_back(copied(p + IndexMarker.text.size(), end));
                segments.push_back(inserted("\r\n"));
            }
        }
        addLectureBlock(segments, scans[1], lecture);
        return segments;
    };
    rewriteTemplate(batch, templatePath, pagePath, IndexMarkers, plan);
    return expanded;
}

AllPagesResult writeAllPages(WriteBatch& batch, const PresentationOutput& out,
                             const std::string& programDirectory,
                             std::span<const std::string> pageImages) {
    const auto shipped = [&](std::string_view name) {
        return programDirectory + "/" + std::string(name);
    };
    const LectureTable lecture(out);
    const int rowCount = static_cast<int>(out.rows.size());
    for (int i = 1; i <= rowCount; ++i)
        WriteHTMFiles(batch, shipped(templateNameFor(i, rowCount)),
                      out.outputDirectory + pageFileName(i), pageReplacementsFor(out.rows, i),
                      lecture.insertsFor(i));
    WritePreloadFile(batch, shipped("preload.htm"), out.outputDirectory + "preload.htm", out);
    for (const std::string& image : pageImages)
        copyOutputFile(batch, shipped(image), out.outputDirectory + image);
    AllPagesResult result;
    result.indexTemplate = shipped("index.htm");
    result.indexMarkerFound =
        WriteIndexFile(batch, result.indexTemplate, out.outputDirectory + "index.htm", out.rows,
                       lecture.insertsFor(0));
    OutputFile chapters(batch, out.outputDirectory + ChaptersName);
    chapters.write(lecture.chapters());
    chapters.commit();
    return result;
}
