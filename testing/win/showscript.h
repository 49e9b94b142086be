#pragma once

#include "testing/substitutepowerpoint.h"

#include <string>
#include <vector>

// The deck (its slides' titles, texts and notes) and the timed show a test gives the automation
// server: slides, the version it reports, and show steps paced by the client's polls (see
// pptserver.cpp for the format).
class ShowScript {
  public:
    // Reads and checks the file; false with the reason in error.
    bool load(const std::string& path, std::string& error);
    // Gives the program its deck and version.
    void prepare(SubstitutePowerPoint& program) const;
    // One poll of the client: runs the steps that fall due at it. Returns how long the
    // program is to turn calls away from now on (ms), 0 when no busy step fell due.
    int poll(SubstitutePowerPoint& program);
    // Where the server reports its bindings and rejected calls; empty for nowhere.
    const std::string& reportPath() const { return m_report; }

  private:
    struct Step {
        int polls;          // after this many polls since the step before
        std::string action; // start, goto, end or busy
        int slide;          // the milliseconds of a busy step
    };
    std::string m_report;
    std::string m_path;
    std::string m_version = "8.0";
    std::vector<SubstitutePowerPoint::Title> m_titles;
    std::vector<SubstitutePowerPoint::Words> m_words;
    bool m_idle = false;
    std::vector<Step> m_steps;
    size_t m_next = 0;
    int m_pollsSinceStep = 0;
};
