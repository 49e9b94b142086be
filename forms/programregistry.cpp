#include "programregistry.h"

#include <stdexcept>

Program ProgramEntry::makeProgram(const std::string& directory) const {
    return {title, version, directory, helpFileName, false};
}

CommandLineUsage ProgramEntry::commandLineUsage() const {
    return {name,
            title + ", a program of the Cuemark System. It takes no arguments: its options and "
                    "window positions are kept in the user's settings.",
            {}};
}

std::unique_ptr<ProgramEnvironment> ProgramEntry::makeEnvironment() const {
    return environment ? environment() : std::make_unique<ProgramEnvironment>();
}

const ScriptCommand* ProgramEntry::command(const std::string& word) const {
    for (const ScriptCommand& c : commands) {
        if (c.word == word)
            return &c;
    }
    return nullptr;
}

void ProgramRegistry::add(ProgramEntry entry) {
    if (find(entry.name))
        throw std::logic_error("program " + entry.name + " is registered twice");
    m_entries.push_back(std::move(entry));
}

const ProgramEntry* ProgramRegistry::find(const std::string& name) const {
    for (const ProgramEntry& e : m_entries) {
        if (e.name == name)
            return &e;
    }
    return nullptr;
}

std::string ProgramRegistry::names() const {
    std::string list;
    for (const ProgramEntry& e : m_entries)
        list += (list.empty() ? "" : ", ") + e.name;
    return list;
}
