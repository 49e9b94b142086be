#include "mainfixture.h"

#include "common/programregistry.h"
#include "schedule/cuebuildprogram.h"

#include <QFile>

MainFixture::MainFixture()
    : program(cuebuildEntry().makeProgram(CUE_RUNTIME_DIR)),
      main(std::make_unique<Main>(ui, settings, program)) {}

void MainFixture::start() {
    main->load();
}

std::string MainFixture::path(const std::string& name) const {
    return dir.filePath(QString::fromStdString(name)).toStdString();
}

std::string MainFixture::writeFile(const std::string& name, const std::string& bytes) const {
    const std::string p = path(name);
    QFile file(QString::fromStdString(p));
    if (!file.open(QIODevice::WriteOnly))
        throw std::runtime_error("cannot write " + p);
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    return p;
}

std::string MainFixture::readFile(const std::string& p) const {
    QFile file(QString::fromStdString(p));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll().toStdString();
}
