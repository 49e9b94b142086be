#include "logimport.h"

#include "common/clocktime.h"
#include "schedule/logreader.h"
#include "webout/pathhelpers.h"

#include <exception>

ImportedLog importLog(LogReader& log, const std::string& imagePathPattern) {
    ImportedLog result;
    try {
        const PathParts imagePath = GetFname(imagePathPattern);
        const auto imageName = SplitIMGFileName(imagePath.fileName);
        if (!imageName)
            throw ReadError(0, "The image path names no numbered image");

        LogLine line = log.next();
        // Held as the exact sum of the day counts, so each Stop is the next Start.
        double total = line.dayCount;
        for (;;) {
            const int r = static_cast<int>(result.rows.size()) + 1;
            // The closing line takes a row number too, so at most MaxScheduleRows - 1 rows fit.
            if (r > MaxScheduleRows)
                throw ReadError(0, "Too many rows");
            if (line.endsLog()) {
                if (r == 1)
                    throw ReadError(0, "No row before the end of logging");
                break;
            }

            const double length = log.peekDayCount();
            if (r == 1 && line.isSlide)
                result.loggedFirstLength = length;
            ScheduleRow& row = result.rows.emplace_back();
            row.Length = ClockTime::format(length);
            row.Start = ClockTime::format(total);
            row.Stop = ClockTime::format(total + length);
            if (line.isSlide) {
                row.ImageUrl = ExpandIMGPath(imagePath.directory, line.presentationPath) +
                               imageName->prefix + threeDigits(line.slideNumber) + "." +
                               imageName->extension;
                row.Title = line.title;
            } else {
                row.ImageUrl = "wait.gif";
                row.Title = "BREAK";
            }
            total += length;
            line = log.next();
        }
    } catch (const ReadError& e) {
        result.rejection = e;
    } catch (const std::exception& e) {
        // A log that cannot be read any further is no log either.
        result.rejection = ReadError(0, e.what());
    }
    if (result.rejection)
        result.loggedFirstLength = ClockTime::NotSet;
    return result;
}
