#include "powerpointdeck.h"

#include <algorithm>

namespace {

// The automation class of whichever PowerPoint is installed.
constexpr const char* ApplicationClass = "PowerPoint.Application";
// MsoTriState.
constexpr std::int32_t msoTrue = -1;
constexpr std::int32_t msoFalse = 0;

double number(const AutomationValue& value) {
    if (const auto* d = std::get_if<double>(&value))
        return *d;
    return asInt32(value);
}

// PowerPoint takes Windows paths only.
std::string windowsPath(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

} // namespace

PowerPointDeck::PowerPointDeck(AutomationFactory factory) : m_factory(std::move(factory)) {}

PowerPointDeck::~PowerPointDeck() {
    close();
}

DeckSize PowerPointDeck::open(const std::string& deckPath) {
    try {
        m_app = m_factory(ApplicationClass);
        m_presentations = asObject(m_app->get("Presentations"));
        m_quitAfter = asInt32(m_presentations->get("Count")) == 0;
        m_presentation = asObject(
            m_presentations->call("Open", {windowsPath(deckPath), msoTrue /* ReadOnly */,
                                           msoFalse /* Untitled */, msoFalse /* WithWindow */}));
        DeckSize size;
        size.slides = asInt32(asObject(m_presentation->get("Slides"))->get("Count"));
        const AutomationRef setup = asObject(m_presentation->get("PageSetup"));
        size.width = number(setup->get("SlideWidth"));
        size.height = number(setup->get("SlideHeight"));
        return size;
    } catch (const AutomationError& e) {
        throw DeckError(e.what());
    }
}

void PowerPointDeck::exportSlide(int number, const std::string& imagePath, ImageFormat format,
                                 int width, int height) {
    try {
        const AutomationRef slide =
            asObject(asObject(m_presentation->get("Slides"))->call("Item", {std::int32_t(number)}));
        slide->call("Export", {windowsPath(imagePath),
                               std::string(format == ImageFormat::Gif ? "GIF" : "PNG"),
                               std::int32_t(width), std::int32_t(height)});
    } catch (const AutomationError& e) {
        throw DeckError(e.what());
    }
}

void PowerPointDeck::close() {
    try {
        if (m_presentation)
            m_presentation->call("Close");
        if (m_app && m_quitAfter && asInt32(m_presentations->get("Count")) == 0)
            m_app->call("Quit");
    } catch (const AutomationError&) {
        // A PowerPoint that has gone away has nothing left to close.
    }
    m_presentation.reset();
    m_presentations.reset();
    m_app.reset();
    m_quitAfter = false;
}
