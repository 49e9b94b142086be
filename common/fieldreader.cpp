#include "fieldreader.h"

#include "clocktime.h"
#include "common/text.h"

bool FieldReader::atLineEnd() const {
    return m_pos < m_data.size() && (m_data[m_pos] == '\r' || m_data[m_pos] == '\n');
}

void FieldReader::consumeLineEnd() {
    if (m_pos >= m_data.size())
        return;
    if (m_data[m_pos] == '\r') {
        ++m_pos;
        if (m_pos < m_data.size() && m_data[m_pos] == '\n')
            ++m_pos;
    } else if (m_data[m_pos] == '\n') {
        ++m_pos;
    }
    ++m_line;
}

void FieldReader::skipBlanks() {
    while (m_pos < m_data.size() && Text::isBlank(m_data[m_pos]))
        ++m_pos;
}

void FieldReader::failAtEnd() const {
    if (atEnd())
        throw ReadError(m_line, "Input past end of file");
}

std::string FieldReader::readField() {
    failAtEnd();
    skipBlanks();
    std::string value;
    if (m_pos < m_data.size() && m_data[m_pos] == '"') {
        ++m_pos;
        while (m_pos < m_data.size() && m_data[m_pos] != '"' && !atLineEnd())
            value += m_data[m_pos++];
        if (m_pos < m_data.size() && m_data[m_pos] == '"')
            ++m_pos;
        // Whatever stands between the closing quote and the delimiter is not part of it.
        while (m_pos < m_data.size() && m_data[m_pos] != ',' && !atLineEnd())
            ++m_pos;
    } else {
        while (m_pos < m_data.size() && m_data[m_pos] != ',' && !atLineEnd())
            value += m_data[m_pos++];
        value = Text::trimBlanks(value);
    }
    if (m_pos < m_data.size() && m_data[m_pos] == ',')
        ++m_pos;
    else
        consumeLineEnd();
    return value;
}

double FieldReader::readNumber() {
    const int line = m_line;
    const std::string field = readField();
    // A number ends at its first blank; only blanks may follow it before the delimiter.
    const size_t blank = field.find_first_of(" \t");
    const std::string number = field.substr(0, blank);
    if (blank != std::string::npos && !Text::trimBlanks(field.substr(blank)).empty())
        throw ReadError(line, "Type mismatch: \"" + Text::forMessage(field) + "\" is not a number");
    const auto value = DayCount::parseNumber(number);
    if (!value)
        throw ReadError(line, "Type mismatch: \"" + Text::forMessage(field) + "\" is not a number");
    return *value;
}

std::string FieldReader::readLine() {
    failAtEnd();
    std::string value;
    while (m_pos < m_data.size() && !atLineEnd())
        value += m_data[m_pos++];
    consumeLineEnd();
    return value;
}

std::string FieldReader::readLineAsField() {
    return fieldOfLine(readLine());
}

std::string fieldOfLine(const std::string& line) {
    size_t pos = 0;
    while (pos < line.size() && Text::isBlank(line[pos]))
        ++pos;
    if (pos < line.size() && line[pos] == '"') {
        const size_t close = line.find('"', pos + 1);
        return line.substr(pos + 1,
                           close == std::string::npos ? std::string::npos : close - pos - 1);
    }
    return Text::trimBlanks(std::string_view(line).substr(pos));
}
