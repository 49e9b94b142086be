#pragma once

#include <stdexcept>
#include <string>

enum class ImageFormat { Gif, Png };

// A failure of the presentation program or of the deck; what() is the message shown.
class DeckError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The slide count and the page's proportions (any unit: only their ratio counts).
struct DeckSize {
    int slides = 0;
    double width = 0;
    double height = 0;
};

// A presentation program that draws the slides of one deck as images.
class DeckExporter {
  public:
    virtual ~DeckExporter() = default;

    // Opens the deck without changing it; throws DeckError when it cannot.
    virtual DeckSize open(const std::string& deckPath) = 0;
    // Draws slide number (from 1) at the given pixel size into imagePath, a new file in a
    // private folder. Throws DeckError.
    virtual void exportSlide(int number, const std::string& imagePath, ImageFormat format,
                             int width, int height) = 0;
    // Closes the deck and lets the program go; never throws.
    virtual void close() = 0;
};
