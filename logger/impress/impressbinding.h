#pragma once

#include "logger/automation.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Where and how the loggers reach LibreOffice Impress on a Linux desktop.
struct ImpressOptions {
    // The office's UNO pipe: a local socket under /tmp, never a network port.
    std::string pipeName;
    // Started with an acceptor on the pipe when nobody listens there.
    std::string officeProgram;
    // Further arguments for a started office (a private profile for tests).
    std::vector<std::string> officeArguments;
    // Longest wait for one member call; below the logger's 500 ms poll interval.
    std::chrono::milliseconds callTimeout{250};
    // Longest wait for a started office to listen.
    std::chrono::milliseconds startTimeout{60000};

    // "cuemark-<uid>" and the installed soffice.
    static ImpressOptions defaults();
};

class OfficeSession;

// Binds LibreOffice Impress by the PowerPoint class names: "PowerPoint.Application.7" and
// ".8" give an application object that answers the loggers' members (both versions'
// names) by translating them into UNO calls. The office is reused while its bridge
// lives; after it has quit, the next creation connects (or starts it) again.
class ImpressBinding {
  public:
    explicit ImpressBinding(ImpressOptions options = ImpressOptions::defaults());
    ~ImpressBinding();

    // Throws AutomationError for another class name or when the office cannot be reached.
    AutomationRef create(const std::string& className);
    AutomationFactory factory();

    // Replies read from the office over the current bridge; 0 before the first binding.
    std::uint64_t roundTrips() const;

  private:
    ImpressOptions m_options;
    std::shared_ptr<OfficeSession> m_session;
};

// The Linux factory for the loggers: the PowerPoint class names bind Impress through one
// binding kept for the program's run.
AutomationFactory impressAutomationFactory();
