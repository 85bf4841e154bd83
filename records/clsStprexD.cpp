#include "records/clsStprexD.h"

#include "shell/outside/base/Trap.h"
#include "shell/outside/base/ValueConvert.h"
#include "shell/outside/db/DataConnection.h"

namespace orv {

const std::shared_ptr<DataConnection>& clsStprexD::SageConnection() {
  if (!connection_) SetSageConnection(std::make_shared<DataConnection>());
  return connection_;
}

void clsStprexD::SetSageConnection(std::shared_ptr<DataConnection> connection) {
  connection_ = std::move(connection);
  for (PreparedStatement* s : {&read_, &insert_, &update_}) s->SetActiveConnection(connection_);
  ForgetReads();
}

namespace {

std::span<const RecordColumn> Key(bool split_key) {
  if (split_key) return CompanionColumns::kSplitKey;
  return CompanionColumns::kJoinedKey;
}

std::string KeyCondition(bool split_key) {
  return " where " + RecordColumns::Joined(Key(split_key), " and ", " = ?");
}

}  // namespace

std::string clsStprexD::ReadSql(const std::string& table, bool split_key) {
  return "select " + RecordColumns::Joined(CompanionColumns::kExpenseValues, ",") + " from " +
         table + KeyCondition(split_key);
}

std::string clsStprexD::InsertSql(const std::string& table, bool split_key) {
  const auto key = Key(split_key);
  const auto& values = CompanionColumns::kExpenseValues;
  return "INSERT INTO " + table + " (" + RecordColumns::Joined(key, ",") + "," +
         RecordColumns::Joined(values, ",") + ") VALUES ( " +
         RecordColumns::Markers(key.size() + values.size()) + ")";
}

std::string clsStprexD::UpdateSql(const std::string& table, bool split_key) {
  return "update " + table + " set " +
         RecordColumns::Joined(CompanionColumns::kExpenseValues, ",", " = ?") +
         KeyCondition(split_key);
}

bool clsStprexD::SplitKey() { return SageConnection()->SystemInfo().Version() >= 6; }

void clsStprexD::AddKeyParameters(PreparedStatement& statement, bool split_key) {
  RecordColumns::Declare(statement.GetCommand(), Key(split_key));
}

std::vector<Variant> clsStprexD::KeyValues(const std::string& warehouse_value,
                                           const std::string& product_value, bool split_key) {
  const DataConnection& connection = *SageConnection();
  if (split_key)
    return {connection.ConvertValue(warehouse_value), connection.ConvertValue(product_value)};
  return {connection.ConvertValue(warehouse_value + product_value)};
}

void clsStprexD::SetKeyParameters(PreparedStatement& statement, bool split_key) {
  const std::vector<Variant> values = KeyValues(warehouse, product, split_key);
  const auto key = Key(split_key);
  for (std::size_t i = 0; i < key.size(); ++i)
    statement.GetCommand().SetParameter(key[i].name, values[i]);
}

void clsStprexD::PrepareReadStatement() {
  if (read_.Prepared()) return;
  read_split_ = SplitKey();
  read_.SetActiveConnection(SageConnection());
  read_.SetSQL(ReadSql(SageConnection()->TableCatalogue().StockExpense(), read_split_));
  AddKeyParameters(read_, read_split_);
  read_.SetPrepared(true);
}

void clsStprexD::ExpectReads(const std::vector<std::pair<std::string, std::string>>& keys) {
  PrepareReadStatement();
  if (!read_ahead_) read_ahead_ = std::make_unique<ReadAhead>(read_.SQL());
  std::vector<std::vector<Variant>> values;
  for (const auto& [warehouse_value, product_value] : keys)
    values.push_back(KeyValues(warehouse_value, product_value, read_split_));
  read_ahead_->Expect(std::move(values));
}

void clsStprexD::ForgetReads() {
  if (read_ahead_) read_ahead_->Forget();
  as_read_.reset();
}

bool clsStprexD::ReadIt() {
  return Trap("ReadIt of Class Module clsStprexD Line#:", [&](int& line) {
    line = 10;
    PrepareReadStatement();
    line = 20;
    SetKeyParameters(read_, read_split_);
    line = 30;
    as_read_.reset();
    std::optional<Recordset> answer;
    if (read_ahead_)
      answer = read_ahead_->Take(SageConnection()->AdoConnection(),
                                 KeyValues(warehouse, product, read_split_));
    rs_ = answer ? std::move(*answer) : read_.GetCommand().Execute();
    line = 40;
    bool found = !rs_.Eof();
    if (found) expense = ValueConvert::NullToText(rs_.Fields("expense"));
    rs_.Close();
    if (found) as_read_ = {warehouse, product, expense};
    return found;
  });
}

void clsStprexD::InsertRow() {
  Trap("InsertRow of Class Module clsStprexD Line#:", [&](int& line) {
    line = 10;
    as_read_.reset();
    if (!insert_.Prepared()) {
      insert_split_ = SplitKey();
      insert_.SetActiveConnection(SageConnection());
      insert_.SetSQL(InsertSql(SageConnection()->TableCatalogue().StockExpense(), insert_split_));
      AddKeyParameters(insert_, insert_split_);
      RecordColumns::Declare(insert_.GetCommand(), CompanionColumns::kExpenseValues);
      insert_.SetPrepared(true);
    }
    line = 20;
    SetKeyParameters(insert_, insert_split_);
    insert_.GetCommand().SetParameter("expense", SageConnection()->ConvertValue(expense));
    line = 30;
    insert_.GetCommand().Execute();
  });
}

void clsStprexD::UpdateRow() {
  Trap("UpdateRow of Class Module clsStprexD Line#:", [&](int& line) {
    line = 10;
    if (as_read_ == std::array<std::string, 3>{warehouse, product, expense}) return;
    as_read_.reset();
    if (!update_.Prepared()) {
      update_split_ = SplitKey();
      update_.SetActiveConnection(SageConnection());
      update_.SetSQL(UpdateSql(SageConnection()->TableCatalogue().StockExpense(), update_split_));
      RecordColumns::Declare(update_.GetCommand(), CompanionColumns::kExpenseValues);
      AddKeyParameters(update_, update_split_);
      update_.SetPrepared(true);
    }
    line = 20;
    update_.GetCommand().SetParameter("expense", SageConnection()->ConvertValue(expense));
    SetKeyParameters(update_, update_split_);
    line = 30;
    update_.GetCommand().Execute();
  });
}

}  // namespace orv
