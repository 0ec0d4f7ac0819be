#include "cli/cli_commands.h"
#include "file_content.h"
#include "measurement/braking_verdict.h"
#include "measurement/measurement_export.h"
#include "platform/file_io.h"
#include "measurement/measurement_file.h"
#include "unique_folder.h"

#if ZR7_WITH_QT
#include "ui/user_number.h"
#endif
#if ZR7_READS_PDF
#include "pdf_text.h"
#endif
#ifndef _WIN32
#include "file_size_limit.h"
#endif

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>

namespace zr7 {
namespace {

namespace fs = std::filesystem;

// 149 samples of 6 m/s2 that stop the vehicle from 79.92 km/h within 41.07 m.
TPomiar WithStop(TPomiar p) {
  p.Probki[1].n = 160;
  for (int i = 1; i <= 160; ++i) p.Probki[i].a = i >= 5 && i < 5 + 149 ? 6 : 0;
  return p;
}

class Cli : public ::testing::Test {
protected:
  void SetUp() override {
    dir_ = MakeUniqueFolder("zr7-cli");
    TPomiar p;
    for (int i = 1; i <= 3; ++i) {
      p.Probki[i].n = 3;
      p.Probki[i].F = static_cast<std::int16_t>(20 * i);
      p.Probki[i].surX = static_cast<std::int16_t>(100 * i);
      p.Probki[i].surZ = 700;
      p.Probki[i].a = 0.1 * i + 1.0 / 3;
      p.Probki[i].ax = -2.5e-7 * i;
      p.Probki[i].az = 9.95;
    }
    p.Data.Assign("10/12/26");
    p.Godzina.Assign("13:14:15");
    p.Hamulec.Assign("hamulec roboczy");
    p.Odchylenie.Assign("0,3");
    p.SKP.AssignUtf8("SKP Łódź");
    p.RodzajPojazdu = 1;
    p.Rej.Assign("EL 1234");
    ASSERT_EQ(SaveMeasurementFile(Path("a.zr"), p), 0);
    pomiar_ = p;
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Path(const char* name) const { return (dir_ / name).string(); }
  int Run(std::vector<std::string> args) {
    out.str({});
    err.str({});
    return RunCli(args, out, err);
  }

  fs::path dir_;
  TPomiar pomiar_;
  std::ostringstream out;
  std::ostringstream err;
};

TEST_F(Cli, ShowListsTheMeasurement) {
  ASSERT_EQ(Run({"show", Path("a.zr")}), 0) << err.str();
  const std::string text = out.str();
  for (const char* line : {"date: 10/12/26\n", "time: 13:14:15\n", "brake: hamulec roboczy\n", "deviation_m: 0,3\n",
                           "samples: 3\n", "a_max_ms2: 0.6\n", "F_max_daN: 60\n", "station: SKP Łódź\n",
                           "vehicle_kind: sam.ciężarowy\n", "registration: EL 1234\n", "examiner: \n"}) {
    EXPECT_NE(text.find(line), std::string::npos) << line << "\nin:\n" << text;
  }
}

TEST_F(Cli, ShowKeepsEachValueOnItsLineWhenATextHoldsLineBreaks) {
  TPomiar p = pomiar_;
  p.Uwagi.Assign("pierwsza\r\ndruga\nsamples: 999");
  ASSERT_EQ(SaveMeasurementFile(Path("b.zr"), p), 0);
  ASSERT_EQ(Run({"show", Path("b.zr")}), 0) << err.str();
  const std::string text = out.str();
  EXPECT_NE(text.find("remarks: pierwsza  druga samples: 999\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("\ndruga"), std::string::npos) << text;
  EXPECT_EQ(text.find("\nsamples: 999"), std::string::npos) << text;
}

TEST_F(Cli, ShowAddsTheBrakingFiguresAfterTheMeasurement) {
  ASSERT_EQ(Run({"show", Path("a.zr")}), 0) << err.str();
  const std::string described = out.str();
  EXPECT_TRUE(described.ends_with("examiner: \nmfdd_ms2: n/a (brak hamowania)\nverdict: n/a (brak hamowania)\n"))
      << described;

  const TPomiar braking = WithStop(pomiar_);
  ASSERT_EQ(SaveMeasurementFile(Path("b.zr"), braking), 0);
  ASSERT_EQ(Run({"show", Path("b.zr")}), 0) << err.str();
  const std::string text = out.str();
  const std::string figures =
      "mfdd_ms2: 6.00\nbraking_ratio_pct: 61.2\nv0_kmh: 80.46\nstopping_distance_m: 41.91\nbraking_time_s: 3.750\n"
      "mean_pedal_force_daN: 0.0\nverdict: n/a (" +
      std::string(kNoRequirement) + ")\n";
  EXPECT_EQ(text, DescribeMeasurement(braking) + figures) << "the measurement's own lines come first, as they are";
}

#if ZR7_READS_PDF
TEST_F(Cli, ReportWithAnalysisPrintsTheFiguresUnderTheResults) {
  const TPomiar braking = WithStop(pomiar_);
  ASSERT_EQ(SaveMeasurementFile(Path("b.zr"), braking), 0);
  const std::string separator = UserDecimalSeparator();
  const std::vector<std::string> results = {
      "F [daN] = 60",
      "odchylenie kierunku jazdy = 0,3 [m]",
      "średnie pełne opóźnienie, MFDD [m/s2] = 6" + separator + "0",
      "wskaźnik skuteczności hamowania [%] = 61",
      "prędkość początkowa, v0 [km/h] = 80",
      "droga hamowania, s [m] = 41" + separator + "9",
      "czas hamowania, t [s] = 3" + separator + "75",
      "średnia siła nacisku w przedziale MFDD, F [daN] = 0",
      "Uwagi:",
  };
  std::string text;
  ASSERT_EQ(Run({"report", Path("b.zr"), "--pdf", Path("b.pdf"), "--analysis"}), 0) << err.str();
  text = PdfLayoutText(Path("b.pdf"));
  std::size_t at = 0;
  for (const std::string& line : results) {
    const std::size_t found = text.find(line, at);
    ASSERT_NE(found, std::string::npos) << line << "\nafter " << at << " in:\n" << text;
    at = found + line.size();
  }

  ASSERT_EQ(Run({"report", Path("a.zr"), "--pdf", Path("a.pdf"), "--analysis"}), 0) << err.str();
  text = PdfLayoutText(Path("a.pdf"));
  EXPECT_NE(text.find("analiza hamowania: brak wyniku (brak hamowania)"), std::string::npos) << text;

  ASSERT_EQ(Run({"report", Path("b.zr"), "--pdf", Path("plain.pdf")}), 0) << err.str();
  const std::string plain = PdfLayoutText(Path("plain.pdf"));
  EXPECT_EQ(plain.find("MFDD"), std::string::npos) << plain;
  EXPECT_NE(plain.find("odchylenie kierunku jazdy"), std::string::npos) << plain;
}
#endif

TEST_F(Cli, ExportedNumbersReadBackTheSameDoubles) {
  ASSERT_EQ(Run({"export", Path("a.zr"), "--csv", "--out", Path("a.csv")}), 0) << err.str();
  std::ifstream csv(Path("a.csv"));
  std::string line;
  std::getline(csv, line);
  EXPECT_EQ(line, "t_s,F_daN,a_ms2,ax_ms2,az_ms2,surX,surZ");
  int rows = 0;
  while (std::getline(csv, line)) {
    ++rows;
    const TProbka& s = pomiar_.Probki[rows];
    std::istringstream fields(line);
    std::string t, f, a, ax, az, surX, surZ;
    for (std::string* field : {&t, &f, &a, &ax, &az, &surX, &surZ}) std::getline(fields, *field, ',');
    EXPECT_EQ(std::strtod(t.c_str(), nullptr), rows / 40.0);
    EXPECT_EQ(std::stoi(f), s.F);
    EXPECT_EQ(std::strtod(a.c_str(), nullptr), s.a);
    EXPECT_EQ(std::strtod(ax.c_str(), nullptr), s.ax);
    EXPECT_EQ(std::strtod(az.c_str(), nullptr), s.az);
    EXPECT_EQ(std::stoi(surX), s.surX);
    EXPECT_EQ(std::stoi(surZ), s.surZ);
  }
  EXPECT_EQ(rows, 3);

  ASSERT_EQ(Run({"export", Path("a.zr"), "--csv"}), 0);
  std::ifstream again(Path("a.csv"));
  EXPECT_EQ(out.str(), std::string(std::istreambuf_iterator<char>(again), {})) << "standard output when no --out";
}

#if ZR7_READS_PDF
TEST_F(Cli, ReportIsAOnePagePdfWithTheLines) {
  const std::string pdf = Path("a.pdf");
  ASSERT_EQ(Run({"report", Path("a.zr"), "--pdf", pdf, "--paper", "Letter", "--landscape"}), 0) << err.str();
  const std::string info = PdfInfo(pdf);
  EXPECT_NE(info.find("Pages:           1"), std::string::npos) << info;
  EXPECT_NE(info.find("792 x 612 pts (letter)"), std::string::npos) << info;
  const std::string text = PdfLayoutText(pdf);
  for (const char* line : {"F.P.U.H \"TERVA\" Opóźnieniomierz ZR-7", "10/12/26 13:14:15", "SKP Łódź", "EL 1234",
                           "samochód ciężarowy", "hamulec roboczy"}) {
    EXPECT_NE(text.find(line), std::string::npos) << line << "\nin:\n" << text;
  }
}

#endif

#if ZR7_WITH_QT && !defined(_WIN32)
// A report that cannot be written whole: the old file stays as it was, the
// failure is told and the exit code says so.
TEST_F(Cli, ReportThatCannotBeWrittenFailsAndKeepsTheOldPdf) {
  const std::string pdf = Path("kept.pdf");
  ASSERT_EQ(Run({"report", Path("a.zr"), "--pdf", pdf}), 0) << err.str();
  const std::string before = FileContent(pdf);
  int exitCode = 0;
  {
    const TFileSizeLimit noRoom(2000); // as a disk that fills during the write
    exitCode = Run({"report", Path("a.zr"), "--pdf", pdf, "--landscape"});
  }
  EXPECT_EQ(exitCode, 1);
  EXPECT_NE(err.str().find("I/O error 27"), std::string::npos) << err.str();
  EXPECT_TRUE(FileContent(pdf) == before) << "the old report is whole";

  fs::create_symlink("/dev/full", Path("full.pdf"));
  EXPECT_EQ(Run({"report", Path("a.zr"), "--pdf", Path("full.pdf")}), 1);
  EXPECT_NE(err.str().find("Disk full"), std::string::npos) << err.str();
}
#endif

TEST_F(Cli, HelpGoesToStandardOutput) {
  for (const char* asked : {"--help", "-h", "help"}) {
    EXPECT_EQ(Run({asked}), 0) << asked;
    EXPECT_EQ(err.str(), "") << asked;
    for (const char* command : {"zr7-cli read", "zr7-cli show", "zr7-cli export", "zr7-cli report", "zr7-cli ports"}) {
      EXPECT_NE(out.str().find(command), std::string::npos) << asked << " lists " << command;
    }
  }
  EXPECT_EQ(Run({"report", "--help"}), 0);
  EXPECT_NE(out.str().find("zr7-cli report FILE --pdf OUT"), std::string::npos) << out.str();
  EXPECT_EQ(out.str().find("zr7-cli show"), std::string::npos) << "only the command asked about";
  EXPECT_EQ(Run({"read", "--port", "COM1", "--help"}), 0);
  EXPECT_NE(out.str().find("zr7-cli read --port"), std::string::npos) << out.str();
  EXPECT_EQ(Run({"frobnicate", "--help"}), 2);
  EXPECT_EQ(out.str(), "");
}

// A damaged file with infinities and NaN is shown, exported and printed.
TEST_F(Cli, InfinitiesAndNaNAreShownNotFatal) {
  TPomiar p;
  const double values[] = {std::numeric_limits<double>::quiet_NaN(), 6.24, std::numeric_limits<double>::infinity(),
                           -std::numeric_limits<double>::infinity()};
  for (int i = 1; i <= 4; ++i) {
    p.Probki[i].n = 4;
    p.Probki[i].a = values[i - 1];
    p.Probki[i].ax = values[4 - i];
  }
  ASSERT_EQ(SaveMeasurementFile(Path("damaged.zr"), p), 0);
  ASSERT_EQ(Run({"show", Path("damaged.zr")}), 0) << err.str();
  EXPECT_NE(out.str().find("a_max_ms2: INF\n"), std::string::npos) << out.str();
  ASSERT_EQ(Run({"export", Path("damaged.zr"), "--csv"}), 0) << err.str();
  EXPECT_NE(out.str().find("nan"), std::string::npos) << out.str();
  EXPECT_NE(out.str().find("-inf"), std::string::npos) << out.str();
#if ZR7_READS_PDF
  const std::string pdf = Path("damaged.pdf");
  ASSERT_EQ(Run({"report", Path("damaged.zr"), "--pdf", pdf}), 0) << err.str();
  const std::string text = PdfLayoutText(pdf);
  EXPECT_NE(text.find("a max [m/s2] = INF"), std::string::npos) << text;
#endif
}

TEST_F(Cli, RefusalsAndMistakesExitNonZero) {
  const std::vector<std::uint8_t> shortFile(100, 0);
  ASSERT_EQ(ReplaceFileContent(Path("short.zr"), shortFile), 0);
  struct Case {
    std::vector<std::string> args;
    int exitCode;
    const char* message;
  };
  const Case cases[] = {
    {{"show", Path("missing.zr")}, 1, "File not found"},
    {{"show", Path("short.zr")}, 1, "krótszy niż 27592"},
    {{"export", Path("short.zr"), "--csv"}, 1, "krótszy niż 27592"},
    {{"export", Path("a.zr"), "--csv", "--out", Path("no/such/dir.csv")}, 1, "File not found"},
    {{"export", Path("a.zr")}, 2, "usage"},
#if ZR7_WITH_QT
    {{"report", Path("short.zr"), "--pdf", Path("x.pdf")}, 1, "krótszy niż 27592"},
    {{"report", Path("a.zr"), "--pdf", Path("no/such/x.pdf")}, 1, "x.pdf"},
    {{"report", Path("a.zr"), "--pdf", Path("x.pdf"), "--paper", "A5"}, 2, "usage"},
    {{"report", Path("a.zr")}, 2, "usage"},
#else
    {{"report", Path("a.zr"), "--pdf", Path("x.pdf")}, 2, "built without Qt"},
#endif
    {{"show"}, 2, "usage"},
    {{"frobnicate"}, 2, "usage"},
    {{}, 2, "usage"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Run(c.args), c.exitCode) << c.message;
    EXPECT_NE(err.str().find(c.message), std::string::npos) << err.str();
    EXPECT_EQ(out.str(), "");
  }
}

} // namespace
} // namespace zr7
