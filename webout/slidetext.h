#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The words of the slides of a deck, as the slide export writes them beside the images in
// slides.txt: a header line "Cuemark Slide Text", then "slide N" starting slide N and
// "title", "text" and "note" lines belonging to the slide before them, each a keyword, one
// blank and the text to the end of the line.

inline constexpr const char* SlideTextFileName = "slides.txt";
inline constexpr const char* SlideTextHeader = "Cuemark Slide Text";
// A file larger than this is not one the slide export wrote.
inline constexpr size_t MaxSlideTextBytes = 1024 * 1024;

// What a page shows of a slide: its words without the title, which the schedule gives.
struct PageWords {
    std::vector<std::string> text;  // the slide's own lines
    std::vector<std::string> notes; // the speaker's notes
};

// The slides by number; nullopt for a file that is not slide text (no header, a slide
// number that is no number, words before the first slide). Unknown keywords, the slide
// titles (the schedule's titles win) and empty lines are left out. Takes any bytes.
std::optional<std::map<int, PageWords>> readSlideText(std::string_view bytes);

// The number the deck gives a slide image: the digits right before its extension
// (sld008.gif is 8); 0 for a pause image or any name without them.
int deckNumber(std::string_view imageUrl);

// The slides.txt beside a row's image, its URL taken relative to the presentation's
// folder; nullopt for an absolute URL (any scheme, or from the server's root).
std::optional<std::string> slideTextPath(const std::string& outputDirectory,
                                         std::string_view imageUrl);

// The slide texts of a command's rows, each folder's file read once; a missing, unreadable
// or malformed file gives no words, and no message, since the words are optional.
class SlideTextFiles {
  public:
    explicit SlideTextFiles(std::string outputDirectory)
        : m_outputDirectory(std::move(outputDirectory)) {}
    // The words of the slide a row's image shows; empty when there are none.
    const PageWords& wordsFor(std::string_view imageUrl);

  private:
    std::string m_outputDirectory;
    std::map<std::string, std::map<int, PageWords>> m_files;
};
