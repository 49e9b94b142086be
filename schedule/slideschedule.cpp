#include "slideschedule.h"

#include "common/clocktime.h"
#include "common/text.h"

#include <algorithm>
#include <stdexcept>
#include <string_view>

namespace {

// A whole decimal row number with blanks around it allowed. Values far out of range
// come back as something outside 1..MaxScheduleRows rather than overflowing.
std::optional<long long> parseRowNumber(std::string_view input) {
    const std::string text = Text::trimBlanks(input);
    std::string_view digits = text;
    bool negative = false;
    if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
        negative = digits.front() == '-';
        digits.remove_prefix(1);
    }
    if (digits.empty() || !Text::isDigits(digits))
        return std::nullopt;
    long long value = 0;
    for (const char c : digits) {
        value = value * 10 + (c - '0');
        if (value > 1000000)
            break;
    }
    return negative ? -value : value;
}

// A ClockTime text in whole seconds; anything unreadable counts as no time at all.
long long secondsOrZero(std::string_view text) {
    const auto value = ClockTime::parse(text);
    return value ? ClockTime::toSeconds(*value) : 0;
}

std::string formatSeconds(long long seconds) {
    return ClockTime::format(ClockTime::fromSeconds(seconds));
}

} // namespace

ScheduleRow& SlideSchedule::at(int k) {
    if (k < 1 || k > MaxScheduleRows)
        throw std::out_of_range("No schedule row " + std::to_string(k));
    return m_rows[static_cast<size_t>(k - 1)];
}

const ScheduleRow& SlideSchedule::row(int k) const {
    return const_cast<SlideSchedule*>(this)->at(k);
}

const std::string& SlideSchedule::cell(int k, int column) const {
    return row(k).*ScheduleCells.at(static_cast<size_t>(column - ScheduleColumn::Length));
}

void SlideSchedule::setCell(int k, int column, std::string text) {
    at(k).*ScheduleCells.at(static_cast<size_t>(column - ScheduleColumn::Length)) = std::move(text);
}

std::vector<ScheduleRow> SlideSchedule::rows() const {
    return {m_rows.begin(), m_rows.begin() + std::clamp(m_rowCount, 0, MaxScheduleRows)};
}

bool SlideSchedule::tapeLateFits(const std::string& tapeLate, const std::string& firstLength) {
    // A first slide shorter than the late start of the tape would begin before the
    // recording; refuse before anything is written so the operator can correct either.
    const long long late = secondsOrZero(tapeLate);
    return late == 0 || late <= secondsOrZero(firstLength);
}

UpdateOutcome SlideSchedule::Update(const RowEdit& edit, const TapeOffsets& tape) {
    if (!ClockTime::isValid(edit.length))
        return {UpdateStatus::NotAValidTime};
    const auto number = parseRowNumber(edit.lineNumber);
    if (!number || *number < 1 || *number > MaxScheduleRows)
        return {UpdateStatus::NotAValidLineNumber};
    const int n = static_cast<int>(*number);
    // A row can be edited, or appended directly after the last one, not further down.
    if (n > m_rowCount + 1)
        return {UpdateStatus::BeyondLastRow};
    if (!tapeLateFits(tape.late, n == 1 ? edit.length : row(1).Length))
        return {UpdateStatus::TapeLateTooLong};

    ScheduleRow& r = at(n);
    r.Length = edit.length;
    r.ImageUrl = edit.imageUrl;
    r.Title = edit.title;
    // Row 1 alone is what a resume file keeps; typed texts change the schedule itself.
    if (edit.typed || n != 1)
        m_scheduleEdited = true;
    if (n == 1)
        m_firstRowEdited = true;

    Recompute(tape);

    int end = 2;
    while (end <= MaxScheduleRows && !row(end).Length.empty())
        ++end;
    m_rowCount = std::max(m_rowCount, end - 1);
    return {UpdateStatus::Updated, n, n < MaxScheduleRows ? n + 1 : n};
}

void SlideSchedule::Recompute(const TapeOffsets& tape) {
    // Whole seconds throughout: every Length is a whole number of seconds, and integer
    // sums cannot drift over a hundred rows.
    const long long firstLength = secondsOrZero(row(1).Length);
    const long long tapeLate = secondsOrZero(tape.late);
    const long long tapeEarly = secondsOrZero(tape.early);

    long long start = 0;
    long long stop = firstLength;
    if (tapeLate != 0) {
        stop = firstLength - tapeLate;
    } else if (tapeEarly != 0) {
        start = tapeEarly;
        stop = firstLength + tapeEarly;
    }
    at(1).Start = formatSeconds(start);
    at(1).Stop = formatSeconds(stop);

    long long previous = stop;
    for (int k = 2; k <= MaxScheduleRows && !row(k).Length.empty(); ++k) {
        ScheduleRow& r = at(k);
        const long long rowStop = previous + secondsOrZero(r.Length);
        r.Start = formatSeconds(previous);
        r.Stop = formatSeconds(rowStop);
        previous = rowStop;
    }
}

void SlideSchedule::takeImport(const ImportedLog& log) {
    const int formed = static_cast<int>(std::min<size_t>(log.rows.size(), MaxScheduleRows));
    std::copy_n(log.rows.begin(), formed, m_rows.begin());
    m_savedFirstLength = ClockTime::NotSet;
    if (log.rejection) {
        m_rowCount = 0;
        m_loggedFirstLength = ClockTime::NotSet;
        return;
    }
    m_rowCount = formed;
    clearRowsAfter(formed);
    m_loggedFirstLength = log.loggedFirstLength;
}

UpdateOutcome SlideSchedule::applyResume(double savedFirstLength, const TapeOffsets& tape) {
    // Row 1 keeps its own texts; only its length comes from the file.
    const ScheduleRow& first = row(1);
    const UpdateOutcome outcome =
        Update({"1", ClockTime::format(savedFirstLength), first.ImageUrl, first.Title}, tape);
    if (outcome.status != UpdateStatus::Updated)
        return outcome;
    m_savedFirstLength = savedFirstLength;
    m_scheduleEdited = false;
    m_firstRowEdited = false;
    return outcome;
}

void SlideSchedule::setRowCount(int count) {
    m_rowCount = std::clamp(count, 0, MaxScheduleRows);
}

void SlideSchedule::finishGridRead() {
    clearRowsAfter(m_rowCount);
    m_loggedFirstLength = ClockTime::NotSet;
    m_savedFirstLength = ClockTime::NotSet;
}

void SlideSchedule::clearRowsAfter(int lastRow) {
    for (int k = std::max(lastRow + 1, 1); k <= MaxScheduleRows; ++k)
        at(k) = {};
}
