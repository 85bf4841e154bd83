#include "shell/outside/base/OleCalendar.h"

#include <gtest/gtest.h>

#include "shell/outside/base/Variant.h"

namespace orv {
namespace {

TEST(OleCalendar, KnownDaysAndTheirTexts) {
  EXPECT_EQ(OleCalendar::DaysFromCivil(1899, 12, 30), 0);
  EXPECT_EQ(OleCalendar::DaysFromCivil(1899, 12, 31), 1);
  EXPECT_EQ(OleCalendar::DaysFromCivil(1970, 1, 1), 25569);
  EXPECT_EQ(OleCalendar::DaysFromCivil(2024, 1, 1), 45292);
  EXPECT_EQ(OleCalendar::DaysFromCivil(2000, 2, 29), 36585);
  EXPECT_EQ(Variant(OleDate{45292.75}).ToText(), "01/01/2024");
  EXPECT_EQ(Variant(OleDate{-1.5}).ToText(), "29/12/1899") << "the fraction is the time of day";
  EXPECT_EQ(Variant(OleDate{1}).ToText(), "31/12/1899");
}

TEST(OleCalendar, EveryDayOfFourCenturiesRoundTrips) {
  for (long days = -40000; days <= 110000; ++days) {
    auto civil = OleCalendar::CivilFromDays(days);
    ASSERT_EQ(OleCalendar::DaysFromCivil(civil.year, civil.month, civil.day), days);
    ASSERT_GE(civil.day, 1);
    ASSERT_LE(civil.day, 31);
  }
}

}  // namespace
}  // namespace orv
