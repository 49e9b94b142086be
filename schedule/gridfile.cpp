#include "gridfile.h"

#include "common/clocktime.h"
#include "common/fieldreader.h"
#include "common/text.h"
#include "common/textfile.h"

namespace {

constexpr const char* TimeColumns[] = {"", "Length", "Start", "Stop"};

// The dates the runtime's time conversion accepts, in days: a day count outside them
// is no time at all.
constexpr double FirstDay = -657434.0;
constexpr double DayAfterLast = 2958466.0;

void addLine(std::string& out, std::string_view value) {
    out += value;
    out += Text::crlf;
}

std::string quoted(const std::string& value) {
    return ": \"" + Text::forMessage(value) + "\"";
}

// The next whole line; the end of the file or an overlong line is a fault of that line.
std::string nextLine(LineReader& lines) {
    const int line = lines.lineNumber();
    if (lines.atEnd())
        throw ReadError(line, "Input past end of file");
    try {
        return lines.next();
    } catch (const LineTooLong& e) {
        throw ReadError(line, e.what());
    }
}

std::string columnOfRow(int col, int row) {
    return std::string(TimeColumns[col]) + " of row " + std::to_string(row);
}

// A whole line holding a day count, shown as its time of day.
std::string readTimeLine(LineReader& lines, const std::string& what) {
    const int line = lines.lineNumber();
    const std::string value = fieldOfLine(nextLine(lines));
    const auto days = DayCount::parseNumber(value);
    if (!days)
        throw ReadError(line, what + " is not a day count" + quoted(value));
    if (*days < FirstDay || *days >= DayAfterLast)
        throw ReadError(line, what + " is not a time" + quoted(value));
    return ClockTime::format(*days);
}

} // namespace

bool GridFile::isHeader(const std::string& firstField) {
    const std::string field = Text::trimBlanks(firstField);
    return Text::equalsNoCase(field, Header) || Text::equalsNoCase(field, OldHeader);
}

std::string GridFile::dayCountOf(const std::string& cell, const std::string& what) {
    const auto days = ClockTime::parse(cell);
    if (!days)
        throw FileError(what + " is not a time" + quoted(cell));
    return DayCount::format(*days);
}

std::string GridFile::text(const std::string& logFile, const std::string& audioUrl,
                           const std::string& htmUrl, const std::vector<ScheduleRow>& rows) {
    std::string out;
    addLine(out, Header);
    addLine(out, logFile);
    addLine(out, audioUrl);
    addLine(out, htmUrl);
    addLine(out, rows.empty() ? DayCount::format(0)
                              : dayCountOf(rows.front().Length, columnOfRow(1, 1)));
    int k = 0;
    for (const ScheduleRow& row : rows) {
        ++k;
        addLine(out, dayCountOf(row.Length, columnOfRow(ScheduleColumn::Length, k)));
        addLine(out, dayCountOf(row.Start, columnOfRow(ScheduleColumn::Start, k)));
        addLine(out, dayCountOf(row.Stop, columnOfRow(ScheduleColumn::Stop, k)));
        addLine(out, row.ImageUrl);
        addLine(out, row.Title);
    }
    return out;
}

std::string GridFile::resumeFileText(const std::string& logFile, const std::string& audioUrl,
                                     const std::string& htmUrl,
                                     const std::string& firstLengthCell) {
    std::string out;
    addLine(out, logFile);
    addLine(out, audioUrl);
    addLine(out, htmUrl);
    addLine(out, dayCountOf(firstLengthCell, columnOfRow(1, 1)));
    return out;
}

GridFile::ReadResult GridFile::read(const std::string& bytes, ReadTarget& target) {
    LineReader lines = LineReader::fromBytes(bytes);
    return read(lines, target);
}

GridFile::ReadResult GridFile::read(LineReader& lines, ReadTarget& target) {
    if (lines.atEnd())
        return ReadResult::NotAGridFile;
    std::string first;
    try {
        first = lines.next();
    } catch (const LineTooLong&) {
        return ReadResult::NotAGridFile;
    }
    FieldReader firstLine(first);
    if (firstLine.atEnd() || !isHeader(firstLine.readField()))
        return ReadResult::NotAGridFile;

    // Whole lines, so a name or URL holding a comma comes back whole and nothing after
    // it moves.
    target.logFile(fieldOfLine(nextLine(lines)));
    target.audioUrl(fieldOfLine(nextLine(lines)));
    target.htmUrl(fieldOfLine(nextLine(lines)));

    const int lengthLine = lines.lineNumber();
    const std::string length = fieldOfLine(nextLine(lines));
    if (const auto days = DayCount::parseNumber(length);
        days && *days >= FirstDay && *days < DayAfterLast)
        target.firstLength(ClockTime::format(*days));
    else if (const auto time = ClockTime::parse(length))
        target.firstLength(ClockTime::format(*time));
    else
        throw ReadError(lengthLine,
                        "Slide length is neither a day count nor a time" + quoted(length));

    target.rowsRead(0);
    // The end of the file is looked for only between rows.
    for (int k = 1; !lines.atEnd(); ++k) {
        if (k > MaxScheduleRows)
            throw ReadError(lines.lineNumber(), "The grid holds no more than " +
                                                    std::to_string(MaxScheduleRows) + " rows");
        for (int col = ScheduleColumn::Length; col <= ScheduleColumn::Title; ++col) {
            if (lines.atEnd())
                throw ReadError(lines.lineNumber(),
                                "The file ends inside row " + std::to_string(k));
            const int line = lines.lineNumber();
            const std::string value = col <= ScheduleColumn::Stop
                                          ? readTimeLine(lines, columnOfRow(col, k))
                                          : nextLine(lines);
            // Every line is written with its line end: a last title without one was cut
            // short, and would otherwise pass for the whole row.
            if (col == ScheduleColumn::Title && !lines.lastLineEnded())
                throw ReadError(line, "The file ends inside row " + std::to_string(k));
            target.cell(k, col, value);
        }
        target.rowsRead(k);
    }
    return ReadResult::Read;
}

std::optional<GridFile::Resume> GridFile::readResume(const std::string& bytes) {
    LineReader lines = LineReader::fromBytes(bytes);
    return readResume(lines);
}

std::optional<GridFile::Resume> GridFile::readResume(LineReader& lines) {
    // The texts are read as whole lines: a log path or URL holding a comma must not push
    // the later values along.
    try {
        nextLine(lines); // the log path it was written for
        Resume values;
        values.audioUrl = fieldOfLine(nextLine(lines));
        values.htmUrl = fieldOfLine(nextLine(lines));
        FieldReader length(nextLine(lines));
        values.firstLength = length.readNumber();
        // A length written from a row is a time of day; anything else is not ours.
        if (values.firstLength < 0 || values.firstLength >= 1)
            return std::nullopt;
        return values;
    } catch (const ReadError&) {
        return std::nullopt;
    }
}
