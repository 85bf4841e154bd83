#include "records/clsSttechD.h"

#include "shell/outside/base/AppError.h"
#include "shell/outside/base/Trap.h"
#include "shell/outside/base/ValueConvert.h"
#include "shell/outside/db/DataConnection.h"

namespace orv {
namespace {

constexpr const auto& kValues = CompanionColumns::kPageValues;
constexpr const auto& kKey = CompanionColumns::kPageKey;

std::string KeyCondition() { return " where " + RecordColumns::Joined(kKey, " and ", " = ?"); }

}  // namespace

const std::shared_ptr<DataConnection>& clsSttechD::SageConnection() {
  if (!insert_.ActiveConnection()) SetSageConnection(std::make_shared<DataConnection>());
  return insert_.ActiveConnection();
}

void clsSttechD::SetSageConnection(std::shared_ptr<DataConnection> connection) {
  for (PreparedStatement* s : {&insert_, &update_, &read_}) s->SetActiveConnection(connection);
}

std::string clsSttechD::ReadSql(const std::string& table) {
  return "select *  from " + table + KeyCondition();
}

std::string clsSttechD::InsertSql(const std::string& table) {
  return "INSERT INTO " + table + " ( " + RecordColumns::Joined(kValues, ",") + "," +
         RecordColumns::Joined(kKey, ",") + ") VALUES ( " +
         RecordColumns::Markers(kValues.size() + kKey.size()) + ")";
}

std::string clsSttechD::UpdateSql(const std::string& table) {
  return "Update " + table + " set " + RecordColumns::Joined(kValues, ", ", "=?") + KeyCondition();
}

std::string clsSttechD::DeleteSql(const std::string& table, const std::string& warehouse,
                                  const std::string& product, const std::string& page_number) {
  return "delete from " + table + " where warehouse = " + ValueConvert::Quote(warehouse) +
         " and product = " + ValueConvert::Quote(product) +
         " and page_number=" + ValueConvert::Quote(page_number);
}

void clsSttechD::Reset() {
  page_number.clear();
  product.clear();
  spare.clear();
  for (auto& line : text) line.clear();
  warehouse.clear();
}

std::string& clsSttechD::Value(std::size_t column) {
  return column < CompanionColumns::kFirstLine ? spare
                                               : text.at(column - CompanionColumns::kFirstLine);
}

std::string& clsSttechD::KeyValue(std::size_t column) {
  std::string* key[] = {&warehouse, &product, &page_number};
  return *key[column];
}

void clsSttechD::AddParameters(PreparedStatement& statement) {
  Trap("AddParameters of Class Module clsSttechD Line#:", [&](int& line) {
    line = 10;
    RecordColumns::Declare(statement.GetCommand(), kValues);
    line = 20;
    RecordColumns::Declare(statement.GetCommand(), kKey);
  });
}

void clsSttechD::SetParameters(PreparedStatement& statement) {
  Trap("SetParameters of Class Module clsSttechD Line#:", [&](int& line) {
    line = 10;
    for (std::size_t i = 0; i < kValues.size(); ++i)
      statement.SetTextParameter(kValues[i].name, Value(i));
    line = 20;
    for (std::size_t i = 0; i < kKey.size(); ++i)
      statement.SetTextParameter(kKey[i].name, KeyValue(i));
  });
}

void clsSttechD::PrepareInsertStatement() {
  Trap("PrepareInsertStatement of Class Module clsSttechD Line#:", [&](int& line) {
    line = 10;
    if (insert_.Prepared()) return;
    line = 20;
    insert_.SetSQL(InsertSql(SageConnection()->TableCatalogue().TechnicalDescription()));
    line = 30;
    AddParameters(insert_);
    line = 40;
    insert_.SetPrepared(true);
  });
}

void clsSttechD::PrepareUpdateStatement() {
  Trap("PrepareUpdateStatement of Class Module clsSttechD Line#:", [&](int& line) {
    line = 10;
    if (update_.Prepared()) return;
    line = 20;
    update_.SetSQL(UpdateSql(SageConnection()->TableCatalogue().TechnicalDescription()));
    line = 30;
    AddParameters(update_);
    line = 40;
    update_.SetPrepared(true);
  });
}

void clsSttechD::PrepareReadStatement() {
  Trap("PrepareReadStatement of Class Module clsSttechD Line#:", [&](int& line) {
    line = 10;
    if (read_.Prepared()) return;
    line = 20;
    read_.SetSQL(ReadSql(SageConnection()->TableCatalogue().TechnicalDescription()));
    line = 30;
    // The read takes a page text longer than the three characters a page number is stored in.
    RecordColumns::Declare(read_.GetCommand(), std::span(kKey).first(2));
    read_.AddTextParameter(std::string(kKey[2].name), 6);
    line = 40;
    read_.SetPrepared(true);
  });
}

void clsSttechD::InsertRow() {
  Trap("InsertRow of Class Module clsSttechD Line#:", [&](int& line) {
    line = 10;
    PrepareInsertStatement();
    line = 20;
    SetParameters(insert_);
    line = 30;
    insert_.GetCommand().Execute();
  });
}

void clsSttechD::UpdateRow() {
  Trap("UpdateRow of Class Module clsSttechD Line#:", [&](int& line) {
    line = 10;
    PrepareUpdateStatement();
    line = 20;
    SetParameters(update_);
    line = 30;
    update_.GetCommand().Execute();
  });
}

void clsSttechD::ReadIt() {
  Trap("ReadIt of Class Module clsSttechD Line#:", [&](int& line) {
    line = 10;
    PrepareReadStatement();
    line = 20;
    const DataConnection& connection = *SageConnection();
    Command& command = read_.GetCommand();
    for (std::size_t i = 0; i < kKey.size(); ++i)
      command.SetParameter(kKey[i].name, connection.ConvertValue(KeyValue(i)));
    line = 30;
    rs_ = command.Execute();
    line = 40;
    if (rs_.Eof()) {
      rs_.Close();
      throw AppError(vbObjectError, "",
                     "Stock record not found for warehouse:" + warehouse + " Product:" + product +
                         " Page Number: " + page_number);
    }
    line = 50;
    CopyFromRecordset(rs_);
    rs_.Close();
  });
}

void clsSttechD::CopyFromRecordset(const Recordset& rs) {
  Trap("CopyFromRecordset of Class Module clsSttechD", [&](int&) {
    // Into a copy first, so that a failing field leaves every property as it was.
    clsSttechD read;
    for (std::size_t i = 0; i < kValues.size(); ++i)
      read.Value(i) = ValueConvert::NullToText(rs.Fields(kValues[i].name));
    for (std::size_t i = 0; i < kKey.size(); ++i)
      read.KeyValue(i) = ValueConvert::NullToText(rs.Fields(kKey[i].name));
    for (std::size_t i = 0; i < kValues.size(); ++i) Value(i) = std::move(read.Value(i));
    for (std::size_t i = 0; i < kKey.size(); ++i) KeyValue(i) = std::move(read.KeyValue(i));
  });
}

void clsSttechD::DeleteRow() {
  Trap("DeleteRow of Class Module clsSttechD Line#:", [&](int& line) {
    line = 10;
    const DataConnection& connection = *SageConnection();
    std::string sql = DeleteSql(connection.TableCatalogue().TechnicalDescription(), warehouse,
                                product, page_number);
    line = 20;
    connection.AdoConnection()->Execute(sql);
  });
}

}  // namespace orv
