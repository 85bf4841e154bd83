#include "records/clsStockXpgm.h"

#include "shell/outside/base/AppError.h"
#include "shell/outside/base/Trap.h"
#include "shell/outside/base/ValueConvert.h"
#include "shell/outside/db/DataConnection.h"

namespace orv {

const std::shared_ptr<DataConnection>& clsStockXpgm::SageConnection() {
  if (!connection_) SetSageConnection(std::make_shared<DataConnection>());
  return connection_;
}

void clsStockXpgm::SetSageConnection(std::shared_ptr<DataConnection> connection) {
  connection_ = std::move(connection);
  for (PreparedStatement* s : {&read_, &update_, &insert_}) s->SetActiveConnection(connection_);
}

std::string clsStockXpgm::ReadSql() {
  return std::string("select warehouse,") +
         "product,analysis_d,analysis_e,analysis_f,delivery_qty_tol,call_off_qty_tol,consumer_"
         "unit" +
         " from scheme.stockxpgm" + " where warehouse = ? and product = ?";
}

std::string clsStockXpgm::UpdateSql() {
  return std::string(" update scheme.stockxpgm") + " set analysis_d = ?,analysis_e = ? " +
         " ,analysis_f =?,delivery_qty_tol = ?,call_off_qty_tol = ?,consumer_unit = ?" +
         " where warehouse = ? and product = ?";
}

std::string clsStockXpgm::InsertSql(const std::string& table) {
  return "INSERT INTO " + table +
         " (warehouse,product,analysis_d,analysis_e,analysis_f,delivery_qty_tol,call_off_qty_tol,"
         "consumer_unit)" +
         " VALUES ( ?,?,?,?,?,?,?,?)";
}

void clsStockXpgm::Bind(PreparedStatement& statement, const char* name, const std::string& value) {
  statement.GetCommand().SetParameter(name, SageConnection()->ConvertValue(value));
}

void clsStockXpgm::PrepareReadStatement() {
  Trap("PrepareReadStatement of Class Module clsStockXpgm Line#:", [&](int& line) {
    line = 10;
    if (read_.Prepared()) return;
    line = 20;
    read_.SetActiveConnection(SageConnection());
    read_.SetSQL(ReadSql());
    read_.AddTextParameter("warehouse", 2);
    read_.AddTextParameter("product", 20);
    line = 30;
    read_.SetPrepared(true);
  });
}

void clsStockXpgm::ReadIt() {
  Trap("ReadIt of Class Module clsStockXpgm Line#:", [&](int& line) {
    line = 10;
    PrepareReadStatement();
    line = 20;
    Bind(read_, "warehouse", warehouse);
    Bind(read_, "product", product);
    line = 30;
    rs_ = read_.GetCommand().Execute();
    line = 40;
    if (rs_.Eof()) {
      rs_.Close();
      throw AppError(vbObjectError + 5001, "", "Cannot find Product " + product);
    }
    line = 50;
    auto text = [this](const char* name) { return ValueConvert::NullToText(rs_.Fields(name)); };
    std::string d = text("analysis_d"), e = text("analysis_e"), f = text("analysis_f");
    std::string delivery = text("delivery_qty_tol"), call_off = text("call_off_qty_tol");
    std::string unit = text("consumer_unit");
    rs_.Close();
    AnalysisD = std::move(d);
    AnalysisE = std::move(e);
    AnalysisF = std::move(f);
    DeliveryQtyTol = std::move(delivery);
    CallOffQtyTol = std::move(call_off);
    ConsumerUnit = std::move(unit);
  });
}

void clsStockXpgm::PrepareStkxpgmUpdateStatement() {
  Trap("PrepareStkxpgmUpdateStatement of Class Module clsStockXpgm Line#:", [&](int& line) {
    line = 10;
    if (update_.Prepared()) return;
    line = 20;
    update_.SetActiveConnection(SageConnection());
    update_.SetSQL(UpdateSql());
    update_.AddTextParameter("analysis_d", 10);
    update_.AddTextParameter("analysis_e", 10);
    update_.AddTextParameter("analysis_f", 10);
    update_.AddTextParameter("delivery_qty_tol", 30);
    update_.AddTextParameter("call_off_qty_tol", 30);
    update_.AddTextParameter("consumer_unit", 10);
    update_.AddTextParameter("warehouse", 2);
    update_.AddTextParameter("product", 20);
    line = 30;
    update_.SetPrepared(true);
  });
}

void clsStockXpgm::UpdateStockXPg() {
  Trap("UpdateStockXPg of Class Module clsStockXpgm Line#:", [&](int& line) {
    line = 10;
    PrepareStkxpgmUpdateStatement();
    line = 20;
    Bind(update_, "analysis_d", AnalysisD);
    Bind(update_, "analysis_e", AnalysisE);
    Bind(update_, "analysis_f", AnalysisF);
    Bind(update_, "delivery_qty_tol", DeliveryQtyTol);
    Bind(update_, "call_off_qty_tol", CallOffQtyTol);
    Bind(update_, "consumer_unit", ConsumerUnit);
    Bind(update_, "warehouse", warehouse);
    Bind(update_, "product", product);
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
    insert_.AddTextParameter("warehouse", 2);
    insert_.AddTextParameter("product", 20);
    insert_.AddTextParameter("analysis_d", 10);
    insert_.AddTextParameter("analysis_e", 10);
    insert_.AddTextParameter("analysis_f", 10);
    insert_.AddTextParameter("delivery_qty_tol", 30);
    insert_.AddTextParameter("call_off_qty_tol", 30);
    insert_.AddTextParameter("consumer_unit", 10);
    line = 30;
    insert_.SetPrepared(true);
  });
}

void clsStockXpgm::InsertRow() {
  Trap("InsertRow of Class Module clsStockXpgm Line#:", [&](int& line) {
    line = 10;
    PrepareInsertStatement();
    line = 20;
    Bind(insert_, "warehouse", warehouse);
    Bind(insert_, "product", product);
    Bind(insert_, "analysis_d", AnalysisD);
    Bind(insert_, "analysis_e", AnalysisE);
    Bind(insert_, "analysis_f", AnalysisF);
    Bind(insert_, "delivery_qty_tol", DeliveryQtyTol);
    Bind(insert_, "call_off_qty_tol", CallOffQtyTol);
    Bind(insert_, "consumer_unit", ConsumerUnit);
    line = 30;
    insert_.GetCommand().Execute();
  });
}

}  // namespace orv
