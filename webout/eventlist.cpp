#include "eventlist.h"

#include "common/clocktime.h"
#include "common/text.h"
#include "common/textfile.h"
#include "webout/pagefiles.h"
#include "webout/pathhelpers.h"
#include "webout/scheduletimes.h"

std::string eventListLine(double start, double stop, std::string_view htmlUrl, int row) {
    return "u 00:" + ClockTime::format(start) +
           ".0 00:" + ClockTime::format(stop - ClockTime::OneSecond) + ".9 " +
           std::string(htmlUrl) + "sld" + threeDigits(row) + ".htm";
}

std::string writeEventList(WriteBatch& batch, const PresentationOutput& out) {
    const std::string path = out.outputDirectory + EventListName;
    OutputFile list(batch, path);
    for (int i = 1; i <= static_cast<int>(out.rows.size()); ++i) {
        const double start = scheduleTime(out.rows, i, &ScheduleRow::Start, path);
        const double stop = scheduleTime(out.rows, i, &ScheduleRow::Stop, path);
        if (ClockTime::toSeconds(start) != ClockTime::toSeconds(stop))
            list.writeLine(eventListLine(start, stop, out.htmlUrl, i));
    }
    list.commit();
    return path;
}

std::optional<std::string> GetRAEFile(std::string_view audioUrl) {
    const size_t ra = Text::findNoCase(audioUrl, ".ra");
    if (ra == std::string_view::npos)
        return std::nullopt;
    std::string_view base = audioUrl.substr(0, ra);
    size_t cut = base.rfind('/');
    if (cut == std::string_view::npos)
        cut = base.find(':');
    if (cut != std::string_view::npos)
        base.remove_prefix(cut + 1);
    return std::string(base) + ".rae";
}

ToolStart ceventsStart(const std::string& ceventsLoc, const std::string& eventListPath,
                       const std::string& eventFileName, const std::string& outputDirectory) {
    const bool bare = ceventsLoc.find_first_of("/\\") == std::string::npos;
    return {bare ? ceventsLoc : TextFile::absolutePath(ceventsLoc),
            {TextFile::absolutePath(eventListPath), eventFileName},
            TextFile::absolutePath(outputDirectory)};
}
