#pragma once

#include <memory>

#include "shell/outside/db/DataConnection.h"

namespace orv::test {

// A connection on an empty SQLite company of `erp_version` that reports `database_type`, for
// tests of the statements built as text.
std::shared_ptr<DataConnection> StatementConnection(int database_type, int erp_version);

}  // namespace orv::test
