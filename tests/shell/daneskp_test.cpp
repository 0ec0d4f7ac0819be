#include "shell/tdaneskp.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>

namespace zr7 {
namespace {

TEST(DaneSKP, FieldsAndVehicleKinds) {
  TdaneSKP dialog;
  EXPECT_EQ(dialog.windowTitle(), "Dane SKP / pojazdu");
  const QStringList kinds = {"sam.osobowy", QString::fromUtf8("sam.ciężarowy"), "autobus", "motocykl", "inny"};
  ASSERT_EQ(dialog.rodzaj_pojazdu->count(), 5);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(dialog.rodzaj_pojazdu->itemText(i), kinds[i]);
  EXPECT_EQ(dialog.rodzaj_pojazdu->currentIndex(), -1);
  for (QLineEdit* edit : {dialog.edSKP, dialog.edAdres, dialog.edMarka, dialog.edModel, dialog.ed1Rej, dialog.edRej,
                          dialog.edPrzebieg, dialog.edUwagi, dialog.edDiagnosta}) {
    EXPECT_TRUE(edit->text().isEmpty());
  }
  EXPECT_EQ(dialog.edSKP->geometry(), QRect(80, 48, 329, 21));
  EXPECT_EQ(dialog.BitBtn1->geometry(), QRect(208, 312, 75, 41));
  EXPECT_TRUE(dialog.BitBtn1->isDefault());
  EXPECT_EQ(dialog.Button1->text(), "modyfikuj");
  EXPECT_EQ(dialog.Button1->toolTip(), "zmiana: nazwy SKP, Adresu, Uwag i nrCOM");
}

// How the operator may leave the dialog, and whether it hides.
// Each value lands in its own field: a swapped pair of fields would put
// the make where the model belongs on the report and in the file.
TEST(DaneSKP, ValuesComeBackFromTheirOwnFields) {
  TdaneSKP dialog;
  const TStationData data{"SKP Łódź", "ul. Wąska 1", 3,         "Škoda",    "Fabia",
                          "1.2.2015", "EL 12345",    "123 456", "bez uwag", "Jan Żółć"};
  dialog.SetValues(data);
  EXPECT_EQ(dialog.Values(), data);
  EXPECT_EQ(dialog.edMarka->text(), "Škoda");
  EXPECT_EQ(dialog.ed1Rej->text(), "1.2.2015");
  EXPECT_EQ(dialog.rodzaj_pojazdu->currentText(), "motocykl");

  for (const int foreignKind : {5, -7}) {
    TStationData foreign = data;
    foreign.RodzajPojazdu = foreignKind;
    dialog.SetValues(foreign);
    EXPECT_EQ(dialog.Values().RodzajPojazdu, -1) << foreignKind;
  }
}

TEST(DaneSKP, OkEnterAndCloseBoxHideEscDoesNot) {
  TdaneSKP dialog;
  const auto shownWithText = [&] {
    dialog.show();
    dialog.activateWindow();
    dialog.edMarka->setFocus();
    dialog.edMarka->setText("Fiat");
  };

  shownWithText();
  QTest::keyClick(dialog.edMarka, Qt::Key_Escape);
  EXPECT_TRUE(dialog.isVisible()) << "Esc";

  QTest::keyClick(dialog.edMarka, Qt::Key_Return);
  EXPECT_FALSE(dialog.isVisible()) << "Enter";

  shownWithText();
  dialog.BitBtn1->click();
  EXPECT_FALSE(dialog.isVisible()) << "OK";

  shownWithText();
  dialog.close();
  EXPECT_FALSE(dialog.isVisible()) << "close box";
  EXPECT_EQ(dialog.edMarka->text(), "Fiat") << "hiding keeps what was typed";
}

TEST(DaneSKP, ModyfikujHidesOnlyWhenTheDataWasStored) {
  TdaneSKP dialog;
  bool stored = false;
  int calls = 0;
  dialog.OnModyfikuj = [&] {
    ++calls;
    return stored;
  };
  dialog.show();
  dialog.Button1->click();
  EXPECT_TRUE(dialog.isVisible());
  stored = true;
  dialog.Button1->click();
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(calls, 2);
}

// The kind is the entry whose text the box shows, or none; whatever was
// typed stays in the box and is never added to the list.
TEST(DaneSKP, VehicleKindFollowsTheTextOfTheBox) {
  TdaneSKP dialog;
  dialog.show();
  QComboBox* kind = dialog.rodzaj_pojazdu;
  QLineEdit* text = kind->lineEdit();
  kind->setFocus();
  const auto typeOver = [&](const char* typed) {
    return [=] {
      text->selectAll();
      QTest::keyClicks(text, typed);
    };
  };
  struct Step {
    const char* what;
    std::function<void()> act;
    const char* shown;
    int index;
  };
  const Step steps[] = {
      {"chosen from the list", [&] { kind->setCurrentIndex(3); }, "motocykl", 3},
      {"typed over", typeOver("xyz"), "xyz", -1},
      {"an entry typed whole", typeOver("autobus"), "autobus", 2},
      {"cleared",
       [&] {
         text->selectAll();
         QTest::keyClick(text, Qt::Key_Backspace);
       },
       "", -1},
      {"a word that is no entry", typeOver("traktor"), "traktor", -1},
      {"chosen again", [&] { kind->setCurrentIndex(0); }, "sam.osobowy", 0},
      {"its last letter deleted",
       [&] {
         text->end(false);
         QTest::keyClick(text, Qt::Key_Backspace);
       },
       "sam.osobow", -1},
  };
  for (const Step& step : steps) {
    step.act();
    EXPECT_EQ(text->text(), QString::fromUtf8(step.shown)) << step.what;
    EXPECT_EQ(kind->currentIndex(), step.index) << step.what;
  }
  EXPECT_EQ(kind->count(), 5);
}

// Enter presses the focused button, as Space does; in an edit or in the
// vehicle kind box it is the dialog's OK.
TEST(DaneSKP, EnterPressesTheFocusedButtonAndIsOkElsewhere) {
  struct Case {
    const char* what;
    QWidget* (*focus)(TdaneSKP&);
    Qt::Key key;
    int stored;
  };
  const auto modyfikuj = [](TdaneSKP& d) -> QWidget* {
    d.edAdres->setFocus();
    QTest::keyClick(d.edAdres, Qt::Key_Tab); // the operator's way there
    EXPECT_EQ(QApplication::focusWidget(), d.Button1);
    return d.Button1;
  };
  const auto ok = [](TdaneSKP& d) -> QWidget* { return d.BitBtn1; };
  const auto edit = [](TdaneSKP& d) -> QWidget* { return d.edMarka; };
  const auto kind = [](TdaneSKP& d) -> QWidget* { return d.rodzaj_pojazdu; };
  const auto editAfterModyfikuj = [](TdaneSKP& d) -> QWidget* {
    d.Button1->setFocus();
    return d.edMarka;
  };
  const Case cases[] = {
      {"Enter on modyfikuj", modyfikuj, Qt::Key_Return, 1},
      {"keypad Enter on modyfikuj", modyfikuj, Qt::Key_Enter, 1},
      {"Space on modyfikuj", modyfikuj, Qt::Key_Space, 1},
      {"Enter on OK", ok, Qt::Key_Return, 0},
      {"Space on OK", ok, Qt::Key_Space, 0},
      {"Enter in an edit", edit, Qt::Key_Return, 0},
      {"keypad Enter in an edit", edit, Qt::Key_Enter, 0},
      {"Enter in the kind box", kind, Qt::Key_Return, 0},
      {"Enter in an edit after modyfikuj had the focus", editAfterModyfikuj, Qt::Key_Return, 0},
  };
  for (const Case& c : cases) {
    TdaneSKP dialog;
    int stored = 0;
    dialog.OnModyfikuj = [&] {
      ++stored;
      return true;
    };
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    QWidget* target = c.focus(dialog);
    target->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), target) << c.what;
    QTest::keyClick(target, c.key);
    EXPECT_EQ(stored, c.stored) << c.what;
    EXPECT_FALSE(dialog.isVisible()) << c.what;
  }
}

} // namespace
} // namespace zr7
