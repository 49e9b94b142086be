#include "slidetext.h"

#include "common/text.h"
#include "common/textfile.h"
#include "webout/pathhelpers.h"

namespace {

constexpr std::string_view Header = SlideTextHeader;
constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";
// More digits than this are no slide number of a deck.
constexpr size_t MaxNumberDigits = 9;

// The number of a run of digits, leading zeros dropped; nullopt for too many digits.
std::optional<int> numberOf(std::string_view digits) {
    while (digits.size() > 1 && digits.front() == '0')
        digits.remove_prefix(1);
    if (digits.empty() || digits.size() > MaxNumberDigits || !Text::isDigits(digits))
        return std::nullopt;
    return std::stoi(std::string(digits));
}

} // namespace

std::optional<std::map<int, PageWords>> readSlideText(std::string_view bytes) {
    if (bytes.starts_with(Utf8Bom))
        bytes.remove_prefix(Utf8Bom.size());
    std::map<int, PageWords> slides;
    PageWords* current = nullptr;
    LineReader lines = LineReader::fromBytes(std::string(bytes), MaxSlideTextBytes);
    if (lines.atEnd() || !Text::equalsNoCase(lines.next(), Header))
        return std::nullopt;
    while (!lines.atEnd()) {
        const std::string next = lines.next();
        const std::string_view line = next;
        const size_t blank = line.find(' ');
        const std::string_view keyword = line.substr(0, blank);
        const std::string_view value =
            blank == std::string_view::npos ? std::string_view() : line.substr(blank + 1);
        if (Text::equalsNoCase(keyword, "slide")) {
            const std::optional<int> number = numberOf(value);
            if (!number || *number < 1)
                return std::nullopt;
            current = &slides[*number];
            continue;
        }
        const bool words = Text::equalsNoCase(keyword, "text") ||
                           Text::equalsNoCase(keyword, "note") ||
                           Text::equalsNoCase(keyword, "title");
        if (!words)
            continue;
        if (!current)
            return std::nullopt;
        if (value.empty() || Text::equalsNoCase(keyword, "title"))
            continue;
        (Text::equalsNoCase(keyword, "text") ? current->text : current->notes).emplace_back(value);
    }
    return slides;
}

int deckNumber(std::string_view imageUrl) {
    const std::string name = GetFname(imageUrl).fileName;
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot + 1 == name.size())
        return 0;
    for (size_t i = dot + 1; i < name.size(); ++i) {
        const char c = name[i];
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')))
            return 0;
    }
    size_t start = dot;
    while (start > 0 && name[start - 1] >= '0' && name[start - 1] <= '9')
        --start;
    return numberOf(std::string_view(name).substr(start, dot - start)).value_or(0);
}

std::optional<std::string> slideTextPath(const std::string& outputDirectory,
                                         std::string_view imageUrl) {
    if (imageUrl.find(':') != std::string_view::npos || imageUrl.starts_with('/') ||
        imageUrl.starts_with('\\'))
        return std::nullopt;
    return outputDirectory + GetFname(imageUrl).directory + SlideTextFileName;
}

const PageWords& SlideTextFiles::wordsFor(std::string_view imageUrl) {
    static const PageWords none;
    const int number = deckNumber(imageUrl);
    const std::optional<std::string> path = slideTextPath(m_outputDirectory, imageUrl);
    if (number == 0 || !path)
        return none;
    auto file = m_files.find(*path);
    if (file == m_files.end()) {
        std::map<int, PageWords> slides;
        try {
            if (TextFile::exists(*path))
                slides = readSlideText(TextFile::readAll(*path, MaxSlideTextBytes))
                             .value_or(std::map<int, PageWords>{});
        } catch (const FileError&) {
            // An unreadable file gives no words, as a missing one does.
        }
        file = m_files.emplace(*path, std::move(slides)).first;
    }
    const auto slide = file->second.find(number);
    return slide == file->second.end() ? none : slide->second;
}
