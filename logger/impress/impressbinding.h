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
    // As create, but only for an office that listens and answers already: it never waits
    // for one to start. Once after the office went away it starts one with the acceptor
    // (an office running in the user's profile takes it over), so an office the operator
    // starts again can be reached; a later attach then binds it.
    AutomationRef attach(const std::string& className);
    AutomationFactory attachFactory();

    // Takes the bridge down before the program ends, never waiting longer than `wait`:
    // false when the office did not let go, and the process should end without its
    // static teardown, where the UNO runtime would wait for it again.
    bool shutdown(std::chrono::milliseconds wait);

    // Replies read from the office over the current bridge; 0 before the first binding.
    std::uint64_t roundTrips() const;

  private:
    ImpressOptions m_options;
    std::shared_ptr<OfficeSession> m_session;
    // A session being bound by attach, polls apart.
    std::shared_ptr<OfficeSession> m_pending;
    bool m_launchedSinceLoss = false;
};
