#include "records/clsStockd.h"

#include <cmath>

#include "shell/outside/base/AppError.h"
#include "shell/outside/base/Trap.h"
#include "shell/outside/base/ValueConvert.h"
#include "shell/outside/db/DataConnection.h"

namespace orv {
namespace {

using Column = StockdColumns::Column;
using Kind = StockdColumns::Kind;

constexpr const Column& At(std::size_t column) { return StockdColumns::kAll[column]; }

constexpr std::string_view kLastRevalue = "last_revalue";
// A last_revalue of 0 is stored as the day after the zero date: the ERP reads that as "never".
constexpr std::string_view kNeverRevalued = "1899-12-31";

std::int16_t ToInteger(double value, std::string_view column) {
  double number = std::nearbyint(value);
  if (!(number >= -32768 && number <= 32767))
    throw AppError(VbError::kOverflow, "",
                   "Overflow: " + Variant(value).ToText() + " does not fit the 16-bit column " +
                       std::string(column));
  return static_cast<std::int16_t>(number);
}

}  // namespace

clsStockd::clsStockd() { Reset(); }

const std::shared_ptr<DataConnection>& clsStockd::SageConnection() {
  if (!connection_) SetSageConnection(std::make_shared<DataConnection>());
  return connection_;
}

void clsStockd::SetSageConnection(std::shared_ptr<DataConnection> connection) {
  connection_ = std::move(connection);
  for (Statement* s : {&read_, &update_, &insert_}) s->statement.SetActiveConnection(connection_);
  ForgetReads();
}

std::int16_t clsStockd::Integer(IntegerField column) const {
  return static_cast<std::int16_t>(number_[column.index]);
}

Variant clsStockd::Value(std::size_t column) const {
  switch (At(column).kind) {
    case Kind::Text:
      return Variant(text_[column]);
    case Kind::Double:
      return Variant(number_[column]);
    case Kind::Date:
      return Variant(OleDate{number_[column]});
    case Kind::SmallInt:
      return Variant(static_cast<std::int32_t>(number_[column]));
  }
  return Variant();
}

void clsStockd::SetValue(std::size_t column, const Variant& value) {
  switch (At(column).kind) {
    case Kind::Text:
      text_[column] = value.ToText();
      break;
    case Kind::Double:
      number_[column] = value.ToDouble();
      break;
    case Kind::Date:
      number_[column] = value.ToDate().serial;
      break;
    case Kind::SmallInt:
      number_[column] = ToInteger(value.ToDouble(), At(column).name);
      break;
  }
}

std::string clsStockd::ReadSql(std::string_view table) {
  return "select *  from " + std::string(table) + " where warehouse = ? and product = ?";
}

std::string clsStockd::UpdateSql(std::string_view table, bool version7) {
  std::string sql = "Update " + std::string(table) + " set ";
  for (std::size_t i = 0; i < StockdColumns::kDataCount; ++i) {
    if (i > 0) sql += ",  ";
    sql += At(i).name;
    sql += "=?";
  }
  if (version7) sql += " , replenish_category=?, held_flag=?, obsolete_flag=? ";
  sql += " where warehouse = ? and product=?";
  return sql;
}

std::string clsStockd::InsertSql(std::string_view table, bool version7) {
  std::string sql = "INSERT INTO " + std::string(table) + "(";
  for (std::size_t i = 0; i < StockdColumns::kDataCount; ++i) {
    if (i > 0) sql += ",";
    sql += At(i).name;
  }
  sql += ", warehouse, product";
  sql += version7 ? " ,replenish_category,held_flag,obsolete_flag)" : ")";
  sql += " VALUES ( ";
  for (std::size_t marker = 1; marker <= StockdColumns::kWarehouse + 2; ++marker) {
    if (marker > 1) sql += (marker == 43 || marker == 83 || marker == 123) ? " ," : ",";
    sql += "?";
  }
  sql += version7 ? ",?,?,?)" : ")";
  return sql;
}

bool clsStockd::Version7() { return SageConnection()->SystemInfo().Version() > 6; }

void clsStockd::PrepareStkmReadStatement() {
  Trap("PrepareStkmReadStatement of Class Module clsStockd Line#:", [&](int& line) {
    line = 10;
    PreparedStatement& s = read_.statement;
    if (s.Prepared()) return;
    line = 20;
    s.SetActiveConnection(SageConnection());
    s.SetSQL(ReadSql(SageConnection()->TableCatalogue().StockMaster()));
    line = 30;
    s.AddTextParameter("warehouse", 2);
    s.AddTextParameter("product", 20);
    read_.version7 = Version7();
    line = 40;
    s.SetPrepared(true);
  });
}

void clsStockd::PrepareUpdateStatement() {
  Trap("PrepareUpdateStatement of Class Module clsStockd Line#:", [&](int& line) {
    line = 10;
    PreparedStatement& s = update_.statement;
    if (s.Prepared()) return;
    line = 20;
    update_.version7 = Version7();
    s.SetActiveConnection(SageConnection());
    s.SetSQL(UpdateSql(SageConnection()->TableCatalogue().StockMaster(), update_.version7));
    line = 30;
    AddParameters(update_);
    line = 40;
    s.SetPrepared(true);
  });
}

void clsStockd::PrepareInsertStatement() {
  Trap("PrepareInsertStatement of Class Module clsStockd Line#:", [&](int& line) {
    line = 10;
    PreparedStatement& s = insert_.statement;
    if (s.Prepared()) return;
    line = 20;
    insert_.version7 = Version7();
    s.SetActiveConnection(SageConnection());
    s.SetSQL(InsertSql(SageConnection()->TableCatalogue().StockMaster(), insert_.version7));
    line = 30;
    AddParameters(insert_);
    line = 40;
    s.SetPrepared(true);
  });
}

void clsStockd::AddParameters(Statement& statement) {
  Trap("AddParameters of Class Module clsStockd Line#:", [&](int& line) {
    line = 10;
    PreparedStatement& s = statement.statement;
    statement.positions.clear();
    const std::span<const Column> all(StockdColumns::kAll);
    auto add = [&](std::size_t first, std::size_t last) {
      RecordColumns::Declare(s.GetCommand(), all.subspan(first, last - first));
    };
    add(0, StockdColumns::kDataCount);
    line = 20;
    // The update's key stands in its where clause, after the version 7 columns; the insert names
    // the key right after the data columns.
    auto add_key = [&] { add(StockdColumns::kWarehouse, StockdColumns::kFirstVersion7); };
    auto add_version7 = [&] {
      if (statement.version7) add(StockdColumns::kFirstVersion7, StockdColumns::kCount);
    };
    line = 30;
    if (update_mode_) {
      add_version7();
      add_key();
    } else {
      add_key();
      add_version7();
    }
  });
}

void clsStockd::SetParameters(Statement& statement) {
  Trap("SetParameters of Class Module clsStockd Line#:", [&](int& line) {
    line = 10;
    Command& command = statement.statement.GetCommand();
    // Each column's parameter is found by name once per statement, then set by position.
    if (statement.positions.empty()) {
      statement.positions.resize(StockdColumns::kCount);
      for (std::size_t i = 0; i < StockdColumns::kCount; ++i)
        if (i <= StockdColumns::kProduct || statement.version7)
          statement.positions[i] = command.ParameterIndex(At(i).name);
    }
    auto set = [&](std::size_t column, const Variant& value) {
      command.SetParameter(statement.positions[column], value);
    };
    for (std::size_t i = 0; i <= StockdColumns::kProduct; ++i) {
      const Column& c = At(i);
      switch (c.kind) {
        case Kind::Text:
          set(i, Variant(text_[i]));
          break;
        case Kind::Double:
          set(i, Variant(number_[i]));
          break;
        case Kind::SmallInt:
          set(i, Variant(static_cast<std::int32_t>(static_cast<std::int16_t>(number_[i]))));
          break;
        case Kind::Date:
          if (c.name == kLastRevalue && number_[i] == 0)
            set(i, Variant(std::string(kNeverRevalued)));
          else if (c.name != kLastRevalue &&
                   SageConnection()->DatabaseType() == DataConnection::kAnsiBarsType &&
                   number_[i] == 0)
            set(i, Variant::MakeNull());
          else
            set(i, Variant(OleDate{number_[i]}));
          break;
      }
    }
    line = 20;
    if (statement.version7)
      for (std::size_t i = StockdColumns::kFirstVersion7; i < StockdColumns::kCount; ++i)
        set(i, Variant(text_[i]));
  });
}

bool clsStockd::ReadIt(std::string_view warehouse, std::string_view product) {
  return Trap("ReadIt of Class Module clsStockd Line#:", [&](int& line) {
    line = 10;
    PrepareStkmReadStatement();
    line = 20;
    PreparedStatement& s = read_.statement;
    s.SetTextParameter("warehouse", warehouse);
    s.SetTextParameter("product", product);
    line = 30;
    as_read_.reset();
    std::optional<Recordset> answer;
    if (read_ahead_)
      answer = read_ahead_->Take(SageConnection()->AdoConnection(),
                                 {Variant(std::string(warehouse)), Variant(std::string(product))});
    rs_ = answer ? std::move(*answer) : s.GetCommand().Execute();
    line = 40;
    if (rs_.Eof()) {
      rs_.Close();
      return false;
    }
    line = 50;
    CopyFromRecordset(rs_);
    rs_.Close();
    as_read_ = Snapshot{text_, number_};
    return true;
  });
}

void clsStockd::CopyFromRecordset(const Recordset& rs) {
  Trap("CopyFromRecordset of Class Module clsStockd Line #", [&](int& line) {
    line = 10;
    // Converted into a scratch copy first, so that a field that does not convert leaves the
    // properties as they were.
    auto text = text_;
    auto number = number_;
    // The columns' positions in the result, found once for all the results of the statement.
    if (read_columns_ != rs.ColumnSet()) {
      read_positions_.clear();
      for (std::size_t i = 0; i < StockdColumns::kCount; ++i)
        read_positions_.push_back(
            i <= StockdColumns::kProduct || read_.version7 ? rs.FieldIndex(At(i).name) : 0);
      read_columns_ = rs.ColumnSet();
    }
    for (std::size_t i = 0; i <= StockdColumns::kProduct; ++i) {
      const Column& c = At(i);
      Variant field = rs.FieldValue(read_positions_[i]);
      switch (c.kind) {
        case Kind::Text:
          text[i] = ValueConvert::NullToText(field);
          break;
        case Kind::Double:
          number[i] = ValueConvert::Number(field);
          break;
        case Kind::Date:
          number[i] = ValueConvert::Date(field).serial;
          break;
        case Kind::SmallInt:
          number[i] = ToInteger(ValueConvert::Number(field), c.name);
          break;
      }
    }
    line = 20;
    // A Null flag reads as blank like every other text column.
    if (read_.version7)
      for (std::size_t i = StockdColumns::kFirstVersion7; i < StockdColumns::kCount; ++i)
        text[i] = ValueConvert::NullToText(rs.FieldValue(read_positions_[i]));
    text_ = std::move(text);
    number_ = number;
  });
}

void clsStockd::ExpectReads(const std::vector<std::pair<std::string, std::string>>& keys) {
  PrepareStkmReadStatement();
  if (!read_ahead_) read_ahead_ = std::make_unique<ReadAhead>(read_.statement.SQL());
  std::vector<std::vector<Variant>> values;
  for (const auto& [warehouse, product] : keys)
    values.push_back({Variant(warehouse), Variant(product)});
  read_ahead_->Expect(std::move(values));
}

void clsStockd::ForgetReads() {
  if (read_ahead_) read_ahead_->Forget();
  as_read_.reset();
}

void clsStockd::UpdateStock() {
  Trap("updateStock of Class Module clsStockd Line#:", [&](int& line) {
    line = 10;
    if (as_read_ && as_read_->text == text_ && as_read_->number == number_) return;
    as_read_.reset();
    update_mode_ = true;
    PrepareUpdateStatement();
    line = 20;
    SetParameters(update_);
    line = 30;
    update_.statement.GetCommand().Execute();
  });
}

void clsStockd::InsertRow() {
  Trap("InsertRow of Class Module clsStockd Line#:", [&](int& line) {
    line = 10;
    as_read_.reset();
    update_mode_ = false;
    PrepareInsertStatement();
    line = 20;
    SetParameters(insert_);
    line = 30;
    insert_.statement.GetCommand().Execute();
  });
}

void clsStockd::Reset() {
  Trap("Reset of Class Module clsStockd Line#:", [&](int& line) {
    line = 10;
    as_read_.reset();
    for (auto& text : text_) text.clear();
    number_.fill(0);
  });
}

}  // namespace orv
