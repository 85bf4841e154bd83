#include "browse/StockViewSource.h"

#include "shell/outside/base/Trap.h"
#include "shell/outside/base/ValueConvert.h"
#include "shell/outside/db/DataConnection.h"

namespace orv {
namespace {

enum Shown { kText, kNumber, kDate };

struct Field {
  const char* column;
  const char* caption;
  Shown shown;
};

// What the view shows, in order.
constexpr Field kFields[] = {
    {"description", "Description", kText},
    {"long_description", "Full description", kText},
    {"unit_code", "Stock unit", kText},
    {"selling_unit", "Std selling units", kText},
    {"purchase_unit", "Std buying units", kText},
    {"physical_qty", "Physical", kNumber},
    {"allocated_qty", "Allocated", kNumber},
    {"forward_order_qty", "Forward order", kNumber},
    {"back_order_qty", "Back order", kNumber},
    {"on_order_qty", "On order", kNumber},
    {"uninspected_qty", "Uninspected", kNumber},
    {"min_stock_level", "Reorder level", kNumber},
    {"maximum_stock_leve", "Maximum level", kNumber},
    {"standard_cost", "Standard cost", kNumber},
    {"current_cost", "Current cost", kNumber},
    {"expected_cost", "Expected cost", kNumber},
    {"price", "Standard price", kNumber},
    {"stock_date", "Last checked", kDate},
    {"issue_date", "Last issue", kDate},
};

}  // namespace

StockViewSource::StockViewSource(std::shared_ptr<DataConnection> connection)
    : connection_(std::move(connection)) {}

std::optional<StockView::Lines> StockViewSource::Read(std::string_view warehouse,
                                                      std::string_view product) {
  return Trap("Read of Class Module StockViewSource Line#:", [&](int& line) {
    line = 10;
    if (!read_.Prepared()) {
      std::string columns;
      for (const Field& field : kFields)
        columns += (columns.empty() ? "" : ", ") + std::string(field.column);
      read_.SetActiveConnection(connection_);
      read_.SetSQL("select " + columns + " from " + connection_->TableCatalogue().StockMaster() +
                   " where warehouse = ? and product = ?");
      read_.AddTextParameter("warehouse", 2);
      read_.AddTextParameter("product", 20);
      read_.SetPrepared(true);
    }
    line = 20;
    read_.SetTextParameter("warehouse", warehouse);
    read_.SetTextParameter("product", product);
    auto record = read_.GetCommand().Execute();
    line = 30;
    std::optional<StockView::Lines> lines;
    if (!record.Eof()) {
      lines.emplace();
      for (const Field& field : kFields) {
        Variant value = record.Fields(field.column);
        std::string text = ValueConvert::NullToText(value);
        if (field.shown == kNumber) text = ValueConvert::NumberText(value);
        if (field.shown == kDate) {
          OleDate date = ValueConvert::Date(value);
          text = date.serial == 0 ? std::string() : DataConnection::DateToText(date);
        }
        lines->emplace_back(field.caption, text);
      }
    }
    record.Close();
    return lines;
  });
}

}  // namespace orv
