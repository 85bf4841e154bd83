#include "shell/outside/base/Trap.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "shell/outside/base/ErrorState.h"
#include "tests/TestSupport.h"

namespace orv {
namespace {

using test::Caught;

// A routine's tag and line go in front of the source; a tag ending "Line#:" takes the line too.
TEST(Trap, EachRoutineAddsItsTagInnermostFirst) {
  auto error = Caught([] {
    Trap("ReadIt of Class Module clsStkwhD Line#:", [](int& line) {
      line = 20;
      throw AppError(vbObjectError + 5002, "   ", "Bad value");
    });
  });
  EXPECT_EQ(error.Source(), "Line No.: 20 ReadIt of Class Module clsStkwhD Line#:20")
      << "a blank old source gives no leading line break";
  EXPECT_EQ(error.Number(), vbObjectError + 5002);
  EXPECT_EQ(error.Description(), "Bad value");

  error = Caught([] {
    Trap("AddRanges of Class Module clsOrvStockEx",
         [](int&) { throw AppError(vbObjectError, "inner", "Missing"); });
  });
  EXPECT_EQ(error.Source(), "inner\r\nAddRanges of Class Module clsOrvStockEx")
      << "line 0 gives no line text";

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
  error = Caught([&] {
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
  EXPECT_EQ(Trap("Sum of Class Module x Line#:", [](int&) { return 42; }), 42);
}

}  // namespace
}  // namespace orv
