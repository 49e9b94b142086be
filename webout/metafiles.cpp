#include "metafiles.h"

#include "common/clocktime.h"
#include "webout/outputerror.h"
#include "webout/pagefiles.h"
#include "webout/pathhelpers.h"
#include "webout/scheduletimes.h"

std::string metafileName(int row) {
    return "tsld" + threeDigits(row) + ".ram";
}

std::string metafileLine(std::string_view audioUrl, double start, double end) {
    return std::string(audioUrl) + "?start=\"" + ClockTime::format(start) + "\"&end=\"" +
           ClockTime::format(end) + "\"";
}

void writeMetafiles(WriteBatch& batch, const PresentationOutput& out) {
    const int rowCount = static_cast<int>(out.rows.size());
    if (rowCount == 0)
        return;
    const double end = scheduleTime(out.rows, rowCount, &ScheduleRow::Stop, {});
    for (int i = 1; i <= rowCount; ++i) {
        const std::string path = out.outputDirectory + metafileName(i);
        const double start = scheduleTime(out.rows, i, &ScheduleRow::Start, path);
        OutputFile file(batch, path);
        file.writeLine(metafileLine(out.audioUrl, start, end));
        file.commit();
    }
}
