#pragma once

#include <stdexcept>
#include <string>

// A read that ran into something it cannot take: the line is 1-based.
class ReadError : public std::runtime_error {
  public:
    ReadError(int line, const std::string& what) : std::runtime_error(what), m_line(line) {}
    int line() const { return m_line; }

  private:
    int m_line;
};

// Reads the system's text files as a stream of fields or of whole lines.
//
// A field: blanks before it are skipped; a value that begins with a double quote runs to
// the next double quote, which is dropped; any other value runs to the next comma or the
// line end, blanks after it dropped. The comma or line end is consumed with the field, and
// a field read where a line is used up continues on the next line. A number also ends at
// its first blank. A line ends at CR LF, LF or CR.
class FieldReader {
  public:
    explicit FieldReader(std::string data) : m_data(std::move(data)) {}

    bool atEnd() const { return m_pos >= m_data.size(); }
    // The line the next read starts on.
    int line() const { return m_line; }

    std::string readField();
    double readNumber();
    std::string readLine();
    // Everything up to the line end, as the field rule reads a value but with commas kept.
    std::string readLineAsField();

  private:
    bool atLineEnd() const;
    void consumeLineEnd();
    void skipBlanks();
    void failAtEnd() const;

    std::string m_data;
    size_t m_pos = 0;
    int m_line = 1;
};

// The field rule applied to one whole line: surrounding blanks dropped, a leading double
// quote runs to the next one; commas are kept.
std::string fieldOfLine(const std::string& line);
