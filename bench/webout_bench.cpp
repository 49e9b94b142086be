// "Write HTM, RAM, RAE" for a full talk against plain copies of the same files.
#include "common/clocktime.h"
#include "common/textfile.h"
#include "webout/eventlist.h"
#include "webout/metafiles.h"
#include "webout/pagefiles.h"
#include "webout/pathhelpers.h"
#include "webout/slidepages.h"

#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

constexpr int Rows = 99;
constexpr size_t TemplateBytes = 100 * 1024;

// The shipped templates grown to about 100 KB each with ordinary lines after <body>, and
// the shipped images, in a program folder of their own; 99 rows of a talk.
struct Setup {
    QTemporaryDir programDir;
    QTemporaryDir outputDir;
    QTemporaryDir referenceDir;
    PresentationOutput out;
    std::vector<std::string> images{PageImageNames.begin(), PageImageNames.end()};
    std::vector<std::string> producedNames;

    Setup() {
        const std::string shipped = CUE_TEMPLATE_DIR "/";
        const std::string program = programDir.path().toStdString() + "/";
        for (const char* name :
             {"firstsld.htm", "slides.htm", "lastsld.htm", "preload.htm", "index.htm"}) {
            std::string text = TextFile::readAll(shipped + name);
            std::string filler;
            for (int line = 0; text.size() + filler.size() < TemplateBytes; ++line)
                filler += "<p class=\"note\">Line " + std::to_string(line) +
                          " of the speaker's notes, about as long as a line of prose.</p>\r\n";
            text.insert(text.find('\n', text.find("<body")) + 1, filler);
            TextFile::writeAtomically(program + name, text);
        }
        for (const std::string& image : images)
            TextFile::writeAtomically(program + image, TextFile::readAll(shipped + image));
        for (int i = 1; i <= Rows; ++i) {
            const long long start = (i - 1) * 97;
            out.rows.push_back({"00:01:37", ClockTime::format(ClockTime::fromSeconds(start)),
                                ClockTime::format(ClockTime::fromSeconds(start + 97)),
                                "../talk/sld" + threeDigits(i) + ".gif",
                                "Slide " + std::to_string(i) + ", with a title"});
        }
        out.htmlUrl = "http://www.cuemark.example/talks/talk/";
        out.audioUrl = "pnm://audio.cuemark.example/talks/talk.ra";
        out.outputDirectory = referenceDir.path().toStdString() + "/";
        writeAll();
        for (const QString& name : QDir(referenceDir.path()).entryList(QDir::Files))
            producedNames.push_back(name.toStdString());
        out.outputDirectory = outputDir.path().toStdString() + "/";
    }

    void writeAll() {
        writeAllPages(out, programDir.path().toStdString(), images);
        writeMetafiles(out);
        writeEventList(out);
    }
};

Setup& setup() {
    static Setup s;
    return s;
}

void BM_WriteAllFor99Rows(benchmark::State& state) {
    Setup& s = setup();
    for (auto _ : state)
        s.writeAll();
}
BENCHMARK(BM_WriteAllFor99Rows)->Unit(benchmark::kMillisecond);

// The baseline: the same files with the same bytes, each copied whole through the same
// atomic writer.
void BM_CopySameFilesFor99Rows(benchmark::State& state) {
    Setup& s = setup();
    const std::string from = s.referenceDir.path().toStdString() + "/";
    for (auto _ : state)
        for (const std::string& name : s.producedNames)
            copyOutputFile(from + name, s.out.outputDirectory + name);
}
BENCHMARK(BM_CopySameFilesFor99Rows)->Unit(benchmark::kMillisecond);

} // namespace
