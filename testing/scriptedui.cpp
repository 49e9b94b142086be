#include "scriptedui.h"

#include "forms/window.h"

void ScriptedUi::record(UiEvent event) {
    events.push_back(event);
    if (onEvent)
        onEvent(events.back());
}

std::vector<std::string> ScriptedUi::boxTexts() const {
    std::vector<std::string> texts;
    for (const UiEvent& e : events) {
        if (e.kind == UiEvent::Kind::MessageBox)
            texts.push_back(e.text);
    }
    return texts;
}

int ScriptedUi::countOf(UiEvent::Kind kind) const {
    int n = 0;
    for (const UiEvent& e : events)
        n += e.kind == kind;
    return n;
}

int ScriptedUi::MsgBox(const std::string& text, int style, const std::string& title) {
    int answer = Mb::defaultAnswer(style);
    if (m_answers.empty() && whileBoxUp)
        whileBoxUp();
    if (!m_answers.empty()) {
        answer = m_answers.front();
        m_answers.pop_front();
        if (!Mb::hasAnswer(style, answer))
            throw UnfitAnswer("the queued answer fits no button of the box \"" + text + "\"");
    }
    UiEvent event{UiEvent::Kind::MessageBox, text, title.empty() ? m_programTitle : title};
    event.style = style;
    event.answer = answer;
    record(event);
    return answer;
}

bool ScriptedUi::ShowFileDialog(CommonDialog& dialog, FileDialogKind kind) {
    std::optional<std::string> chosen;
    if (!m_files.empty()) {
        chosen = m_files.front();
        m_files.pop_front();
    }
    UiEvent event{UiEvent::Kind::FileDialog, dialog.DialogTitle};
    event.dialogKind = kind;
    event.filter = dialog.Filter;
    event.filterIndex = dialog.FilterIndex;
    event.cancelError = dialog.CancelError;
    event.chosen = chosen;
    record(event);
    if (!chosen)
        return false;
    dialog.FileName = *chosen;
    return true;
}

void ScriptedUi::ShowHelp(const CommonDialog& dialog) {
    UiEvent event{UiEvent::Kind::Help, dialog.HelpFile};
    event.style = dialog.HelpCommand;
    record(event);
}

void ScriptedUi::EnterWhatsThisMode(Window& window) {
    record({UiEvent::Kind::WhatsThis, window.name()});
}

void ScriptedUi::SetBusy(bool on) {
    busy = on;
    ++busyChanges;
}

void ScriptedUi::ShowModal(Window& window) {
    record({UiEvent::Kind::Modal, window.name()});
    window.load();
    if (onModal) {
        onModal(window);
        return;
    }
    // A timer that never closes the window must not keep the script waiting forever.
    for (int ticks = 0; !window.isClosed(); ++ticks) {
        if (ticks < 1000 && window.tickTimers())
            continue;
        if (!window.requestClose())
            break;
    }
}

StartResult ScriptedUi::StartProcess(const std::string& program,
                                     const std::vector<std::string>& args,
                                     const std::string& workingDirectory) {
    UiEvent event{UiEvent::Kind::Process, program};
    event.args = args;
    event.workingDirectory = workingDirectory;
    record(event);
    return runProcess ? runProcess(event) : StartResult{};
}
