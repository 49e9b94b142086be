#include "officefixture.h"

#include <QDir>
#include <QFile>

namespace {

std::string xmlEscaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '\n')
            out += "</text:p><text:p>";
        else
            out += c;
    }
    return out;
}

} // namespace

pid_t officeProcess(const std::string& profileDir) {
    for (const auto& entry : QDir("/proc").entryList(QDir::Dirs)) {
        bool numeric = false;
        const pid_t pid = entry.toInt(&numeric);
        if (!numeric)
            continue;
        QFile cmdline("/proc/" + entry + "/cmdline");
        if (!cmdline.open(QIODevice::ReadOnly))
            continue;
        const QByteArray args = cmdline.readAll();
        if (args.contains("soffice.bin") && args.contains(QByteArray::fromStdString(profileDir)))
            return pid;
    }
    return 0;
}

std::string flatDeck(const std::vector<std::optional<std::string>>& titles) {
    std::vector<FlatPage> pages;
    for (const auto& title : titles)
        pages.push_back({title, std::nullopt, "", ""});
    return deckOfPages(pages);
}

std::string deckOfPages(const std::vector<FlatPage>& deck) {
    std::string pages;
    int n = 0;
    for (const FlatPage& page : deck) {
        const auto& title = page.title;
        pages += "<draw:page draw:name=\"page" + std::to_string(++n) +
                 "\" draw:master-page-name=\"Default\">\n";
        // A text frame comes first, so the title must be looked for.
        pages += "<draw:frame svg:x=\"2cm\" svg:y=\"6cm\" svg:width=\"20cm\" svg:height=\"4cm\">"
                 "<draw:text-box><text:p>" +
                 xmlEscaped(page.body.value_or("Body of page " + std::to_string(n))) +
                 "</text:p></draw:text-box></draw:frame>\n";
        if (title) {
            // A presentation style makes the frame the page's title placeholder.
            pages += "<draw:frame presentation:class=\"title\" presentation:style-name=\"pr1\" "
                     "svg:x=\"2cm\" svg:y=\"1cm\" "
                     "svg:width=\"24cm\" svg:height=\"3cm\"";
            pages += title->empty() ? " presentation:placeholder=\"true\"><draw:text-box/>"
                                    : "><draw:text-box><text:p>" + xmlEscaped(*title) +
                                          "</text:p></draw:text-box>";
            pages += "</draw:frame>\n";
        }
        pages += page.shapes;
        if (!page.notes.empty())
            pages += "<presentation:notes><draw:page-thumbnail presentation:class=\"page\" "
                     "svg:x=\"3cm\" svg:y=\"2cm\" svg:width=\"15cm\" svg:height=\"11cm\"/>"
                     "<draw:frame presentation:class=\"notes\" svg:x=\"2cm\" svg:y=\"14cm\" "
                     "svg:width=\"17cm\" svg:height=\"10cm\"><draw:text-box>" +
                     page.notes + "</draw:text-box></draw:frame></presentation:notes>\n";
        pages += "</draw:page>\n";
    }
    // Without an office:styles element the office drops the page layout for a 16:9 page.
    return R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:draw="urn:oasis:names:tc:opendocument:xmlns:drawing:1.0"
 xmlns:presentation="urn:oasis:names:tc:opendocument:xmlns:presentation:1.0"
 xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"
 xmlns:xlink="http://www.w3.org/1999/xlink"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"
 office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.presentation">
<office:styles/>
<office:automatic-styles>
<style:style style:name="pr1" style:family="presentation"/>
<style:page-layout style:name="PM1"><style:page-layout-properties fo:page-width="28cm" fo:page-height="21cm"/></style:page-layout>
</office:automatic-styles>
<office:master-styles><style:master-page style:name="Default" style:page-layout-name="PM1"/></office:master-styles>
<office:body><office:presentation>
)" + pages +
           "</office:presentation></office:body></office:document>\n";
}
