#include "showscript.h"

#include "common/text.h"
#include "common/textfile.h"

#include <sstream>
#include <utility>

namespace {

// A relative name is taken beside the script, wherever the server was started.
std::string besideScript(const std::string& script, const std::string& name) {
    if (name.find(':') != std::string::npos || name.front() == '\\' || name.front() == '/')
        return name;
    const size_t slash = script.find_last_of("\\/");
    return slash == std::string::npos ? name : script.substr(0, slash + 1) + name;
}

// A slide's text with its breaks as PowerPoint keeps them: a written \r ends a paragraph,
// a written \v breaks a line within one.
std::string withBreaks(std::string text) {
    for (const auto& [escape, code] : {std::pair{"\\r", '\r'}, std::pair{"\\v", '\v'}})
        for (size_t at = text.find(escape); at != std::string::npos; at = text.find(escape, at))
            text.replace(at, 2, 1, code);
    return text;
}

} // namespace

bool ShowScript::load(const std::string& path, std::string& error) {
    std::string bytes;
    try {
        bytes = TextFile::readAll(path);
    } catch (const FileError& e) {
        error = path + ": " + e.what();
        return false;
    }
    std::istringstream lines(bytes);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::string trimmed = Text::trimBlanks(line);
        if (trimmed.empty() || trimmed[0] == '#')
            continue;
        const size_t blank = trimmed.find(' ');
        const std::string word = trimmed.substr(0, blank);
        const std::string rest = blank == std::string::npos ? "" : trimmed.substr(blank + 1);
        std::istringstream fields(rest);
        Step step{0, "", 0};
        if (word == "version") {
            m_version = rest;
        } else if (word == "presentation") {
            m_path = rest;
        } else if (word == "slide") {
            m_titles.emplace_back(rest);
            m_words.emplace_back();
        } else if (word == "untitled") {
            m_titles.emplace_back(std::nullopt);
            m_words.emplace_back();
        } else if (word == "text" && !m_words.empty()) {
            m_words.back().texts.push_back(withBreaks(rest));
        } else if (word == "notes" && !m_words.empty()) {
            m_words.back().notes.push_back(withBreaks(rest));
        } else if (word == "idle" && rest.empty()) {
            m_idle = true;
        } else if (word == "report" && !rest.empty()) {
            m_report = besideScript(path, rest);
        } else if (word == "step" && (fields >> step.polls >> step.action) && step.polls >= 0 &&
                   (step.action == "end" ||
                    (step.action == "busy" && (fields >> step.slide) && step.slide > 0) ||
                    ((step.action == "start" || step.action == "goto") && (fields >> step.slide) &&
                     step.slide >= 1 && step.slide <= static_cast<int>(m_titles.size())))) {
            m_steps.push_back(step);
        } else {
            error = path + " line " + std::to_string(number) + ": cannot read \"" + line + "\"";
            return false;
        }
    }
    return true;
}

void ShowScript::prepare(SubstitutePowerPoint& program) const {
    program.setDeck(m_path, m_titles);
    program.setWords(m_words);
    program.setHoldsPresentation(!m_idle);
    program.setVersion(m_version);
}

int ShowScript::poll(SubstitutePowerPoint& program) {
    int busyMs = 0;
    ++m_pollsSinceStep;
    while (m_next < m_steps.size() && m_pollsSinceStep >= m_steps[m_next].polls) {
        const Step& step = m_steps[m_next++];
        m_pollsSinceStep = 0;
        try {
            if (step.action == "start")
                program.startShow(step.slide);
            else if (step.action == "goto")
                program.gotoSlide(step.slide);
            else if (step.action == "busy")
                busyMs = step.slide;
            else
                program.endShow();
        } catch (const std::exception&) {
            // A step that does not fit the show (goto without a show) is passed over.
        }
    }
    return busyMs;
}
