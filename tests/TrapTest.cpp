#include "shell/outside/base/Trap.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "shell/outside/base/ErrorState.h"
#include "tests/TestSupport.h"

namespace orv {
namespace {

using test::Caught;

TEST(Trap, BlankOldSourceGivesNoLeadingLineBreak) {
  auto error = Caught([] {
    Trap("ReadIt of Class Module clsStkwhD Line#:", [](int& line) {
      line = 20;
      throw AppError(vbObjectError + 5002, "   ", "Bad value");
    });
  });
  EXPECT_EQ(error.Source(), "Line No.: 20 ReadIt of Class Module clsStkwhD Line#:20");
  EXPECT_EQ(error.Number(), vbObjectError + 5002);
  EXPECT_EQ(error.Description(), "Bad value");
}

TEST(Trap, LineZeroGivesNoLineText) {
  auto error = Caught([] {
    Trap("AddRanges of Class Module clsOrvStockEx",
         [](int&) { throw AppError(vbObjectError, "inner", "Missing"); });
  });
  EXPECT_EQ(error.Source(), "inner\r\nAddRanges of Class Module clsOrvStockEx");
}

TEST(Trap, ThreeRoutinesDeepListAllInnermostFirst) {
  auto inner = [] {
    Trap("C of Class Module z Line#:", [](int& line) {
      line = 30;
      throw AppError(vbObjectError + 7, "", "Deep");
    });
  };
  auto middle = [&] {
    Trap("B of Class Module y Line#:", [&](int& line) {
      line = 20;
      inner();
    });
  };
  auto error = Caught([&] {
    Trap("A of Form frmA", [&](int& line) {
      line = 10;
      middle();
    });
  });
  EXPECT_EQ(error.Source(),
            "Line No.: 10 Line No.: 20 Line No.: 30 C of Class Module z Line#:30\r\n"
            "B of Class Module y Line#:20\r\nA of Form frmA");
  EXPECT_EQ(error.Description(), "Deep");
  EXPECT_EQ(error.Number(), vbObjectError + 7);
  auto c = error.Source().find("C of");
  auto b = error.Source().find("B of");
  auto a = error.Source().find("A of");
  EXPECT_LT(c, b);
  EXPECT_LT(b, a);
}

TEST(Trap, LibraryExceptionsBecomeNumberedErrorsAndTheStateIsSaved) {
  auto error = Caught([] {
    Trap("Open of Class Module x Line#:", [](int& line) {
      line = 40;
      throw std::runtime_error("disk gone");
    });
  });
  EXPECT_EQ(error.Number(), kUnexpectedError);
  EXPECT_EQ(error.Description(), "disk gone");
  EXPECT_EQ(ModuleErrorState().line, 40);
  EXPECT_EQ(ModuleErrorState().description, "disk gone");
}

TEST(Trap, ReturnsTheBodysValueWhenNothingFails) {
  int value = Trap("Sum of Class Module x Line#:", [](int& line) {
    line = 10;
    return 42;
  });
  EXPECT_EQ(value, 42);
}

}  // namespace
}  // namespace orv
