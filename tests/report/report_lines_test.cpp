#include "report/report_lines.h"

#include <gtest/gtest.h>

#include <string>

namespace zr7 {
namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

TReportInputs FilledInputs() {
  TReportInputs in;
  in.station.SKP = "Stacja Kontroli Pojazdów nr 3";
  in.station.Adres = "ul. Łąkowa 12, Łódź";
  in.station.RodzajPojazdu = 0;
  in.station.Marka = "Škoda";
  in.station.Model = "Fabia";
  in.station.PierwszaRej = "12.03.2015";
  in.station.Rej = "EL 12345";
  in.station.Przebieg = "123456";
  in.station.Uwagi = "bez uwag";
  in.station.Diagnosta = "Jan Żółć";
  in.Ldata = U("14/05/24");
  in.Lgodzina = U("10:22:31");
  in.lbAmax = U("6,8");
  in.lbFmax = U("54");
  in.HamulecTxt = "hamulec roboczy";
  in.UwagaTxt = "(*) w przypadku motocykla - hamulec obu kół";
  in.OdchylenieTxt = "0,35";
  return in;
}

TEST(ReportLinesTest, ServiceBrakeReportHasEveryLineInOrder) {
  const QStringList expected = {
      U("F.P.U.H \"TERVA\" Opóźnieniomierz ZR-7"),
      U("14/05/24 10:22:31"),
      U(""),
      U("DANE SKP / WARSZTATU:"),
      U("    Nazwa: Stacja Kontroli Pojazdów nr 3"),
      U("    Adres: ul. Łąkowa 12, Łódź"),
      U(""),
      U("DANE POJAZDU:"),
      U("    Rodzaj pojazdu: samochód osobowy"),
      U("    Marka: Škoda"),
      U("    Typ / model: Fabia"),
      U("    Data 1-szej rejestracji : 12.03.2015"),
      U("    Nr rejestracyjny: EL 12345"),
      U("    Przebieg [km]: 123456"),
      U(""),
      U("WYNIKI POMIARÓW:"),
      U("    rodzaj hamulca: hamulec roboczy (HR)*"),
      U("    opóźnienie maksymalne, a max [m/s2] = 6,8"),
      U("    siła nacisku na pedał  F [daN] = 54"),
      U("    odchylenie kierunku jazdy = 0,35 [m]"),
      U(""),
      U("    Uwagi: bez uwag"),
      U("    Diagnosta: Jan Żółć"),
      U(""),
      U("    (*) w przypadku motocykla - hamulec obu kół"),
  };
  EXPECT_EQ(ReportLines(FilledInputs()), expected);
  EXPECT_EQ(expected[0].size(), 36);
}

// The line after "DANE POJAZDU:" for each choice in the vehicle kind list.
TEST(ReportLinesTest, VehicleKindLineFollowsTheChosenIndex) {
  const struct {
    int index;
    const char* line; // nullptr: no kind line, the make line follows
  } cases[] = {
      {-1, nullptr},
      {0, "    Rodzaj pojazdu: samochód osobowy"},
      {1, "    Rodzaj pojazdu: samochód ciężarowy"},
      {2, "    Rodzaj pojazdu: autobus"},
      {3, "    Rodzaj pojazdu: motocykl"},
      {4, "    Rodzaj pojazdu: inny..........................."},
      {5, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.index);
    TReportInputs in = FilledInputs();
    in.station.RodzajPojazdu = c.index;
    const QStringList lines = ReportLines(in);
    const qsizetype after = lines.indexOf(U("DANE POJAZDU:")) + 1;
    EXPECT_EQ(lines[after], c.line ? U(c.line) : U("    Marka: Škoda"));
    EXPECT_EQ(lines.size(), c.line ? 25 : 24);
  }
  EXPECT_EQ(std::string(U("    Rodzaj pojazdu: inny...........................").section(U("inny"), 1).toUtf8()),
            std::string(27, '.'));
}

// The brake line is chosen by exact comparison; only the service brake has
// the deviation line. The footnote is whatever the record's text says.
TEST(ReportLinesTest, BrakeKindDecidesBrakeAndDeviationLines) {
  const struct {
    std::string hamulec;
    std::string uwaga;
    const char* brakeLine; // nullptr: none
    bool deviation;
    const char* lastLine;
  } cases[] = {
      {"", "", nullptr, false, "    "},
      {"hamulec awaryjny", "", "    rodzaj hamulca: hamulec awaryjny (HA)", false, "    "},
      {"hamulec roboczy", "(*) w przypadku motocykla - hamulec obu kół", "    rodzaj hamulca: hamulec roboczy (HR)*",
       true, "    (*) w przypadku motocykla - hamulec obu kół"},
      {"hamulec pomocniczy", "(*) w przypadku motocykla - hamulec koła tylnego",
       "    rodzaj hamulca: hamulec pomocniczy (HP)*", false, "    (*) w przypadku motocykla - hamulec koła tylnego"},
      {"Hamulec roboczy", "", nullptr, false, "    "},
      {"hamulec roboczy ", "", nullptr, false, "    "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.hamulec);
    TReportInputs in = FilledInputs();
    in.HamulecTxt = c.hamulec;
    in.UwagaTxt = c.uwaga;
    const QStringList lines = ReportLines(in);
    const qsizetype results = lines.indexOf(U("WYNIKI POMIARÓW:"));
    qsizetype next = results + 1;
    if (c.brakeLine) {
      EXPECT_EQ(lines[next++], U(c.brakeLine));
    }
    EXPECT_EQ(lines[next++], U("    opóźnienie maksymalne, a max [m/s2] = 6,8"));
    EXPECT_EQ(lines[next++], U("    siła nacisku na pedał  F [daN] = 54"));
    if (c.deviation) {
      EXPECT_EQ(lines[next++], U("    odchylenie kierunku jazdy = 0,35 [m]"));
    }
    EXPECT_EQ(lines[next], U(""));
    EXPECT_EQ(lines.last(), U(c.lastLine));
    EXPECT_EQ(lines.size(), 23 + (c.brakeLine ? 1 : 0) + (c.deviation ? 1 : 0));
  }
}

TEST(ReportLinesTest, FurtherLinesFollowTheLastResult) {
  const std::pair<const char*, const char*> cases[] = {
      {"hamulec roboczy", "    odchylenie"}, {"hamulec awaryjny", "    siła"}, {"", "    siła"}};
  for (const auto& [hamulec, lastResultStart] : cases) {
    SCOPED_TRACE(hamulec);
    TReportInputs in = FilledInputs();
    in.HamulecTxt = hamulec;
    QStringList expected = ReportLines(in);
    const qsizetype lastResult = expected.indexOf(U("    Uwagi: bez uwag")) - 2;
    ASSERT_TRUE(expected[lastResult].startsWith(U(lastResultStart)));
    expected.insert(lastResult + 1, U("    MFDD = 5,1"));
    expected.insert(lastResult + 2, U("    v0 = 80"));
    in.underResults = {U("    MFDD = 5,1"), U("    v0 = 80")};
    EXPECT_EQ(ReportLines(in), expected);
  }
}

// Every character 10 pixels wide, so a 100-pixel memo holds ten.
int TenEach(QStringView text) { return static_cast<int>(text.size()) * 10; }

TEST(ReportLinesTest, MemoWrapsLongLinesAtBlanks) {
  const struct {
    const char* line;
    QStringList rows;
  } cases[] = {
      {"", {U("")}},
      {"0123456789", {U("0123456789")}},
      // Blanks after the last fitting word hang at the end of its row.
      {"0123456789   abc", {U("0123456789   "), U("abc")}},
      {"aaa bbb ccc ddd", {U("aaa bbb "), U("ccc ddd")}},
      {"    Uwagi: one two three four", {U("    Uwagi: "), U("one two "), U("three four")}},
      // A word wider than the memo is cut where it no longer fits.
      {"ab 0123456789abcdef", {U("ab "), U("0123456789"), U("abcdef")}},
      {"0123456789abcdefghij", {U("0123456789"), U("abcdefghij")}},
      {"one\r\ntwo", {U("one"), U("two")}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(WrapMemoLine(U(c.line), 100, TenEach), c.rows);
  }
  EXPECT_EQ(WrapMemoLines({U("aaa bbb ccc"), U("x")}, 100, TenEach), (QStringList{U("aaa bbb "), U("ccc"), U("x")}));
}

} // namespace
} // namespace zr7
