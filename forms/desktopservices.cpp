#include "desktopservices.h"

#include "windowview.h"

#include <utility>

DesktopServices::DesktopServices(std::string programTitle)
    : m_programTitle(std::move(programTitle)) {}

const std::string& DesktopServices::titleOr(const std::string& title) const {
    return title.empty() ? m_programTitle : title;
}

int DesktopServices::MsgBox(const std::string& text, int style, const std::string& title) {
    return showBox(text, style, titleOr(title));
}

void DesktopServices::SetBusy(bool busy) {
    if (busy == m_busy)
        return;
    m_busy = busy;
    showBusy(busy);
}

int DesktopServices::ScreenWidth() const {
    return screen().width;
}

int DesktopServices::ScreenHeight() const {
    return screen().height;
}

UiServices::Area DesktopServices::WorkArea() const {
    return screen().free;
}

void DesktopServices::ShowModal(Window& window) {
    const std::unique_ptr<WindowView> view = modalView(window);
    showModal(window, view.get());
}

StartResult DesktopServices::StartProcess(const std::string& program,
                                          const std::vector<std::string>& args,
                                          const std::string& workingDirectory) {
    return startDetachedProcess(program, args, workingDirectory);
}
