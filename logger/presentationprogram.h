#pragma once

#include "logger/automation.h"
#include "logger/powerpointversion.h"
#include "logger/slideshowmonitor.h"

// The presentation program as the logger drives it, through the members of its build's
// table: bound, made visible and zoomed, then read by the polls. It holds the objects
// those calls return: the application, its slide-show windows, the window followed and
// the presentation shown.
class PresentationProgram : public ShowReader {
  public:
    // attach binds a program that runs already; empty, a lost program is asked again
    // through the objects held.
    PresentationProgram(const PowerPointVersion& version, AutomationFactory attach);

    // Creates the program, makes it visible, zooms it before the log dialog when asked,
    // and fetches its slide-show windows. Throws AutomationError.
    void bind(const AutomationFactory& create, bool zoom);
    // The zoom once the log file is open. Throws AutomationError.
    void zoomAfterOpen();

    bool bindAgain() override;
    std::int32_t showCount() override;
    std::int16_t followFirstWindow() override;
    std::int16_t followedSlide() override;
    std::string takePresentation() override;
    std::string slideTitle(std::int16_t slide) override;

  private:
    // The object whose Visible and WindowState this version sets.
    AutomationRef windowOwner();
    std::int16_t slideOf(const AutomationRef& window);

    const PowerPointVersion& m_version;
    AutomationFactory m_attach;
    AutomationRef m_application;
    AutomationRef m_showWindows;
    AutomationRef m_showWindow;
    AutomationRef m_presentation;
};
