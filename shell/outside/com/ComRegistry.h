#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "shell/outside/com/Guid.h"

namespace orv {

// The per-user registration file that stands in for the class registry: which class identifier a
// ProgID names and which shared library serves that class. Entries of other libraries are kept.
class ComRegistry {
 public:
  // `file`: the registration file of the user's profile. A blank path is an AppError.
  explicit ComRegistry(std::filesystem::path file);

  void Register(std::string_view prog_id, const CLSID& clsid, const std::filesystem::path& server,
                std::string_view description);
  void Unregister(std::string_view prog_id, const CLSID& clsid);

  std::optional<CLSID> ClsidFromProgId(std::string_view prog_id) const;
  std::optional<std::filesystem::path> ServerOf(const CLSID& clsid) const;

  const std::filesystem::path& File() const { return file_; }

 private:
  std::filesystem::path file_;
};

}  // namespace orv
