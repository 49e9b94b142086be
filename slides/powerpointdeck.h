#pragma once

#include "logger/automation.h"
#include "slides/deckexporter.h"

// The slides drawn by PowerPoint itself through its automation: the deck is opened
// read-only without a window, and each slide is exported by "Slide.Export".
class PowerPointDeck : public DeckExporter {
  public:
    explicit PowerPointDeck(AutomationFactory factory);
    ~PowerPointDeck() override;

    DeckSize open(const std::string& deckPath) override;
    void exportSlide(int number, const std::string& imagePath, ImageFormat format, int width,
                     int height) override;
    // The title, the other texts and the notes as the slide's shapes hold them.
    std::optional<SlideWords> slideWords(int number) override;
    void close() override;

  private:
    AutomationFactory m_factory;
    AutomationRef m_app;
    AutomationRef m_presentations;
    AutomationRef m_presentation;
    // PowerPoint is one program for the whole desktop: it is quit only when it held no
    // presentation before ours, so the operator's own work is never closed.
    bool m_quitAfter = false;
};
