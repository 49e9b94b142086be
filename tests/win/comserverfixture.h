#pragma once

#include <string>

// The test automation server (pptserver.exe beside the test) registered for one test:
// each registration waits until an earlier server process has ended, so a client never
// reaches a server still playing an earlier show. Unregisters when it goes.
class ComServer {
  public:
    ComServer();
    ~ComServer();
    ComServer(const ComServer&) = delete;
    ComServer& operator=(const ComServer&) = delete;

    // Registers the server under "7", "8", "both" or "free" with this show file text;
    // returns the registration's exit status.
    int registerAs(const std::string& names, const std::string& show);
    void unregister();
    // Ends the server's process at once, as a crash or the task manager would.
    void kill();

  private:
    std::string m_folder;
    int m_shows = 0;
};
