#include "upload/clsStkwhD.h"

#include "shell/outside/base/AppError.h"
#include "shell/outside/base/Trap.h"
#include "shell/outside/base/ValueConvert.h"
#include "shell/outside/db/DataConnection.h"

namespace orv {

void clsStkwhD::SetSageConnection(std::shared_ptr<DataConnection> connection) {
  statement_.SetActiveConnection(std::move(connection));
}

void clsStkwhD::ReadIt() {
  Trap("ReadIt of Class Module clsStkwhD Line#:", [&](int& line) {
    line = 10;
    if (!statement_.Prepared()) {
      statement_.SetSQL(std::string("select warehouse,") + "description" + " from " +
                        statement_.ActiveConnection()->TableCatalogue().Warehouses() +
                        " where warehouse = ? ");
      statement_.AddTextParameter("warehouse", 2);
      statement_.SetPrepared(true);
    }
    line = 20;
    statement_.SetTextParameter("warehouse", warehouse);
    Recordset rs = statement_.GetCommand().Execute();
    line = 30;
    if (rs.Eof()) throw AppError(vbObjectError + 5000, "", "Cannot find warehouse " + warehouse);
    description = ValueConvert::NullToText(rs.Fields("description"));
  });
}

}  // namespace orv
