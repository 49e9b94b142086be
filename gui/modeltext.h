#pragma once

#include <QString>

#include <string>

// The models keep 8-bit texts exactly as files and the operator gave them; on screen they
// follow EightBitText's rule.
namespace ModelText {

QString toQt(const std::string& bytes);
// A text of several lines, its CR LF line ends as the toolkit breaks lines.
QString lines(const std::string& bytes);
// The operator's edit of the model text `previous` (EightBitText::encodeEdit).
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
