#include "scripted_dialogs.h"
#include "shell/tfmain.h"
#include "shell/tstatusbar.h"

#include <QLabel>
#include <QLocale>
#include <clocale>
#include <gtest/gtest.h>

namespace zr7 {
namespace {

// Registered twice, under LC_ALL=pl_PL.UTF-8 and LC_ALL=en_US.UTF-8.
TEST(OdrysujLocale, MaximaUseTheUsersDecimalSeparator) {
  const QString locale = qEnvironmentVariable("LC_ALL");
  ASSERT_TRUE(locale.startsWith("pl_") || locale.startsWith("en_")) << locale.toStdString();
  const QString separator = locale.startsWith("pl_") ? "," : ".";
#ifdef _WIN32
  // Wine makes the environment's locale the user's Windows locale.
  ASSERT_EQ(QLocale::system().decimalPoint(), separator) << "the user's locale is not the environment's";
#else
  // The application has set the process's C locale from the environment, as
  // on a user's desktop; a locale that is not installed leaves it at "C".
  ASSERT_EQ(QString::fromLatin1(std::localeconv()->decimal_point), separator) << "locale not installed";
#endif
  TScriptedDialogs dialogs;
  TfMain window(dialogs);
  TPomiar& p = window.State.Pomiar;
  p.Probki[1].n = 3;
  p.Probki[1].a = 6.24;
  p.Probki[2].a = 7.25;
  p.Probki[3].a = 7.2;
  p.Probki[2].F = 56;
  p.Probki[3].F = 57;
  window.Odrysuj();
  EXPECT_EQ(window.lbAmax->text(), "7" + separator + "3");
  EXPECT_EQ(window.lbFmax->text(), "57");

  window.State.Pomiar = TPomiar{};
  window.Odrysuj();
  EXPECT_EQ(window.lbAmax->text(), "0" + separator + "0");
  EXPECT_EQ(window.lbFmax->text(), "0");
}

TEST(OdrysujLocale, BrakingFiguresUseTheUsersDecimalSeparator) {
  const QString separator = qEnvironmentVariable("LC_ALL").startsWith("pl_") ? "," : ".";
  TScriptedDialogs dialogs;
  TfMain window(dialogs);
  TPomiar& p = window.State.Pomiar;
  // 149 samples of 6 m/s2 stop the vehicle from 80.5 km/h within 41.9 m.
  p.Probki[1].n = 160;
  for (int i = 5; i < 5 + 149; ++i) p.Probki[i].a = 6;
  window.Odrysuj();
  EXPECT_EQ(window.StatusBar->PanelText(2),
            "MFDD 6" + separator + "0 m/s2 (61 %)  v0 80 km/h  s 41" + separator + "9 m");
  // The record names no vehicle kind: the figures come without a verdict.
  EXPECT_EQ(window.StatusBar->PanelHint(2), "MFDD 6" + separator + "0 m/s2 (61 %)  v0 80 km/h  s 41" + separator +
                                                "9 m  t 3" + separator + "75 s  F 0 daN\n" +
                                                QString::fromUtf8("ocena według MFDD: brak (brak rodzaju pojazdu)"));

  window.State.Pomiar = TPomiar{};
  window.Odrysuj();
  EXPECT_EQ(window.StatusBar->PanelText(2), "");
  EXPECT_EQ(window.StatusBar->PanelHint(2), "brak hamowania");
}

} // namespace
} // namespace zr7
