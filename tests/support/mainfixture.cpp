#include "mainfixture.h"

#include "forms/programregistry.h"
#include "schedule/cuebuildprogram.h"

MainFixture::MainFixture()
    : program(cuebuildEntry().makeProgram(CUE_RUNTIME_DIR)),
      main(std::make_unique<Main>(ui, settings, program)) {}

void MainFixture::start() {
    main->load();
}

std::string MainFixture::path(const std::string& name) const {
    return dir.filePath(name);
}

std::string MainFixture::writeFile(const std::string& name, const std::string& bytes) const {
    const std::string p = path(name);
    putFile(p, bytes);
    return p;
}

std::string MainFixture::readFile(const std::string& p) const {
    return fileBytes(p);
}
