#pragma once

#include "pdf_text.h"
#include "run_command.h"

#include <QImage>
#include <QRectF>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zr7 {

// Reads a PDF back with poppler-utils, as an examiner's tools would; a tool
// that is missing or fails fails the running test.

inline QString RunTool(const QString& program, const QStringList& arguments) {
  std::vector<std::string> command{program.toStdString()};
  for (const QString& argument : arguments) command.push_back(argument.toStdString());
  const TCommandOutput result = RunCommand(command);
  EXPECT_EQ(result.exitCode, 0) << command.front() << " failed (is poppler-utils installed?)";
  return QString::fromUtf8(result.output);
}

inline int PdfPageCount(const QString& pdf) {
  const QRegularExpression pages(QStringLiteral("^Pages:\\s+(\\d+)"), QRegularExpression::MultilineOption);
  const QRegularExpressionMatch match = pages.match(RunTool(QStringLiteral("pdfinfo"), {pdf}));
  return match.hasMatch() ? match.captured(1).toInt() : 0;
}

// The first page's size in points.
inline QSizeF PdfPageSize(const QString& pdf) {
  const QRegularExpression size(QStringLiteral("^Page size:\\s+([\\d.]+) x ([\\d.]+) pts"),
                                QRegularExpression::MultilineOption);
  const QRegularExpressionMatch match = size.match(RunTool(QStringLiteral("pdfinfo"), {pdf}));
  return match.hasMatch() ? QSizeF(match.captured(1).toDouble(), match.captured(2).toDouble()) : QSizeF();
}

// The page's text lines as pdftotext finds them, blanks between words
// reduced to one, empty lines left out.
inline QStringList PdfTextLines(const QString& pdf) {
  QStringList lines;
  for (const QString& line : QString::fromStdString(PdfLayoutText(pdf.toStdString())).split(u'\n')) {
    const QString simple = line.simplified();
    if (!simple.isEmpty() && simple != QStringLiteral("\f")) lines << simple;
  }
  return lines;
}

struct TPdfWord {
  QString text;
  QRectF box; // points from the page's top left corner
};

inline std::vector<TPdfWord> PdfWords(const QString& pdf) {
  static const QRegularExpression word(QStringLiteral(
      "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>"));
  std::vector<TPdfWord> words;
  const QString html = RunTool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
  for (auto it = word.globalMatch(html); it.hasNext();) {
    const QRegularExpressionMatch m = it.next();
    const QPointF topLeft(m.captured(1).toDouble(), m.captured(2).toDouble());
    const QPointF bottomRight(m.captured(3).toDouble(), m.captured(4).toDouble());
    words.push_back({m.captured(5), QRectF(topLeft, bottomRight)});
  }
  return words;
}

// The first word with this text.
inline const TPdfWord* FindWord(const std::vector<TPdfWord>& words, const QString& text) {
  for (const TPdfWord& w : words) {
    if (w.text == text) return &w;
  }
  return nullptr;
}

// Number of embedded images on the page.
inline int PdfImageCount(const QString& pdf) {
  const QStringList rows =
      RunTool(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf}).split(u'\n', Qt::SkipEmptyParts);
  return static_cast<int>(rows.size()) - 2; // two heading rows
}

inline QImage PdfPageImage(const QString& pdf, int dpi) {
  QTemporaryDir dir;
  const QString stem = dir.filePath(QStringLiteral("page"));
  RunTool(QStringLiteral("pdftoppm"), {QStringLiteral("-png"), QStringLiteral("-singlefile"), QStringLiteral("-r"),
                                       QString::number(dpi), pdf, stem});
  return QImage(stem + QStringLiteral(".png"));
}

} // namespace zr7
