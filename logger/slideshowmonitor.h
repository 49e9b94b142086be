#pragma once

#include "logger/automation.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

// What a poll reads from the presentation program. The monitor asks for each reading
// only when its state needs it, so a poll makes the calls the logger is allowed and no
// more. Every reading throws AutomationError when the call fails.
class ShowReader {
  public:
    virtual ~ShowReader() = default;
    // Binds the program again once it was lost; false while it has not come back.
    virtual bool bindAgain() = 0;
    // The number of slide-show windows; 0 when no show runs.
    virtual std::int32_t showCount() = 0;
    // Takes the first slide-show window to follow from now on; the slide it shows.
    virtual std::int16_t followFirstWindow() = 0;
    // The slide shown in the window taken last.
    virtual std::int16_t followedSlide() = 0;
    // Takes the presentation being shown; its path.
    virtual std::string takePresentation() = 0;
    // The title of a slide of that presentation.
    virtual std::string slideTitle(std::int16_t slide) = 0;
};

// A line the monitor asks for: the slide now shown, or the end of the show.
struct ShowLine {
    enum class Kind { Slide, ShowStopped };
    Kind kind = Kind::Slide;
    std::string presentationPath;
    std::int16_t slide = 0;
    std::string title;

    bool operator==(const ShowLine&) const = default;
};

// The states of the watched show and of the program that shows it.
enum class MonitorState {
    NoShow,      // no show seen yet in this run
    Showing,     // a show is being followed
    Stopped,     // the show ended; the log stays open for the next one
    Busy,        // the program turned a call away; the next poll asks again
    ProgramLost, // the program cannot be reached; later polls bind it again
};

// Why a poll ended where it did.
enum class PollEnd {
    Done,        // ran through: whatever was due was written or was not due
    NotWritten,  // the line asked for did not reach the log; a later poll writes it
    Busy,        // a call was turned away as busy: nothing written in this poll
    ProgramLost, // the program cannot be reached, or was not bound again yet
    CallRefused, // a call failed otherwise, as when a show ends between two calls
};

// What the status line is to say after a poll, beside what the line writer says.
enum class PollNotice {
    None,
    ProgramLost,    // the program stopped answering
    ProgramBack,    // it answers again after being lost or busy
    Busy,           // it turned calls away
    WindowReplaced, // the window followed went away while a show runs: the new one is followed
    CallRefused,    // the poll was left undone because a call failed
};

enum class ShowBeep { None, First, Second };

// What one poll asks Form1 to write and to show.
struct PollResult {
    PollEnd end = PollEnd::Done;
    std::optional<ShowLine> line;                 // the line asked for, written or not
    ShowBeep beep = ShowBeep::None;               // sounded if its option is checked
    std::optional<std::string> presentationShown; // the path of a show just detected
    std::optional<std::int16_t> stoppedAtSlide;   // the last slide logged of a show just ended
    PollNotice notice = PollNotice::None;
    std::string failure; // the failed call's own description, when one failed
};

// The status line's text for a poll's notice at a time of day; empty for none.
std::string pollNoticeText(const PollResult& result, const std::string& timeText);

// Follows the first slide show of the presentation program from one poll to the next:
// detects a show, the slide changes and the show's end, and says which lines they give.
// A line counts as logged only once the writer says it reached the log, so one that did
// not is asked for again.
class SlideShowMonitor {
  public:
    // Writes a line; false when it did not reach the log.
    using LineWriter = std::function<bool(const ShowLine&)>;

    PollResult poll(ShowReader& reader, const LineWriter& write);

    MonitorState state() const;
    bool showSeen() const { return m_show != Show::None; }
    bool showStopped() const { return m_show == Show::Stopped; }
    bool secondBeepPending() const { return m_secondBeepPending; }
    // The slide last logged (or being logged) and the path of the show detected last.
    std::int16_t currentSlide() const { return m_currentSlide; }
    const std::string& presentationPath() const { return m_presentationPath; }

  private:
    enum class Show { None, Running, Stopped };
    enum class Program { Answering, Busy, Lost };

    void follow(ShowReader& reader, const LineWriter& write, PollResult& result);
    // Takes the window and the presentation of a show just seen, and logs its slide.
    void detect(ShowReader& reader, const LineWriter& write, PollResult& result,
                PollNotice onceFollowed = PollNotice::None);
    void writeSlide(ShowReader& reader, const LineWriter& write, PollResult& result);
    void abandon(const AutomationError& error, PollResult& result);

    Show m_show = Show::None;
    Program m_program = Program::Answering;
    bool m_secondBeepPending = false;
    // The show detected has not yet had its window and presentation taken.
    bool m_detectionPending = false;
    // The slide now followed has not had its line written.
    bool m_lineOwed = false;
    std::int16_t m_currentSlide = 0;
    std::string m_presentationPath;
};
