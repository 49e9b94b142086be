#pragma once

#include "common/commandline.h"
#include "slides/deckexporter.h"

#include <atomic>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

// What cueslides was asked to do.
struct SlidesRequest {
    int width = 640;
    ImageFormat format = ImageFormat::Gif;
    std::string deck;
    // Empty: the folder the default image pattern points to.
    std::string folder;
};

// Exit statuses: every slide written; some slides failed; nothing written.
inline constexpr int SlidesDone = 0;
inline constexpr int SlidesFailed = 1;
inline constexpr int SlidesRefused = 2;

// cueslides' command line for the one reader (--help shows it); the options may follow the
// deck. SlidesUsageLine is the line shown under a wrong command line.
const CommandLineUsage& slidesCommandLine();
extern const char* const SlidesUsageLine;

// The request a read command line makes. Throws std::invalid_argument with the message for
// a wrong one.
SlidesRequest slidesRequestOf(const CommandLine& line);

// The folder beside the deck named as the image pattern's "{PF}" names it, so pages made
// from a log of this deck find the images unchanged; empty when the name gives none.
std::string defaultImageFolder(const std::string& deckPath);
// "sld001.gif": the pattern's prefix, the three-digit number and the format's extension.
std::string slideImageName(int number, ImageFormat format);

// Writes every slide of the deck into the folder, each file replaced whole or not at all.
// progress, when given, gets one line per slide. Once interrupted is set (from a signal
// handler), no further slide is drawn and the deck is closed.
int exportSlides(const SlidesRequest& request, DeckExporter& exporter, std::ostream& errors,
                 std::ostream* progress, const std::atomic<bool>* interrupted = nullptr);
