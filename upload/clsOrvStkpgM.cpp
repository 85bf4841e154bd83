#include "upload/clsOrvStkpgM.h"

#include "shell/outside/base/AppError.h"
#include "shell/outside/base/Trap.h"
#include "shell/outside/db/DataConnection.h"

namespace orv {

void clsOrvStkpgM::SetSageConnection(std::shared_ptr<DataConnection> connection) {
  statement_.SetActiveConnection(std::move(connection));
}

void clsOrvStkpgM::ReadIt() {
  Trap("ReadIt of Class Module clsOrvStkpgM Line#:", [&](int& line) {
    line = 10;
    if (!statement_.Prepared()) {
      statement_.SetSQL(std::string("select product_group") + " from " +
                        statement_.ActiveConnection()->TableCatalogue().ProductGroups() +
                        " where product_group = ?");
      statement_.AddTextParameter("product_group", 10);
      statement_.SetPrepared(true);
    }
    line = 20;
    statement_.SetTextParameter("product_group", product_group);
    if (statement_.GetCommand().Execute().Eof())
      throw AppError(vbObjectError, "", "Cannont Find Product Group" + product_group);
  });
}

}  // namespace orv
