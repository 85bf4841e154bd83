#include "upload/clsPoUserM.h"

#include <cctype>

#include "shell/outside/base/AppError.h"
#include "shell/outside/base/Trap.h"
#include "shell/outside/base/ValueConvert.h"
#include "shell/outside/db/DataConnection.h"

namespace orv {

void clsPoUserM::SetSageConnection(std::shared_ptr<DataConnection> connection) {
  statement_.SetActiveConnection(std::move(connection));
}

void clsPoUserM::CopyFrom(const Recordset& record) {
  std::map<std::string, std::string> columns;
  for (std::size_t i = 0; i < record.FieldCount(); ++i) {
    std::string name = record.FieldName(i);
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    columns[name] = ValueConvert::NullToText(record.FieldValue(i));
  }
  columns_ = std::move(columns);
  auto allow = columns_.find("allow_buyer");
  allow_buyer_ = allow == columns_.end() ? std::string() : allow->second;
}

void clsPoUserM::ReadBId() {
  Trap("ReadBId of Class Module clsPoUserM Line#:", [&](int& line) {
    line = 10;
    if (!statement_.Prepared()) {
      statement_.SetSQL("select * from " +
                        statement_.ActiveConnection()->TableCatalogue().PurchaseUsers() +
                        " where id = ?");
      statement_.AddTextParameter("id", 8);
      statement_.SetPrepared(true);
    }
    line = 20;
    statement_.SetTextParameter("id", id);
    Recordset rs = statement_.GetCommand().Execute();
    line = 30;
    if (rs.Eof()) throw AppError(vbObjectError + 5068, "", " Buyer id " + id + " not found");
    CopyFrom(rs);
  });
}

void clsPoUserM::ValidBIdLite() {
  Trap("ValidBIdLite of Class Module clsPoUserM Line#:", [&](int& line) {
    line = 10;
    id = ValueConvert::Trim(id);
    line = 20;
    ReadBId();
  });
}

}  // namespace orv
