#include "report/tdaneskp.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

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

TEST(DaneSKP, TypedVehicleKindIsNotAChoice) {
  TdaneSKP dialog;
  dialog.show();
  dialog.rodzaj_pojazdu->setFocus();
  QTest::keyClicks(dialog.rodzaj_pojazdu->lineEdit(), "traktor");
  EXPECT_EQ(dialog.rodzaj_pojazdu->currentIndex(), -1);
  EXPECT_EQ(dialog.rodzaj_pojazdu->count(), 5);
  dialog.rodzaj_pojazdu->setCurrentIndex(3);
  EXPECT_EQ(dialog.rodzaj_pojazdu->currentIndex(), 3);
}

} // namespace
} // namespace zr7
