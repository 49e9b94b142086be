#pragma once

#include <filesystem>
#include <set>
#include <string>
#include <vector>

// Files and folders for tests on every platform. Names are the program's 8-bit bytes and
// reach the system as the program's own file layer passes them, so a test that makes
// "caf\xE9" finds the file the program wrote under that name.
namespace TestFiles {

// The bytes as a path the standard library opens: unchanged on POSIX, the ANSI code page
// widened on Windows.
std::filesystem::path native(const std::string& bytes);
std::string bytesOf(const std::filesystem::path& path);

bool exists(const std::string& path); // anything at all stands there
bool makePath(const std::string& folder);
bool copy(const std::string& from, const std::string& to);
bool rename(const std::string& from, const std::string& to);
bool remove(const std::string& path);
// Copies the plain files of a folder, but the ones named, into another (made if missing).
bool copyFiles(const std::string& from, const std::string& to,
               const std::vector<std::string>& except = {});
// Everything in a folder, or its plain files only, by name.
std::set<std::string> names(const std::string& folder);
std::set<std::string> fileNames(const std::string& folder);

// The system's description of a failure as the file layer reports it: the C library's
// text for the POSIX error, or the system's own for the Windows error code on Windows.
std::string systemReason(int posixError, unsigned long windowsError);

// A program folder of the test's own at `to`: the files shipped beside the programs (page
// templates, images, help files), without the ones named; the programs themselves stay.
bool makeProgramFolder(const std::string& to, const std::vector<std::string>& except = {});

// A program built beside the tests (".exe" added on Windows).
std::string runtimeProgram(const std::string& name);

struct ProgramRun {
    int exitCode = -1;  // -1 when it did not start or did not end within the time
    std::string errors; // its standard error output
};
// Runs a program with an argument list, no shell, and waits up to ten seconds.
ProgramRun runProgram(const std::string& program, const std::vector<std::string>& args);

} // namespace TestFiles

// A new empty folder in the system's temporary folder, removed with its content at the end.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    bool isValid() const { return !m_path.empty(); }
    const std::string& path() const { return m_path; }
    std::string filePath(const std::string& name) const { return m_path + "/" + name; }

  private:
    std::string m_path;
};

// Byte-exact file helpers for tests: the path is used as given, whatever its bytes.
std::string fileBytes(const std::string& path);
void putFile(const std::string& path, const std::string& bytes);
