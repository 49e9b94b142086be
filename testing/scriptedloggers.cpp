#include "scriptedloggers.h"

#include "common/clocktime.h"
#include "common/textfile.h"
#include "forms/scriptcommand.h"
#include "logger/form1.h"
#include "logger/powerpointversion.h"

#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

ScriptLoggerEnvironment& scripted(ProgramEnvironment& env, ScriptContext& context) {
    auto* scriptedEnv = dynamic_cast<ScriptLoggerEnvironment*>(&env);
    if (!scriptedEnv)
        throw ScriptError("this logger does not run on the scripted desktop");
    scriptedEnv->out = &context.out();
    return *scriptedEnv;
}

// Words separated by blanks; a word in double quotes may hold blanks ("Why cache?").
std::vector<std::string> wordsOf(const std::string& args) {
    std::vector<std::string> words;
    for (size_t i = 0; i < args.size();) {
        if (args[i] == ' ' || args[i] == '\t') {
            ++i;
        } else if (args[i] == '"') {
            const size_t close = args.find('"', i + 1);
            if (close == std::string::npos)
                throw ScriptError("a quoted word has no closing quote");
            words.push_back(args.substr(i + 1, close - i - 1));
            i = close + 1;
        } else {
            const size_t end = args.find_first_of(" \t", i);
            words.push_back(args.substr(i, end - i));
            i = end == std::string::npos ? args.size() : end;
        }
    }
    return words;
}

int slideNumber(const std::vector<std::string>& words) {
    if (words.size() != 2 || words[1].empty() || words[1].size() > 4 ||
        words[1].find_first_not_of("0123456789") != std::string::npos)
        throw ScriptError("ppt " + words[0] + " needs one slide number");
    return std::stoi(words[1]);
}

void clockCommand(ScriptContext& context, ProgramEnvironment& env, const std::string& args) {
    ScriptLoggerEnvironment& logger = scripted(env, context);
    if (args == "real") {
        logger.scriptClock.real = true;
        return;
    }
    const auto time = ClockTime::parse(args);
    if (!time || args.size() < 7)
        throw ScriptError("clock needs a time of day HH:MM:SS or real, not \"" + args + "\"");
    logger.scriptClock.real = false;
    logger.scriptClock.manual.now = *time;
}

void tickCommand(ScriptContext& context, ProgramEnvironment& env, const std::string& args) {
    ScriptLoggerEnvironment& logger = scripted(env, context);
    if (!args.empty())
        throw ScriptError("tick takes no argument");
    if (logger.form)
        logger.form->tick(logger.form->Timer1);
}

void pptCommand(ScriptContext& context, ProgramEnvironment& env, const std::string& args) {
    ScriptLoggerEnvironment& logger = scripted(env, context);
    const std::vector<std::string> words = wordsOf(args);
    if (words.empty())
        throw ScriptError("ppt needs deck, start, goto, sound, end, quit, launch, busy, ready, "
                          "unavailable, calls or bindings");
    const std::string& what = words[0];
    const auto beforeProgram = [&] {
        if (logger.form)
            throw ScriptError("ppt " + what + " comes before program");
    };
    const auto noArgument = [&] {
        if (words.size() != 1)
            throw ScriptError("ppt " + what + " takes no argument");
    };
    try {
        if (what == "deck") {
            beforeProgram();
            if (words.size() < 2)
                throw ScriptError("ppt deck needs the presentation's path and its slide titles");
            std::vector<SubstitutePowerPoint::Title> titles;
            for (size_t i = 2; i < words.size(); ++i) {
                if (words[i] == "--empty")
                    titles.emplace_back("");
                else if (words[i] == "--no-title")
                    titles.emplace_back(std::nullopt);
                else
                    titles.emplace_back(words[i]);
            }
            logger.ppt.setDeck(words[1], std::move(titles));
        } else if (what == "start") {
            logger.ppt.startShow(slideNumber(words));
            logger.slideShown(slideNumber(words));
        } else if (what == "goto") {
            logger.ppt.gotoSlide(slideNumber(words));
            logger.slideShown(slideNumber(words));
        } else if (what == "sound") {
            if (words.size() != 3)
                throw ScriptError("ppt sound needs a slide number and a WAVE file");
            logger.transitionSounds[slideNumber({words[0], words[1]})] = words[2];
            logger.openSoundOutput();
        } else if (what == "end") {
            noArgument();
            logger.ppt.endShow();
        } else if (what == "quit") {
            noArgument();
            logger.ppt.quit();
        } else if (what == "launch") {
            noArgument();
            logger.ppt.launch();
        } else if (what == "busy") {
            noArgument();
            logger.ppt.beBusy();
        } else if (what == "ready") {
            noArgument();
            logger.ppt.beReady();
        } else if (what == "unavailable") {
            noArgument();
            beforeProgram();
            logger.ppt.setUnavailable(true);
        } else if (what == "calls") {
            noArgument();
            context.out() << "ppt calls " << logger.ppt.calls() << '\n';
        } else if (what == "bindings") {
            noArgument();
            context.out() << "ppt bindings " << logger.ppt.bindings() << '\n';
        } else {
            throw ScriptError("ppt needs deck, start, goto, sound, end, quit, launch, busy, "
                              "ready, unavailable, calls or bindings, not " +
                              what);
        }
    } catch (const ScriptError&) {
        throw;
    } catch (const std::logic_error& e) {
        throw ScriptError("ppt " + what + ": " + e.what());
    }
}

// Shows a log file line by line, line ends included, so a script checks its bytes.
void logCommand(ScriptContext& context, ProgramEnvironment& env, const std::string& args) {
    scripted(env, context);
    if (args.empty())
        throw ScriptError("log needs the log file's path");
    std::string bytes;
    try {
        bytes = TextFile::readAll(args);
    } catch (const FileError& e) {
        throw ScriptError("log: " + std::string(e.what()));
    }
    for (size_t from = 0; from < bytes.size();) {
        size_t end = bytes.find('\n', from);
        end = end == std::string::npos ? bytes.size() : end + 1;
        context.out() << "log " << context.quoted(bytes.substr(from, end - from)) << '\n';
        from = end;
    }
}

// The logger records from the machine's default sound input.
void audioCommand(ScriptContext& context, ProgramEnvironment& env, const std::string& args) {
    ScriptLoggerEnvironment& logger = scripted(env, context);
    if (args != "input")
        throw ScriptError("audio needs input");
    if (logger.form)
        throw ScriptError("audio input comes before program");
    logger.input = platformAudioInput();
    if (!logger.input)
        throw ScriptError("this build cannot record sound");
}

} // namespace

void ScriptLoggerEnvironment::slideShown(int slide) {
    const auto sound = transitionSounds.find(slide);
    if (sound == transitionSounds.end())
        return;
    try {
        openSoundOutput();
        player->play(sound->second);
    } catch (const std::runtime_error& e) {
        throw ScriptError("ppt: the transition sound of slide " + std::to_string(slide) +
                          " cannot be played: " + e.what());
    }
}

void ScriptLoggerEnvironment::openSoundOutput() {
    // Opened with the first sound given, before the talk: an output opened later makes a
    // sound server change its pace while a recording runs.
    try {
        if (!player)
            player = SoundPlayer::platform();
    } catch (const std::runtime_error& e) {
        throw ScriptError(std::string("ppt sound: no sound output: ") + e.what());
    }
}

void ScriptLoggerEnvironment::beep() {
    if (out)
        *out << "beep\n";
}

void registerScriptedLoggers(ProgramRegistry& registry) {
    for (const PowerPointVersion* version : {&PowerPoint7, &PowerPoint8}) {
        ProgramEntry entry =
            loggerEntry(*version, [] { return std::make_unique<ScriptLoggerEnvironment>(); });
        using When = ScriptCommand::When;
        entry.commands = {
            {"clock", When::Anytime, clockCommand},
            {"tick", When::InProgram, tickCommand},
            {"ppt", When::Anytime, pptCommand},
            {"log", When::Anytime, logCommand},
            {"audio", When::Anytime, audioCommand},
        };
        registry.add(std::move(entry));
    }
}
