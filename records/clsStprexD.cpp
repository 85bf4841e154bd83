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

void clsStprexD::SetKeyParameters(PreparedStatement& statement, bool split_key) {
  const DataConnection& connection = *SageConnection();
  Command& command = statement.GetCommand();
  if (split_key) {
    command.SetParameter("warehouse", connection.ConvertValue(warehouse));
    command.SetParameter("product", connection.ConvertValue(product));
  } else {
    command.SetParameter("whproduct", connection.ConvertValue(warehouse + product));
  }
}

bool clsStprexD::ReadIt() {
  return Trap("ReadIt of Class Module clsStprexD Line#:", [&](int& line) {
    line = 10;
    if (!read_.Prepared()) {
      read_split_ = SplitKey();
      read_.SetActiveConnection(SageConnection());
      read_.SetSQL(ReadSql(SageConnection()->TableCatalogue().StockExpense(), read_split_));
      AddKeyParameters(read_, read_split_);
      read_.SetPrepared(true);
    }
    line = 20;
    SetKeyParameters(read_, read_split_);
    line = 30;
    rs_ = read_.GetCommand().Execute();
    line = 40;
    bool found = !rs_.Eof();
    if (found) expense = ValueConvert::NullToText(rs_.Fields("expense"));
    rs_.Close();
    return found;
  });
}

void clsStprexD::InsertRow() {
  Trap("InsertRow of Class Module clsStprexD Line#:", [&](int& line) {
    line = 10;
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
