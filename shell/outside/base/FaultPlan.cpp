#include "shell/outside/base/FaultPlan.h"

#include "shell/outside/base/AppError.h"

namespace orv {

FaultPlan FaultPlan::FailAt(long long number) {
  FaultPlan plan;
  plan.fail_at_ = number;
  return plan;
}

FaultPlan FaultPlan::FailFirst(std::string kind) {
  FaultPlan plan;
  plan.fail_kind_ = std::move(kind);
  return plan;
}

void FaultPlan::Reach(std::string_view kind) {
  ++reached_;
  if (fired_) return;
  if (reached_ != fail_at_ && (fail_kind_.empty() || kind != fail_kind_)) return;
  fired_ = true;
  throw AppError(
      kUnexpectedError, "",
      "Injected fault: " + std::string(kind) + " " + std::to_string(reached_) + " failed");
}

}  // namespace orv
