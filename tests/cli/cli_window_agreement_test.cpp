#include "cli/cli_commands.h"
#include "file_content.h"
#include "measurement/measurement_file.h"
#include "scripted_dialogs.h"
#include "shell/tfmain.h"
#include "shell/tspinedit.h"
#include "sim/sim_bank.h"
#include "sim_process.h"
#include "temporary_directory.h"

#include <QComboBox>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <limits>
#include <sstream>

namespace zr7 {
namespace {

namespace fs = std::filesystem;

// The command line and the window on the same machine, with its Polish
// regional settings.
class CliAndWindow : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_EQ(QLocale::system().decimalPoint(), QChar(',')) << "the test needs the pl_PL.UTF-8 locale";
    std::ofstream(directory.Path() / "konfiguracja.txt", std::ios::binary)
        << "Stacja \xA3\xF3"
           "d\x9F\r\nul. Kr\xF3tka 1\r\nuwagi\r\n1\r\n";
    window.Comm->PortsFolder = directory.Path() / "ports";
    window.show();
  }
  std::string Port() const { return (directory.Path() / "ports" / "COM1").string(); }
  std::string Run(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(RunCli(args, out, err), 0) << err.str();
    return out.str();
  }

  TWorkingDirectory directory;
  TScriptedDialogs dialogs;
  TfMain window{dialogs};
};

TEST_F(CliAndWindow, OneBankReadByBothGivesTheSameFile) {
  const fs::path byWindow = directory.Path() / "window.zr";
  const fs::path byCli = directory.Path() / "cli.zr";
  {
    TSimProcess instrument({"--link", Port()});
    instrument.FirstLine();
    window.btPolacz->click();
    ASSERT_TRUE(window.State.Polaczony);
    window.bbtOpenClick();
    window.btPolacz->click();
    dialogs.fileNames.push_back(QString::fromStdString(byWindow.string()));
    window.sbSaveClick();
  }
  {
    TSimProcess instrument({"--link", Port()});
    instrument.FirstLine();
    Run({"read", "--port", Port(), "--bank", "1", "--out", byCli.string()});
  }
  ASSERT_TRUE(dialogs.boxes.empty()) << dialogs.boxes[0].text.toStdString();
  TPomiar p;
  ASSERT_TRUE(LoadMeasurementFile(byCli.string(), p).Ok());
  EXPECT_EQ(p.Odchylenie.Text(), "2,5") << "bank 1 holds a service brake test with a deviation of 2.5 m";
  EXPECT_EQ(p.SKP.Utf8(), "Stacja Łódź");
  const std::string fromWindow = FileContent(byWindow);
  const std::string fromCli = FileContent(byCli);
  ASSERT_EQ(fromWindow.size(), 27592u);
  ASSERT_EQ(fromCli.size(), fromWindow.size());
  const auto difference = std::mismatch(fromWindow.begin(), fromWindow.end(), fromCli.begin());
  EXPECT_TRUE(difference.first == fromWindow.end())
      << "the files differ first at byte " << (difference.first - fromWindow.begin());
}

// A record whose samples are given as (F, a) pairs, saved as a file.
void WriteRecord(const fs::path& path, const std::vector<std::pair<std::int16_t, double>>& samples) {
  TPomiar p;
  for (std::size_t i = 0; i < samples.size(); ++i) {
    TProbka& s = p.Probki[static_cast<int>(i) + 1];
    s.n = static_cast<std::int32_t>(samples.size());
    s.F = samples[i].first;
    s.a = samples[i].second;
  }
  ASSERT_EQ(SaveMeasurementFile(path.string(), p), 0);
}

TEST_F(CliAndWindow, ShowGivesTheMaximaTheWindowShows) {
  const struct {
    const char* name;
    std::vector<std::pair<std::int16_t, double>> samples;
  } cases[] = {
      {"all negative", {{-7, -3.5}, {-5, -2.0}, {-9, -2.44}}},
      {"rising from below zero", {{-3, -1.0}, {12, 4.26}, {8, 3.0}}},
      {"a damaged first sample", {{-1, std::numeric_limits<double>::quiet_NaN()}, {-4, -2.5}}},
      {"no samples", {}},
  };
  for (const auto& c : cases) {
    const fs::path file = directory.Path() / "m.zr";
    WriteRecord(file, c.samples);
    dialogs.fileNames.push_back(QString::fromStdString(file.string()));
    window.sbOpenClick();
    const std::string shown = Run({"show", file.string()});
    const QString amax = window.lbAmax->text().replace(',', '.');
    EXPECT_NE(shown.find("a_max_ms2: " + amax.toStdString() + "\n"), std::string::npos) << c.name << "\n" << shown;
    EXPECT_NE(shown.find("F_max_daN: " + window.lbFmax->text().toStdString() + "\n"), std::string::npos)
        << c.name << "\n"
        << shown;
  }
  EXPECT_EQ(window.lbAmax->text(), "0,0") << "the last file has no samples";
}

} // namespace
} // namespace zr7
