#include "measurement/tpomiar.h"
#include "shell/tdaneskp.h"
#ifndef _WIN32
#include "file_size_limit.h"
#endif
#include "scripted_dialogs.h"
#include "shell/tfmain.h"
#include "temporary_directory.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QDir>
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <limits>

namespace zr7 {
namespace {

namespace fs = std::filesystem;

// A measurement file built byte by byte from the file layout, independent of
// the code that writes records.
class FileFixture {
public:
  FileFixture() : bytes_(27592, 0) {}
  FileFixture& Sample(int i, std::int16_t f, double a, std::int32_t n) {
    const std::size_t slot = 48 * static_cast<std::size_t>(i - 1);
    Put(slot + 6, &f, 2);
    Put(slot + 8, &a, 8);
    Put(slot + 40, &n, 4);
    return *this;
  }
  FileFixture& Text(std::size_t offset, const std::string& cp1250) {
    bytes_[offset] = static_cast<char>(cp1250.size());
    std::memcpy(&bytes_[offset + 1], cp1250.data(), cp1250.size());
    return *this;
  }
  FileFixture& Kind(std::int32_t kind) {
    Put(25792, &kind, 4);
    return *this;
  }
  FileFixture& Byte(std::size_t offset, char value) {
    bytes_[offset] = value;
    return *this;
  }
  FileFixture& Resize(std::size_t size) {
    bytes_.resize(size);
    return *this;
  }
  void Write(const fs::path& path) const { std::ofstream(path, std::ios::binary) << bytes_; }

private:
  void Put(std::size_t offset, const void* value, std::size_t size) { std::memcpy(&bytes_[offset], value, size); }
  std::string bytes_;
};

class MeasurementFiles : public ::testing::Test {
protected:
  void SetUp() override {
    window.show();
    dialogs.boxes.clear(); // the missing konfiguracja.txt
  }
  QString PathOf(const char* name) const { return QString::fromStdString((directory.Path() / name).string()); }
  void Open(const char* name) {
    dialogs.fileNames.push_back(PathOf(name));
    window.sbOpenClick();
  }
  void Save(const char* name) {
    dialogs.fileNames.push_back(PathOf(name));
    window.sbSaveClick();
  }
  std::uintmax_t SizeOf(const char* name) const { return fs::file_size(directory.Path() / name); }

  TWorkingDirectory directory;
  TScriptedDialogs dialogs;
  TfMain window{dialogs};
};

TEST_F(MeasurementFiles, HandMadeFileOpensWithItsCurvesCaptionsAndData) {
  FileFixture()
      .Sample(1, 12, 3.5, 3)
      .Sample(2, 57, 6.24, 3)
      .Sample(3, 30, 5.0, 3)
      .Text(24000, "10:11:12")
      .Text(24256, "09/12/26")
      .Text(24512, "hamulec roboczy")
      .Text(24768, "(*) w przypadku motocykla - hamulec obu k\xF3\xB3")
      .Text(25024, "0,4")
      .Text(25280,
            "SKP \xA3\xF3"
            "d\x9F")
      .Text(25536, "Adres")
      .Kind(3)
      .Text(25796, "Marka")
      .Text(26052, "Model")
      .Text(26308, "2001")
      .Text(26564, "EL 12345")
      .Text(26820, "123456")
      .Text(27076, "Uwagi")
      .Text(27332, "Diagnosta")
      .Write(directory.Path() / "fixture.zr");
  window.Lbeta->setText("5");
  Open("fixture.zr");

  EXPECT_TRUE(dialogs.boxes.empty());
  EXPECT_EQ(window.Serie.SeriaF->Count(), 3);
  EXPECT_EQ(window.Serie.SeriaA->Count(), 6);
  EXPECT_EQ(window.lbFmax->text(), "57");
  EXPECT_EQ(window.lbAmax->text().size(), 3);
  EXPECT_TRUE(window.lbAmax->text().startsWith("6")) << window.lbAmax->text().toStdString();
  EXPECT_EQ(window.Lgodzina->text(), "10:11:12");
  EXPECT_EQ(window.Ldata->text(), "09/12/26");
  EXPECT_EQ(window.lHamulec->text(), "hamulec roboczy, odch.kier.jazdy=0,4 [m]");
  EXPECT_EQ(window.State.UwagaTxt.Utf8(), "(*) w przypadku motocykla - hamulec obu kół");
  EXPECT_EQ(window.daneSKP->edSKP->text(), QString::fromUtf8("SKP Łódź"));
  EXPECT_EQ(window.daneSKP->edRej->text(), "EL 12345");
  EXPECT_EQ(window.daneSKP->ed1Rej->text(), "2001");
  EXPECT_EQ(window.daneSKP->edPrzebieg->text(), "123456");
  EXPECT_EQ(window.daneSKP->edDiagnosta->text(), "Diagnosta");
  EXPECT_EQ(window.daneSKP->rodzaj_pojazdu->currentIndex(), 3);
  EXPECT_EQ(window.Lbeta->text(), "5") << "the start angle is not in the file";
}

// Stored doubles are shown whatever they hold: a damaged file with
// infinities or NaN opens, and a NaN does not hide the largest real value.
TEST_F(MeasurementFiles, InfinitiesAndNaNOpenAndShow) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const QString point = QLocale().decimalPoint();
  struct TCase {
    const char* name;
    double a[3];
    QString lbAmax;
  };
  const TCase cases[] = {
      {"inf in the middle", {3.5, inf, 5.0}, "INF"},
      {"NaN in sample 1", {nan, 5.0, 4.0}, "5" + point + "0"},
      {"NaN after the peak", {2.0, 7.3, nan}, "7" + point + "3"},
      {"only NaN", {nan, nan, nan}, "NAN"},
      {"only -inf", {-inf, -inf, -inf}, "-INF"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    FileFixture fixture;
    for (int i = 1; i <= 3; ++i) fixture.Sample(i, static_cast<std::int16_t>(10 * i), c.a[i - 1], 3);
    fixture.Write(directory.Path() / "damaged.zr");
    Open("damaged.zr");
    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_EQ(window.lbAmax->text(), c.lbAmax);
    EXPECT_EQ(window.lbFmax->text(), "30");
    window.grab(); // the chart draws the finite part
  }
}

TEST_F(MeasurementFiles, SaveChangeEverythingAndOpenGivesTheSameScreen) {
  TPomiar& p = window.State.Pomiar;
  for (int i = 1; i <= 240; ++i) {
    p.Probki[i].a = i * 0.03;
    p.Probki[i].F = static_cast<std::int16_t>(i % 90);
    p.Probki[i].n = 240;
  }
  window.Odrysuj();
  window.Lgodzina->setText("12:00:01");
  window.Ldata->setText("01/02/26");
  window.State.HamulecTxt.AssignUtf8("hamulec awaryjny");
  window.daneSKP->edSKP->setText(QString::fromUtf8("Stacja Żółć"));
  window.daneSKP->edUwagi->setText(QString(300, 'u'));
  window.daneSKP->rodzaj_pojazdu->setCurrentIndex(1);
  Save("pomiar"); // typed without extension
  ASSERT_TRUE(dialogs.boxes.empty());
  ASSERT_TRUE(fs::exists(directory.Path() / "pomiar.zr"));
  EXPECT_EQ(SizeOf("pomiar.zr"), 27592u);
  const QString amax = window.lbAmax->text();

  window.State.Pomiar = TPomiar{};
  window.Odrysuj();
  window.Lgodzina->setText("x");
  window.Ldata->setText("y");
  window.daneSKP->edSKP->clear();
  window.daneSKP->edUwagi->clear();
  window.daneSKP->rodzaj_pojazdu->setCurrentIndex(-1);

  Open("pomiar.zr");
  EXPECT_EQ(window.Serie.SeriaF->Count(), 240);
  EXPECT_EQ(window.Serie.SeriaF->Point(100).y, 101 % 90);
  EXPECT_EQ(window.lbAmax->text(), amax);
  EXPECT_EQ(window.lbFmax->text(), "89");
  EXPECT_EQ(window.Lgodzina->text(), "12:00:01");
  EXPECT_EQ(window.Ldata->text(), "01/02/26");
  EXPECT_EQ(window.lHamulec->text(), "hamulec awaryjny");
  EXPECT_EQ(window.daneSKP->edSKP->text(), QString::fromUtf8("Stacja Żółć"));
  EXPECT_EQ(window.daneSKP->edUwagi->text(), QString(255, 'u'));
  EXPECT_EQ(window.daneSKP->rodzaj_pojazdu->currentIndex(), 1);
}

TEST_F(MeasurementFiles, FileSavedBeforeAnyReadOpensEmpty) {
  window.Lgodzina->setText("00:00:00");
  Save("empty.zr");
  window.lHamulec->setText("hamulec");
  window.Chart->BottomAxis().SetRange(0, 3);
  Open("empty.zr");
  EXPECT_DOUBLE_EQ(window.Chart->BottomAxis().Maximum(), 3) << "no samples leave the time axis as it was";
  EXPECT_EQ(SizeOf("empty.zr"), 27592u);
  EXPECT_EQ(window.Serie.SeriaA->Count(), 3);
  EXPECT_EQ(window.lHamulec->text(), "");
  EXPECT_EQ(window.lbFmax->text(), "0");
  EXPECT_EQ(window.daneSKP->rodzaj_pojazdu->currentIndex(), -1);
}

TEST_F(MeasurementFiles, CancelledDialogsChangeNothing) {
  window.Lgodzina->setText("07:07:07");
  window.sbSaveClick();
  EXPECT_EQ(window.State.Pomiar.Godzina.Text(), "") << "the record's texts stay as they were";
  window.sbOpenClick();
  EXPECT_EQ(window.Lgodzina->text(), "07:07:07");
  EXPECT_EQ(std::distance(fs::directory_iterator(directory.Path()), {}), 0);
  ASSERT_EQ(dialogs.fileDialogs.size(), 2u);
  EXPECT_EQ(dialogs.fileDialogs[0].filter, "pliki zr-7 (*.zr)|*.zr");
  EXPECT_TRUE(dialogs.fileDialogs[0].confirmOverwrite);
  EXPECT_EQ(dialogs.fileDialogs[0].defaultExtension, "zr");
  EXPECT_EQ(dialogs.fileDialogs[1].filter, "pliki ZR-7 (*.zr)|*.zr");
  EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(MeasurementFiles, BrakeCaptionOfAnOpenedFile) {
  const std::pair<const char*, const char*> cases[] = {
      {"hamulec roboczy", "hamulec roboczy, odch.kier.jazdy=1,2 [m]"},
      {"hamulec awaryjny", "hamulec awaryjny"},
      {"hamulec pomocniczy", "hamulec pomocniczy"},
      {"hamulec roboczy ", "hamulec roboczy "},
      {"", ""},
  };
  for (const auto& [brake, caption] : cases) {
    FileFixture().Text(24512, brake).Text(25024, "1,2").Write(directory.Path() / "brake.zr");
    Open("brake.zr");
    EXPECT_EQ(window.lHamulec->text(), caption) << brake;
  }
}

TEST_F(MeasurementFiles, ForeignFilesAreRefusedAndChangeNothing) {
  struct Case {
    const char* name;
    std::size_t size;
    std::int32_t count;
    const char* message;
  };
  const Case cases[] = {
      {"short", 27591, 100, "krótszy niż 27592 bajty"},
      {"empty", 0, 0, "krótszy niż 27592 bajty"},
      {"long, count 501", 27600, 501, "liczba próbek 501 poza zakresem 0..500"},
      {"count 501", 27592, 501, "liczba próbek 501 poza zakresem 0..500"},
      {"count -1", 27592, -1, "liczba próbek -1 poza zakresem 0..500"},
  };
  window.State.Pomiar.Probki[1].n = 2;
  window.State.Pomiar.Probki[2].a = 4;
  window.Odrysuj();
  window.Lgodzina->setText("08:00:00");
  for (const auto& c : cases) {
    dialogs.boxes.clear();
    FileFixture().Sample(1, 1, 1, c.count).Text(24000, "99:99:99").Resize(c.size).Write(directory.Path() / "bad.zr");
    Open("bad.zr");
    ASSERT_EQ(dialogs.boxes.size(), 1u) << c.name;
    EXPECT_EQ(dialogs.boxes[0].icon, TDialogs::TIcon::Stop);
    EXPECT_TRUE(dialogs.boxes[0].text.contains(QString::fromUtf8(c.message))) << dialogs.boxes[0].text.toStdString();
    EXPECT_EQ(window.State.Pomiar.Probki[1].n, 2) << c.name;
    EXPECT_EQ(window.Serie.SeriaALFA->Count(), 2) << c.name;
    EXPECT_EQ(window.Lgodzina->text(), "08:00:00") << c.name;
  }
}

TEST_F(MeasurementFiles, LongerFileOpensFromItsFirstRecord) {
  for (const std::size_t size : {27593u, 27592u + 4096u, 1000000u}) {
    FileFixture fixture;
    fixture.Sample(1, 40, 2.5, 2).Sample(2, 41, 7.25, 2).Text(24000, "11:22:33").Resize(size);
    // Bytes beyond the record that would change the test were they read.
    for (std::size_t i = 27592; i < size; ++i) fixture.Byte(i, 0x7F);
    fixture.Write(directory.Path() / "long.zr");
    Open("long.zr");
    EXPECT_TRUE(dialogs.boxes.empty()) << size;
    EXPECT_EQ(window.State.Pomiar.Probki[1].n, 2) << size;
    EXPECT_EQ(window.Serie.SeriaF->Count(), 2) << size;
    EXPECT_EQ(window.lbFmax->text(), "41") << size;
    EXPECT_EQ(window.Lgodzina->text(), "11:22:33") << size;
    dialogs.boxes.clear();
  }
}

TEST_F(MeasurementFiles, FileErrorsUseTheRuntimeTexts) {
  Open("missing.zr");
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].text, "File not found.");

  fs::create_directory(directory.Path() / "folder.zr");
  Open("folder.zr");
  ASSERT_EQ(dialogs.boxes.size(), 2u);
  EXPECT_EQ(dialogs.boxes[1].text, "File access denied.");

  Save("no-such-folder/a.zr");
  ASSERT_EQ(dialogs.boxes.size(), 3u);
  EXPECT_EQ(dialogs.boxes[2].text, "File not found.");
}

#ifndef _WIN32
// A file size limit makes the save fail part way; Windows has no such limit.
TEST_F(MeasurementFiles, FailedSaveKeepsTheOldFileWhole) {
  window.State.Pomiar.Probki[1].n = 7;
  Save("keep.zr");
  {
    const TFileSizeLimit limit(1000);
    window.State.Pomiar.Probki[1].n = 9;
    Save("keep.zr");
  }

  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].text, "I/O error 27.") << "the system's error number for a file too large";
  EXPECT_EQ(SizeOf("keep.zr"), 27592u);
  Open("keep.zr");
  EXPECT_EQ(window.State.Pomiar.Probki[1].n, 7);
}
#endif

TEST_F(MeasurementFiles, DialogsStartInTheFolderOfTheLastFile) {
  fs::create_directory(directory.Path() / "pomiary");
  window.sbOpenClick();
  Save("pomiary/a.zr");
  window.sbOpenClick();
  ASSERT_EQ(dialogs.fileDialogs.size(), 3u);
  EXPECT_EQ(dialogs.fileDialogs[0].directory, "") << "the working directory at first";
  // Windows takes either separator; the folder is what counts.
  EXPECT_EQ(QDir::toNativeSeparators(dialogs.fileDialogs[2].directory), QDir::toNativeSeparators(PathOf("pomiary")));
}

} // namespace
} // namespace zr7
