#include "transfer/header_decode.h"

#include <gtest/gtest.h>

namespace zr7 {
namespace {

// A state whose header holds the given bytes at the given positions.
TBankContents WithHeader(std::initializer_list<std::pair<int, int>> bytes) {
  TBankContents state;
  for (const auto& [position, value] : bytes) state.Naglowek.at(position) = static_cast<std::uint8_t>(value);
  return state;
}

TEST(HeaderDecode, SampleCountIsCappedAt500) {
  const struct {
    int high, low;
    int count;
    std::string status;
  } cases[] = {
      {0, 0, 100, " Ilosc próbek = 100"},   {0, 140, 240, " Ilosc próbek = 240"},
      {1, 143, 499, " Ilosc próbek = 499"}, {1, 144, 500, " Ilosc próbek = 500"},   // 400
      {1, 145, 500, " Ilosc próbek = 500"}, {255, 255, 500, " Ilosc próbek = 500"}, // taken as unsigned
  };
  for (const auto& c : cases) {
    auto state = WithHeader({{6, c.high}, {7, c.low}});
    const auto captions = DecodeHeader(state, ".");
    EXPECT_EQ(state.IloscProbek, c.count) << c.high << " " << c.low;
    EXPECT_EQ(captions.statusCount, c.status);
  }
}

TEST(HeaderDecode, DateAndTimeCaptions) {
  const struct {
    int day, month, year, hour, minute, second;
    std::string date, time;
  } cases[] = {
      {7, 3, 6, 9, 5, 7, "7/3/2006", "9:5:7"},
      {0, 0, 0, 0, 0, 0, "0/0/2000", "0:0:0"},
      {31, 12, 9, 23, 59, 59, "31/12/2009", "23:59:59"},
      {1, 1, 10, 0, 0, 0, "1/1/2010", "0:0:0"}, // two-digit years stay "20" and two digits
      {15, 8, 24, 12, 30, 0, "15/8/2024", "12:30:0"},
      {15, 8, 99, 12, 30, 0, "15/8/2099", "12:30:0"},
  };
  for (const auto& c : cases) {
    auto state = WithHeader({{0, c.day}, {1, c.month}, {2, c.year}, {3, c.hour}, {4, c.minute}, {5, c.second}});
    const auto captions = DecodeHeader(state, ".");
    EXPECT_EQ(captions.Ldata, c.date);
    EXPECT_EQ(captions.Lgodzina, c.time);
  }
}

TEST(HeaderDecode, StartAngleAndInitialAcceleration) {
  const struct {
    int angleHigh, angleLow, accelHigh, accelLow;
    std::string separator;
    double katPocz, aPocz;
    std::string lbeta, laZero;
  } cases[] = {
      {3, 17, 0, 0, ".", 0.785, 0, "0", "0"}, // 44.98 degrees rounds to 45
      {0, 0, 0, 0, ".", 0, 0, "-45", "0"},
      {255, 206, 255, 206, ",", 65.486, -0.5, "3707", "-0,5"}, // angle unsigned, acceleration signed
      {3, 17, 0, 125, ".", 0.785, 1.25, "0", "1.25"},
      {0, 0, 48, 57, ".", 0, 123.45, "-45", "123.5"},
      {0, 0, 128, 0, ".", 0, -327.68, "-45", "-327.7"},
      // 0.794 rad is 45.49 degrees and 0.803 rad 46.01; 0.812 rad is 46.52
      {3, 26, 0, 0, ".", 0.794, 0, "0", "0"},
      {3, 35, 0, 0, ".", 0.803, 0, "1", "0"},
      {3, 44, 0, 0, ".", 0.812, 0, "2", "0"},
  };
  for (const auto& c : cases) {
    auto state = WithHeader({{8, c.angleHigh}, {9, c.angleLow}, {10, c.accelHigh}, {11, c.accelLow}});
    const auto captions = DecodeHeader(state, c.separator);
    EXPECT_DOUBLE_EQ(state.KatPocz, c.katPocz);
    EXPECT_DOUBLE_EQ(state.APocz, c.aPocz);
    EXPECT_EQ(captions.Lbeta, c.lbeta) << c.angleHigh << "/" << c.angleLow;
    EXPECT_EQ(captions.La_zero, c.laZero) << c.accelHigh << "/" << c.accelLow;
  }
}

TEST(HeaderDecode, BrakeKinds) {
  const struct {
    int kind, deviation;
    std::string separator;
    std::string hamulec, uwaga, odchylenie, caption;
  } cases[] = {
      {1, 25, ".", "hamulec roboczy", "(*) w przypadku motocykla - hamulec obu kół", "2.5",
       "hamulec roboczy, odch.kier.jazdy= 2.5 [m]"},
      {1, 25, ",", "hamulec roboczy", "(*) w przypadku motocykla - hamulec obu kół", "2,5",
       "hamulec roboczy, odch.kier.jazdy= 2,5 [m]"},
      {1, 0, ".", "hamulec roboczy", "(*) w przypadku motocykla - hamulec obu kół", "0.0",
       "hamulec roboczy, odch.kier.jazdy= 0.0 [m]"},
      {1, 255, ".", "hamulec roboczy", "(*) w przypadku motocykla - hamulec obu kół", "25.5",
       "hamulec roboczy, odch.kier.jazdy= 25.5 [m]"},
      {2, 25, ".", "hamulec awaryjny", "", "", "hamulec awaryjny"},
      {3, 25, ".", "hamulec pomocniczy", "(*) w przypadku motocykla - hamulec koła tylnego", "", "hamulec pomocniczy"},
      {4, 25, ".", "", "", "", ""},
      {0, 0, ".", "", "", "", ""},
      {255, 1, ".", "", "", "", ""},
  };
  for (const auto& c : cases) {
    auto state = WithHeader({{12, c.kind}, {13, c.deviation}});
    // Texts of an earlier read must not survive a kind that has none.
    state.HamulecTxt.AssignUtf8("old");
    state.UwagaTxt.AssignUtf8("old");
    state.OdchylenieTxt.AssignUtf8("old");
    const auto captions = DecodeHeader(state, c.separator);
    EXPECT_EQ(state.HamulecTxt.Utf8(), c.hamulec) << c.kind;
    EXPECT_EQ(state.UwagaTxt.Utf8(), c.uwaga) << c.kind;
    EXPECT_EQ(state.OdchylenieTxt.Utf8(), c.odchylenie) << c.kind;
    EXPECT_EQ(captions.lHamulec, c.caption) << c.kind;
  }
  // The texts are kept in the record's code page, Windows-1250.
  auto state = WithHeader({{12, 1}});
  DecodeHeader(state, ".");
  EXPECT_EQ(state.UwagaTxt.Text(), "(*) w przypadku motocykla - hamulec obu k\xF3\xB3");
}

} // namespace
} // namespace zr7
