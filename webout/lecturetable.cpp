#include "lecturetable.h"

#include "common/clocktime.h"
#include "common/text.h"
#include "webout/encoders.h"
#include "webout/slidepages.h"
#include "webout/slidetext.h"

namespace {

long long secondsOf(const std::string& cell) {
    const std::optional<double> time = ClockTime::parse(cell);
    return time ? ClockTime::toSeconds(*time) : 0;
}

std::string jsonList(const std::vector<std::string>& lines) {
    std::string list = "[";
    for (const std::string& line : lines)
        list += (list.size() > 1 ? "," : "") + jsonString(line);
    return list + "]";
}

// hh:mm:ss.000 of a whole number of seconds.
std::string vttTime(long long seconds) {
    return ClockTime::format(ClockTime::fromSeconds(seconds)) + ".000";
}

} // namespace

std::string wordsBlock(std::string_view shownTitleHtml, const std::vector<std::string>& text,
                       const std::vector<std::string>& notes) {
    std::string html = "<div id=\"cm-words\"><h2 class=\"cm-words-title\">";
    html += shownTitleHtml;
    html += "</h2><ul id=\"cm-slide-text\">";
    for (const std::string& line : text)
        html += "<li>" + htmlUtf8Text(line) + "</li>";
    html += "</ul><div id=\"cm-slide-notes\">";
    for (const std::string& line : notes)
        html += "<p>" + htmlUtf8Text(line) + "</p>";
    html += "</div></div>\r\n";
    return html;
}

LectureTable::LectureTable(const PresentationOutput& out) {
    SlideTextFiles slideText(out.outputDirectory);
    std::string rows;
    for (size_t i = 0; i < out.rows.size(); ++i) {
        const ScheduleRow& row = out.rows[i];
        const int page = static_cast<int>(i + 1);
        const Row times{secondsOf(row.Start), secondsOf(row.Stop), shownTitleText(row.Title)};
        const PageWords& words = slideText.wordsFor(row.ImageUrl);
        rows += std::string(i > 0 ? "," : "") + "{\"page\":" + jsonString(pageFileName(page)) +
                ",\"image\":" + jsonString(row.ImageUrl) + ",\"title\":" + jsonString(times.title) +
                ",\"start\":" + std::to_string(times.start) +
                ",\"stop\":" + std::to_string(times.stop) +
                ",\"slide\":" + std::to_string(deckNumber(row.ImageUrl)) +
                ",\"text\":" + jsonList(words.text) + ",\"notes\":" + jsonList(words.notes) + "}";
        m_words.push_back(wordsBlock(shownTitle(row.Title), words.text, words.notes));
        m_rows.push_back(times);
    }
    m_dataHead = "<script type=\"application/json\" id=\"cm-lecture\">\r\n{\"audio\":" +
                 jsonString(out.audioUrl) + ",\"chapters\":" + jsonString(ChaptersName) +
                 ",\"page\":";
    m_dataTail = ",\"rows\":[" + rows + "]}\r\n</script>\r\n";
}

LectureInserts LectureTable::insertsFor(int page) const {
    const bool row = page >= 1 && static_cast<size_t>(page) <= m_words.size();
    return {m_dataHead, std::to_string(page), m_dataTail,
            row ? std::string_view(m_words[static_cast<size_t>(page - 1)]) : std::string_view()};
}

std::string LectureTable::chapters() const {
    std::string vtt = "WEBVTT\r\n";
    for (const Row& row : m_rows) {
        if (row.start == row.stop)
            continue;
        vtt += "\r\n" + vttTime(row.start) + " --> " + vttTime(row.stop) + "\r\n" +
               vttText(row.title) + "\r\n";
    }
    return vtt;
}
