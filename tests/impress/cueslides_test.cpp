// cueslides on a real office: a deck written here, drawn by the program as the operator
// runs it, with its own office that must be gone when it ends.
#include "officefixture.h"
#include "support/testfiles.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <arpa/inet.h>
#include <array>
#include <atomic>
#include <cstdlib>
#include <netinet/in.h>
#include <poll.h>
#include <set>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

struct Result {
    int status = -1;
    std::string errors;
};

// Runs cueslides with its temporary files (the office's profile among them) in tmp; the
// arguments reach it as these bytes.
Result cueslides(const std::vector<std::string>& args, const std::string& tmp) {
    const char* const earlier = std::getenv("TMPDIR");
    const std::string kept = earlier ? earlier : "";
    ::setenv("TMPDIR", tmp.c_str(), 1);
    const TestFiles::ProgramRun run = TestFiles::runProgram(CUE_CUESLIDES, args);
    if (earlier)
        ::setenv("TMPDIR", kept.c_str(), 1);
    else
        ::unsetenv("TMPDIR");
    return {run.exitCode, run.errors};
}

Result cueslides(const QStringList& args, const QString& tmp) {
    std::vector<std::string> bytes;
    for (const QString& arg : args)
        bytes.push_back(QFile::encodeName(arg).toStdString());
    return cueslides(bytes, QFile::encodeName(tmp).toStdString());
}

QByteArray bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The logical screen size a GIF or PNG file declares.
std::pair<int, int> pictureSize(const QByteArray& b) {
    auto at = [&](int i) { return static_cast<unsigned char>(b.at(i)); };
    if (b.startsWith("GIF89a") || b.startsWith("GIF87a"))
        return {at(6) | at(7) << 8, at(8) | at(9) << 8};
    if (b.startsWith("\x89PNG") && b.size() > 24)
        return {at(16) << 24 | at(17) << 16 | at(18) << 8 | at(19),
                at(20) << 24 | at(21) << 16 | at(22) << 8 | at(23)};
    return {0, 0};
}

// Every colour of a GIF's colour tables, global and per image.
std::set<std::array<unsigned char, 3>> gifColours(const QByteArray& b) {
    std::set<std::array<unsigned char, 3>> colours;
    auto at = [&](qsizetype i) -> unsigned char {
        return i < b.size() ? static_cast<unsigned char>(b.at(i)) : 0;
    };
    auto table = [&](qsizetype from, unsigned char flags) {
        const qsizetype n = qsizetype(2) << (flags & 7);
        for (qsizetype k = 0; k < n; ++k)
            colours.insert({at(from + 3 * k), at(from + 3 * k + 1), at(from + 3 * k + 2)});
        return from + 3 * n;
    };
    auto subBlocks = [&](qsizetype i) {
        while (i < b.size() && at(i))
            i += at(i) + 1;
        return i + 1;
    };
    qsizetype i = 13;
    if (at(10) & 0x80)
        i = table(13, at(10));
    while (i < b.size()) {
        if (at(i) == 0x21) {
            i = subBlocks(i + 2);
        } else if (at(i) == 0x2C) {
            const unsigned char flags = at(i + 9);
            i += 10;
            if (flags & 0x80)
                i = table(i, flags);
            i = subBlocks(i + 1);
        } else {
            break;
        }
    }
    return colours;
}

// A listener on 127.0.0.1 that counts the connections made to it.
class Listener {
  public:
    Listener() {
        m_socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        if (::bind(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
            ::listen(m_socket, 16) == 0 &&
            ::getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &size) == 0)
            m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] {
            while (!m_stop) {
                pollfd waiting{m_socket, POLLIN, 0};
                if (::poll(&waiting, 1, 50) == 1) {
                    const int connection = ::accept(m_socket, nullptr, nullptr);
                    if (connection >= 0) {
                        ++m_connections;
                        ::close(connection);
                    }
                }
            }
        });
    }
    ~Listener() {
        m_stop = true;
        m_thread.join();
        ::close(m_socket);
    }
    int port() const { return m_port; }
    int connections() const { return m_connections; }

  private:
    int m_socket = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_connections{0};
    std::thread m_thread;
};

void writeFile(const QString& path, const std::string& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray::fromStdString(bytes));
}

std::string linkedImage(const std::string& url) {
    return "<draw:frame svg:x=\"2cm\" svg:y=\"11cm\" svg:width=\"10cm\" svg:height=\"8cm\">"
           "<draw:image xlink:href=\"" +
           url +
           "\" xlink:type=\"simple\" xlink:show=\"embed\" xlink:actuate=\"onLoad\"/>"
           "</draw:frame>\n";
}

} // namespace

TEST(Cueslides, drawsEachSlideOfADeckAndLeavesNoOfficeRunning) {
    QTemporaryDir dir;
    const QString tmp = dir.filePath("tmp");
    ASSERT_TRUE(QDir().mkpath(tmp));
    ASSERT_TRUE(QDir().mkpath(dir.filePath("my talks")));
    const QString deck = dir.filePath("my talks/lecture 6.fodp");
    {
        QFile f(deck);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray::fromStdString(flatDeck({"Opening", "", std::nullopt,
                                                    "Gr\xC3\xBC\xC3\x9F"
                                                    "e \xE2\x80\x94 \xC3\x9C"
                                                    "bersicht"})));
    }

    struct Case {
        QStringList args;
        QString folder;
        const char* magic;
        std::pair<int, int> size;
    };
    const std::vector<Case> cases = {
        // No folder: beside the deck, named after it as the image pattern names it.
        {{"--width", "320", deck}, dir.filePath("my talks/lecture 6"), "GIF8", {320, 240}},
        {{"--format", "png", "--width", "200", deck, dir.filePath("png out")},
         dir.filePath("png out"),
         "\x89PNG",
         {200, 150}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder.toStdString());
        const Result r = cueslides(c.args, tmp);
        EXPECT_EQ(r.status, 0) << r.errors;
        const QString ext = c.magic[0] == 'G' ? "gif" : "png";
        EXPECT_EQ(QDir(c.folder).entryList(QDir::Files, QDir::Name),
                  QStringList({"sld001." + ext, "sld002." + ext, "sld003." + ext, "sld004." + ext,
                               "slides.txt"}));
        const QStringList files = QDir(c.folder).entryList({"sld*"}, QDir::Files, QDir::Name);
        std::set<QByteArray> pictures;
        for (const QString& name : files) {
            const QByteArray picture = bytes(c.folder + "/" + name);
            EXPECT_TRUE(picture.startsWith(c.magic)) << name.toStdString();
            EXPECT_EQ(pictureSize(picture), c.size) << name.toStdString();
            pictures.insert(picture);
        }
        EXPECT_EQ(pictures.size(), size_t(files.size())) << "two slides drew the same picture";
        EXPECT_EQ(officeProcess(tmp.toStdString()), 0) << "the office was left running";
    }

    const Result missing = cueslides({dir.filePath("my talks/absent.odp")}, tmp);
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.errors.find("absent.odp"), std::string::npos) << missing.errors;
    EXPECT_FALSE(QDir(dir.filePath("my talks/absent")).exists());
}

// A picture the deck links by URL is never fetched, from any host; one it links as a file
// beside it is still drawn.
TEST(Cueslides, fetchesNothingTheDeckLinksByUrlAndDrawsTheFilesItLinks) {
    Listener listener;
    ASSERT_NE(listener.port(), 0);
    const std::string host = "127.0.0.1:" + std::to_string(listener.port());
    QTemporaryDir dir;
    const QString tmp = dir.filePath("tmp");
    ASSERT_TRUE(QDir().mkpath(tmp));
    writeFile(dir.filePath("green.svg"),
              "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"80\" height=\"60\">"
              "<rect width=\"80\" height=\"60\" fill=\"#00ff00\"/></svg>\n");
    const QString deck = dir.filePath("linked.fodp");
    writeFile(deck, deckOfPages({{"A file", "", linkedImage("green.svg")},
                                 {"By http", "", linkedImage("http://" + host + "/x.png")},
                                 {"By https", "", linkedImage("https://" + host + "/y.png")},
                                 {"By WebDAV", "",
                                  linkedImage("vnd.sun.star.webdav://" + host + "/z.png")}}));

    const Result r = cueslides({deck, dir.filePath("images")}, tmp);
    EXPECT_EQ(r.status, 0) << r.errors;
    EXPECT_EQ(listener.connections(), 0) << "the office fetched what the deck links";
    const std::array<unsigned char, 3> green = {0, 255, 0};
    EXPECT_EQ(gifColours(bytes(dir.filePath("images/sld001.gif"))).count(green), 1u)
        << "the linked file was not drawn";
    EXPECT_EQ(gifColours(bytes(dir.filePath("images/sld002.gif"))).count(green), 0u);
}

// A deck named in an 8-bit code page is the deck drawn, never the one whose name is that
// name misread as UTF-8.
TEST(Cueslides, drawsTheDeckAnEightBitNameNamesAndNoOther) {
    TempFolder dir;
    ASSERT_TRUE(dir.isValid());
    const std::string tmp = dir.filePath("tmp");
    ASSERT_TRUE(TestFiles::makePath(tmp));
    const std::string latin1 = dir.filePath("caf\xE9");
    const std::string misread = dir.filePath("caf\xEF\xBF\xBD");
    putFile(latin1 + ".fodp", flatDeck({"One", "Two"}));
    putFile(misread + ".fodp", flatDeck({"One", "Two", "Three"}));

    const Result r = cueslides(std::vector<std::string>{latin1 + ".fodp"}, tmp);
    EXPECT_EQ(r.status, 0) << r.errors;
    EXPECT_EQ(TestFiles::fileNames(latin1),
              (std::set<std::string>{"sld001.gif", "sld002.gif", "slides.txt"}));
    EXPECT_FALSE(TestFiles::exists(misread));
    EXPECT_EQ(officeProcess(tmp), 0) << "the office was left running";
    EXPECT_EQ(TestFiles::names(tmp), std::set<std::string>()) << "a temporary folder was left";
}

// Each slide's words and notes go into slides.txt beside the images: the demo deck's as
// kept beside its images, and a deck of odd text (paragraphs and line breaks in a title,
// text and notes, tabs, non-ASCII letters, a group, a table, empty placeholders).
TEST(Cueslides, writesEachSlidesWordsAndNotesIntoSlidesTxt) {
    QTemporaryDir dir;
    const QString tmp = dir.filePath("tmp");
    ASSERT_TRUE(QDir().mkpath(tmp));
    const std::string frame = "<draw:frame svg:x=\"2cm\" svg:y=\"11cm\" svg:width=\"9cm\" "
                              "svg:height=\"4cm\"><draw:text-box>";
    const std::string odd =
        frame +
        "<text:p>a<text:tab/>b<text:line-break/>c</text:p><text:p/></draw:text-box>"
        "</draw:frame><draw:g>" +
        frame +
        "<text:p>in a group</text:p></draw:text-box></draw:frame></draw:g>"
        "<draw:frame svg:x=\"14cm\" svg:y=\"11cm\" svg:width=\"9cm\" svg:height=\"4cm\">"
        "<table:table><table:table-column table:number-columns-repeated=\"2\"/><table:table-row>"
        "<table:table-cell><text:p>A1</text:p></table:table-cell><table:table-cell><text:p>B1"
        "</text:p></table:table-cell></table:table-row><table:table-row><table:table-cell>"
        "<text:p>A2</text:p></table:table-cell><table:table-cell/></table:table-row>"
        "</table:table></draw:frame>\n";
    writeFile(
        dir.filePath("odd.fodp"),
        deckOfPages({{"Two\nline title",
                      "Gr\xC3\xBC\xC3\x9F"
                      "e \xE2\x80\x94 caf\xC3\xA9",
                      odd, "<text:p>Note one</text:p><text:p/><text:p>Note<text:tab/>two</text:p>"},
                     {std::nullopt, "Only body", "", ""},
                     {"", std::nullopt, "", "<text:p> </text:p>"}}));
    const std::string oddText = "Cuemark Slide Text\r\n"
                                "slide 1\r\n"
                                "title Two\r\n"
                                "title line title\r\n"
                                "text Gr\xC3\xBC\xC3\x9F"
                                "e \xE2\x80\x94 caf\xC3\xA9\r\n"
                                "text a b\r\n"
                                "text c\r\n"
                                "text in a group\r\n"
                                "text A1\r\n"
                                "text B1\r\n"
                                "text A2\r\n"
                                "note Note one\r\n"
                                "note Note two\r\n"
                                "slide 2\r\n"
                                "text Only body\r\n"
                                "slide 3\r\n"
                                "text Body of page 3\r\n";
    struct Case {
        QString deck;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {CUE_SOURCE_DIR "/demo/lecture6.fodp",
         fileBytes(CUE_SOURCE_DIR "/demo/lecture6/slides.txt")},
        {dir.filePath("odd.fodp"), oddText},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.deck.toStdString());
        const QString images = dir.filePath("images");
        QDir(images).removeRecursively();
        const Result r = cueslides({"--width", "160", c.deck, images}, tmp);
        EXPECT_EQ(r.status, 0) << r.errors;
        EXPECT_EQ(bytes(images + "/slides.txt").toStdString(), c.expected);
    }
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
