#include "slideshowmonitor.h"

#include "logger/presentationlog.h"

std::string pollNoticeText(const PollResult& result, const std::string& timeText) {
    switch (result.notice) {
    case PollNotice::None:
        return {};
    case PollNotice::ProgramLost:
        return "The presentation program did not answer at " + timeText + " (" + result.failure +
               "): waiting for it to run again.";
    case PollNotice::ProgramBack:
        return "The presentation program answers again since " + timeText + ".";
    case PollNotice::Busy:
        return "The presentation program is busy since " + timeText + " (" + result.failure +
               "): the polls go on asking it.";
    case PollNotice::WindowReplaced:
        return "The slide show window went away at " + timeText +
               ": following the show now running.";
    case PollNotice::CallRefused:
        return "The presentation program refused a call at " + timeText + " (" + result.failure +
               "): that poll was left undone.";
    }
    return {};
}

MonitorState SlideShowMonitor::state() const {
    if (m_program == Program::Lost)
        return MonitorState::ProgramLost;
    if (m_program == Program::Busy)
        return MonitorState::Busy;
    switch (m_show) {
    case Show::None:
        return MonitorState::NoShow;
    case Show::Running:
        return MonitorState::Showing;
    case Show::Stopped:
        break;
    }
    return MonitorState::Stopped;
}

PollResult SlideShowMonitor::poll(ShowReader& reader, const LineWriter& write) {
    PollResult result;
    if (m_program == Program::Lost && !reader.bindAgain()) {
        result.end = PollEnd::ProgramLost;
        return result;
    }
    std::int32_t count = 0;
    try {
        count = reader.showCount();
    } catch (const AutomationError& e) {
        // Only a program that cannot be reached is bound again; a busy one is asked again.
        if (e.kind() == AutomationError::Kind::Gone) {
            result.end = PollEnd::ProgramLost;
            result.failure = e.what();
            if (m_program != Program::Lost)
                result.notice = PollNotice::ProgramLost;
            m_program = Program::Lost;
        } else {
            abandon(e, result);
        }
        return result;
    }
    if (m_program != Program::Answering) {
        m_program = Program::Answering;
        result.notice = PollNotice::ProgramBack;
    }
    // A failure leaves what changed before it changed; the next poll starts afresh.
    try {
        switch (m_show) {
        case Show::None:
            if (count == 0)
                break;
            result.beep = ShowBeep::First;
            m_secondBeepPending = true;
            m_show = Show::Running;
            m_detectionPending = true;
            detect(reader, write, result);
            break;
        case Show::Running:
            if (count != 0) {
                follow(reader, write, result);
                break;
            }
            result.line = ShowLine{ShowLine::Kind::ShowStopped};
            // Not written, the show still counts as running, so the next poll asks again.
            if (write(*result.line)) {
                m_show = Show::Stopped;
                result.stoppedAtSlide = m_currentSlide;
            } else {
                result.end = PollEnd::NotWritten;
            }
            break;
        case Show::Stopped:
            if (count == 0)
                break;
            // A restart sounds no beep and leaves the second one as it was.
            m_show = Show::Running;
            m_detectionPending = true;
            detect(reader, write, result);
            break;
        }
    } catch (const AutomationError& e) {
        abandon(e, result);
    }
    return result;
}

void SlideShowMonitor::follow(ShowReader& reader, const LineWriter& write, PollResult& result) {
    if (m_detectionPending) {
        detect(reader, write, result);
        return;
    }
    std::int16_t shown = 0;
    try {
        shown = reader.followedSlide();
    } catch (const AutomationError& e) {
        if (e.kind() == AutomationError::Kind::Busy)
            throw;
        // The window followed died while a show runs: the show ended and started again
        // between two polls, and the window now first is that new show.
        m_detectionPending = true;
        detect(reader, write, result, PollNotice::WindowReplaced);
        return;
    }
    if (shown == m_currentSlide && !m_lineOwed)
        return;
    if (shown != m_currentSlide && m_secondBeepPending) {
        m_secondBeepPending = false;
        result.beep = ShowBeep::Second;
    }
    m_currentSlide = shown;
    m_lineOwed = true;
    writeSlide(reader, write, result);
}

void SlideShowMonitor::detect(ShowReader& reader, const LineWriter& write, PollResult& result,
                              PollNotice onceFollowed) {
    m_currentSlide = reader.followFirstWindow();
    if (onceFollowed != PollNotice::None)
        result.notice = onceFollowed;
    m_presentationPath = reader.takePresentation();
    m_detectionPending = false;
    result.presentationShown = m_presentationPath;
    m_lineOwed = true;
    writeSlide(reader, write, result);
}

void SlideShowMonitor::writeSlide(ShowReader& reader, const LineWriter& write, PollResult& result) {
    std::string title = PresentationLog::NoTitle;
    try {
        title = reader.slideTitle(m_currentSlide);
    } catch (const AutomationError& e) {
        // A busy program may well have a title: the line waits for the next poll.
        if (e.kind() == AutomationError::Kind::Busy)
            throw;
    }
    result.line = ShowLine{ShowLine::Kind::Slide, m_presentationPath, m_currentSlide, title};
    if (write(*result.line))
        m_lineOwed = false;
    else
        result.end = PollEnd::NotWritten;
}

void SlideShowMonitor::abandon(const AutomationError& error, PollResult& result) {
    result.failure = error.what();
    if (error.kind() == AutomationError::Kind::Busy) {
        result.end = PollEnd::Busy;
        if (m_program != Program::Busy)
            result.notice = PollNotice::Busy;
        m_program = Program::Busy;
    } else {
        result.end = PollEnd::CallRefused;
        result.notice = PollNotice::CallRefused;
    }
}
