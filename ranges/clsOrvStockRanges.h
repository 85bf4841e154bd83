#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "shell/outside/base/FieldSource.h"
#include "shell/outside/base/Variant.h"
#include "shell/outside/xlsx/RangeList.h"

namespace orv {

class clsOrvStock;

// The catalogue of the stock workbook's named ranges: one range per field, a column of one cell per
// stock record or a single header cell. It registers the ranges with the host range list and moves
// one row between the sheet and a stock record in both directions. The definitions live in the
// range list; the catalogue keeps none of its own.
class clsOrvStockRanges {
 public:
  // The text a date is shown as in a cell (the connection's DateToText).
  using DateFormatter = std::function<std::string(OleDate)>;

  clsOrvStockRanges() = default;
  clsOrvStockRanges(const clsOrvStockRanges&) = delete;
  clsOrvStockRanges& operator=(const clsOrvStockRanges&) = delete;

  // The range list every definition and cell access goes to; set before any routine below runs.
  const std::shared_ptr<RangeList>& GetRangeList() const { return range_list_; }
  void SetRangeList(std::shared_ptr<RangeList> range_list) { range_list_ = std::move(range_list); }

  // Upload: a blank cell leaves its field unchanged.
  bool IgnoreBlanks() const { return ignore_blanks_; }
  void SetIgnoreBlanks(bool ignore) { ignore_blanks_ = ignore; }

  // The row, counted within the ranges, that the load routines read.
  std::int32_t Index() const { return index_; }
  void SetIndex(std::int32_t index) { index_ = index; }

  // Receives the values read on upload.
  const std::shared_ptr<clsOrvStock>& OrvStock() const { return orv_stock_; }
  void SetOrvStock(std::shared_ptr<clsOrvStock> stock) { orv_stock_ = std::move(stock); }

  // "Warehouse" and "Product" become single header cells instead of per-row columns.
  bool WarehouseAndProductAsHeader() const { return warehouse_and_product_as_header_; }
  void SetWarehouseAndProductAsHeader(bool as_header) {
    warehouse_and_product_as_header_ = as_header;
  }

  // DefineRanges redefines even when the range list already holds definitions.
  bool ForceRebuild() const { return force_rebuild_; }
  void SetForceRebuild(bool force) { force_rebuild_ = force; }

  // The ERP version; LoadDetail reads the held, obsolete and replenishment fields from 7 on.
  std::int16_t SageVersion() const { return sage_version_; }
  void SetSageVersion(std::int16_t version) { sage_version_ = version; }

  // Download: how dates are written as text. The component hands in its connection's DateToText.
  void SetDateFormatter(DateFormatter formatter) { date_formatter_ = std::move(formatter); }

  // Definitions. DefineRanges defines groups 1 to 11 and every range of the stock workbook unless
  // the range list already holds definitions and ForceRebuild is false.
  void DefineRanges();
  void DefineWarehouseAndProductRanges();
  void DefineTechnicalDescriptionRanges();
  void DefineSageCompanyRange();
  // The three ranges that only ERP versions above 6 carry; the stock component adds them.
  void DefineVersion7Ranges();
  // Every range a new workbook holds: a page workbook's warehouse and product header cells, page
  // rows and company cell; else the stock workbook's ranges of that ERP version.
  void DefineWorkbookRanges(int erp_version, bool pages = false);

  // Sheet to record: row Index into OrvStock, a value and a presence flag per field. A number that
  // does not fit a 16-bit property is an AppError naming the range and the row.
  void LoadWarehouseAndProduct();
  void LoadDetail();
  void LoadTechDescription();

  // The companion tables a download joins: whether the workbook has any range copied from it.
  enum class Companion { kEc, kExtension, kPage, kExpense };
  bool HasRangesOf(Companion table) const;

  // Record to sheet: the current record of a download into the given row. Writes to ranges the
  // workbook lacks are the range list's to ignore.
  void CopyRSToCells(const FieldSource& rs, std::int32_t row);
  void CopyStockXPGRSToCells(const FieldSource& rs, std::int32_t row);
  void CopyStprexRSToCells(const FieldSource& rs, std::int32_t row);
  // The held, obsolete and replenishment cells, which only ERP versions above 6 carry.
  void CopyVersion7RSToCells(const FieldSource& rs, std::int32_t row);
  void CopyStockeRSToCells(const FieldSource& rs, std::int32_t row);
  void CopyTechnicalDescriptionRSToCells(const FieldSource& rs, std::int32_t row);

 private:
  RangeList& List() const;
  clsOrvStock& Stock() const;
  // Defines the catalogue's range at that position with the given layout.
  RangeDefinition& Define(std::size_t range, std::int32_t layout);
  // Reads row Index of one range into its field of the business object.
  void Load(std::size_t range);
  // Writes the columns of the ranges, in order, into the row; `line` counts the writes.
  void CopyRows(std::span<const std::size_t> ranges, const FieldSource& rs, std::int32_t row,
                int& line);

  std::shared_ptr<RangeList> range_list_;
  std::shared_ptr<clsOrvStock> orv_stock_;
  DateFormatter date_formatter_;
  bool ignore_blanks_ = false;
  std::int32_t index_ = 0;
  bool warehouse_and_product_as_header_ = false;
  bool force_rebuild_ = false;
  std::int16_t sage_version_ = 0;
};

}  // namespace orv
