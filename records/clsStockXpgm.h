#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "records/CompanionColumns.h"
#include "shell/outside/db/PreparedStatement.h"
#include "shell/outside/db/ReadAhead.h"
#include "shell/outside/db/Recordset.h"

namespace orv {

class DataConnection;

// One row of the stock extension table (scheme.stockxpgm): three more product-group codes and
// three purchasing values per warehouse and product, one text per column of
// CompanionColumns::kExtension. ReadIt loads all six values, so that an update writes back
// unchanged whatever the caller did not put.
class clsStockXpgm {
 public:
  using Columns = decltype(CompanionColumns::kExtension);

  // A column of the table named at compile time: `row.Set("analysis_d", "IMPORT")`.
  struct Column {
    template <std::size_t N>
    consteval Column(const char (&name)[N]) : index(Checked(std::string_view(name, N - 1))) {}
    std::size_t index;

   private:
    static consteval std::size_t Checked(std::string_view name) {
      auto at = RecordColumns::Find(CompanionColumns::kExtension, name);
      if (at == CompanionColumns::kExtension.size()) throw "not a stock extension column";
      return at;
    }
  };

  // A fresh, unopened connection is created when none has been set; setting re-points the
  // statements.
  const std::shared_ptr<DataConnection>& SageConnection();
  void SetSageConnection(std::shared_ptr<DataConnection> connection);

  const std::string& Get(Column column) const { return values_[column.index]; }
  void Set(Column column, std::string value) { values_[column.index] = std::move(value); }
  // By position in CompanionColumns::kExtension.
  const std::string& At(std::size_t column) const { return values_.at(column); }
  void SetAt(std::size_t column, std::string value) { values_.at(column) = std::move(value); }

  void PrepareReadStatement();
  // Loads the row of warehouse and product; fails with the object-error base + 5001 and
  // "Cannot find Product <product>" when there is none, the values then staying as they were.
  void ReadIt();
  // The (warehouse, product) of the rows ReadIt is about to be asked for, read ahead together
  // (see ReadAhead); ForgetReads drops them and what was read.
  void ExpectReads(const std::vector<std::pair<std::string, std::string>>& keys);
  void ForgetReads();
  void PrepareStkxpgmUpdateStatement();
  // Writes the six values over the row of warehouse and product; nothing when ReadIt read that
  // row last and no value has changed since.
  void UpdateStockXPg();
  void PrepareInsertStatement();
  void InsertRow();

  // The statement texts. The insert takes the table name from the connection's catalogue; the
  // read and the update name scheme.stockxpgm.
  static std::string ReadSql();
  static std::string UpdateSql();
  static std::string InsertSql(const std::string& table);

 private:
  void SetParameters(PreparedStatement& statement, std::span<const RecordColumn> columns);

  std::shared_ptr<DataConnection> connection_;
  PreparedStatement read_;
  PreparedStatement update_;
  PreparedStatement insert_;
  Recordset rs_;
  std::unique_ptr<ReadAhead> read_ahead_;
  std::array<std::string, CompanionColumns::kExtension.size()> values_;
  // The values as ReadIt last read them, key included.
  std::optional<decltype(values_)> as_read_;
};

}  // namespace orv
