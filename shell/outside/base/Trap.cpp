#include "shell/outside/base/Trap.h"

#include <new>

#include "shell/outside/base/ErrorState.h"

namespace orv {
namespace {

bool IsBlankText(std::string_view text) {
  return text.find_first_not_of(" \t") == std::string_view::npos;
}

AppError AsAppError(std::exception_ptr current) {
  try {
    std::rethrow_exception(current);
  } catch (const AppError& error) {
    return error;
  } catch (const std::bad_alloc&) {
    return AppError(VbError::kOutOfMemory, "", "Out of memory");
  } catch (const std::exception& error) {
    return AppError(kUnexpectedError, "", error.what());
  } catch (...) {
    return AppError(kUnexpectedError, "", "Unknown error");
  }
}

}  // namespace

std::string TagWithLine(std::string_view tag, int line) {
  std::string text(tag);
  if (!tag.empty() && tag.back() == ':') text += std::to_string(line);
  return text;
}

AppError ChainError(std::exception_ptr current, std::string_view tag, int line) {
  AppError error = AsAppError(current);
  ErrorState& saved = ModuleErrorState();
  saved.number = error.Number();
  saved.source = error.Source();
  saved.description = error.Description();
  saved.line = line;

  std::string source;
  if (saved.line != 0) source = "Line No.: " + std::to_string(saved.line) + " ";
  if (!IsBlankText(saved.source)) source += saved.source + "\r\n";
  source += TagWithLine(tag, saved.line);
  return AppError(saved.number, std::move(source), saved.description);
}

void Reraise(std::exception_ptr current, std::string_view tag, int line) {
  throw ChainError(current, tag, line);
}

}  // namespace orv
