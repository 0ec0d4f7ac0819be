#include "qt_parts.h"

#include "cli_commands.h"
#include "platform/qt/desktop_session.h"
#include "platform/qt/ports_folder.h"
#include "report/report_pdf.h"

#include <QApplication>

#include <memory>

namespace zr7 {

int ReportCommand(const std::vector<std::string>& args, std::ostream& err) {
  std::string file;
  std::string pdf;
  QPageSize paper(QPageSize::A4);
  QPageLayout::Orientation orientation = QPageLayout::Portrait;
  bool brakingAnalysis = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const bool hasValue = i + 1 < args.size();
    if (args[i] == "--pdf" && hasValue) {
      pdf = args[++i];
    } else if (args[i] == "--paper" && hasValue) {
      const std::string name = args[++i];
      if (name != "A4" && name != "Letter") return Usage(err);
      paper = QPageSize(name == "A4" ? QPageSize::A4 : QPageSize::Letter);
    } else if (args[i] == "--landscape") {
      orientation = QPageLayout::Landscape;
    } else if (args[i] == "--analysis") {
      brakingAnalysis = true;
    } else if (file.empty() && !args[i].starts_with("--")) {
      file = args[i];
    } else {
      return Usage(err);
    }
  }
  if (file.empty() || pdf.empty()) return Usage(err);
  TPomiar pomiar;
  if (!Load(file, pomiar, err)) return 1;
  // The page draws the chart widget, which needs an application; without a
  // desktop it draws offscreen.
  std::unique_ptr<QApplication> application;
  if (QCoreApplication::instance() == nullptr) {
    if (!HasDesktopSession()) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "zr7-cli";
    static char* argv[] = {name, nullptr};
    application = std::make_unique<QApplication>(argc, argv);
  }
  QString error;
  if (!RenderReportPdf(pomiar, QString::fromStdString(pdf), paper, orientation, &error, brakingAnalysis)) {
    err << pdf << ": " << error.toStdString() << "\n";
    return 1;
  }
  return 0;
}

std::filesystem::path PortsFolder() { return ComPortsFolder(); }

} // namespace zr7
