#pragma once

#include "slides/deckexporter.h"

#include <memory>

// The slides drawn by LibreOffice Impress's graphic export. It starts an office of its own,
// headless, on a private pipe with a private profile, so neither the operator's office nor
// a logger's show is touched, and ends that office when the deck is closed.
class ImpressDeck : public DeckExporter {
  public:
    ImpressDeck();
    ~ImpressDeck() override;

    DeckSize open(const std::string& deckPath) override;
    void exportSlide(int number, const std::string& imagePath, ImageFormat format, int width,
                     int height) override;
    std::optional<SlideWords> slideWords(int number) override;
    void close() override;

  private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};
