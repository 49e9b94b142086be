#include "program.h"

Program cuebuildProgram(const std::string& directory)
{
    return {"Cuemark PostProcessor", "Version 1.0.2", directory, false};
}

Program loggerProgram(int powerPointVersion, const std::string& directory)
{
    return {"Cuemark Logger " + std::to_string(powerPointVersion), "Version 1", directory, false};
}
