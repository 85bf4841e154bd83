#include "shell/outside/base/AppError.h"

#include <utility>

namespace orv {

AppError::AppError(std::int32_t number, std::string source, std::string description)
    : number_(number), source_(std::move(source)), description_(std::move(description)) {}

}  // namespace orv
