#include "shell/CalcExports.h"

#include <exception>
#include <memory>
#include <string>

#include "shell/CalcSession.h"
#include "shell/ComponentIdentity.h"

struct OrvCalcComponent {
  std::unique_ptr<orv::CalcSession> session;
  std::string result;
};

namespace {

std::string& LastError() {
  thread_local std::string text;
  return text;
}

template <class Body>
auto Guarded(Body&& body, decltype(body()) failed) noexcept -> decltype(body()) {
  try {
    return body();
  } catch (const orv::AppError& error) {
    LastError() = error.Description();
  } catch (const std::exception& error) {
    LastError() = error.what();
  } catch (...) {
    LastError() = "an unknown error";
  }
  return failed;
}

}  // namespace

extern "C" {

const char* orv_calc_version(void) {
  static const std::string version = orv::ComponentIdentity::VersionDescription();
  return version.c_str();
}

const char* orv_calc_last_error(void) { return LastError().c_str(); }

OrvCalcComponent* orv_calc_create(const char* prog_id, const OrvCalcHost* host) {
  return Guarded(
      [&]() -> OrvCalcComponent* {
        if (!prog_id || !host) throw std::invalid_argument("No ProgID or no host was given");
        auto component = std::make_unique<OrvCalcComponent>();
        component->session = std::make_unique<orv::CalcSession>(prog_id, *host);
        return component.release();
      },
      nullptr);
}

int orv_calc_call(OrvCalcComponent* component, const char* member, const char** result) {
  return Guarded(
      [&]() -> int {
        if (result) *result = "";
        if (!component || !member) throw std::invalid_argument("No component or no member");
        auto outcome = component->session->Call(member, component->result);
        if (result) *result = component->result.c_str();
        return outcome == orv::CalcSession::Outcome::kDone ? 0 : 1;
      },
      -1);
}

const char* orv_calc_company(const OrvCalcComponent* component) {
  return component ? component->session->Company().c_str() : "";
}

void orv_calc_release(OrvCalcComponent* component) {
  Guarded(
      [&]() -> int {
        delete component;
        return 0;
      },
      0);
}
}
