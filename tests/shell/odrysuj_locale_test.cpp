#include "scripted_dialogs.h"
#include "shell/tfmain.h"

#include <QLabel>
#include <clocale>
#include <gtest/gtest.h>

namespace zr7 {
namespace {

// Registered twice, under LC_ALL=pl_PL.UTF-8 and LC_ALL=en_US.UTF-8.
TEST(OdrysujLocale, MaximaUseTheUsersDecimalSeparator) {
  const QString locale = qEnvironmentVariable("LC_ALL");
  ASSERT_TRUE(locale.startsWith("pl_") || locale.startsWith("en_")) << locale.toStdString();
  const QString separator = locale.startsWith("pl_") ? "," : ".";
  // The application has set the process's C locale from the environment, as
  // on a user's desktop; a locale that is not installed leaves it at "C".
  ASSERT_EQ(QString::fromLatin1(std::localeconv()->decimal_point), separator) << "locale not installed";
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

} // namespace
} // namespace zr7
