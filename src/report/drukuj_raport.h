#pragma once

#include <QFont>
#include <QImage>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

class QClipboard;
class QPrinter;

namespace zr7 {

class TChart;

// logo.bmp in the root of the current drive: on Windows a path that starts
// with "/" is rooted on the current drive, elsewhere it is the file system's
// root.
inline const QString kLogoPath = QStringLiteral("/logo.bmp");

// The logo bitmap; none when the file is missing, is not a bitmap or has no
// pixels.
std::optional<QImage> LoadLogo(const QString& path);

// The print font: the program's font with an em height of 8 points at the
// printer's vertical resolution.
QFont PrintFont(int resolutionY);

// Prints one page as one document on the printer: the chart's vector
// drawing below the text block at the given width in percent of the
// printable width, the logo at the very corner (its height the given percent
// of the shorter side), then the lines right of the logo, with the given
// gaps in percent. When `clipboard` is given, the chart's vector picture is
// left on it. Answers false with the failure's text when the page could not
// be printed; a job that fails after it has started is aborted.
bool DrukujRaport(std::uint8_t logoPercent, std::uint8_t chartWidthPercent, std::uint8_t leftGapPercent,
                  std::uint8_t topGapPercent, const QStringList& lines, TChart& chart, QPrinter& printer,
                  QClipboard* clipboard, QString* error, const QString& logoPath = kLogoPath);

} // namespace zr7
