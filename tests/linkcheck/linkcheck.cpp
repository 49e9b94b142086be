// Checks a written presentation offline: every relative href and src in every page of
// the folder must name a file that exists. Prints each page and link that does not, and
// exits 1 if there is one; 2 when the folder holds no page at all.
//
//     linkcheck FOLDER

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The values of href and src attributes, quoted either way or bare.
std::vector<std::string> linksIn(const std::string& page) {
    std::vector<std::string> links;
    const std::string folded = lower(page);
    for (const char* name : {"href", "src"}) {
        const std::string attribute = name;
        for (size_t at = folded.find(attribute); at != std::string::npos;
             at = folded.find(attribute, at + 1)) {
            if (at == 0 || !std::isspace(static_cast<unsigned char>(folded[at - 1])))
                continue;
            size_t p = at + attribute.size();
            while (p < page.size() && std::isspace(static_cast<unsigned char>(page[p])))
                ++p;
            if (p >= page.size() || page[p] != '=')
                continue;
            ++p;
            while (p < page.size() && std::isspace(static_cast<unsigned char>(page[p])))
                ++p;
            if (p >= page.size())
                continue;
            size_t end;
            if (page[p] == '"' || page[p] == '\'') {
                end = page.find(page[p], p + 1);
                ++p;
            } else {
                end = page.find_first_of(" \t\r\n>", p);
            }
            if (end == std::string::npos)
                continue;
            links.push_back(page.substr(p, end - p));
        }
    }
    return links;
}

bool isRelative(const std::string& link) {
    if (link.empty() || link[0] == '#' || link[0] == '/')
        return false;
    const size_t colon = link.find(':');
    const size_t slash = link.find('/');
    return colon == std::string::npos || (slash != std::string::npos && slash < colon);
}

std::string percentDecoded(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() &&
            std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
            out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: linkcheck FOLDER\n";
        return 2;
    }
    const fs::path folder = argv[1];
    int pages = 0;
    int links = 0;
    int broken = 0;
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, ec)) {
        const std::string extension = lower(entry.path().extension().string());
        if (!entry.is_regular_file() || (extension != ".htm" && extension != ".html"))
            continue;
        ++pages;
        std::ifstream in(entry.path(), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        for (std::string link : linksIn(text.str())) {
            if (!isRelative(link))
                continue;
            link = link.substr(0, link.find_first_of("?#"));
            if (link.empty())
                continue;
            ++links;
            if (!fs::is_regular_file(folder / percentDecoded(link))) {
                ++broken;
                std::cout << entry.path().filename().string() << ": " << link << " not found\n";
            }
        }
    }
    if (ec || pages == 0) {
        std::cerr << "linkcheck: no pages in " << folder.string() << "\n";
        return 2;
    }
    std::cout << pages << " pages, " << links << " relative links, " << broken << " broken\n";
    return broken == 0 ? 0 : 1;
}
