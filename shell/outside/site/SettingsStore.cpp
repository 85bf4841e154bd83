#include "shell/outside/site/SettingsStore.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include <toml++/toml.h>

#include "shell/outside/base/AppError.h"
#include "shell/outside/base/AtomicFile.h"
#include "shell/outside/site/UserProfile.h"

namespace orv {
namespace {

[[noreturn]] void Damaged(const std::filesystem::path& file, const std::string& what) {
  throw AppError(kUnexpectedError, "",
                 "The settings file " + file.string() + " is damaged (" + what +
                     "); it was left unchanged. Repair or remove it.");
}

// The whole file; an empty table when there is no file yet.
toml::table ReadFile(const std::filesystem::path& file) {
  std::error_code error;
  if (!std::filesystem::exists(file, error)) {
    if (error)
      throw AppError(kUnexpectedError, "",
                     "Cannot read the settings file " + file.string() + ": " + error.message());
    return {};
  }
  std::ifstream in(file, std::ios::binary);
  if (!in) throw AppError(kUnexpectedError, "", "Cannot read the settings file " + file.string());
  std::ostringstream text;
  text << in.rdbuf();
  try {
    return toml::parse(text.str(), file.string());
  } catch (const toml::parse_error& parse) {
    const auto& where = parse.source().begin;
    Damaged(file, std::string(parse.description()) + " at line " + std::to_string(where.line) +
                      ", column " + std::to_string(where.column));
  }
}

// The table of one key path, nullptr when the file has none; a key path that is not a table is
// damage.
const toml::table* KeyTable(const toml::table& root, const std::filesystem::path& file,
                            std::string_view key_path) {
  const toml::node* node = root.get(key_path);
  if (!node) return nullptr;
  if (!node->is_table()) Damaged(file, "\"" + std::string(key_path) + "\" is not a table");
  return node->as_table();
}

Variant FromNode(const toml::node& node, const std::filesystem::path& file, std::string_view name) {
  if (auto flag = node.value_exact<bool>()) return Variant(*flag);
  if (auto text = node.value_exact<std::string>()) return Variant(*text);
  if (auto whole = node.value_exact<std::int64_t>()) {
    if (*whole >= INT32_MIN && *whole <= INT32_MAX)
      return Variant(static_cast<std::int32_t>(*whole));
    return Variant(static_cast<double>(*whole));
  }
  if (auto number = node.value_exact<double>()) return Variant(*number);
  Damaged(file, "value \"" + std::string(name) + "\" is neither a Boolean, a number nor a text");
}

// Puts one value into a table; Empty and Null remove the name.
void PutValue(toml::table& table, const std::string& name, const Variant& value) {
  struct Visitor {
    toml::table& table;
    const std::string& name;
    void operator()(Variant::Empty) const { table.erase(name); }
    void operator()(Variant::Null) const { table.erase(name); }
    void operator()(const std::string& text) const { table.insert_or_assign(name, text); }
    void operator()(double number) const { table.insert_or_assign(name, number); }
    void operator()(std::int32_t number) const {
      table.insert_or_assign(name, static_cast<std::int64_t>(number));
    }
    void operator()(bool flag) const { table.insert_or_assign(name, flag); }
    void operator()(OleDate date) const { table.insert_or_assign(name, date.serial); }
  };
  std::visit(Visitor{table, name}, value.Value());
}

// Serialises the read-modify-write of concurrent writers, so that one process's save cannot drop
// the values another saved a moment before. Readers need no lock: the file is replaced whole.
class WriterLock {
 public:
  explicit WriterLock(const std::filesystem::path& file) {
    if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path());
    auto lock_file = file;
    lock_file += ".lock";
    fd_ = ::open(lock_file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ < 0 || ::flock(fd_, LOCK_EX) != 0) {
      std::string why = std::strerror(errno);
      if (fd_ >= 0) ::close(fd_);
      throw AppError(kUnexpectedError, "",
                     "Cannot lock the settings file " + file.string() + ": " + why);
    }
  }
  ~WriterLock() { ::close(fd_); }
  WriterLock(const WriterLock&) = delete;
  WriterLock& operator=(const WriterLock&) = delete;

 private:
  int fd_ = -1;
};

}  // namespace

SettingsStore::SettingsStore(std::filesystem::path file) : file_(std::move(file)) {}

Variant SettingsStore::ReadValue(std::string_view name, const Variant& default_value) const {
  UserProfile::Require(file_, "settings file");
  toml::table root = ReadFile(file_);
  const toml::table* key = KeyTable(root, file_, key_path_);
  if (!key) return default_value;
  const toml::node* node = key->get(name);
  if (!node) return default_value;
  return FromNode(*node, file_, name);
}

void SettingsStore::WriteValues(const NamedValues& values) {
  UserProfile::Require(file_, "settings file");
  WriterLock lock(file_);
  toml::table root = ReadFile(file_);
  if (!KeyTable(root, file_, key_path_)) root.insert_or_assign(key_path_, toml::table{});
  toml::table& key = *root.get(key_path_)->as_table();
  for (const auto& [name, value] : values) PutValue(key, name, value);
  AtomicFile::Write(file_, [&](std::ostream& out) { out << root << '\n'; });
}

}  // namespace orv
