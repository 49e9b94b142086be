#include "impressdeck.h"

#include "common/filepath.h"
#include "common/textfile.h"
#include "logger/impress/officesession.h"
#include "slides/fileurl.h"
#include "slides/scratchfolder.h"

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/beans/XPropertySetInfo.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/document/MacroExecMode.hpp>
#include <com/sun/star/document/UpdateDocMode.hpp>
#include <com/sun/star/document/XExporter.hpp>
#include <com/sun/star/document/XFilter.hpp>
#include <com/sun/star/drawing/GraphicExportFilter.hpp>
#include <com/sun/star/drawing/XDrawPagesSupplier.hpp>
#include <com/sun/star/drawing/XShape.hpp>
#include <com/sun/star/drawing/XShapes.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/lang/XServiceInfo.hpp>
#include <com/sun/star/presentation/XPresentationPage.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <com/sun/star/table/XColumnRowRange.hpp>
#include <com/sun/star/table/XTableColumns.hpp>
#include <com/sun/star/table/XTableRows.hpp>
#include <com/sun/star/text/XTextRange.hpp>
#include <com/sun/star/ucb/UniversalContentBroker.hpp>
#include <com/sun/star/ucb/XContentProviderManager.hpp>
#include <com/sun/star/util/XCloseable.hpp>

#include <charconv>
#include <csignal>
#include <filesystem>
#include <thread>
#include <unistd.h>

using css::beans::PropertyValue;
using css::uno::Any;
using css::uno::Reference;
using css::uno::Sequence;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;
using rtl::OUString;

namespace {

using namespace std::chrono_literals;

// Loading a large deck or drawing a busy slide on a loaded machine takes seconds.
constexpr std::chrono::milliseconds CallTimeout = 120s;
constexpr std::chrono::milliseconds StartTimeout = 120s;
constexpr std::chrono::milliseconds EndTimeout = 20s;

// The private profile's settings, in place before the office starts: the content providers
// that reach a network (http, WebDAV, https, FTP, CMIS) leave its content broker, so a
// picture or object the deck links by URL is never fetched, while a linked file on this
// machine still is. The node names are the office's own for those providers.
constexpr const char* OfflineSettings = R"(<?xml version="1.0" encoding="UTF-8"?>
<oor:items xmlns:oor="http://openoffice.org/2001/registry">
<item oor:path="/org.openoffice.ucb.Configuration/ContentProviders/Local/SecondaryKeys/Office/ProviderData"><node oor:name="Provider3" oor:op="remove"/></item>
<item oor:path="/org.openoffice.ucb.Configuration/ContentProviders/Local/SecondaryKeys/Office/ProviderData"><node oor:name="Provider4" oor:op="remove"/></item>
<item oor:path="/org.openoffice.ucb.Configuration/ContentProviders/Local/SecondaryKeys/Office/ProviderData"><node oor:name="Provider6" oor:op="remove"/></item>
<item oor:path="/org.openoffice.ucb.Configuration/ContentProviders/Local/SecondaryKeys/Office/ProviderData"><node oor:name="Provider12" oor:op="remove"/></item>
<item oor:path="/org.openoffice.ucb.Configuration/ContentProviders/Local/SecondaryKeys/Office/ProviderData"><node oor:name="Provider43" oor:op="remove"/></item>
</oor:items>
)";

// Should another office version name those providers otherwise, the deck is not opened.
void refuseNetworkReach(const Reference<css::uno::XComponentContext>& context) {
    const Reference<css::ucb::XContentProviderManager> broker(
        css::ucb::UniversalContentBroker::create(context), UNO_QUERY_THROW);
    for (const char* url :
         {"http://localhost/", "https://localhost/", "ftp://localhost/",
          "vnd.sun.star.webdav://localhost/", "vnd.libreoffice.cmis://localhost/"})
        if (broker->queryContentProvider(OUString::createFromAscii(url)).is())
            throw AutomationError("the presentation program would fetch what the deck links "
                                  "from the network");
}

PropertyValue property(const char* name, const Any& value) {
    PropertyValue p;
    p.Name = OUString::createFromAscii(name);
    p.Value = value;
    return p;
}

Sequence<PropertyValue> properties(std::initializer_list<PropertyValue> values) {
    return Sequence<PropertyValue>(values.begin(), static_cast<sal_Int32>(values.size()));
}

OUString officeUrl(const std::string& path) {
    const std::string url = fileUrlOf(path);
    if (url.empty())
        throw DeckError("the path " + path + " cannot be given to the presentation program");
    return OUString::createFromAscii(url.c_str());
}

// The processes of the office that runs with this profile: soffice, oosplash, soffice.bin.
std::vector<pid_t> officeProcesses(const std::string& profile) {
    std::vector<pid_t> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        const std::string name = entry.path().filename().string();
        pid_t pid = 0;
        const auto [end, failed] = std::from_chars(name.data(), name.data() + name.size(), pid);
        if (failed != std::errc() || end != name.data() + name.size())
            continue;
        try {
            if (TextFile::readAll(entry.path().string() + "/cmdline").find(profile) !=
                std::string::npos)
                found.push_back(pid);
        } catch (const FileError&) {
            // The process has ended since the folder was listed.
        }
    }
    return found;
}

enum class Role { Title, Furniture, Words };

Role roleOf(const Reference<css::lang::XServiceInfo>& shape) {
    if (!shape.is())
        return Role::Words;
    if (shape->supportsService("com.sun.star.presentation.TitleTextShape"))
        return Role::Title;
    // The page's number, date, header and footer, and the notes page's picture of the slide.
    for (const char* kind :
         {"SlideNumberShape", "DateTimeShape", "HeaderShape", "FooterShape", "PageShape"})
        if (shape->supportsService("com.sun.star.presentation." + OUString::createFromAscii(kind)))
            return Role::Furniture;
    return Role::Words;
}

std::string utf8(const OUString& text) {
    const rtl::OString bytes = rtl::OUStringToOString(text, RTL_TEXTENCODING_UTF8);
    return std::string(bytes.getStr(), static_cast<size_t>(bytes.getLength()));
}

// An empty placeholder shows its prompt ("Click to add Title"), which is not the slide's.
bool isEmptyPlaceholder(const Reference<css::beans::XPropertySet>& shape) {
    if (!shape.is() || !shape->getPropertySetInfo()->hasPropertyByName("IsEmptyPresentationObject"))
        return false;
    return shape->getPropertyValue("IsEmptyPresentationObject").get<bool>();
}

// Each text of the shapes in their order (a group's inside it, a table's cell by cell,
// row by row), with the role of the shape that holds it.
void gatherWords(const Reference<css::container::XIndexAccess>& shapes,
                 std::vector<std::pair<Role, std::string>>& out) {
    for (sal_Int32 i = 0; i < shapes->getCount(); ++i) {
        const Reference<css::drawing::XShape> shape(shapes->getByIndex(i), UNO_QUERY);
        if (!shape.is())
            continue;
        const Role role = roleOf({shape, UNO_QUERY});
        if (role == Role::Furniture || isEmptyPlaceholder({shape, UNO_QUERY}))
            continue;
        if (const Reference<css::drawing::XShapes> group(shape, UNO_QUERY); group.is()) {
            gatherWords({group, UNO_QUERY}, out);
            continue;
        }
        // A table's model is its rows and columns of cells.
        const Reference<css::beans::XPropertySet> properties(shape, UNO_QUERY);
        const Reference<css::table::XColumnRowRange> table(
            properties.is() && properties->getPropertySetInfo()->hasPropertyByName("Model")
                ? properties->getPropertyValue("Model")
                : Any(),
            UNO_QUERY);
        const Reference<css::table::XCellRange> cells(table, UNO_QUERY);
        if (table.is() && cells.is()) {
            for (sal_Int32 row = 0; row < table->getRows()->getCount(); ++row)
                for (sal_Int32 column = 0; column < table->getColumns()->getCount(); ++column) {
                    const Reference<css::text::XTextRange> cell(
                        cells->getCellByPosition(column, row), UNO_QUERY);
                    if (cell.is())
                        out.emplace_back(role, utf8(cell->getString()));
                }
            continue;
        }
        if (const Reference<css::text::XTextRange> text(shape, UNO_QUERY); text.is())
            out.emplace_back(role, utf8(text->getString()));
    }
}

} // namespace

// Touched only by jobs on the session's thread.
struct OfficeDeck {
    Reference<css::lang::XComponent> component;
    Reference<css::container::XIndexAccess> pages;
    Reference<css::uno::XComponentContext> context;
    DeckSize size;
};

struct ImpressDeck::Impl {
    std::unique_ptr<ScratchFolder> profile;
    std::shared_ptr<OfficeSession> session;
    std::shared_ptr<OfficeDeck> deck = std::make_shared<OfficeDeck>();

    void endOffice() {
        if (session) {
            try {
                session->run([deck = deck](OfficeView& view) -> AutomationValue {
                    Reference<css::util::XCloseable> closeable(deck->component, UNO_QUERY);
                    deck->pages.clear();
                    deck->context.clear();
                    deck->component.clear();
                    if (closeable.is())
                        closeable->close(true);
                    view.desktop()->terminate();
                    return {};
                });
            } catch (const AutomationError&) {
                // An office that quits as it answers breaks the bridge; it is waited for below.
            }
            session.reset();
        }
        if (!profile)
            return;
        // The profile's URL names this office's processes and no other.
        const std::string marker = fileUrlOf(profile->path());
        const auto deadline = std::chrono::steady_clock::now() + EndTimeout;
        while (!officeProcesses(marker).empty() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(100ms);
        for (pid_t pid : officeProcesses(marker))
            kill(pid, SIGKILL);
        profile.reset();
    }
};

ImpressDeck::ImpressDeck() : m_impl(std::make_unique<Impl>()) {}

ImpressDeck::~ImpressDeck() {
    close();
}

DeckSize ImpressDeck::open(const std::string& deckPath) {
    try {
        m_impl->profile = std::make_unique<ScratchFolder>("cueslides-office");
    } catch (const FileError& e) {
        throw DeckError(std::string("cannot make a folder for the presentation program's "
                                    "profile: ") +
                        e.what());
    }
    try {
        const std::string user = m_impl->profile->filePath("profile/user");
        std::filesystem::create_directories(TextFile::nativePath(user));
        TextFile::writeAtomically(user + "/registrymodifications.xcu", OfflineSettings);
    } catch (const std::exception& e) {
        throw DeckError(std::string("cannot write the presentation program's profile: ") +
                        e.what());
    }
    ImpressOptions options = ImpressOptions::defaults();
    options.pipeName = "cueslides-" + std::to_string(getpid());
    options.officeArguments = {"-env:UserInstallation=" +
                                   fileUrlOf(m_impl->profile->filePath("profile")),
                               "--headless", "--invisible", "--nodefault", "--nolockcheck"};
    options.callTimeout = CallTimeout;
    options.startTimeout = StartTimeout;
    try {
        m_impl->session = OfficeSession::open(options);
    } catch (const AutomationError& e) {
        throw DeckError(std::string("LibreOffice Impress cannot be started: ") + e.what());
    }

    const OUString url = officeUrl(deckPath);
    try {
        m_impl->session->run([deck = m_impl->deck, url](OfficeView& view) -> AutomationValue {
            refuseNetworkReach(view.context());
            Reference<css::frame::XComponentLoader> loader(view.desktop(), UNO_QUERY_THROW);
            // No macro of the deck runs and no link of it is brought up to date.
            const auto arguments = properties(
                {property("Hidden", Any(true)), property("ReadOnly", Any(true)),
                 property("MacroExecutionMode", Any(css::document::MacroExecMode::NEVER_EXECUTE)),
                 property("UpdateDocMode", Any(css::document::UpdateDocMode::NO_UPDATE))});
            deck->component = loader->loadComponentFromURL(url, "_blank", 0, arguments);
            if (!deck->component.is())
                throw AutomationError("the presentation program cannot read it");
            Reference<css::drawing::XDrawPagesSupplier> supplier(deck->component, UNO_QUERY);
            if (!supplier.is())
                throw AutomationError("it is not a presentation");
            deck->pages.set(supplier->getDrawPages(), UNO_QUERY_THROW);
            deck->context = view.context();
            deck->size.slides = deck->pages->getCount();
            if (deck->size.slides > 0) {
                Reference<css::beans::XPropertySet> page(deck->pages->getByIndex(0),
                                                         UNO_QUERY_THROW);
                deck->size.width = page->getPropertyValue("Width").get<sal_Int32>();
                deck->size.height = page->getPropertyValue("Height").get<sal_Int32>();
            }
            return {};
        });
    } catch (const AutomationError& e) {
        throw DeckError(e.what());
    }
    return m_impl->deck->size;
}

void ImpressDeck::exportSlide(int number, const std::string& imagePath, ImageFormat format,
                              int width, int height) {
    if (!m_impl->session)
        throw DeckError("no deck is open");
    const OUString url = officeUrl(imagePath);
    const OUString mediaType =
        format == ImageFormat::Gif ? OUString("image/gif") : OUString("image/png");
    try {
        m_impl->session->run([deck = m_impl->deck, url, mediaType, number, width,
                              height](OfficeView&) -> AutomationValue {
            Reference<css::lang::XComponent> page(deck->pages->getByIndex(number - 1),
                                                  UNO_QUERY_THROW);
            const auto filter = css::drawing::GraphicExportFilter::create(deck->context);
            filter->setSourceDocument(page);
            const auto size = properties({property("PixelWidth", Any(sal_Int32(width))),
                                          property("PixelHeight", Any(sal_Int32(height)))});
            const auto target =
                properties({property("URL", Any(url)), property("MediaType", Any(mediaType)),
                            property("FilterData", Any(size))});
            if (!filter->filter(target))
                throw AutomationError("the presentation program could not draw it");
            return {};
        });
    } catch (const AutomationError& e) {
        throw DeckError(e.what());
    }
}

std::optional<SlideWords> ImpressDeck::slideWords(int number) {
    if (!m_impl->session)
        throw DeckError("no deck is open");
    auto words = std::make_shared<SlideWords>();
    try {
        m_impl->session->run([deck = m_impl->deck, words, number](OfficeView&) -> AutomationValue {
            const Reference<css::container::XIndexAccess> page(deck->pages->getByIndex(number - 1),
                                                               UNO_QUERY_THROW);
            std::vector<std::pair<Role, std::string>> found;
            gatherWords(page, found);
            for (auto& [role, text] : found) {
                if (role != Role::Title)
                    words->texts.push_back(std::move(text));
                else
                    words->title += (words->title.empty() ? "" : "\n") + text;
            }
            found.clear();
            const Reference<css::presentation::XPresentationPage> presentation(page, UNO_QUERY);
            const Reference<css::container::XIndexAccess> notes(
                presentation.is() ? presentation->getNotesPage() : nullptr, UNO_QUERY);
            if (notes.is())
                gatherWords(notes, found);
            // Any text on the notes page is the speaker's but its number, date and heads.
            for (auto& [role, text] : found)
                words->notes.push_back(std::move(text));
            return {};
        });
    } catch (const AutomationError& e) {
        throw DeckError(e.what());
    }
    return *words;
}

void ImpressDeck::close() {
    m_impl->endOffice();
}
