#pragma once

#include <QString>

#include <string>

// The models keep 8-bit texts exactly as files and the operator gave them. On screen a
// text is UTF-8 when it decodes cleanly, else the Windows code page of the old
// single-byte files (Latin-1 where the toolkit lacks it).
namespace ModelText {

QString toQt(const std::string& bytes);
// A text of several lines, its CR LF line ends as the toolkit breaks lines.
QString lines(const std::string& bytes);
// The operator's edit of the model text `previous`. An 8-bit text stays in its code page,
// so the bytes the operator did not touch come back unchanged; a character the code page
// lacks, or a text that was UTF-8, ASCII or empty, makes it UTF-8.
std::string fromQt(const QString& text, const std::string& previous);

// Paths travel in the file system's own encoding, as the core opens them.
QString pathToQt(const std::string& path);
std::string pathFromQt(const QString& path);

// Captions of buttons and menu items: "&" is shown, not taken as a mnemonic.
QString caption(const std::string& bytes);

} // namespace ModelText

// Window geometry is kept in twips (1440 to the inch) by the models.
namespace Twips {

double perPixelX();
double perPixelY();
int toPixelsX(int twips);
int toPixelsY(int twips);
int fromPixelsX(int pixels);
int fromPixelsY(int pixels);

} // namespace Twips
