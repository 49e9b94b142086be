#include "officesession.h"

#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/presentation/XPresentationSupplier.hpp>

using css::uno::Reference;
using css::uno::UNO_QUERY;

OfficeView::OfficeView(Reference<css::frame::XDesktop> desktop,
                       Reference<css::uno::XComponentContext> context)
    : m_desktop(std::move(desktop)), m_context(std::move(context)) {}

int OfficeView::showCount() {
    if (m_controller.is()) {
        if (stillShowing())
            return 1;
        // The show has just ended; other documents are looked at from the next poll on.
        m_ended = m_controller;
        m_controller.clear();
        return 0;
    }
    if (takeController())
        return 1;
    const Reference<css::lang::XComponent> current = m_desktop->getCurrentComponent();
    if (!current.is())
        return 0;
    // A proxy stands for one remote object, so the same document gives the same pointer.
    if (current.get() != m_watchedComponent.get()) {
        // A show already running in it is seen by the next poll, which keeps this one
        // within its round trips.
        watch(current);
        return 0;
    }
    if (m_watched >= 0)
        m_location = readLocation(m_documents[m_watched]);
    return 0;
}

// The shown slide answers whether the show still runs, and the slide number read next in
// the same poll needs it anyway.
bool OfficeView::stillShowing() {
    try {
        m_shownPage = m_controller->getCurrentSlide();
        // The closing black screen shows no slide while the show still runs.
        return m_shownPage.is() || m_controller->isRunning();
    } catch (const css::lang::DisposedException&) {
        m_shownPage.clear();
        return false;
    }
}

int OfficeView::shownSlideNumber(int generation) {
    auto shown = controller(generation);
    auto page = m_shownPage.is() ? m_shownPage : shown->getCurrentSlide();
    m_shownPage.clear();
    if (!page.is())
        throw AutomationError("No slide is shown");
    auto& entry = m_pageProperties[page.get()];
    if (!entry.second.is())
        entry = {page, Reference<css::beans::XPropertySet>(page, css::uno::UNO_QUERY_THROW)};
    sal_Int16 number = 0;
    entry.second->getPropertyValue("Number") >>= number;
    return number;
}

bool OfficeView::takeController() {
    if (!m_presentation.is())
        return false;
    Reference<css::presentation::XSlideShowController> controller;
    try {
        controller = m_presentation->getController();
    } catch (const css::lang::DisposedException&) {
        // The watched deck was closed: look for another from here on.
        m_watchedComponent.clear();
        m_presentation.clear();
        m_watched = -1;
        return false;
    }
    if (!controller.is() || controller.get() == m_ended.get())
        return false;
    m_controller = controller;
    m_shownPage.clear();
    ++m_generation;
    return true;
}

bool OfficeView::watch(const Reference<css::lang::XComponent>& component) {
    m_watchedComponent = component;
    m_presentation.clear();
    m_controller.clear();
    m_watched = -1;
    Reference<css::presentation::XPresentationSupplier> supplier(component, UNO_QUERY);
    Reference<css::frame::XModel> model(component, UNO_QUERY);
    if (!supplier.is() || !model.is())
        return false;
    m_presentation.set(supplier->getPresentation(), UNO_QUERY);
    m_documents.push_back(model);
    m_watched = static_cast<int>(m_documents.size()) - 1;
    m_location = readLocation(model);
    return m_presentation.is();
}

int OfficeView::activeDocument() {
    if (m_watched < 0) {
        const Reference<css::lang::XComponent> current = m_desktop->getCurrentComponent();
        if (current.is() && current.get() != m_watchedComponent.get())
            watch(current);
        if (m_watched < 0)
            throw AutomationError("No presentation is open");
    }
    return m_watched;
}

Reference<css::frame::XModel> OfficeView::document(int id) const {
    if (id < 0 || id >= static_cast<int>(m_documents.size()))
        throw AutomationError("No presentation is open");
    return m_documents[id];
}

std::string OfficeView::location(int id) {
    return id == m_watched ? m_location : readLocation(document(id));
}

std::string OfficeView::readLocation(const Reference<css::frame::XModel>& model) {
    return systemPath(model->getURL());
}

Reference<css::presentation::XSlideShowController> OfficeView::controller(int generation) const {
    if (generation != m_generation || !m_controller.is())
        throw AutomationError("The slide show window is gone");
    return m_controller;
}
