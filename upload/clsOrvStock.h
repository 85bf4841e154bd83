#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "upload/StockFields.h"

namespace orv {

class DataConnection;
class clsStockXpgm;

// One stock row (one warehouse + product) while it is uploaded. The range catalogue fills it from
// a sheet row: for each field of StockFields a value and a presence flag. A field whose flag is
// false is left unchanged on update and defaulted on insert.
//
// Fields are named at compile time: `stock.Text("UnitCode")`, `stock.SetNumber("weight", 2.5)`,
// `stock.Is("UnitCode")`. The two series, Alternatives (10) and TechnicalDesc (12), address the
// entry that ArrayIndex names; an ArrayIndex outside the series is an AppError.
class clsOrvStock {
 public:
  using TextField = StockFields::TextField;
  using NumberField = StockFields::NumberField;
  using WholeField = StockFields::WholeField;
  using AnyField = StockFields::Any;

  static constexpr std::int16_t kAlternativeCount = 10;
  static constexpr std::int16_t kTechnicalDescLineCount = 12;

  clsOrvStock();
  ~clsOrvStock();
  clsOrvStock(const clsOrvStock&) = delete;
  clsOrvStock& operator=(const clsOrvStock&) = delete;

  // The connection every record of the business object works on.
  const std::shared_ptr<DataConnection>& SageConnection();
  void SetSageConnection(std::shared_ptr<DataConnection> connection);

  const std::string& Text(TextField field) const { return text_[Slot(field.index)]; }
  void SetText(TextField field, std::string value) { text_[Slot(field.index)] = std::move(value); }
  double Number(NumberField field) const { return number_[Slot(field.index)]; }
  void SetNumber(NumberField field, double value) { number_[Slot(field.index)] = value; }
  std::int16_t Whole(WholeField field) const;
  void SetWhole(WholeField field, std::int16_t value) { number_[Slot(field.index)] = value; }
  // The presence flag: did the sheet supply the field?
  bool Is(AnyField field) const { return present_[Slot(field.index)]; }
  void SetIs(AnyField field, bool present) { present_[Slot(field.index)] = present; }

  // The entry of a series that Alternatives and TechnicalDesc address.
  std::int16_t ArrayIndex() const { return ArrayIndex_; }
  void ArrayIndex(std::int16_t value) { ArrayIndex_ = value; }

  // Non-zero when the row carries a technical description page to be written.
  std::int16_t SttechmUpdate() const { return SttechmUpdate_; }
  void SttechmUpdate(std::int16_t value) { SttechmUpdate_ = value; }

  // Writes the extension row of warehouse + product: the present fields of the six; a new row
  // gets empty absent fields and is not written when all six are blank.
  void StockUpdateXpgm();

  // The page number rule: with a page range, a whole number 1 to 999 becomes three digits, and
  // anything else fails with the object-error base + 5033. Without one, a row carrying
  // technical description lines gets page "001".
  std::string FormatPageNumber(const std::string& page) const;
  bool HasTechnicalDescriptionLines() const;

  // The data and the general layer's version texts, one a line.
  std::string FullVersionDescription() const;

 private:
  // The value slot of a field; for a series, the entry ArrayIndex names.
  std::size_t Slot(std::size_t field) const;

  std::shared_ptr<DataConnection> connection_;
  std::unique_ptr<clsStockXpgm> xpgm_;

  std::array<std::string, StockFields::kSlots> text_;
  std::array<double, StockFields::kSlots> number_{};
  std::array<bool, StockFields::kSlots> present_{};
  std::int16_t ArrayIndex_ = 0;
  std::int16_t SttechmUpdate_ = 0;
};

}  // namespace orv
