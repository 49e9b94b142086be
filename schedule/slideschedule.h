#pragma once

#include "common/fieldreader.h"
#include "common/schedulerow.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

// The columns of the grid that shows the schedule: the row number, then one per field of a
// ScheduleRow. Every part of the system names a column by these.
namespace ScheduleColumn {
inline constexpr int RowNumber = 0;
inline constexpr int Length = 1;
inline constexpr int Start = 2;
inline constexpr int Stop = 3;
inline constexpr int ImageUrl = 4;
inline constexpr int Title = 5;
inline constexpr int Count = 6;
} // namespace ScheduleColumn

// The field of each column, Length to Title: ScheduleCells[column - 1].
inline constexpr std::array<std::string ScheduleRow::*, 5> ScheduleCells = {
    &ScheduleRow::Length, &ScheduleRow::Start, &ScheduleRow::Stop, &ScheduleRow::ImageUrl,
    &ScheduleRow::Title};

// What the row editor hands to Update: its texts as they stand, and whether a key was
// typed into the image or title field since the row was selected.
struct RowEdit {
    std::string lineNumber;
    std::string length;
    std::string imageUrl;
    std::string title;
    bool typed = false;
};

// The Tape Early and Tape Late texts; anything that is not a time counts as no offset.
struct TapeOffsets {
    std::string early;
    std::string late;
};

enum class UpdateStatus {
    Updated,
    NotAValidTime,
    NotAValidLineNumber,
    BeyondLastRow,
    TapeLateTooLong
};

struct UpdateOutcome {
    UpdateStatus status = UpdateStatus::Updated;
    // The row written, and the row the editor moves on to (the last row stays put).
    int row = 0;
    int nextRow = 0;
};

// What a log import made of a log: the rows it formed (also when it gave up part way),
// the logged length of the first slide, and why it rejected the log, if it did.
struct ImportedLog {
    std::vector<ScheduleRow> rows;
    double loggedFirstLength = -1;
    std::optional<ReadError> rejection;
};

// The SlideSchedule: rows 1 to MaxScheduleRows, RowCount of them in use, the first
// slide's logged and saved lengths and the edit flags. Rows past RowCount may still hold
// what a rejected import or an earlier Update left there, as the grid showed them.
class SlideSchedule {
  public:
    int RowCount() const { return m_rowCount; }
    // Row k, 1 to MaxScheduleRows.
    const ScheduleRow& row(int k) const;
    const std::string& cell(int k, int column) const;
    // Rows 1 to RowCount, for the grid file and the writers.
    std::vector<ScheduleRow> rows() const;

    double LoggedFirstLength() const { return m_loggedFirstLength; }
    double SavedFirstLength() const { return m_savedFirstLength; }
    bool ScheduleEdited() const { return m_scheduleEdited; }
    bool FirstRowEdited() const { return m_firstRowEdited; }

    // The row editor's Update: writes the row, then runs the Recompute with the tape
    // offsets. A refusal changes nothing.
    UpdateOutcome Update(const RowEdit& edit, const TapeOffsets& tape);
    // Every Start and Stop rebuilt from the Lengths, up to the first empty Length; the
    // offsets shift the first slide once (Tape Late wins over Tape Early).
    void Recompute(const TapeOffsets& tape);
    // False when a Tape Late longer than the first slide would start it before the tape.
    static bool tapeLateFits(const std::string& tapeLate, const std::string& firstLength);

    // A log import's rows replace the table; a rejected one leaves the rows it formed
    // with RowCount 0. Either way no saved first length is left.
    void takeImport(const ImportedLog& log);
    // A resume file's length of row 1: Update runs on row 1 with it, and the schedule then
    // counts as unedited. Refused like Update, with nothing set.
    UpdateOutcome applyResume(double savedFirstLength, const TapeOffsets& tape);

    // The grid file reader fills cells as it reads them, then counts the complete rows.
    void setCell(int k, int column, std::string text);
    void setRowCount(int count);
    // After a whole grid file: the rows past RowCount empty, no first lengths.
    void finishGridRead();
    void markSaved() { m_scheduleEdited = false; }

  private:
    ScheduleRow& at(int k);
    void clearRowsAfter(int lastRow);

    std::array<ScheduleRow, MaxScheduleRows> m_rows;
    int m_rowCount = 0;
    double m_loggedFirstLength = -1;
    double m_savedFirstLength = -1;
    bool m_scheduleEdited = false;
    bool m_firstRowEdited = false;
};
