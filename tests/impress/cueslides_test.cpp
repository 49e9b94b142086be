// cueslides on a real office: a deck written here, drawn by the program as the operator
// runs it, with its own office that must be gone when it ends.
#include "officefixture.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <set>

namespace {

struct Result {
    int status = -1;
    std::string errors;
};

// Runs cueslides with its temporary files (the office's profile among them) in tmp.
Result cueslides(const QStringList& args, const QString& tmp) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TMPDIR", tmp);
    p.setProcessEnvironment(env);
    p.start(CUE_CUESLIDES, args);
    if (!p.waitForFinished(240000)) {
        p.kill();
        p.waitForFinished();
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            p.readAllStandardError().toStdString()};
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
        const QStringList files = QDir(c.folder).entryList(QDir::Files, QDir::Name);
        const QString ext = c.magic[0] == 'G' ? "gif" : "png";
        EXPECT_EQ(files, QStringList(
                             {"sld001." + ext, "sld002." + ext, "sld003." + ext, "sld004." + ext}));
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

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
