#include "report/drukuj_raport.h"

#include "chart/tchart.h"
#include "report/chart_clipboard.h"
#include "report/page_layout.h"
#include "ui/program_font.h"

#include "platform/file_io.h"
#include "text/file_error_text.h"

#include <QBuffer>
#include <QFile>
#include <QFontMetrics>
#include <QPaintEngine>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

#include <span>

namespace zr7 {

namespace {

bool Fail(QString* error, const QString& text) {
  if (error) *error = text;
  return false;
}

// Chart first, then the logo, then the text, so that text lies over the
// others where they meet.
void PaintPage(QPainter& painter, const TPageLayout& layout, const QStringList& lines, TChart& chart,
               const std::optional<QImage>& logo, const QFont& font) {
  if (!layout.ChartRect().isEmpty()) chart.PaintVector(painter, QRectF(layout.ChartRect()));
  // The bitmap's own pixels, stretched without smoothing or lossy compression.
  if (logo) {
    painter.setRenderHint(QPainter::LosslessImageRendering);
    painter.drawImage(layout.LogoRect(), *logo);
  }
  painter.setFont(font);
  painter.setPen(Qt::black);
  // Lines are one em apart, closer than their cells are high: drawn with
  // their own white background, each would cut off the descenders above it.
  painter.setBackgroundMode(Qt::TransparentMode);
  const int ascent = painter.fontMetrics().ascent();
  for (int k = 0; k < lines.size(); ++k) painter.drawText(QPoint(layout.textX, layout.LineTop(k) + ascent), lines[k]);
}

// Cancels a job that has started. Engines that cannot cancel still need
// the document closed; a half-written output file is then removed.
void AbortJob(QPainter& painter, QPrinter& printer) {
  printer.abort();
  if (painter.isActive()) painter.end();
  if (!printer.outputFileName().isEmpty()) QFile::remove(printer.outputFileName());
}

} // namespace

std::optional<QImage> LoadLogo(const QString& path) {
  QImage logo;
  if (!logo.load(path, "BMP") || logo.width() <= 0 || logo.height() <= 0) return std::nullopt;
  return logo;
}

QFont PrintFont(int resolutionY) {
  QFont font = ProgramFont();
  font.setPixelSize(PrintFontEmHeight(resolutionY));
  return font;
}

bool DrukujRaport(std::uint8_t logoPercent, std::uint8_t chartWidthPercent, std::uint8_t leftGapPercent,
                  std::uint8_t topGapPercent, const QStringList& lines, TChart& chart, QPrinter& printer,
                  QClipboard* clipboard, QString* error, const QString& logoPath) {
  // Where no printer is installed, Qt's printer is a PDF writer without a file.
  const bool noPrinter = printer.outputFormat() == QPrinter::PdfFormat && printer.outputFileName().isEmpty();
  if (!printer.isValid() || noPrinter) {
    return Fail(error, QStringLiteral("There is no default printer currently selected"));
  }
  const bool pdfFile = printer.outputFormat() == QPrinter::PdfFormat && printer.paintEngine() != nullptr &&
                       printer.paintEngine()->type() == QPaintEngine::Pdf;

  const std::optional<QImage> logo = LoadLogo(logoPath);
  const auto layoutOn = [&](QPaintDevice& device, const QFont& font) {
    TPageLayoutInput input;
    input.printableWidth = device.width();
    input.printableHeight = device.height();
    input.resolutionY = device.logicalDpiY();
    if (logo) input.logoPixels = logo->size();
    input.lineCount = static_cast<int>(lines.size());
    input.linePitch = QFontMetrics(font, &device).height();
    input.chartOnScreen = chart.size();
    input.logoPercent = logoPercent;
    input.chartWidthPercent = chartWidthPercent;
    input.leftGapPercent = leftGapPercent;
    input.topGapPercent = topGapPercent;
    return ComputePageLayout(input);
  };

  if (clipboard) PutVectorPicture(chart, *clipboard);

  if (pdfFile) {
    // The PDF is made in memory and then replaces the file as a whole: the
    // PDF writer reports no write errors of its own, and a full disk must
    // neither pass for success nor cost the old file.
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    {
      QPdfWriter writer(&pdf);
      writer.setResolution(printer.resolution());
      writer.setPageLayout(printer.pageLayout());
      writer.setTitle(printer.docName());
      writer.setCreator(printer.creator());
      const QFont font = PrintFont(writer.logicalDpiY());
      const TPageLayout layout = layoutOn(writer, font);
      QPainter painter;
      if (!painter.begin(&writer)) return Fail(error, QString::fromUtf8("Błąd drukarki, wydruk przerwany"));
      PaintPage(painter, layout, lines, chart, logo, font);
      if (!painter.end()) return Fail(error, QString::fromUtf8("Błąd drukarki, wydruk nie został zakończony"));
    }
    const QByteArray& bytes = pdf.data();
    const QString output = printer.outputFileName();
    const int code = ReplaceFileContent(
        QFile::encodeName(output).toStdString(),
        std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())));
    if (code != 0) {
      return Fail(
          error,
          QStringLiteral("Cannot create file \"%1\". %2").arg(output, QString::fromStdString(FileErrorText(code))));
    }
    return true;
  }

  const QFont font = PrintFont(printer.logicalDpiY());
  const TPageLayout layout = layoutOn(printer, font);
  QPainter painter;
  if (!painter.begin(&printer)) return Fail(error, QStringLiteral("Printer selected is not valid"));
  PaintPage(painter, layout, lines, chart, logo, font);
  const QPrinter::PrinterState state = printer.printerState();
  if (state == QPrinter::Error || state == QPrinter::Aborted) {
    AbortJob(painter, printer);
    return Fail(error, QString::fromUtf8("Błąd drukarki, wydruk przerwany"));
  }
  if (!painter.end()) return Fail(error, QString::fromUtf8("Błąd drukarki, wydruk nie został zakończony"));
  return true;
}

} // namespace zr7
