#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "records/StockdColumns.h"
#include "shell/outside/base/Variant.h"
#include "shell/outside/db/PreparedStatement.h"
#include "shell/outside/db/ReadAhead.h"
#include "shell/outside/db/Recordset.h"

namespace orv {

class DataConnection;

// One row of the stock master table, keyed by (warehouse, product). Every column of
// StockdColumns is a property; values are kept exactly as put (no trimming, no length check).
// ReadIt loads a row, UpdateStock writes every column over the row with the same key, InsertRow
// adds a new row. Each statement is built and prepared once per record and then only re-executed.
class clsStockd {
 public:
  using Kind = StockdColumns::Kind;
  using TextField = StockdColumns::TextField;
  using DoubleField = StockdColumns::DoubleField;
  using DateField = StockdColumns::DateField;
  using IntegerField = StockdColumns::IntegerField;

  clsStockd();

  // A fresh, unopened connection is created when none has been set. Setting re-points the three
  // statements; their texts stay as first built.
  const std::shared_ptr<DataConnection>& SageConnection();
  void SetSageConnection(std::shared_ptr<DataConnection> connection);

  // The column properties, by compile-time name: stock.SetText("unit_code", "EA").
  const std::string& Text(TextField column) const { return text_[column.index]; }
  void SetText(TextField column, std::string value) { text_[column.index] = std::move(value); }
  double Double(DoubleField column) const { return number_[column.index]; }
  void SetDouble(DoubleField column, double value) { number_[column.index] = value; }
  OleDate Date(DateField column) const { return OleDate{number_[column.index]}; }
  void SetDate(DateField column, OleDate value) { number_[column.index] = value.serial; }
  std::int16_t Integer(IntegerField column) const;
  void SetInteger(IntegerField column, std::int16_t value) { number_[column.index] = value; }

  // Any property by its position in StockdColumns: text as a string, doubles as double, dates as
  // OleDate, 16-bit integers as int32. SetValue converts to the column's kind (AppError when the
  // value does not convert).
  Variant Value(std::size_t column) const;
  void SetValue(std::size_t column, const Variant& value);

  void PrepareUpdateStatement();
  void PrepareInsertStatement();
  // True when the row exists; it is then copied into the properties. A missing row leaves every
  // property as it was.
  bool ReadIt(std::string_view warehouse, std::string_view product);
  // The (warehouse, product) of the rows ReadIt is about to be asked for, read ahead together
  // (see ReadAhead); ForgetReads drops them and what was read.
  void ExpectReads(const std::vector<std::pair<std::string, std::string>>& keys);
  void ForgetReads();
  // Writes every column over the row with the same key; a key without a row changes nothing.
  // When ReadIt read that key last and no property has changed since, nothing is written: the
  // row holds the values already.
  void UpdateStock();
  // Adds the properties as a new row; a duplicate key fails and the properties stay.
  void InsertRow();
  // Texts empty, numbers and dates 0. The connection and the statements stay.
  void Reset();

  // The statement texts, which other tools log and compare. `table` is the stock master table
  // name; `version7` is whether the ERP version is greater than 6.
  static std::string ReadSql(std::string_view table);
  static std::string UpdateSql(std::string_view table, bool version7);
  static std::string InsertSql(std::string_view table, bool version7);

 private:
  struct Statement {
    PreparedStatement statement;
    bool version7 = false;  // as built
    // The position of each column's parameter, found on first use.
    std::vector<std::size_t> positions;
  };

  bool Version7();
  void PrepareStkmReadStatement();
  void AddParameters(Statement& statement);
  void SetParameters(Statement& statement);
  void CopyFromRecordset(const Recordset& rs);

  std::shared_ptr<DataConnection> connection_;
  Statement read_;
  Statement update_;
  Statement insert_;
  Recordset rs_;
  std::unique_ptr<ReadAhead> read_ahead_;
  // The properties as ReadIt last read them (unset by every other change of the record).
  struct Snapshot {
    std::array<std::string, StockdColumns::kCount> text;
    std::array<double, StockdColumns::kCount> number;
  };
  std::optional<Snapshot> as_read_;
  // Where ReadIt's result holds each column, for the result columns they were found in.
  std::shared_ptr<const Recordset::Columns> read_columns_;
  std::vector<std::size_t> read_positions_;
  bool update_mode_ = false;
  // Text columns keep their value in text_, every other kind in number_ (dates as serials).
  std::array<std::string, StockdColumns::kCount> text_;
  std::array<double, StockdColumns::kCount> number_{};
};

}  // namespace orv
