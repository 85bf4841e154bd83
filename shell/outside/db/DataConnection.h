#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "shell/outside/base/Variant.h"
#include "shell/outside/db/Connection.h"
#include "shell/outside/db/DatabaseTarget.h"
#include "shell/outside/db/SystemInfo.h"
#include "shell/outside/db/TableCatalogue.h"

namespace orv {

// The connection object every database class holds through its SageConnection property: the
// connection itself, the database type, the qualified table names, the company's system settings
// and the value conversions. One object lives as long as its ConnectionManager; opening another
// company reopens it in place, so every holder keeps a valid reference.
class DataConnection {
 public:
  // ANSI joins with "||" concatenation: what both SQLite and PostgreSQL take.
  static constexpr std::int32_t kAnsiBarsType = 2;

  DataConnection();
  DataConnection(const DataConnection&) = delete;
  DataConnection& operator=(const DataConnection&) = delete;

  // Opens the database and reads the system table; on failure the object is left closed.
  void Open(const DatabaseTarget& target, std::string company_code = {});
  void Close();
  bool IsOpen() const;
  const std::string& CompanyCode() const { return company_code_; }

  // The connection to hand to recordsets and commands; never null (closed until Open).
  const std::shared_ptr<Connection>& AdoConnection() const { return connection_; }
  // The join and concatenation syntax of the statements the library builds as text. Both of our
  // databases take 2; another type only changes the text built, for a database that takes it.
  std::int32_t DatabaseType() const { return database_type_; }
  void SetDatabaseType(std::int32_t type) { database_type_ = type; }
  const orv::TableCatalogue& TableCatalogue() const { return tables_; }
  // AppError when the connection has never been opened.
  const orv::SystemInfo& SystemInfo() const;

  // Whether a run wraps its writes in one transaction (the default). Turned off, each statement
  // stands alone: what a run wrote before a failure stays written.
  bool UseTransactions() const { return use_transactions_; }
  void SetUseTransactions(bool use) { use_transactions_ = use; }
  void BeginTrans() { connection_->BeginTrans(); }
  void CommitTrans() { connection_->CommitTrans(); }
  void RollbackTrans() { connection_->RollbackTrans(); }

  // The database value of a text that the extension, EC and expense records write: the text as
  // it stands (both databases keep empty strings and trailing blanks).
  Variant ConvertValue(std::string_view text) const { return Variant(std::string(text)); }
  // A field value as text: "" for a database null, never the word "Null".
  static std::string NullToText(const Variant& value);
  // A date as the user reads it: dd/mm/yyyy.
  static std::string DateToText(OleDate date);

  // Put once by each component: 12 characters, letters, digits and parentheses.
  void SetKeyString(std::string key);
  const std::string& KeyString() const { return key_; }

 private:
  std::shared_ptr<Connection> connection_;
  orv::TableCatalogue tables_;
  orv::SystemInfo system_;
  bool system_read_ = false;
  std::string company_code_;
  std::string key_;
  std::int32_t database_type_ = kAnsiBarsType;
  bool use_transactions_ = true;
};

}  // namespace orv
