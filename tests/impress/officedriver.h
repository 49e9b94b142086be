#pragma once

#include <string>

#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/presentation/XPresentation2.hpp>
#include <com/sun/star/presentation/XSlideShowController.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

// The presenter's hands in the office tests: loads a deck and runs its show over a bridge
// of its own, waiting after each step until the office shows its effect.
class OfficeDriver {
  public:
    explicit OfficeDriver(const std::string& pipeName);

    void load(const std::string& path);
    // Starts the show at the named page (the first one when empty).
    void start(const std::string& firstPage = {});
    void next();
    void previous();
    void jumpTo(int index);
    void end();
    // Closes the deck without saving it.
    void close();
    // Index of the shown slide in the running show; -1 when none runs.
    int shownIndex();
    void quitOffice();

  private:
    void waitForIndex(int index);

    css::uno::Reference<css::uno::XComponentContext> m_remote;
    css::uno::Reference<css::frame::XModel> m_deck;
    css::uno::Reference<css::presentation::XPresentation2> m_presentation;
};
