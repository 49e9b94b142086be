#include "logger/slideshowmonitor.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Kind = AutomationError::Kind;

// A presentation program reduced to what a poll reads: the show it runs, the window
// followed, and a reading that fails in the next poll.
struct FakeShow : ShowReader {
    int shows = 0;
    int running = 0; // the number of the show now running; 0 for none
    int slide = 0;
    int followed = -1; // the show whose window was taken
    bool back = true;  // what bindAgain answers
    std::string failing;
    Kind failure = Kind::Refused;
    bool failAlways = false;
    int bindings = 0;
    std::vector<std::string> calls;

    void ask(const std::string& reading) {
        calls.push_back(reading);
        if (reading == failing) {
            if (!failAlways)
                failing.clear();
            throw AutomationError(reading + " failed", failure);
        }
    }
    bool bindAgain() override {
        ++bindings;
        return back;
    }
    std::int32_t showCount() override {
        ask("count");
        return running ? 1 : 0;
    }
    std::int16_t followFirstWindow() override {
        ask("window");
        if (!running)
            throw AutomationError("Integer out of range");
        followed = running;
        return static_cast<std::int16_t>(slide);
    }
    std::int16_t followedSlide() override {
        ask("slide");
        if (followed != running)
            throw AutomationError("disconnected", Kind::Gone);
        return static_cast<std::int16_t>(slide);
    }
    std::string takePresentation() override {
        ask("path");
        return "C:\\q3.ppt";
    }
    std::string slideTitle(std::int16_t n) override {
        ask("title");
        if (n == 3)
            throw AutomationError("This slide has no title placeholder");
        return "T" + std::to_string(n);
    }
};

// One poll: what happens before it, and how its result reads.
struct Step {
    std::string before;
    std::string expected;
};

const char* endName(PollEnd end) {
    switch (end) {
    case PollEnd::Done:
        return "";
    case PollEnd::NotWritten:
        return " end NotWritten";
    case PollEnd::Busy:
        return " end Busy";
    case PollEnd::ProgramLost:
        return " end ProgramLost";
    case PollEnd::CallRefused:
        return " end CallRefused";
    }
    return "?";
}

const char* noticeName(PollNotice notice) {
    const char* names[] = {"",
                           " notice ProgramLost",
                           " notice ProgramBack",
                           " notice Busy",
                           " notice WindowReplaced",
                           " notice CallRefused"};
    return names[static_cast<int>(notice)];
}

const char* stateName(MonitorState state) {
    const char* names[] = {"NoShow", "Showing", "Stopped", "Busy", "ProgramLost"};
    return names[static_cast<int>(state)];
}

std::string described(const PollResult& r, bool written, const SlideShowMonitor& monitor) {
    std::ostringstream out;
    if (r.line) {
        if (r.line->kind == ShowLine::Kind::ShowStopped)
            out << " stopped";
        else
            out << " slide " << r.line->slide << " " << r.line->title;
        if (!written)
            out << " unwritten";
    }
    if (r.beep != ShowBeep::None)
        out << (r.beep == ShowBeep::First ? " beep1" : " beep2");
    if (r.presentationShown)
        out << " path";
    if (r.stoppedAtSlide)
        out << " at " << *r.stoppedAtSlide;
    out << endName(r.end) << noticeName(r.notice) << " " << stateName(monitor.state());
    return out.str().substr(1);
}

// Before a poll: "start N" (a new show), "goto N", "end", "busy|gone|refused READING" (the
// reading fails once, or with "always" until "ready"), "full" (the line is not written),
// "away" and "back" (binding again fails or works).
void prepare(FakeShow& show, bool& diskFull, const std::string& before) {
    std::istringstream words(before);
    std::string word;
    while (words >> word) {
        if (word == "start") {
            show.running = ++show.shows;
            words >> show.slide;
        } else if (word == "goto") {
            words >> show.slide;
        } else if (word == "end") {
            show.running = 0;
        } else if (word == "busy" || word == "gone" || word == "refused") {
            show.failure = word == "busy"   ? Kind::Busy
                           : word == "gone" ? Kind::Gone
                                            : Kind::Refused;
            words >> show.failing;
            show.failAlways = false;
        } else if (word == "always") {
            show.failAlways = true;
        } else if (word == "ready") {
            show.failing.clear();
        } else if (word == "full") {
            diskFull = true;
        } else if (word == "away") {
            show.back = false;
        } else if (word == "back") {
            show.back = true;
        }
    }
}

} // namespace

// Sequences of polls, each step's result as the monitor gives it: the line asked for and
// whether it reached the log, the beep, the labels, why the poll ended, the status notice
// and the state after it.
TEST(SlideShowMonitor, followsTheShowAndNamesWhyAPollEnded) {
    struct Sequence {
        const char* what;
        std::vector<Step> steps;
        int bindings; // polls that bound the program again
    };
    const std::vector<Sequence> sequences = {
        {"a show followed, ended and started again",
         {{"", "NoShow"},
          {"start 2", "slide 2 T2 beep1 path Showing"},
          {"", "Showing"},
          {"goto 1", "slide 1 T1 beep2 Showing"},
          {"goto 3", "slide 3 NO TITLE Showing"},
          {"end", "stopped at 3 Stopped"},
          {"", "Stopped"},
          {"start 5", "slide 5 T5 path Showing"},
          {"goto 4", "slide 4 T4 Showing"}},
         0},
        {"a busy program is asked again, never bound again",
         {{"start 1", "slide 1 T1 beep1 path Showing"},
          {"busy count always", "end Busy notice Busy Busy"},
          {"goto 2", "end Busy Busy"},
          {"ready", "slide 2 T2 beep2 notice ProgramBack Showing"},
          {"busy title goto 4", "end Busy notice Busy Busy"},
          {"", "slide 4 T4 notice ProgramBack Showing"},
          {"busy slide", "end Busy notice Busy Busy"},
          {"", "notice ProgramBack Showing"}},
         0},
        {"a program gone is bound again once back",
         {{"start 1", "slide 1 T1 beep1 path Showing"},
          {"gone count always", "end ProgramLost notice ProgramLost ProgramLost"},
          {"away ready end", "end ProgramLost ProgramLost"},
          {"back", "stopped at 1 notice ProgramBack Stopped"},
          {"start 2", "slide 2 T2 path Showing"}},
         2},
        {"the window followed went away while a show runs",
         {{"start 1", "slide 1 T1 beep1 path Showing"},
          {"end start 4", "slide 4 T4 path notice WindowReplaced Showing"},
          {"goto 5", "slide 5 T5 beep2 Showing"}},
         0},
        {"a refused call leaves the poll undone and says so",
         {{"start 1 refused path", "beep1 end CallRefused notice CallRefused Showing"},
          {"", "slide 1 T1 path Showing"},
          {"refused count", "end CallRefused notice CallRefused Showing"},
          {"end refused window start 2", "end CallRefused notice CallRefused Showing"},
          {"", "slide 2 T2 path Showing"}},
         0},
        {"lines that did not reach the log are asked for again",
         {{"start 1 full", "slide 1 T1 unwritten beep1 path end NotWritten Showing"},
          {"", "slide 1 T1 Showing"},
          {"end full", "stopped unwritten end NotWritten Showing"},
          {"", "stopped at 1 Stopped"}},
         0},
    };
    for (const Sequence& sequence : sequences) {
        SCOPED_TRACE(sequence.what);
        FakeShow show;
        SlideShowMonitor monitor;
        for (const Step& step : sequence.steps) {
            SCOPED_TRACE(step.before);
            bool diskFull = false;
            prepare(show, diskFull, step.before);
            bool written = false;
            const PollResult result = monitor.poll(show, [&](const ShowLine&) {
                written = !diskFull;
                return written;
            });
            EXPECT_EQ(described(result, written, monitor), step.expected);
        }
        EXPECT_EQ(show.bindings, sequence.bindings);
    }
}

// A poll costs only the readings its state needs: Count alone while no show is followed,
// Count and the slide while one is, and a program lost is not asked until bound again.
TEST(SlideShowMonitor, asksOnlyWhatItsStateNeeds) {
    FakeShow show;
    SlideShowMonitor monitor;
    const auto readings = [&](const std::string& before) {
        bool full = false;
        prepare(show, full, before);
        show.calls.clear();
        monitor.poll(show, [](const ShowLine&) { return true; });
        std::string joined;
        for (const std::string& call : show.calls)
            joined += (joined.empty() ? "" : " ") + call;
        return joined;
    };
    EXPECT_EQ(readings(""), "count");
    EXPECT_EQ(readings("start 1"), "count window path title");
    EXPECT_EQ(readings(""), "count slide");
    EXPECT_EQ(readings("goto 2"), "count slide title");
    EXPECT_EQ(readings("gone count away"), "count");
    EXPECT_EQ(readings(""), "");
    EXPECT_EQ(monitor.currentSlide(), 2);
    EXPECT_EQ(monitor.presentationPath(), "C:\\q3.ppt");
    EXPECT_TRUE(monitor.showSeen());
    EXPECT_FALSE(monitor.showStopped());
    EXPECT_FALSE(monitor.secondBeepPending());
}

TEST(SlideShowMonitor, statusTextsNameTheTimeAndTheFailure) {
    const struct {
        PollNotice notice;
        std::string text;
    } cases[] = {
        {PollNotice::None, ""},
        {PollNotice::Busy, "The presentation program is busy since 10:00:02 AM (Call was "
                           "rejected by callee.): the polls go on asking it."},
        {PollNotice::ProgramLost, "The presentation program did not answer at 10:00:02 AM "
                                  "(Call was rejected by callee.): waiting for it to run again."},
        {PollNotice::ProgramBack, "The presentation program answers again since 10:00:02 AM."},
    };
    for (const auto& c : cases) {
        PollResult result;
        result.notice = c.notice;
        result.failure = "Call was rejected by callee.";
        EXPECT_EQ(pollNoticeText(result, "10:00:02 AM"), c.text);
    }
}
