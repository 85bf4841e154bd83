#include "records/clsSttechD.h"

#include <cstdio>

#include "shell/outside/base/AppError.h"
#include "shell/outside/base/Trap.h"
#include "shell/outside/base/ValueConvert.h"
#include "shell/outside/db/DataConnection.h"

namespace orv {
namespace {

std::string LineName(std::size_t index) {
  char name[8];
  std::snprintf(name, sizeof name, "text%02zu", index + 1);
  return name;
}

}  // namespace

const std::shared_ptr<DataConnection>& clsSttechD::SageConnection() {
  if (!insert_.ActiveConnection()) SetSageConnection(std::make_shared<DataConnection>());
  return insert_.ActiveConnection();
}

void clsSttechD::SetSageConnection(std::shared_ptr<DataConnection> connection) {
  for (PreparedStatement* s : {&insert_, &update_, &read_}) s->SetActiveConnection(connection);
}

std::string clsSttechD::ReadSql(const std::string& table) {
  return "select *  from " + table + " where warehouse = ? and product = ? and page_number=?";
}

std::string clsSttechD::InsertSql(const std::string& table) {
  return "INSERT INTO " + table +
         " ( spare,text01,text02,text03,text04,text05,text06,text07,text08" +
         ",text09,text10,text11,text12,warehouse,product,page_number)" +
         " VALUES ( ?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)";
}

std::string clsSttechD::UpdateSql(const std::string& table) {
  return "Update " + table + " set  spare=?,  text01=?," +
         " text02=?,  text03=?,  text04=?,  text05=?," +
         " text06=?,  text07=?,  text08=?,  text09=?," + " text10=?,  text11=?,  text12=?" +
         " where warehouse = ? and product=? and page_number=? ";
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

void clsSttechD::AddParameters(PreparedStatement& statement) {
  Trap("AddParameters of Class Module clsSttechD Line#:", [&](int& line) {
    line = 10;
    statement.AddTextParameter("spare", 50);
    for (std::size_t i = 0; i < text.size(); ++i) statement.AddTextParameter(LineName(i), 60);
    line = 20;
    statement.AddTextParameter("warehouse", 2);
    statement.AddTextParameter("product", 20);
    statement.AddTextParameter("page_number", 3);
  });
}

void clsSttechD::SetParameters(PreparedStatement& statement) {
  Trap("SetParameters of Class Module clsSttechD Line#:", [&](int& line) {
    line = 10;
    statement.SetTextParameter("spare", spare);
    for (std::size_t i = 0; i < text.size(); ++i) statement.SetTextParameter(LineName(i), text[i]);
    line = 20;
    statement.SetTextParameter("warehouse", warehouse);
    statement.SetTextParameter("product", product);
    statement.SetTextParameter("page_number", page_number);
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
    read_.AddTextParameter("warehouse", 2);
    read_.AddTextParameter("product", 20);
    read_.AddTextParameter("page_number", 6);
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
    command.SetParameter("warehouse", connection.ConvertValue(warehouse));
    command.SetParameter("product", connection.ConvertValue(product));
    command.SetParameter("page_number", connection.ConvertValue(page_number));
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
    auto field = [&rs](const std::string& name) {
      return ValueConvert::NullToText(rs.Fields(name));
    };
    std::string page = field("page_number"), key_product = field("product");
    std::string spare_column = field("spare"), key_warehouse = field("warehouse");
    std::array<std::string, 12> lines;
    for (std::size_t i = 0; i < lines.size(); ++i) lines[i] = field(LineName(i));
    page_number = std::move(page);
    product = std::move(key_product);
    spare = std::move(spare_column);
    text = std::move(lines);
    warehouse = std::move(key_warehouse);
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
