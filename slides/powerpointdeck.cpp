#include "powerpointdeck.h"

#include "common/eightbittext.h"

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

// MsoShapeType and PpPlaceholderType: a placeholder's kind tells the title from the
// page's furniture (number, date, header, footer), which is not what the slide says.
constexpr std::int32_t msoPlaceholder = 14;
bool isTitle(std::int32_t placeholder) {
    return placeholder == 1 || placeholder == 3 || placeholder == 5;
}
bool isFurniture(std::int32_t placeholder) {
    return placeholder >= 13 && placeholder <= 16;
}

// PowerPoint ends a paragraph with "\r" and breaks a line within one with a vertical tab;
// the words are kept with "\n" for both, as the office on Linux gives them. The automation's
// text comes as 8-bit text and is read as the system reads all of it (EightBitText).
std::string wordsOf(const std::string& text) {
    std::string out = EightBitText::toUtf8(text);
    std::replace(out.begin(), out.end(), '\r', '\n');
    std::replace(out.begin(), out.end(), '\v', '\n');
    return out;
}

enum class Role { Title, Furniture, Words };

// The text of each shape that holds one, in the page's order, with its role.
std::vector<std::pair<Role, std::string>> textsOn(const AutomationRef& page) {
    std::vector<std::pair<Role, std::string>> found;
    const AutomationRef shapes = asObject(page->get("Shapes"));
    const int count = asInt32(shapes->get("Count"));
    for (int i = 1; i <= count; ++i) {
        const AutomationRef shape = asObject(shapes->call("Item", {std::int32_t(i)}));
        if (asInt32(shape->get("HasTextFrame")) == msoFalse)
            continue;
        Role role = Role::Words;
        if (asInt32(shape->get("Type")) == msoPlaceholder) {
            const std::int32_t kind =
                asInt32(asObject(shape->get("PlaceholderFormat"))->get("Type"));
            role = isTitle(kind) ? Role::Title : isFurniture(kind) ? Role::Furniture : Role::Words;
        }
        if (role == Role::Furniture)
            continue;
        const AutomationRef range = asObject(asObject(shape->get("TextFrame"))->get("TextRange"));
        found.emplace_back(role, wordsOf(asText(range->get("Text"))));
    }
    return found;
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

std::optional<SlideWords> PowerPointDeck::slideWords(int number) {
    if (!m_presentation)
        throw DeckError("no deck is open");
    try {
        const AutomationRef slide =
            asObject(asObject(m_presentation->get("Slides"))->call("Item", {std::int32_t(number)}));
        SlideWords words;
        for (auto& [role, text] : textsOn(slide)) {
            if (role != Role::Title)
                words.texts.push_back(std::move(text));
            else
                words.title += (words.title.empty() ? "" : "\n") + text;
        }
        // Any text on the notes page is the speaker's but its number, date and heads; the
        // picture of the slide there holds none.
        for (auto& [role, text] : textsOn(asObject(slide->get("NotesPage"))))
            if (role != Role::Title)
                words.notes.push_back(std::move(text));
        return words;
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
