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
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/util/XModifiable.hpp>
#include <osl/file.hxx>

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

void OfficeDriver::close() {
    Reference<css::util::XCloseable>(m_deck, UNO_QUERY_THROW)->close(true);
    m_deck.clear();
    m_presentation.clear();
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
