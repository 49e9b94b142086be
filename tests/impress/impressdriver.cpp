// The presenter in the office tests, as a program of its own: it drives the show over its
// own bridge, since a second bridge to the same office in the logger's process would
// share its objects' identities with the logger's bridge. One command a line on standard
// input; each answers "ok" or "error TEXT".
#include "officedriver.h"

#include <com/sun/star/uno/Exception.hpp>

#include <iostream>
#include <memory>
#include <sstream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: impressdriver PIPENAME\n";
        return 2;
    }
    std::unique_ptr<OfficeDriver> driver;
    std::string line;
    while (std::getline(std::cin, line)) {
        std::istringstream words(line);
        std::string command, argument;
        words >> command;
        std::getline(words >> std::ws, argument);
        try {
            if (!driver)
                driver = std::make_unique<OfficeDriver>(argv[1]);
            if (command == "load")
                driver->load(argument);
            else if (command == "start")
                driver->start(argument);
            else if (command == "next")
                driver->next();
            else if (command == "previous")
                driver->previous();
            else if (command == "jump")
                driver->jumpTo(std::stoi(argument));
            else if (command == "end")
                driver->end();
            else if (command == "close")
                driver->close();
            else if (command == "quit")
                driver->quitOffice();
            else
                throw std::runtime_error("unknown command " + command);
            std::cout << "ok" << std::endl;
        } catch (const css::uno::Exception& e) {
            std::cout << "error "
                      << rtl::OUStringToOString(e.Message, RTL_TEXTENCODING_UTF8).getStr()
                      << std::endl;
        } catch (const std::exception& e) {
            std::cout << "error " << e.what() << std::endl;
        }
    }
    return 0;
}
