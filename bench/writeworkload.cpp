#include "writeworkload.h"

#include "common/clocktime.h"
#include "common/filepath.h"
#include "common/textfile.h"
#include "webout/eventlist.h"
#include "webout/metafiles.h"
#include "webout/pagefiles.h"
#include "webout/pathhelpers.h"
#include "webout/slidepages.h"

#include <filesystem>
#include <system_error>

namespace {

constexpr size_t TemplateBytes = 100 * 1024;
constexpr size_t BlockBytes = 64 * 1024;

// Reads a file to its end in blocks, as a copy does; the bytes read.
std::int64_t readThrough(const std::string& path, std::string& block) {
    FileReader reader(path);
    std::int64_t at = 0;
    while (const size_t n = reader.readAt(at, block.data(), block.size()))
        at += static_cast<std::int64_t>(n);
    return at;
}

// Copies a file in blocks through a sink of its bytes.
template <class Sink> void copyThrough(const std::string& path, std::string& block, Sink&& sink) {
    FileReader reader(path);
    std::int64_t at = 0;
    while (const size_t n = reader.readAt(at, block.data(), block.size())) {
        sink(std::string_view(block.data(), n));
        at += static_cast<std::int64_t>(n);
    }
}

} // namespace

// The shipped templates grown to about 100 KB each with ordinary lines after <body>, and
// the shipped images, in a program folder of their own; 99 rows of a talk.
WriteWorkload::WriteWorkload(const std::string& shippedFolder, const std::string& programFolder,
                             const std::string& outputFolder, const std::string& referenceFolder)
    : m_programFolder(programFolder), m_outputFolder(outputFolder + "/"),
      m_referenceFolder(referenceFolder + "/"),
      m_images(PageImageNames.begin(), PageImageNames.end()) {
    const std::string shipped = shippedFolder + "/";
    const std::string program = programFolder + "/";
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
    for (const std::string& image : m_images)
        TextFile::writeAtomically(program + image, TextFile::readAll(shipped + image));
    for (int i = 1; i <= Rows; ++i) {
        const long long start = (i - 1) * 97;
        m_out.rows.push_back({"00:01:37", ClockTime::format(ClockTime::fromSeconds(start)),
                              ClockTime::format(ClockTime::fromSeconds(start + 97)),
                              "../talk/sld" + threeDigits(i) + ".gif",
                              "Slide " + std::to_string(i) + ", with a title"});
    }
    m_out.htmlUrl = "http://www.cuemark.example/talks/talk/";
    m_out.audioUrl = "pnm://audio.cuemark.example/talks/talk.ra";
    writeAllInto(m_referenceFolder);
    // Every file the writers wrote, in the order they write them.
    for (int i = 1; i <= Rows; ++i)
        m_producedNames.push_back(pageFileName(i));
    m_producedNames.push_back("preload.htm");
    m_producedNames.insert(m_producedNames.end(), m_images.begin(), m_images.end());
    m_producedNames.push_back("index.htm");
    m_producedNames.push_back(ChaptersName);
    for (int i = 1; i <= Rows; ++i)
        m_producedNames.push_back(metafileName(i));
    m_producedNames.push_back(EventListName);
    for (const std::string& name : m_producedNames)
        m_bytesWritten +=
            static_cast<std::int64_t>(TextFile::readAll(m_referenceFolder + name).size());
    const std::string prefix = m_programFolder + "/";
    for (int i = 1; i <= Rows; ++i)
        m_readPaths.push_back(prefix + templateNameFor(i, Rows));
    m_readPaths.push_back(prefix + "preload.htm");
    for (const std::string& image : m_images)
        m_readPaths.push_back(prefix + image);
    m_readPaths.push_back(prefix + "index.htm");
}

void WriteWorkload::clearOutput() {
    for (const std::string& name : m_producedNames) {
        std::error_code ignored;
        std::filesystem::remove(TextFile::nativePath(m_outputFolder + name), ignored);
    }
}

void WriteWorkload::writeAllInto(const std::string& outputFolder) {
    m_out.outputDirectory = outputFolder;
    WriteBatch batch;
    writeAllPages(batch, m_out, m_programFolder, m_images);
    writeMetafiles(batch, m_out);
    writeEventList(batch, m_out);
    commitOutputs(batch);
}

void WriteWorkload::writeAll() {
    writeAllInto(m_outputFolder);
}

void WriteWorkload::plainCopy() {
    std::string block(BlockBytes, '\0');
    for (const std::string& name : m_producedNames) {
        StreamFile file(m_outputFolder + name);
        copyThrough(m_referenceFolder + name, block, [&](std::string_view b) { file.append(b); });
        file.close();
    }
}

void WriteWorkload::batchedCopy(WriteBatch::Durability durability) {
    std::string block(BlockBytes, '\0');
    WriteBatch batch(durability);
    for (const std::string& name : m_producedNames) {
        WriteBatch::File& file = batch.add(m_outputFolder + name, WriteBatch::Same::Replace);
        copyThrough(m_referenceFolder + name, block, [&](std::string_view b) { file.write(b); });
        file.finish();
    }
    batch.commit();
}

void WriteWorkload::copyOneSyncPerFile() {
    std::string block(BlockBytes, '\0');
    for (const std::string& name : m_producedNames) {
        AtomicFileWriter file(m_outputFolder + name, AtomicFileWriter::Link::Replace);
        copyThrough(m_referenceFolder + name, block, [&](std::string_view b) { file.write(b); });
        file.commit();
    }
}

void WriteWorkload::readTemplates() {
    std::string block(BlockBytes, '\0');
    for (const std::string& path : m_readPaths)
        readThrough(path, block);
}

void WriteWorkload::readTemplatesAndOutput() {
    readTemplates();
    std::string block(BlockBytes, '\0');
    for (const std::string& name : m_producedNames)
        readThrough(m_outputFolder + name, block);
}

bool WriteWorkload::outputMatchesReference() const {
    for (const std::string& name : m_producedNames) {
        if (!TextFile::exists(m_outputFolder + name) ||
            TextFile::readAll(m_outputFolder + name) != TextFile::readAll(m_referenceFolder + name))
            return false;
    }
    return true;
}
