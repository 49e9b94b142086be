#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

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

// What one slide says, as UTF-8 texts in which a line break may stand: its title, its
// other text shapes in reading order, and its speaker notes.
struct SlideWords {
    std::string title;
    std::vector<std::string> texts;
    std::vector<std::string> notes;
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
    // The words of slide number (from 1); nullopt from a program whose words are not read.
    // Throws DeckError.
    virtual std::optional<SlideWords> slideWords(int number) { return std::nullopt; }
    // Closes the deck and lets the program go; never throws.
    virtual void close() = 0;
};
