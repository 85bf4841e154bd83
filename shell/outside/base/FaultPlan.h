#pragma once

#include <string>
#include <string_view>

namespace orv {

// Failures planned by a test of what a failure leaves behind. A layer given a plan reports each
// operation it counts (a statement, a commit) just before doing it, and the operation the plan
// names fails there with an AppError, as a lost server or a full disk would make it fail. Layers
// hold no plan unless a test hands them one: a real run never consults a plan.
class FaultPlan {
 public:
  // Counts the operations and fails none.
  FaultPlan() = default;
  // The `number`-th operation reported (counting from 1) fails.
  static FaultPlan FailAt(long long number);
  // The first operation of this kind ("commit") fails.
  static FaultPlan FailFirst(std::string kind);

  // Counts one operation of `kind`. AppError when it is the planned one; its description starts
  // "Injected fault" and names the kind and the number.
  void Reach(std::string_view kind);
  // Operations reported so far.
  long long Reached() const { return reached_; }
  // Whether the planned failure has happened.
  bool Fired() const { return fired_; }

 private:
  long long fail_at_ = 0;
  std::string fail_kind_;
  long long reached_ = 0;
  bool fired_ = false;
};

}  // namespace orv
