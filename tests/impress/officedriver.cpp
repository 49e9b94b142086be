#include "officedriver.h"

#include "logger/impress/officesession.h"

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/presentation/XPresentationSupplier.hpp>
#include <com/sun/star/util/XModifiable.hpp>
#include <osl/file.hxx>

#include <QDir>
#include <QFile>

#include <chrono>
#include <stdexcept>
#include <thread>

using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;
using namespace std::chrono_literals;

namespace {

rtl::OUString u(const std::string& s) {
    return rtl::OUString(s.data(), static_cast<sal_Int32>(s.size()), RTL_TEXTENCODING_UTF8);
}

template <typename Ready> void waitFor(Ready ready, const char* what) {
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (!ready()) {
        if (std::chrono::steady_clock::now() > deadline)
            throw std::runtime_error(std::string("office never got there: ") + what);
        std::this_thread::sleep_for(20ms);
    }
}

std::string xmlEscaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else
            out += c;
    }
    return out;
}

} // namespace

OfficeDriver::OfficeDriver(const std::string& pipeName) {
    auto resolver = css::bridge::UnoUrlResolver::create(localUnoContext());
    m_remote.set(
        resolver->resolve(u("uno:pipe,name=" + pipeName + ";urp;StarOffice.ComponentContext")),
        UNO_QUERY_THROW);
}

void OfficeDriver::load(const std::string& path) {
    rtl::OUString url;
    osl::FileBase::getFileURLFromSystemPath(u(path), url);
    Reference<css::frame::XComponentLoader> loader(css::frame::Desktop::create(m_remote),
                                                   UNO_QUERY_THROW);
    // Named, so detection cannot take the flat file for a drawing.
    css::uno::Sequence<css::beans::PropertyValue> args(1);
    args[0].Name = "FilterName";
    args[0].Value <<= rtl::OUString("OpenDocument Presentation Flat XML");
    m_deck.set(loader->loadComponentFromURL(url, "_default", 0, args), UNO_QUERY_THROW);
    m_presentation.set(Reference<css::presentation::XPresentationSupplier>(m_deck, UNO_QUERY_THROW)
                           ->getPresentation(),
                       UNO_QUERY_THROW);
}

void OfficeDriver::start(const std::string& firstPage) {
    Reference<css::beans::XPropertySet>(m_presentation, UNO_QUERY_THROW)
        ->setPropertyValue("FirstPage", css::uno::Any(u(firstPage)));
    m_presentation->start();
    waitFor([&] { return shownIndex() >= 0; }, "show started");
}

int OfficeDriver::shownIndex() {
    auto controller = m_presentation->getController();
    if (!controller.is() || !controller->isRunning())
        return -1;
    return controller->getCurrentSlideIndex();
}

void OfficeDriver::next() {
    const int target = shownIndex() + 1;
    m_presentation->getController()->gotoNextSlide();
    waitForIndex(target);
}

void OfficeDriver::previous() {
    const int target = shownIndex() - 1;
    m_presentation->getController()->gotoPreviousSlide();
    waitForIndex(target);
}

void OfficeDriver::jumpTo(int index) {
    m_presentation->getController()->gotoSlideIndex(index);
    waitForIndex(index);
}

void OfficeDriver::waitForIndex(int index) {
    waitFor([&] { return shownIndex() == index; }, "slide shown");
}

void OfficeDriver::end() {
    m_presentation->end();
    waitFor([&] { return shownIndex() < 0; }, "show ended");
}

void OfficeDriver::quitOffice() {
    try {
        auto desktop = css::frame::Desktop::create(m_remote);
        // A deck whose show settings changed would ask to be saved and hold the office.
        auto documents = desktop->getComponents()->createEnumeration();
        while (documents->hasMoreElements()) {
            Reference<css::util::XModifiable> document(documents->nextElement(), UNO_QUERY);
            if (document.is())
                document->setModified(false);
        }
        desktop->terminate();
    } catch (const css::uno::Exception&) {
        // The bridge goes down with the office, sometimes before the answer.
    }
}

pid_t officeProcess(const std::string& profileDir) {
    for (const auto& entry : QDir("/proc").entryList(QDir::Dirs)) {
        bool numeric = false;
        const pid_t pid = entry.toInt(&numeric);
        if (!numeric)
            continue;
        QFile cmdline("/proc/" + entry + "/cmdline");
        if (!cmdline.open(QIODevice::ReadOnly))
            continue;
        const QByteArray args = cmdline.readAll();
        if (args.contains("soffice.bin") && args.contains(QByteArray::fromStdString(profileDir)))
            return pid;
    }
    return 0;
}

std::string flatDeck(const std::vector<std::optional<std::string>>& titles) {
    std::string pages;
    int n = 0;
    for (const auto& title : titles) {
        pages += "<draw:page draw:name=\"page" + std::to_string(++n) +
                 "\" draw:master-page-name=\"Default\">\n";
        // A text frame comes first, so the title must be looked for.
        pages += "<draw:frame svg:x=\"2cm\" svg:y=\"6cm\" svg:width=\"20cm\" svg:height=\"4cm\">"
                 "<draw:text-box><text:p>Body of page " +
                 std::to_string(n) + "</text:p></draw:text-box></draw:frame>\n";
        if (title) {
            // A presentation style makes the frame the page's title placeholder.
            pages += "<draw:frame presentation:class=\"title\" presentation:style-name=\"pr1\" "
                     "svg:x=\"2cm\" svg:y=\"1cm\" "
                     "svg:width=\"24cm\" svg:height=\"3cm\"";
            pages += title->empty() ? " presentation:placeholder=\"true\"><draw:text-box/>"
                                    : "><draw:text-box><text:p>" + xmlEscaped(*title) +
                                          "</text:p></draw:text-box>";
            pages += "</draw:frame>\n";
        }
        pages += "</draw:page>\n";
    }
    return R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:draw="urn:oasis:names:tc:opendocument:xmlns:drawing:1.0"
 xmlns:presentation="urn:oasis:names:tc:opendocument:xmlns:presentation:1.0"
 xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"
 xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"
 office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.presentation">
<office:automatic-styles>
<style:style style:name="pr1" style:family="presentation"/>
<style:page-layout style:name="PM1"><style:page-layout-properties fo:page-width="28cm" fo:page-height="21cm"/></style:page-layout>
</office:automatic-styles>
<office:master-styles><style:master-page style:name="Default" style:page-layout-name="PM1"/></office:master-styles>
<office:body><office:presentation>
)" + pages +
           "</office:presentation></office:body></office:document>\n";
}
