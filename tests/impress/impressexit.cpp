// A logger's run against the test office, ended as the loggers end it: bind, poll a few
// times, take the bridge down within a bounded wait, and leave main. Exit status 0 after
// a clean take-down, 3 when the office kept its bridge and the process ended without its
// static teardown.
#include "logger/impress/impressbinding.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: impressexit PIPENAME PROFILEURL\n";
        return 2;
    }
    ImpressOptions options = ImpressOptions::defaults();
    options.pipeName = argv[1];
    options.officeArguments = {std::string("-env:UserInstallation=") + argv[2]};
    options.callTimeout = std::chrono::milliseconds(400);
    ImpressBinding binding(options);
    try {
        auto windows =
            asObject(binding.create("PowerPoint.Application.8")->get("SlideShowWindows"));
        for (int poll = 0; poll < 5; ++poll)
            windows->get("Count");
        std::cout << "bound" << std::endl;
    } catch (const AutomationError& e) {
        std::cerr << e.what() << '\n';
        return 1;
    }
    if (!binding.shutdown(std::chrono::seconds(3))) {
        std::fflush(nullptr);
        std::_Exit(3);
    }
    return 0;
}
