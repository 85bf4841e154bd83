#include <gtest/gtest.h>

#include "shell/outside/base/AppError.h"
#include "upload/clsOrvStock.h"

namespace orv {
namespace {

TEST(PageNumber, WholeNumbersFromOneTo999BecomeThreeDigits) {
  clsOrvStock stock;
  stock.SetIs("PageNumber", true);
  EXPECT_EQ(stock.FormatPageNumber("7"), "007");
  EXPECT_EQ(stock.FormatPageNumber("45"), "045");
  EXPECT_EQ(stock.FormatPageNumber(" 12 "), "012");
  EXPECT_EQ(stock.FormatPageNumber("999"), "999");
  EXPECT_EQ(stock.FormatPageNumber("001"), "001");
  EXPECT_EQ(stock.FormatPageNumber("3.0"), "003") << "a number cell may show a zero fraction";
}

TEST(PageNumber, AnythingElseIsRejectedWith5033) {
  clsOrvStock stock;
  stock.SetIs("PageNumber", true);
  for (const char* bad : {"", "   ", "0", "1000", "-1", "2.5", "abc", "1a"}) {
    try {
      stock.FormatPageNumber(bad);
      ADD_FAILURE() << "accepted page \"" << bad << "\"";
    } catch (const AppError& error) {
      EXPECT_EQ(error.Number(), vbObjectError + 5033);
      EXPECT_EQ(error.Description(), "Sheet number cannot be blank");
    }
  }
}

TEST(PageNumber, WithoutThePageRangeLinesGetPageOne) {
  clsOrvStock stock;
  stock.SetIs("PageNumber", false);
  EXPECT_EQ(stock.FormatPageNumber(""), "");
  stock.ArrayIndex(3);
  stock.SetIs("TechnicalDesc", true);
  EXPECT_EQ(stock.FormatPageNumber(""), "001");
}

}  // namespace
}  // namespace orv
