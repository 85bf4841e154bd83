#include "shell/outside/base/ErrorState.h"

namespace orv {

ErrorState& ModuleErrorState() {
  static ErrorState state;
  return state;
}

}  // namespace orv
