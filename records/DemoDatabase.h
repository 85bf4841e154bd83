#pragma once

#include <filesystem>
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

  // Creates the company database: a new SQLite file (written beside the target and renamed over
  // it when complete), or the schema "scheme" of a PostgreSQL database. AppError when the target
  // already holds one and `replace` is false.
  static void Create(const DatabaseTarget& target, const Options& options);
  // Create, then register the company in the companies file as `code` (the default company when
  // the file has none yet).
  static CompanyEntry CreateAndRegister(const DatabaseTarget& target, const Options& options,
                                        const std::filesystem::path& companies_file,
                                        const std::string& code = "DEMO");
  // Creates the tables and fills them on an open, empty connection.
  static void Build(Connection& connection, const Options& options);
};

}  // namespace orv
