#include "common/commandline.h"

#include "common/version.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>

#include <iostream>


CommandLine readCommandLine(int argc, const char* const* argv, const CommandLineUsage& usage) {
    // Each byte one character: the options are ASCII, and the arguments go back to the
    // bytes given whatever their encoding.
    QStringList words;
    for (int i = 0; i < argc; ++i)
        words << QString::fromLatin1(argv[i]);
    if (words.isEmpty())
        words << QString::fromStdString(usage.name);

    QCoreApplication::setApplicationName(QString::fromStdString(usage.name));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(CueVersion));
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromStdString(usage.summary));
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    for (const auto& [name, description] : usage.arguments)
        parser.addPositionalArgument(QString::fromStdString(name),
                                     QString::fromStdString(description));

    CommandLine result;
    if (!parser.parse(words))
        result.error = parser.errorText().toStdString();
    // --help-all (Qt's own options too) needs an application; the short help says it all.
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        // Without an application object Qt does not know the program's name.
        const QString text = parser.helpText().replace(QStringLiteral("<executable_name>"),
                                                       QString::fromStdString(usage.name));
        std::cout << text.toStdString() << std::flush;
        result.answered = 0;
    } else if (parser.isSet(version)) {
        std::cout << usage.name << ' ' << CueVersion << '\n' << std::flush;
        result.answered = 0;
    }
    for (const QString& argument : parser.positionalArguments())
        result.arguments.push_back(argument.toLatin1().toStdString());
    return result;
}
