#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "shell/outside/db/CompaniesFile.h"
#include "shell/outside/db/DatabaseTarget.h"

namespace orv {

class Connection;

// A deterministic, realistic demo company: warehouses, units, product groups, suppliers, buyers,
// bins, G/L keys, system codes, stock records with costs and stock figures, and some extension,
// EC, expense and technical description rows. The same version and row count always give the
// same data.
class DemoDatabase {
 public:
  struct Options {
    int erp_version = 7;
    int rows = 200;        // stock records
    bool replace = false;  // overwrite an existing file / drop an existing schema "scheme"
  };

  // The number of the errors that `replace` would overcome: the target or the code is taken.
  static constexpr std::int32_t kAlreadyThere = -2147221504 + 7010;  // vbObjectError + 7010

  // Creates the company database: a new SQLite file (written beside the target and renamed over
  // it when complete; its folder must exist), or the schema "scheme" of a PostgreSQL database.
  // AppError (kAlreadyThere) when the target already holds one and `replace` is false.
  // `before_commit` runs when the database is complete, before the file is renamed into place
  // (SQLite) or after the schema is written (PostgreSQL, which drops it again when
  // `before_commit` fails): a failure there leaves no new database behind.
  static void Create(const DatabaseTarget& target, const Options& options,
                     const std::function<void()>& before_commit = {});
  // Create, and register the company in the companies file as `code` (the default company when
  // the file has none yet). Everything is checked before anything is made: the code, the target,
  // whether the code is taken (kAlreadyThere unless `replace`), and whether the companies file
  // can be written. On failure neither the database nor the registration is left behind.
  static CompanyEntry CreateAndRegister(const DatabaseTarget& target, const Options& options,
                                        const std::filesystem::path& companies_file,
                                        const std::string& code = "DEMO");
  // Creates the tables and fills them on an open, empty connection.
  static void Build(Connection& connection, const Options& options);
};

}  // namespace orv
