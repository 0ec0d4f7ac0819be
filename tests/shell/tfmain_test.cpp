#include "file_content.h"
#include "shell/tdaneskp.h"
#include "scripted_dialogs.h"
#include "shell/tclickableimage.h"
#include "shell/tfmain.h"
#include "shell/tspinedit.h"
#include "shell/tstatusbar.h"
#include "temporary_directory.h"

#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <fstream>
#include <gtest/gtest.h>

namespace zr7 {
namespace {

class MainWindow : public ::testing::Test {
protected:
  void WriteConfiguration(const std::string& content) {
    std::ofstream(directory.Path() / "konfiguracja.txt", std::ios::binary) << content;
  }
  TfMain& Shown() {
    window.show();
    return window;
  }

  TWorkingDirectory directory;
  TScriptedDialogs dialogs;
  TfMain window{dialogs};
};

TEST_F(MainWindow, ControlsStartAsTheOperatorExpects) {
  struct Expected {
    QWidget* widget;
    QRect geometry;
    const char* hint;
  };
  const Expected controls[] = {
      {window.sbOpen, {4, 4, 25, 25}, "Otwórz z pliku"},
      {window.sbSave, {32, 8, 25, 21}, "Zapisz do pliku"},
      {window.sbPrint, {82, 4, 25, 25}, "Drukuj"},
      {window.sbPrinterSetup, {110, 4, 25, 25}, "Ustawienia drukarki"},
      {window.Image1, {4, 30, 131, 25}, "informacja o producencie"},
      {window.cbCOM, {152, 5, 65, 21}, "USB Serial Port (COM)"},
      {window.btPolacz, {152, 30, 65, 25}, "połącz z portem USB"},
      {window.seBank, {224, 5, 65, 22}, "nr zapisu w pamięci ZR-7"},
      {window.bbtOpen, {224, 30, 65, 25}, "czytaj z pamięci ZR-7"},
      {window.Button1, {296, 8, 121, 49}, "wpisywanie danych SKP / pojazdu"},
      {window.pBar, {0, 64, 828, 8}, "pasek postępu transferu danych"},
  };
  for (const auto& c : controls) {
    EXPECT_EQ(c.widget->geometry(), c.geometry) << c.hint;
    EXPECT_EQ(c.widget->toolTip(), QString::fromUtf8(c.hint));
  }
  EXPECT_EQ(window.btPolacz->text(), QString::fromUtf8("Polącz"));
  EXPECT_EQ(window.bbtOpen->text(), "Czytaj");
  EXPECT_FALSE(window.bbtOpen->isEnabled());
  EXPECT_TRUE(window.btPolacz->isEnabled());
  EXPECT_EQ(window.cbCOM->count(), 32);
  EXPECT_EQ(window.cbCOM->itemText(0), "COM1");
  EXPECT_EQ(window.cbCOM->itemText(31), "COM32");
  EXPECT_EQ(window.cbCOM->currentIndex(), -1);
  EXPECT_EQ(window.seBank->value(), 1);
  EXPECT_FALSE(window.Image1->pixmap().isNull()) << "the JPEG logo decodes";
  EXPECT_EQ(window.Image1->pixmap().size(), QSize(131, 25));
  for (QToolButton* button : {window.sbOpen, window.sbSave, window.sbPrint, window.sbPrinterSetup}) {
    EXPECT_FALSE(button->icon().pixmap(20, 20).isNull()) << button->toolTip().toStdString();
  }

  const std::pair<QLabel*, const char*> captions[] = {
      {window.Ldata, "00/00/00"},   {window.Lgodzina, "00:00:00"},    {window.Label1, "a max [m/s2] ="},
      {window.lbAmax, "0.0"},       {window.Label6, "F max [daN] ="}, {window.lbFmax, "0.0"},
      {window.lHamulec, "hamulec"}, {window.Label2, "kąt pocz ="},    {window.Lbeta, "0.0"},
      {window.Label3, "a pocz ="},  {window.La_zero, "0.0"},          {window.Label4, "blok ="},
      {window.Lblok, "0"},
  };
  for (const auto& [label, text] : captions) EXPECT_EQ(label->text(), QString::fromUtf8(text));
  EXPECT_EQ(window.lbAmax->palette().color(QPalette::WindowText), QColor(255, 0, 0));
  EXPECT_EQ(window.lbFmax->palette().color(QPalette::WindowText), QColor(0, 128, 0));
  EXPECT_TRUE(window.lbAmax->font().bold());

  EXPECT_EQ(window.StatusBar->PanelText(0), "");
  EXPECT_EQ(window.StatusBar->PanelText(1), "");
  EXPECT_EQ(window.CheckBox1->text(), QString::fromUtf8("wartości"));
  EXPECT_EQ(window.CheckBox1->parentWidget(), window.Chart);
  EXPECT_EQ(window.Prn_Opis->parentWidget(), window.Chart);
  EXPECT_EQ(window.Prn_Opis->geometry(), QRect(16, 400, 801, 17));
}

TEST_F(MainWindow, LayoutAndTabOrder) {
  Shown();
  EXPECT_FALSE(window.CheckBox1->isVisible());
  EXPECT_FALSE(window.Prn_Opis->isVisible());
  EXPECT_FALSE(window.daneSKP->isVisible());
  EXPECT_EQ(window.Panel1->height(), 73);
  EXPECT_EQ(window.Panel1->width(), window.width());
  EXPECT_EQ(window.StatusBar->height(), 19);
  EXPECT_EQ(window.Chart->geometry().top(), window.Panel1->geometry().bottom() + 1);
  EXPECT_GT(window.Chart->height(), 300);
  QWidget* expected[] = {window.cbCOM, window.btPolacz, window.seBank, window.bbtOpen, window.Button1};
  for (std::size_t i = 0; i + 1 < std::size(expected); ++i) {
    QWidget* next = expected[i]->nextInFocusChain();
    while (next->focusPolicy() == Qt::NoFocus || next->focusProxy() == expected[i] || expected[i]->isAncestorOf(next)) {
      next = next->nextInFocusChain();
    }
    EXPECT_EQ(next, expected[i + 1]) << i;
  }
}

// The control that has the keyboard focus, when the focus is inside it.
QWidget* ControlWithFocus(const std::vector<QWidget*>& controls) {
  for (QWidget* control : controls)
    if (control == QApplication::focusWidget() || control->isAncestorOf(QApplication::focusWidget())) return control;
  return QApplication::focusWidget();
}

// Tab goes round the operator's controls and nothing else: the progress bar
// and the chart show no focus and are passed by.
TEST_F(MainWindow, TabGoesRoundTheControlsOnly) {
  Shown();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  window.bbtOpen->setEnabled(true); // as while connected
  const std::vector<QWidget*> round = {window.cbCOM, window.btPolacz, window.seBank, window.bbtOpen, window.Button1};
  window.cbCOM->setFocus();
  for (int press = 1; press <= 2 * static_cast<int>(round.size()); ++press) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QWidget* focused = ControlWithFocus(round);
    EXPECT_EQ(focused, round[press % round.size()])
        << "Tab " << press << " lands on " << (focused ? focused->metaObject()->className() : "nothing");
  }
}

// Enter presses the focused button, as Space does.
TEST_F(MainWindow, EnterAndSpacePressTheFocusedButton) {
  Shown();
  window.bbtOpen->setEnabled(true); // as while connected
  for (QPushButton* button : {window.btPolacz, window.bbtOpen, window.Button1}) {
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) {
      window.activateWindow();
      ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
      button->setFocus();
      ASSERT_EQ(QApplication::focusWidget(), button);
      QSignalSpy clicks(button, &QPushButton::clicked);
      QTest::keyClick(button, key);
      EXPECT_EQ(clicks.count(), 1) << button->text().toStdString() << " key " << key;
      window.daneSKP->hide();
      window.bbtOpen->setEnabled(true);
    }
  }
  EXPECT_EQ(dialogs.boxes.size(), 1u + 3u) << "the configuration box, then each connect without a port";
}

TEST_F(MainWindow, MissingConfigurationGivesOneErrorBoxAndAWorkingWindow) {
  Shown();
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].text, "File not found.");
  EXPECT_EQ(dialogs.boxes[0].caption, "tfmain_test");
  EXPECT_EQ(dialogs.boxes[0].icon, TDialogs::TIcon::Stop);
  EXPECT_FALSE(window.State.Polaczony);
  EXPECT_EQ(window.cbCOM->currentIndex(), -1);
  EXPECT_EQ(window.daneSKP->edSKP->text(), "");
  EXPECT_FALSE(std::filesystem::exists(directory.Path() / "konfiguracja.txt")) << "nothing is created";
}

TEST_F(MainWindow, ConfigurationIsRestoredAtFirstShow) {
  WriteConfiguration(
      "Stacja Kontroli Pojazd\xF3w\r\nul. \xA3\xF3"
      "dzka 5\r\nbez uwag\r\n12\r\n");
  Shown();
  EXPECT_TRUE(dialogs.boxes.empty());
  EXPECT_EQ(window.daneSKP->edSKP->text(), QString::fromUtf8("Stacja Kontroli Pojazdów"));
  EXPECT_EQ(window.daneSKP->edAdres->text(), QString::fromUtf8("ul. Łódzka 5"));
  EXPECT_EQ(window.daneSKP->edUwagi->text(), "bez uwag");
  EXPECT_EQ(window.cbCOM->currentText(), "COM12");
  EXPECT_EQ(window.btPolacz->text(), QString::fromUtf8("Polącz")) << "restoring a port does not connect";
}

TEST_F(MainWindow, ModyfikujWritesTheFileAndHidesTheDialog) {
  Shown();
  dialogs.boxes.clear();
  window.Button1Click();
  ASSERT_TRUE(window.daneSKP->isVisible());
  window.daneSKP->edSKP->setText(QString::fromUtf8("Żółta Stacja"));
  window.daneSKP->edMarka->setText("Fiat");
  window.daneSKP->Button1->click();
  EXPECT_TRUE(dialogs.boxes.empty());
  EXPECT_FALSE(window.daneSKP->isVisible());
  EXPECT_EQ(FileContent(directory.Path() / "konfiguracja.txt"), "\xAF\xF3\xB3ta Stacja\r\n\r\n\r\n0\r\n");

  window.cbCOM->setCurrentIndex(6);
  window.daneSKP->Button1->click();
  EXPECT_EQ(FileContent(directory.Path() / "konfiguracja.txt"), "\xAF\xF3\xB3ta Stacja\r\n\r\n\r\n7\r\n");
}

TEST_F(MainWindow, OnlyModyfikujTouchesTheFile) {
  WriteConfiguration("a\r\nb\r\nc\r\n3\r\n");
  Shown();
  window.Button1Click();
  window.daneSKP->edSKP->setText("changed");
  window.daneSKP->BitBtn1->click();
  window.cbCOM->setCurrentIndex(9);
  window.close();
  EXPECT_EQ(FileContent(directory.Path() / "konfiguracja.txt"), "a\r\nb\r\nc\r\n3\r\n");
}

TEST_F(MainWindow, FailedModyfikujKeepsTheDialogOpen) {
  Shown();
  dialogs.boxes.clear();
  std::filesystem::create_directory(directory.Path() / "konfiguracja.txt");
  window.Button1Click();
  window.daneSKP->Button1->click();
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].text, "File access denied.");
  EXPECT_TRUE(window.daneSKP->isVisible());
}

TEST_F(MainWindow, LogoShowsTheAboutBox) {
  Shown();
  dialogs.boxes.clear();
  QTest::mouseClick(window.Image1, Qt::LeftButton);
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].caption, "ZR-7, wersja 1.2");
  EXPECT_TRUE(dialogs.boxes[0].text.contains("TERVA"));
}

TEST_F(MainWindow, DataDialogIsModelessAndShownOnce) {
  Shown();
  QTest::mouseClick(window.Button1, Qt::LeftButton);
  EXPECT_TRUE(window.daneSKP->isVisible());
  EXPECT_FALSE(window.daneSKP->isModal());
  window.daneSKP->edRej->setText("WA 12345");
  QTest::mouseClick(window.Button1, Qt::LeftButton);
  EXPECT_TRUE(window.daneSKP->isVisible());
  EXPECT_EQ(window.findChildren<TdaneSKP*>().size(), 1);
  EXPECT_EQ(window.daneSKP->edRej->text(), "WA 12345");
  EXPECT_TRUE(window.btPolacz->isEnabled()) << "the main window stays usable";
}

TEST_F(MainWindow, CtrlKeysOpenSaveAndPrint) {
  Shown();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  window.cbCOM->setFocus();
  dialogs.boxes.clear();
  const auto press = [&](Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key, Qt::ControlModifier); };

  press(Qt::Key_O);
  ASSERT_TRUE(QTest::qWaitFor([&] { return dialogs.fileDialogs.size() == 1; }, 2000)) << "Ctrl+O";
  EXPECT_EQ(dialogs.fileDialogs[0].filter, "pliki ZR-7 (*.zr)|*.zr");
  press(Qt::Key_S);
  ASSERT_TRUE(QTest::qWaitFor([&] { return dialogs.fileDialogs.size() == 2; }, 2000)) << "Ctrl+S";
  EXPECT_EQ(dialogs.fileDialogs[1].filter, "pliki zr-7 (*.zr)|*.zr");
  press(Qt::Key_P);
  EXPECT_TRUE(QTest::qWaitFor([&] { return dialogs.printing.printDialogs == 1; }, 2000)) << "Ctrl+P";

  window.sbOpen->setEnabled(false); // as while a bank is read
  press(Qt::Key_O);
  QTest::qWait(300);
  EXPECT_EQ(dialogs.fileDialogs.size(), 2u) << "no file is opened during a read";
  EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(MainWindow, BankNumberStaysWithinTheBanks) {
  Shown();
  const std::pair<const char*, int> typed[] = {{"7", 7}, {"20", 12}, {"0", 1}, {"ab", 1}, {"12", 12}, {"", 1}};
  for (const auto& [text, value] : typed) {
    window.seBank->setFocus();
    window.seBank->lineEdit()->setText(text);
    QFocusEvent leaving(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(window.seBank, &leaving);
    EXPECT_EQ(window.seBank->value(), value) << text;
    EXPECT_EQ(window.seBank->text(), QString::number(value)) << text;
  }
  window.seBank->lineEdit()->clear();
  QTest::keyClicks(window.seBank->lineEdit(), "123");
  EXPECT_LE(window.seBank->lineEdit()->text().size(), 2);
  window.seBank->setValue(12);
  window.seBank->stepUp();
  EXPECT_EQ(window.seBank->value(), 12);
}

// A record whose deceleration and force rise and fall, with its count in sample 1.
TPomiar Record(int count) {
  TPomiar p;
  for (int i = 1; i <= count; ++i) {
    p.Probki[i].a = 8.0 - std::abs(i - count / 2) * 0.02;
    p.Probki[i].F = static_cast<std::int16_t>(40 + i % 17);
    p.Probki[i].n = count;
  }
  return p;
}

TEST_F(MainWindow, OdrysujDrawsTheRecordAndItsMaximum) {
  struct Case {
    int count;
    int shownSamples;
  };
  for (const Case c : {Case{0, 0}, Case{240, 240}, Case{500, 500}, Case{501, 500}, Case{-1, 0}}) {
    window.State.Pomiar = Record(std::clamp(c.count, 0, 500));
    window.State.Pomiar.Probki[1].n = c.count;
    window.Odrysuj();
    EXPECT_EQ(window.Serie.SeriaF->Count(), c.shownSamples) << c.count;
    EXPECT_EQ(window.Serie.SeriaALFA->Count(), c.shownSamples) << c.count;
    EXPECT_EQ(window.Serie.SeriaA->Count(), c.shownSamples + 3) << c.count;
    EXPECT_EQ(window.Serie.SeriaX->Count(), 0);
    EXPECT_EQ(window.Serie.SeriaZ->Count(), 0);
  }
  window.State.Pomiar = Record(0);
  window.Odrysuj();
  EXPECT_EQ(window.Serie.SeriaA->Point(0), (TPoint{-0.025, 0}));
  EXPECT_EQ(window.Serie.SeriaA->Point(1), (TPoint{0, 0}));
  EXPECT_EQ(window.Serie.SeriaA->Point(2), (TPoint{0.025, 0}));
  EXPECT_EQ(window.lbFmax->text(), "0");

  window.State.Pomiar = Record(500);
  window.Odrysuj();
  EXPECT_EQ(window.Serie.SeriaF->Point(499).x, 12.5);
}

TEST_F(MainWindow, OdrysujMarksTheFirstOfEqualMaximaAndIsIdempotent) {
  TPomiar p;
  const double a[] = {1.0, 7.26, 3.0, 7.26, 2.0};
  const std::int16_t f[] = {10, 57, 20, 30, 0};
  for (int i = 1; i <= 5; ++i) {
    p.Probki[i].a = a[i - 1];
    p.Probki[i].F = f[i - 1];
  }
  p.Probki[1].n = 5;
  window.State.Pomiar = p;
  window.Odrysuj();
  window.Odrysuj();
  ASSERT_EQ(window.Serie.SeriaA->Count(), 8);
  // The marks at 0.025, 0.05 and 0.075 s sort in after the samples with equal x.
  const TPoint expected[] = {{0.025, 1.0}, {0.025, 7.26}, {0.05, 7.26}, {0.05, 7.26},
                             {0.075, 3.0}, {0.075, 7.26}, {0.1, 7.26},  {0.125, 2.0}};
  for (int i = 0; i < 8; ++i) {
    EXPECT_DOUBLE_EQ(window.Serie.SeriaA->Point(i).x, expected[i].x) << i;
    EXPECT_EQ(window.Serie.SeriaA->Point(i).y, expected[i].y) << i;
  }
  EXPECT_EQ(window.Serie.SeriaF->Count(), 5);
  EXPECT_EQ(window.Serie.SeriaALFA->MaxYValue(), 7.26);
  EXPECT_EQ(window.lbFmax->text(), "57");
}

TEST_F(MainWindow, CheckBoxSwitchesValueLabelsOfTheRedCurveOnly) {
  window.CheckBox1->setChecked(true);
  window.CheckBox1Click();
  EXPECT_TRUE(window.Serie.SeriaA->MarksVisible());
  EXPECT_FALSE(window.Serie.SeriaF->MarksVisible());
  window.CheckBox1->setChecked(false);
  window.CheckBox1Click();
  EXPECT_FALSE(window.Serie.SeriaA->MarksVisible());
}

} // namespace
} // namespace zr7
