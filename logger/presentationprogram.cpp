#include "presentationprogram.h"

namespace {

constexpr std::int16_t FirstWindow = 1;

const AutomationRef& held(const AutomationRef& object, const char* what) {
    if (!object)
        throw AutomationError(std::string("No ") + what + " is held");
    return object;
}

} // namespace

PresentationProgram::PresentationProgram(const PowerPointVersion& version, AutomationFactory attach)
    : m_version(version), m_attach(std::move(attach)) {}

AutomationRef PresentationProgram::windowOwner() {
    const AutomationRef& app = held(m_application, "presentation program");
    return m_version.viaAppWindow ? asObject(app->get("AppWindow")) : app;
}

void PresentationProgram::bind(const AutomationFactory& create, bool zoom) {
    m_application = create(m_version.className);
    windowOwner()->put("Visible", true);
    if (zoom)
        windowOwner()->put("WindowState", std::int32_t(m_version.zoomBeforeDialog));
    m_showWindows = asObject(m_application->get("SlideShowWindows"));
}

void PresentationProgram::zoomAfterOpen() {
    windowOwner()->put("WindowState", std::int32_t(m_version.zoomAfterOpen));
}

bool PresentationProgram::bindAgain() {
    if (!m_attach)
        return true;
    try {
        const AutomationRef app = m_attach(m_version.className);
        m_showWindows = asObject(app->get("SlideShowWindows"));
        m_application = app;
        return true;
    } catch (const AutomationError&) {
        // Not back yet: the poll says the program is lost, and the next one asks again.
        return false;
    }
}

std::int32_t PresentationProgram::showCount() {
    return asInt32(held(m_showWindows, "slide show window collection")->get("Count"));
}

std::int16_t PresentationProgram::slideOf(const AutomationRef& window) {
    // The slide's place in the presentation, as the title is read by it: the number a
    // slide displays differs from it in a deck that does not start at 1.
    return asInt16(asObject(asObject(window->get("View"))->get("Slide"))->get("SlideIndex"));
}

std::int16_t PresentationProgram::followFirstWindow() {
    m_showWindow =
        asObject(held(m_showWindows, "slide show window collection")->get("", {FirstWindow}));
    return slideOf(m_showWindow);
}

std::int16_t PresentationProgram::followedSlide() {
    return slideOf(held(m_showWindow, "slide show window"));
}

std::string PresentationProgram::takePresentation() {
    m_presentation =
        asObject(held(m_application, "presentation program")->get("ActivePresentation"));
    return asText(m_presentation->get(m_version.pathProperty));
}

std::string PresentationProgram::slideTitle(std::int16_t slide) {
    AutomationRef part = asObject(held(m_presentation, "presentation")->get("Slides", {slide}));
    const int links = m_version.titleChainLength();
    for (int i = 0; i + 1 < links; ++i)
        part = asObject(part->get(m_version.titleChain[i]));
    return asText(part->get(m_version.titleChain[links - 1]));
}
