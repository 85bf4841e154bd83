#include "records/clsStockXpgm.h"

#include "shell/outside/base/AppError.h"
#include "shell/outside/base/Trap.h"
#include "shell/outside/base/ValueConvert.h"
#include "shell/outside/db/DataConnection.h"

namespace orv {
namespace {

constexpr std::span<const RecordColumn> kAll(CompanionColumns::kExtension);
constexpr std::span<const RecordColumn> kKey = kAll.first(2);
constexpr std::span<const RecordColumn> kValues = kAll.subspan(2);
constexpr std::string_view kKeyCondition = " where warehouse = ? and product = ?";

}  // namespace

const std::shared_ptr<DataConnection>& clsStockXpgm::SageConnection() {
  if (!connection_) SetSageConnection(std::make_shared<DataConnection>());
  return connection_;
}

void clsStockXpgm::SetSageConnection(std::shared_ptr<DataConnection> connection) {
  connection_ = std::move(connection);
  for (PreparedStatement* s : {&read_, &update_, &insert_}) s->SetActiveConnection(connection_);
  ForgetReads();
}

void clsStockXpgm::ExpectReads(const std::vector<std::pair<std::string, std::string>>& keys) {
  PrepareReadStatement();
  if (!read_ahead_) read_ahead_ = std::make_unique<ReadAhead>(read_.SQL());
  const DataConnection& connection = *SageConnection();
  std::vector<std::vector<Variant>> values;
  for (const auto& [warehouse, product] : keys)
    values.push_back({connection.ConvertValue(warehouse), connection.ConvertValue(product)});
  read_ahead_->Expect(std::move(values));
}

void clsStockXpgm::ForgetReads() {
  if (read_ahead_) read_ahead_->Forget();
  as_read_.reset();
}

std::string clsStockXpgm::ReadSql() {
  return "select " + RecordColumns::Joined(kAll, ",") + " from scheme.stockxpgm" +
         std::string(kKeyCondition);
}

std::string clsStockXpgm::UpdateSql() {
  return " update scheme.stockxpgm set " + RecordColumns::Joined(kValues, ",", " = ?") +
         std::string(kKeyCondition);
}

std::string clsStockXpgm::InsertSql(const std::string& table) {
  return "INSERT INTO " + table + " (" + RecordColumns::Joined(kAll, ",") + ") VALUES ( " +
         RecordColumns::Markers(kAll.size()) + ")";
}

void clsStockXpgm::SetParameters(PreparedStatement& statement,
                                 std::span<const RecordColumn> columns) {
  const DataConnection& connection = *SageConnection();
  for (const auto& column : columns)
    statement.GetCommand().SetParameter(
        column.name, connection.ConvertValue(values_[RecordColumns::Find(kAll, column.name)]));
}

void clsStockXpgm::PrepareReadStatement() {
  Trap("PrepareReadStatement of Class Module clsStockXpgm Line#:", [&](int& line) {
    line = 10;
    if (read_.Prepared()) return;
    line = 20;
    read_.SetActiveConnection(SageConnection());
    read_.SetSQL(ReadSql());
    RecordColumns::Declare(read_.GetCommand(), kKey);
    line = 30;
    read_.SetPrepared(true);
  });
}

void clsStockXpgm::ReadIt() {
  Trap("ReadIt of Class Module clsStockXpgm Line#:", [&](int& line) {
    line = 10;
    PrepareReadStatement();
    line = 20;
    SetParameters(read_, kKey);
    line = 30;
    as_read_.reset();
    std::optional<Recordset> answer;
    if (read_ahead_) {
      const DataConnection& connection = *SageConnection();
      answer = read_ahead_->Take(
          SageConnection()->AdoConnection(),
          {connection.ConvertValue(Get("warehouse")), connection.ConvertValue(Get("product"))});
    }
    rs_ = answer ? std::move(*answer) : read_.GetCommand().Execute();
    line = 40;
    if (rs_.Eof()) {
      rs_.Close();
      throw AppError(vbObjectError + 5001, "", "Cannot find Product " + Get("product"));
    }
    line = 50;
    decltype(values_) read;
    for (std::size_t i = 0; i < kAll.size(); ++i)
      read[i] = ValueConvert::NullToText(rs_.Fields(std::string(kAll[i].name)));
    rs_.Close();
    for (std::size_t i = kKey.size(); i < kAll.size(); ++i) values_[i] = std::move(read[i]);
    as_read_ = values_;
  });
}

void clsStockXpgm::PrepareStkxpgmUpdateStatement() {
  Trap("PrepareStkxpgmUpdateStatement of Class Module clsStockXpgm Line#:", [&](int& line) {
    line = 10;
    if (update_.Prepared()) return;
    line = 20;
    update_.SetActiveConnection(SageConnection());
    update_.SetSQL(UpdateSql());
    RecordColumns::Declare(update_.GetCommand(), kValues);
    RecordColumns::Declare(update_.GetCommand(), kKey);
    line = 30;
    update_.SetPrepared(true);
  });
}

void clsStockXpgm::UpdateStockXPg() {
  Trap("UpdateStockXPg of Class Module clsStockXpgm Line#:", [&](int& line) {
    line = 10;
    if (as_read_ == values_) return;
    as_read_.reset();
    PrepareStkxpgmUpdateStatement();
    line = 20;
    SetParameters(update_, kAll);
    line = 30;
    update_.GetCommand().Execute();
  });
}

void clsStockXpgm::PrepareInsertStatement() {
  Trap("PrepareInsertStatement of Class Module clsStockXpgm Line#:", [&](int& line) {
    line = 10;
    if (insert_.Prepared()) return;
    line = 20;
    insert_.SetActiveConnection(SageConnection());
    insert_.SetSQL(InsertSql(SageConnection()->TableCatalogue().StockExtension()));
    RecordColumns::Declare(insert_.GetCommand(), kAll);
    line = 30;
    insert_.SetPrepared(true);
  });
}

void clsStockXpgm::InsertRow() {
  Trap("InsertRow of Class Module clsStockXpgm Line#:", [&](int& line) {
    line = 10;
    as_read_.reset();
    PrepareInsertStatement();
    line = 20;
    SetParameters(insert_, kAll);
    line = 30;
    insert_.GetCommand().Execute();
  });
}

}  // namespace orv
