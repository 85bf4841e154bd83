#include "shell/outside/com/ComRegistry.h"

#include <toml++/toml.h>
#include <fstream>
#include <sstream>

#include "shell/outside/base/AppError.h"
#include "shell/outside/base/AtomicFile.h"

namespace orv {
namespace {

toml::table Load(const std::filesystem::path& file) {
  if (!std::filesystem::exists(file)) return {};
  try {
    return toml::parse_file(file.string());
  } catch (const toml::parse_error& error) {
    std::ostringstream where;
    where << error.source().begin;
    throw AppError(kUnexpectedError, "",
                   "The registration file " + file.string() + " is damaged (" +
                       std::string(error.description()) + " at " + where.str() + ")");
  }
}

void Save(const std::filesystem::path& file, const toml::table& table) {
  AtomicFile::Write(file, [&](std::ostream& out) { out << table << '\n'; });
}

toml::table& SubTable(toml::table& parent, std::string_view key) {
  if (!parent[key].is_table()) parent.insert_or_assign(key, toml::table{});
  return *parent[key].as_table();
}

}  // namespace

ComRegistry::ComRegistry(std::filesystem::path file) : file_(std::move(file)) {
  if (file_.empty()) throw AppError(kUnexpectedError, "", "No registration file was given");
}

void ComRegistry::Register(std::string_view prog_id, const CLSID& clsid,
                           const std::filesystem::path& server, std::string_view description) {
  toml::table table = Load(file_);
  SubTable(table, "progid").insert_or_assign(prog_id, toml::table{{"clsid", clsid.text}});
  SubTable(table, "clsid")
      .insert_or_assign(clsid.text, toml::table{{"progid", std::string(prog_id)},
                                                {"description", std::string(description)},
                                                {"inproc_server", server.string()},
                                                {"threading_model", "Apartment"}});
  Save(file_, table);
}

void ComRegistry::Unregister(std::string_view prog_id, const CLSID& clsid) {
  if (!std::filesystem::exists(file_)) return;
  toml::table table = Load(file_);
  SubTable(table, "progid").erase(prog_id);
  SubTable(table, "clsid").erase(clsid.text);
  Save(file_, table);
}

std::optional<CLSID> ComRegistry::ClsidFromProgId(std::string_view prog_id) const {
  toml::table table = Load(file_);
  auto clsid = table["progid"][prog_id]["clsid"].value<std::string>();
  if (!clsid) return std::nullopt;
  return CLSID{*clsid};
}

std::optional<std::filesystem::path> ComRegistry::ServerOf(const CLSID& clsid) const {
  toml::table table = Load(file_);
  auto server = table["clsid"][clsid.text]["inproc_server"].value<std::string>();
  if (!server) return std::nullopt;
  return std::filesystem::path(*server);
}

}  // namespace orv
