#pragma once

#include "forms/uiservices.h"

#include <deque>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

// A queued answer that names no button of the box it reached: the script or test that
// queued it is out of step with the program.
class UnfitAnswer : public std::logic_error {
  public:
    using std::logic_error::logic_error;
};

// One thing the operator would have seen.
struct UiEvent {
    enum class Kind { MessageBox, FileDialog, Help, WhatsThis, Modal, Process };
    Kind kind;
    std::string text;  // box text, dialog title, help file, window name or program
    std::string title; // box title as shown: the program's title when none was given
    int style = 0;
    int answer = 0; // the box's result
    FileDialogKind dialogKind = FileDialogKind::Open;
    std::string filter;
    int filterIndex = 0;
    bool cancelError = false;
    std::optional<std::string> chosen; // the dialog's answer; empty when cancelled
    std::vector<std::string> args;     // a started program's arguments
    std::string workingDirectory;      // and its working folder
};

// User-interface services that answer from queues and record every call, so window
// models run without a display. A box without a queued answer takes its default button;
// a file dialog without one is cancelled.
class ScriptedUi : public UiServices {
  public:
    explicit ScriptedUi(std::string programTitle) : m_programTitle(std::move(programTitle)) {}

    void queueAnswer(int result) { m_answers.push_back(result); }
    void queueFile(std::string path) { m_files.emplace_back(std::move(path)); }
    void queueCancel() { m_files.emplace_back(std::nullopt); }

    // Drives a modal window once it is loaded. Without it, enabled timers tick until the
    // window closes, and a window no timer closes is closed as by its close box.
    std::function<void(Window&)> onModal;
    // When set, a box without a queued answer stays up while this runs (time may pass,
    // timers tick) and then takes the answer queued meanwhile, else its default button.
    std::function<void()> whileBoxUp;
    // Told of every event as it happens.
    std::function<void(const UiEvent&)> onEvent;
    // Runs a started program; without it a start is only recorded and succeeds.
    std::function<StartResult(const UiEvent&)> runProcess;

    std::vector<UiEvent> events;
    int screenWidth = 15360;
    int screenHeight = 11520;
    bool busy = false;
    int busyChanges = 0;

    // The texts of the message boxes shown, in order.
    std::vector<std::string> boxTexts() const;
    int countOf(UiEvent::Kind kind) const;
    void clearEvents() { events.clear(); }
    bool answersLeft() const { return !m_answers.empty() || !m_files.empty(); }
    bool hasBoxAnswer() const { return !m_answers.empty(); }

    int MsgBox(const std::string& text, int style = Mb::OKOnly,
               const std::string& title = {}) override;
    bool ShowFileDialog(CommonDialog& dialog, FileDialogKind kind) override;
    void ShowHelp(const CommonDialog& dialog) override;
    void EnterWhatsThisMode(Window& window) override;
    void SetBusy(bool on) override;
    int ScreenWidth() const override { return screenWidth; }
    int ScreenHeight() const override { return screenHeight; }
    void ShowModal(Window& window) override;
    StartResult StartProcess(const std::string& program, const std::vector<std::string>& args,
                             const std::string& workingDirectory) override;

  private:
    void record(UiEvent event);

    std::string m_programTitle;
    std::deque<int> m_answers;
    std::deque<std::optional<std::string>> m_files;
};
