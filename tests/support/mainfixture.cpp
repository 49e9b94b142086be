#include "mainfixture.h"

#include "forms/programregistry.h"
#include "schedule/cuebuildprogram.h"
#include "schedule/gridfile.h"

#include <map>

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

void MainFixture::readLog(const std::string& p) {
    ui.queueFile(p);
    main->mnuRdLog_Click();
}

void MainFixture::readGrid(const std::string& p) {
    ui.queueFile(p);
    main->mnuReadGrid_Click();
}

void MainFixture::loadGrid(const std::vector<ScheduleRow>& rows, const std::string& logFile,
                           const std::string& audioUrl, const std::string& htmUrl) {
    readGrid(writeFile(".grid.txt", GridFile::text(logFile, audioUrl, htmUrl, rows)));
}

void MainFixture::updateRow(int k, const std::string& length, const std::string& imageUrl,
                            const std::string& title, bool typed) {
    main->txtLineNum.Text = std::to_string(k);
    main->txtSlideLength.Text = length;
    main->txtIMGURL.Text = imageUrl;
    main->txtSlideTitle.Text = title;
    if (typed) {
        int key = ' ';
        main->txtSlideTitle.KeyPress(key);
    }
    main->cmdUpdate_Click();
}

void MainFixture::useUrlSettings(const UrlSettings& urls) {
    urls.save(settings);
    main->mnuConfig_Click();
}

namespace {

class StateValues : public StateDump {
  public:
    void state(const std::string& name, const std::string& value) override { values[name] = value; }
    void text(const std::string& name, const std::string& text) override { values[name] = text; }
    void row(int, const std::vector<std::string>&) override {}

    std::map<std::string, std::string> values;
};

} // namespace

std::string MainFixture::state(const std::string& name) const {
    StateValues dump;
    main->dumpState(dump);
    const auto it = dump.values.find(name);
    return it == dump.values.end() ? std::string() : it->second;
}
