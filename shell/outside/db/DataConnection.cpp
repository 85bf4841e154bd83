#include "shell/outside/db/DataConnection.h"

#include <algorithm>
#include <cctype>

#include "shell/outside/base/AppError.h"
#include "shell/outside/base/ValueConvert.h"

namespace orv {

DataConnection::DataConnection() : connection_(std::make_shared<Connection>()) {}

void DataConnection::Open(const DatabaseTarget& target, std::string company_code) {
  Close();
  connection_->Open(target);
  try {
    system_ = SystemInfo::Read(*connection_, tables_);
  } catch (...) {
    connection_->Close();
    throw;
  }
  system_read_ = true;
  company_code_ = std::move(company_code);
}

void DataConnection::Close() {
  connection_->Close();
  system_read_ = false;
  company_code_.clear();
}

bool DataConnection::IsOpen() const { return connection_->IsOpen(); }

const SystemInfo& DataConnection::SystemInfo() const {
  if (!system_read_)
    throw AppError(kUnexpectedError, "",
                   "The database connection has not been opened, so its system settings are "
                   "unknown");
  return system_;
}

std::string DataConnection::NullToText(const Variant& value) {
  return ValueConvert::NullToText(value);
}

std::string DataConnection::DateToText(OleDate date) { return Variant(date).ToText(); }

void DataConnection::SetKeyString(std::string key) {
  bool valid = key.size() == 12 && std::all_of(key.begin(), key.end(), [](unsigned char c) {
                 return std::isalnum(c) || c == '(' || c == ')';
               });
  if (!valid)
    throw AppError(kUnexpectedError, "",
                   "The key string must be 12 letters, digits or parentheses");
  key_ = std::move(key);
}

}  // namespace orv
