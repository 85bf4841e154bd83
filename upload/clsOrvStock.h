#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace orv {

// One stock row (one warehouse + product) while it is uploaded. The range catalogue fills it from a
// sheet row: for each field a value and a presence flag named Is followed by the field's name. A
// field whose flag is false is left unchanged on update and defaulted on insert.
//
// Every property is a pair of overloads: `UnitCode()` reads, `UnitCode(value)` writes.
class DataConnection;
class clsStockXpgm;

class clsOrvStock {
 public:
  clsOrvStock();
  ~clsOrvStock();
  clsOrvStock(const clsOrvStock&) = delete;
  clsOrvStock& operator=(const clsOrvStock&) = delete;

  // The connection every record of the business object works on.
  const std::shared_ptr<DataConnection>& SageConnection();
  void SetSageConnection(std::shared_ptr<DataConnection> connection);

  // Writes the extension row of warehouse + product: the present fields of the six; a new row
  // gets empty absent fields and is not written when all six are blank.
  void StockUpdateXpgm();

  static constexpr std::int16_t kAlternativeCount = 10;
  static constexpr std::int16_t kTechnicalDescLineCount = 12;

  // Text values.
  const std::string& warehouse() const { return warehouse_; }
  void warehouse(std::string value) { warehouse_ = std::move(value); }
  const std::string& product() const { return product_; }
  void product(std::string value) { product_ = std::move(value); }
  const std::string& description() const { return description_; }
  void description(std::string value) { description_ = std::move(value); }
  const std::string& LongDescription() const { return LongDescription_; }
  void LongDescription(std::string value) { LongDescription_ = std::move(value); }
  const std::string& alpha() const { return alpha_; }
  void alpha(std::string value) { alpha_ = std::move(value); }
  const std::string& AnalysisA() const { return AnalysisA_; }
  void AnalysisA(std::string value) { AnalysisA_ = std::move(value); }
  const std::string& AnalysisB() const { return AnalysisB_; }
  void AnalysisB(std::string value) { AnalysisB_ = std::move(value); }
  const std::string& AnalysisC() const { return AnalysisC_; }
  void AnalysisC(std::string value) { AnalysisC_ = std::move(value); }
  const std::string& AnalysisD() const { return AnalysisD_; }
  void AnalysisD(std::string value) { AnalysisD_ = std::move(value); }
  const std::string& AnalysisE() const { return AnalysisE_; }
  void AnalysisE(std::string value) { AnalysisE_ = std::move(value); }
  const std::string& AnalysisF() const { return AnalysisF_; }
  void AnalysisF(std::string value) { AnalysisF_ = std::move(value); }
  const std::string& AnalysisXRef() const { return AnalysisXRef_; }
  void AnalysisXRef(std::string value) { AnalysisXRef_ = std::move(value); }
  const std::string& NominalKey() const { return NominalKey_; }
  void NominalKey(std::string value) { NominalKey_ = std::move(value); }
  const std::string& PurchaseKey() const { return PurchaseKey_; }
  void PurchaseKey(std::string value) { PurchaseKey_ = std::move(value); }
  const std::string& supplier() const { return supplier_; }
  void supplier(std::string value) { supplier_ = std::move(value); }
  const std::string& LastSupplier() const { return LastSupplier_; }
  void LastSupplier(std::string value) { LastSupplier_ = std::move(value); }
  const std::string& Traceability() const { return Traceability_; }
  void Traceability(std::string value) { Traceability_ = std::move(value); }
  const std::string& UnitCode() const { return UnitCode_; }
  void UnitCode(std::string value) { UnitCode_ = std::move(value); }
  const std::string& DrawingNumber() const { return DrawingNumber_; }
  void DrawingNumber(std::string value) { DrawingNumber_ = std::move(value); }
  const std::string& VatInclusive() const { return VatInclusive_; }
  void VatInclusive(std::string value) { VatInclusive_ = std::move(value); }
  const std::string& AbcCategory() const { return AbcCategory_; }
  void AbcCategory(std::string value) { AbcCategory_ = std::move(value); }
  const std::string& MakeOrBuy() const { return MakeOrBuy_; }
  void MakeOrBuy(std::string value) { MakeOrBuy_ = std::move(value); }
  const std::string& BinNumber() const { return BinNumber_; }
  void BinNumber(std::string value) { BinNumber_ = std::move(value); }
  const std::string& SellingUnit() const { return SellingUnit_; }
  void SellingUnit(std::string value) { SellingUnit_ = std::move(value); }
  const std::string& DespatchUnits() const { return DespatchUnits_; }
  void DespatchUnits(std::string value) { DespatchUnits_ = std::move(value); }
  const std::string& StdCostFreeze() const { return StdCostFreeze_; }
  void StdCostFreeze(std::string value) { StdCostFreeze_ = std::move(value); }
  const std::string& PurchaseUnit() const { return PurchaseUnit_; }
  void PurchaseUnit(std::string value) { PurchaseUnit_ = std::move(value); }
  const std::string& DespatchUnitUse() const { return DespatchUnitUse_; }
  void DespatchUnitUse(std::string value) { DespatchUnitUse_ = std::move(value); }
  const std::string& discount() const { return discount_; }
  void discount(std::string value) { discount_ = std::move(value); }
  const std::string& PricingDiscount() const { return PricingDiscount_; }
  void PricingDiscount(std::string value) { PricingDiscount_ = std::move(value); }
  const std::string& BulkItem() const { return BulkItem_; }
  void BulkItem(std::string value) { BulkItem_ = std::move(value); }
  const std::string& SerialNumbers() const { return SerialNumbers_; }
  void SerialNumbers(std::string value) { SerialNumbers_ = std::move(value); }
  const std::string& supersession() const { return supersession_; }
  void supersession(std::string value) { supersession_ = std::move(value); }
  const std::string& UnitLength() const { return UnitLength_; }
  void UnitLength(std::string value) { UnitLength_ = std::move(value); }
  const std::string& UnitWidth() const { return UnitWidth_; }
  void UnitWidth(std::string value) { UnitWidth_ = std::move(value); }
  const std::string& UnitHeight() const { return UnitHeight_; }
  void UnitHeight(std::string value) { UnitHeight_ = std::move(value); }
  const std::string& ShippingCategory() const { return ShippingCategory_; }
  void ShippingCategory(std::string value) { ShippingCategory_ = std::move(value); }
  const std::string& packaging() const { return packaging_; }
  void packaging(std::string value) { packaging_ = std::move(value); }
  const std::string& CatalogueNumber() const { return CatalogueNumber_; }
  void CatalogueNumber(std::string value) { CatalogueNumber_ = std::move(value); }
  const std::string& DefaultWarehouse() const { return DefaultWarehouse_; }
  void DefaultWarehouse(std::string value) { DefaultWarehouse_ = std::move(value); }
  const std::string& StockVatType() const { return StockVatType_; }
  void StockVatType(std::string value) { StockVatType_ = std::move(value); }
  const std::string& Held() const { return Held_; }
  void Held(std::string value) { Held_ = std::move(value); }
  const std::string& Obsolete() const { return Obsolete_; }
  void Obsolete(std::string value) { Obsolete_ = std::move(value); }
  const std::string& ReplenishCategory() const { return ReplenishCategory_; }
  void ReplenishCategory(std::string value) { ReplenishCategory_ = std::move(value); }
  const std::string& StockType() const { return StockType_; }
  void StockType(std::string value) { StockType_ = std::move(value); }
  const std::string& BuyerId() const { return BuyerId_; }
  void BuyerId(std::string value) { BuyerId_ = std::move(value); }
  const std::string& MrpBatching() const { return MrpBatching_; }
  void MrpBatching(std::string value) { MrpBatching_ = std::move(value); }
  const std::string& WorkingLevel() const { return WorkingLevel_; }
  void WorkingLevel(std::string value) { WorkingLevel_ = std::move(value); }
  const std::string& ReorderFreeze() const { return ReorderFreeze_; }
  void ReorderFreeze(std::string value) { ReorderFreeze_ = std::move(value); }
  const std::string& PageNumber() const { return PageNumber_; }
  void PageNumber(std::string value) { PageNumber_ = std::move(value); }
  const std::string& MpsType() const { return MpsType_; }
  void MpsType(std::string value) { MpsType_ = std::move(value); }
  const std::string& LevelOfDetail() const { return LevelOfDetail_; }
  void LevelOfDetail(std::string value) { LevelOfDetail_ = std::move(value); }
  const std::string& StatInd() const { return StatInd_; }
  void StatInd(std::string value) { StatInd_ = std::move(value); }
  const std::string& ProcInd() const { return ProcInd_; }
  void ProcInd(std::string value) { ProcInd_ = std::move(value); }
  const std::string& Commodity() const { return Commodity_; }
  void Commodity(std::string value) { Commodity_ = std::move(value); }
  const std::string& CountryOrig() const { return CountryOrig_; }
  void CountryOrig(std::string value) { CountryOrig_ = std::move(value); }
  const std::string& Expense() const { return Expense_; }
  void Expense(std::string value) { Expense_ = std::move(value); }
  const std::string& ConsumerUnit() const { return ConsumerUnit_; }
  void ConsumerUnit(std::string value) { ConsumerUnit_ = std::move(value); }
  const std::string& CallOffQtyTolerance() const { return CallOffQtyTolerance_; }
  void CallOffQtyTolerance(std::string value) { CallOffQtyTolerance_ = std::move(value); }
  const std::string& DeliveryQtyTolerance() const { return DeliveryQtyTolerance_; }
  void DeliveryQtyTolerance(std::string value) { DeliveryQtyTolerance_ = std::move(value); }

  // Numbers, and dates held as date serials.
  double ReviewDays() const { return ReviewDays_; }
  void ReviewDays(double value) { ReviewDays_ = value; }
  double LastRevalue() const { return LastRevalue_; }
  void LastRevalue(double value) { LastRevalue_ = value; }
  double StandardCost() const { return StandardCost_; }
  void StandardCost(double value) { StandardCost_ = value; }
  double SellingFactor() const { return SellingFactor_; }
  void SellingFactor(double value) { SellingFactor_ = value; }
  double ExpectedCost() const { return ExpectedCost_; }
  void ExpectedCost(double value) { ExpectedCost_ = value; }
  double CurrentMaterial() const { return CurrentMaterial_; }
  void CurrentMaterial(double value) { CurrentMaterial_ = value; }
  double CurrentOverhead() const { return CurrentOverhead_; }
  void CurrentOverhead(double value) { CurrentOverhead_ = value; }
  double CurrentLabour() const { return CurrentLabour_; }
  void CurrentLabour(double value) { CurrentLabour_ = value; }
  double StandardLabour() const { return StandardLabour_; }
  void StandardLabour(double value) { StandardLabour_ = value; }
  double StandardMaterial() const { return StandardMaterial_; }
  void StandardMaterial(double value) { StandardMaterial_ = value; }
  double StandardOverhead() const { return StandardOverhead_; }
  void StandardOverhead(double value) { StandardOverhead_ = value; }
  double OverheadOnCost() const { return OverheadOnCost_; }
  void OverheadOnCost(double value) { OverheadOnCost_ = value; }
  double MaterialOnCost() const { return MaterialOnCost_; }
  void MaterialOnCost(double value) { MaterialOnCost_ = value; }
  double LabourOnCost() const { return LabourOnCost_; }
  void LabourOnCost(double value) { LabourOnCost_ = value; }
  double SubOnCost() const { return SubOnCost_; }
  void SubOnCost(double value) { SubOnCost_ = value; }
  double WeightLow() const { return WeightLow_; }
  void WeightLow(double value) { WeightLow_ = value; }
  double weight() const { return weight_; }
  void weight(double value) { weight_ = value; }
  double StockTakeToleran() const { return StockTakeToleran_; }
  void StockTakeToleran(double value) { StockTakeToleran_ = value; }
  double ShelfLife() const { return ShelfLife_; }
  void ShelfLife(double value) { ShelfLife_ = value; }
  double SupSessionDate() const { return SupSessionDate_; }
  void SupSessionDate(double value) { SupSessionDate_ = value; }
  double StockHeight() const { return StockHeight_; }
  void StockHeight(double value) { StockHeight_ = value; }
  double StockWidth() const { return StockWidth_; }
  void StockWidth(double value) { StockWidth_ = value; }
  double StockLength() const { return StockLength_; }
  void StockLength(double value) { StockLength_ = value; }
  double PurchaseFactor() const { return PurchaseFactor_; }
  void PurchaseFactor(double value) { PurchaseFactor_ = value; }
  double IssueDate() const { return IssueDate_; }
  void IssueDate(double value) { IssueDate_ = value; }
  double price() const { return price_; }
  void price(double value) { price_ = value; }
  double CurrentCost() const { return CurrentCost_; }
  void CurrentCost(double value) { CurrentCost_ = value; }
  double StandardSubcontra() const { return StandardSubcontra_; }
  void StandardSubcontra(double value) { StandardSubcontra_ = value; }
  double CurrentSubContra() const { return CurrentSubContra_; }
  void CurrentSubContra(double value) { CurrentSubContra_ = value; }
  double SuppUnitQty() const { return SuppUnitQty_; }
  void SuppUnitQty(double value) { SuppUnitQty_ = value; }
  double MinStockLevel() const { return MinStockLevel_; }
  void MinStockLevel(double value) { MinStockLevel_ = value; }
  double SafetyStockLevel() const { return SafetyStockLevel_; }
  void SafetyStockLevel(double value) { SafetyStockLevel_ = value; }
  double MaximumStockLevel() const { return MaximumStockLevel_; }
  void MaximumStockLevel(double value) { MaximumStockLevel_ = value; }
  double LeadTime() const { return LeadTime_; }
  void LeadTime(double value) { LeadTime_ = value; }
  double SafetyDays() const { return SafetyDays_; }
  void SafetyDays(double value) { SafetyDays_ = value; }
  double ReorderDays() const { return ReorderDays_; }
  void ReorderDays(double value) { ReorderDays_ = value; }
  double SetupCost() const { return SetupCost_; }
  void SetupCost(double value) { SetupCost_ = value; }
  double InspectionYield() const { return InspectionYield_; }
  void InspectionYield(double value) { InspectionYield_ = value; }
  double EconomicReOrderQ() const { return EconomicReOrderQ_; }
  void EconomicReOrderQ(double value) { EconomicReOrderQ_ = value; }
  double MrpReorderRoundi() const { return MrpReorderRoundi_; }
  void MrpReorderRoundi(double value) { MrpReorderRoundi_ = value; }
  double dspare01() const { return dspare01_; }
  void dspare01(double value) { dspare01_ = value; }
  double PrYield() const { return PrYield_; }
  void PrYield(double value) { PrYield_ = value; }
  double PhysicalQty() const { return PhysicalQty_; }
  void PhysicalQty(double value) { PhysicalQty_ = value; }

  // 16-bit whole numbers.
  std::int16_t QtyDecPlaces() const { return QtyDecPlaces_; }
  void QtyDecPlaces(std::int16_t value) { QtyDecPlaces_ = value; }
  std::int16_t InspectCycle() const { return InspectCycle_; }
  void InspectCycle(std::int16_t value) { InspectCycle_ = value; }

  // Presence flags: did the sheet supply the field?
  bool IsWarehouse() const { return IsWarehouse_; }
  void IsWarehouse(bool value) { IsWarehouse_ = value; }
  bool IsProduct() const { return IsProduct_; }
  void IsProduct(bool value) { IsProduct_ = value; }
  bool IsDescription() const { return IsDescription_; }
  void IsDescription(bool value) { IsDescription_ = value; }
  bool IsLongDescription() const { return IsLongDescription_; }
  void IsLongDescription(bool value) { IsLongDescription_ = value; }
  bool IsAlpha() const { return IsAlpha_; }
  void IsAlpha(bool value) { IsAlpha_ = value; }
  bool IsAnalysisA() const { return IsAnalysisA_; }
  void IsAnalysisA(bool value) { IsAnalysisA_ = value; }
  bool IsAnalysisB() const { return IsAnalysisB_; }
  void IsAnalysisB(bool value) { IsAnalysisB_ = value; }
  bool IsAnalysisC() const { return IsAnalysisC_; }
  void IsAnalysisC(bool value) { IsAnalysisC_ = value; }
  bool IsAnalysisD() const { return IsAnalysisD_; }
  void IsAnalysisD(bool value) { IsAnalysisD_ = value; }
  bool IsAnalysisE() const { return IsAnalysisE_; }
  void IsAnalysisE(bool value) { IsAnalysisE_ = value; }
  bool IsAnalysisF() const { return IsAnalysisF_; }
  void IsAnalysisF(bool value) { IsAnalysisF_ = value; }
  bool IsAnalysisXRef() const { return IsAnalysisXRef_; }
  void IsAnalysisXRef(bool value) { IsAnalysisXRef_ = value; }
  bool IsNominalKey() const { return IsNominalKey_; }
  void IsNominalKey(bool value) { IsNominalKey_ = value; }
  bool IsPurchaseKey() const { return IsPurchaseKey_; }
  void IsPurchaseKey(bool value) { IsPurchaseKey_ = value; }
  bool IsSupplier() const { return IsSupplier_; }
  void IsSupplier(bool value) { IsSupplier_ = value; }
  bool IsLastSupplier() const { return IsLastSupplier_; }
  void IsLastSupplier(bool value) { IsLastSupplier_ = value; }
  bool IsTraceability() const { return IsTraceability_; }
  void IsTraceability(bool value) { IsTraceability_ = value; }
  bool IsUnitCode() const { return IsUnitCode_; }
  void IsUnitCode(bool value) { IsUnitCode_ = value; }
  bool IsDrawingNumber() const { return IsDrawingNumber_; }
  void IsDrawingNumber(bool value) { IsDrawingNumber_ = value; }
  bool IsVatInclusive() const { return IsVatInclusive_; }
  void IsVatInclusive(bool value) { IsVatInclusive_ = value; }
  bool IsAbcCategory() const { return IsAbcCategory_; }
  void IsAbcCategory(bool value) { IsAbcCategory_ = value; }
  bool IsMakeOrBuy() const { return IsMakeOrBuy_; }
  void IsMakeOrBuy(bool value) { IsMakeOrBuy_ = value; }
  bool IsBinNumber() const { return IsBinNumber_; }
  void IsBinNumber(bool value) { IsBinNumber_ = value; }
  bool IsSellingUnit() const { return IsSellingUnit_; }
  void IsSellingUnit(bool value) { IsSellingUnit_ = value; }
  bool IsDespatchUnit() const { return IsDespatchUnit_; }
  void IsDespatchUnit(bool value) { IsDespatchUnit_ = value; }
  bool IsStdCostFreeze() const { return IsStdCostFreeze_; }
  void IsStdCostFreeze(bool value) { IsStdCostFreeze_ = value; }
  bool IsPurchaseUnit() const { return IsPurchaseUnit_; }
  void IsPurchaseUnit(bool value) { IsPurchaseUnit_ = value; }
  bool IsDespatchUnitUse() const { return IsDespatchUnitUse_; }
  void IsDespatchUnitUse(bool value) { IsDespatchUnitUse_ = value; }
  bool IsDiscount() const { return IsDiscount_; }
  void IsDiscount(bool value) { IsDiscount_ = value; }
  bool IsPricingDiscount() const { return IsPricingDiscount_; }
  void IsPricingDiscount(bool value) { IsPricingDiscount_ = value; }
  bool IsBulkItem() const { return IsBulkItem_; }
  void IsBulkItem(bool value) { IsBulkItem_ = value; }
  bool IsSerialNumbers() const { return IsSerialNumbers_; }
  void IsSerialNumbers(bool value) { IsSerialNumbers_ = value; }
  bool IsSuperSession() const { return IsSuperSession_; }
  void IsSuperSession(bool value) { IsSuperSession_ = value; }
  bool IsUnitLength() const { return IsUnitLength_; }
  void IsUnitLength(bool value) { IsUnitLength_ = value; }
  bool IsUnitWidth() const { return IsUnitWidth_; }
  void IsUnitWidth(bool value) { IsUnitWidth_ = value; }
  bool IsUnitHeight() const { return IsUnitHeight_; }
  void IsUnitHeight(bool value) { IsUnitHeight_ = value; }
  bool IsShippingCategory() const { return IsShippingCategory_; }
  void IsShippingCategory(bool value) { IsShippingCategory_ = value; }
  bool IsPackaging() const { return IsPackaging_; }
  void IsPackaging(bool value) { IsPackaging_ = value; }
  bool IsCatalogueNumber() const { return IsCatalogueNumber_; }
  void IsCatalogueNumber(bool value) { IsCatalogueNumber_ = value; }
  bool IsDefaultWarehouse() const { return IsDefaultWarehouse_; }
  void IsDefaultWarehouse(bool value) { IsDefaultWarehouse_ = value; }
  bool IsStockVatType() const { return IsStockVatType_; }
  void IsStockVatType(bool value) { IsStockVatType_ = value; }
  bool IsHeld() const { return IsHeld_; }
  void IsHeld(bool value) { IsHeld_ = value; }
  bool IsObsolete() const { return IsObsolete_; }
  void IsObsolete(bool value) { IsObsolete_ = value; }
  bool IsReplenishCategory() const { return IsReplenishCategory_; }
  void IsReplenishCategory(bool value) { IsReplenishCategory_ = value; }
  bool IsStockType() const { return IsStockType_; }
  void IsStockType(bool value) { IsStockType_ = value; }
  bool IsBuyerId() const { return IsBuyerId_; }
  void IsBuyerId(bool value) { IsBuyerId_ = value; }
  bool IsMrpBatching() const { return IsMrpBatching_; }
  void IsMrpBatching(bool value) { IsMrpBatching_ = value; }
  bool IsWorkingLevel() const { return IsWorkingLevel_; }
  void IsWorkingLevel(bool value) { IsWorkingLevel_ = value; }
  bool IsReorderFreeze() const { return IsReorderFreeze_; }
  void IsReorderFreeze(bool value) { IsReorderFreeze_ = value; }
  bool IsPageNumber() const { return IsPageNumber_; }
  void IsPageNumber(bool value) { IsPageNumber_ = value; }
  bool IsMpsType() const { return IsMpsType_; }
  void IsMpsType(bool value) { IsMpsType_ = value; }
  bool IsLevelofDetail() const { return IsLevelofDetail_; }
  void IsLevelofDetail(bool value) { IsLevelofDetail_ = value; }
  bool IsStatInd() const { return IsStatInd_; }
  void IsStatInd(bool value) { IsStatInd_ = value; }
  bool IsProcInd() const { return IsProcInd_; }
  void IsProcInd(bool value) { IsProcInd_ = value; }
  bool IsCommodity() const { return IsCommodity_; }
  void IsCommodity(bool value) { IsCommodity_ = value; }
  bool IsCountryOrig() const { return IsCountryOrig_; }
  void IsCountryOrig(bool value) { IsCountryOrig_ = value; }
  bool IsExpense() const { return IsExpense_; }
  void IsExpense(bool value) { IsExpense_ = value; }
  bool IsConsumerUnit() const { return IsConsumerUnit_; }
  void IsConsumerUnit(bool value) { IsConsumerUnit_ = value; }
  bool IsCallOffQtyTolerance() const { return IsCallOffQtyTolerance_; }
  void IsCallOffQtyTolerance(bool value) { IsCallOffQtyTolerance_ = value; }
  bool IsDeliveryQtyTolerance() const { return IsDeliveryQtyTolerance_; }
  void IsDeliveryQtyTolerance(bool value) { IsDeliveryQtyTolerance_ = value; }
  bool IsReviewDays() const { return IsReviewDays_; }
  void IsReviewDays(bool value) { IsReviewDays_ = value; }
  bool IsLastRevalue() const { return IsLastRevalue_; }
  void IsLastRevalue(bool value) { IsLastRevalue_ = value; }
  bool IsStandardCost() const { return IsStandardCost_; }
  void IsStandardCost(bool value) { IsStandardCost_ = value; }
  bool IsSellingFactor() const { return IsSellingFactor_; }
  void IsSellingFactor(bool value) { IsSellingFactor_ = value; }
  bool IsExpectedCost() const { return IsExpectedCost_; }
  void IsExpectedCost(bool value) { IsExpectedCost_ = value; }
  bool IsCurrentMaterial() const { return IsCurrentMaterial_; }
  void IsCurrentMaterial(bool value) { IsCurrentMaterial_ = value; }
  bool IsCurrentOverhead() const { return IsCurrentOverhead_; }
  void IsCurrentOverhead(bool value) { IsCurrentOverhead_ = value; }
  bool IsCurrentLabour() const { return IsCurrentLabour_; }
  void IsCurrentLabour(bool value) { IsCurrentLabour_ = value; }
  bool IsStandardLabour() const { return IsStandardLabour_; }
  void IsStandardLabour(bool value) { IsStandardLabour_ = value; }
  bool IsStandardMaterial() const { return IsStandardMaterial_; }
  void IsStandardMaterial(bool value) { IsStandardMaterial_ = value; }
  bool IsStandardOverhead() const { return IsStandardOverhead_; }
  void IsStandardOverhead(bool value) { IsStandardOverhead_ = value; }
  bool IsOverheadOnCost() const { return IsOverheadOnCost_; }
  void IsOverheadOnCost(bool value) { IsOverheadOnCost_ = value; }
  bool IsMaterialOnCost() const { return IsMaterialOnCost_; }
  void IsMaterialOnCost(bool value) { IsMaterialOnCost_ = value; }
  bool IsLabourOnCost() const { return IsLabourOnCost_; }
  void IsLabourOnCost(bool value) { IsLabourOnCost_ = value; }
  bool IsSubOnCost() const { return IsSubOnCost_; }
  void IsSubOnCost(bool value) { IsSubOnCost_ = value; }
  bool IsWeightLow() const { return IsWeightLow_; }
  void IsWeightLow(bool value) { IsWeightLow_ = value; }
  bool IsWeight() const { return IsWeight_; }
  void IsWeight(bool value) { IsWeight_ = value; }
  bool IsStockTakeToleran() const { return IsStockTakeToleran_; }
  void IsStockTakeToleran(bool value) { IsStockTakeToleran_ = value; }
  bool IsShelfLife() const { return IsShelfLife_; }
  void IsShelfLife(bool value) { IsShelfLife_ = value; }
  bool IsSupsessionDate() const { return IsSupsessionDate_; }
  void IsSupsessionDate(bool value) { IsSupsessionDate_ = value; }
  bool IsStockHeight() const { return IsStockHeight_; }
  void IsStockHeight(bool value) { IsStockHeight_ = value; }
  bool IsStockWidth() const { return IsStockWidth_; }
  void IsStockWidth(bool value) { IsStockWidth_ = value; }
  bool IsStockLength() const { return IsStockLength_; }
  void IsStockLength(bool value) { IsStockLength_ = value; }
  bool IsPurchaseFactor() const { return IsPurchaseFactor_; }
  void IsPurchaseFactor(bool value) { IsPurchaseFactor_ = value; }
  bool IsIssueDate() const { return IsIssueDate_; }
  void IsIssueDate(bool value) { IsIssueDate_ = value; }
  bool IsPrice() const { return IsPrice_; }
  void IsPrice(bool value) { IsPrice_ = value; }
  bool IsCurrentCost() const { return IsCurrentCost_; }
  void IsCurrentCost(bool value) { IsCurrentCost_ = value; }
  bool IsStandardSubcontra() const { return IsStandardSubcontra_; }
  void IsStandardSubcontra(bool value) { IsStandardSubcontra_ = value; }
  bool IsCurrentSubContra() const { return IsCurrentSubContra_; }
  void IsCurrentSubContra(bool value) { IsCurrentSubContra_ = value; }
  bool IsSuppUnitQty() const { return IsSuppUnitQty_; }
  void IsSuppUnitQty(bool value) { IsSuppUnitQty_ = value; }
  bool IsMinStockLevel() const { return IsMinStockLevel_; }
  void IsMinStockLevel(bool value) { IsMinStockLevel_ = value; }
  bool IsSafetyStockLevel() const { return IsSafetyStockLevel_; }
  void IsSafetyStockLevel(bool value) { IsSafetyStockLevel_ = value; }
  bool IsMaximumStockLevel() const { return IsMaximumStockLevel_; }
  void IsMaximumStockLevel(bool value) { IsMaximumStockLevel_ = value; }
  bool IsLeadTime() const { return IsLeadTime_; }
  void IsLeadTime(bool value) { IsLeadTime_ = value; }
  bool IsSafetyDays() const { return IsSafetyDays_; }
  void IsSafetyDays(bool value) { IsSafetyDays_ = value; }
  bool IsReorderDays() const { return IsReorderDays_; }
  void IsReorderDays(bool value) { IsReorderDays_ = value; }
  bool IsSetupCost() const { return IsSetupCost_; }
  void IsSetupCost(bool value) { IsSetupCost_ = value; }
  bool IsInspectionYield() const { return IsInspectionYield_; }
  void IsInspectionYield(bool value) { IsInspectionYield_ = value; }
  bool IsEconomicReorderQ() const { return IsEconomicReorderQ_; }
  void IsEconomicReorderQ(bool value) { IsEconomicReorderQ_ = value; }
  bool IsMrpReorderRoundi() const { return IsMrpReorderRoundi_; }
  void IsMrpReorderRoundi(bool value) { IsMrpReorderRoundi_ = value; }
  bool IsDspare01() const { return IsDspare01_; }
  void IsDspare01(bool value) { IsDspare01_ = value; }
  bool IsPrYield() const { return IsPrYield_; }
  void IsPrYield(bool value) { IsPrYield_ = value; }
  bool IsPhysicalQty() const { return IsPhysicalQty_; }
  void IsPhysicalQty(bool value) { IsPhysicalQty_ = value; }
  bool IsQtyDecPlaces() const { return IsQtyDecPlaces_; }
  void IsQtyDecPlaces(bool value) { IsQtyDecPlaces_ = value; }
  bool IsInspectCycle() const { return IsInspectCycle_; }
  void IsInspectCycle(bool value) { IsInspectCycle_ = value; }

  // The alternatives (1 to 10) and the technical description lines (1 to 12) are addressed by
  // ArrayIndex; an index outside the list is an AppError.
  std::int16_t ArrayIndex() const { return ArrayIndex_; }
  void ArrayIndex(std::int16_t value) { ArrayIndex_ = value; }
  const std::string& Alternatives() const;
  void Alternatives(std::string value);
  bool IsAlternatives() const;
  void IsAlternatives(bool value);
  const std::string& TechnicalDesc() const;
  void TechnicalDesc(std::string value);
  bool IsTechnicalDesc() const;
  void IsTechnicalDesc(bool value);

  // The page-number rule: with the page range present, a whole number from 1 to 999 becomes three
  // digits ("7" gives "007"), anything else is error 5033; with it absent, a row carrying
  // technical description lines gets page "001".
  std::string FormatPageNumber(const std::string& page) const;
  bool HasTechnicalDescriptionLines() const;

  // The data and the general layer's version texts, one a line.
  std::string FullVersionDescription() const;

  // Non-zero when the row carries a technical description page to be written.
  std::int16_t SttechmUpdate() const { return SttechmUpdate_; }
  void SttechmUpdate(std::int16_t value) { SttechmUpdate_ = value; }

 private:
  // The slot of ArrayIndex in a list of `count` entries.
  std::size_t Slot(std::size_t count, const char* list) const;

  std::shared_ptr<DataConnection> connection_;
  std::unique_ptr<clsStockXpgm> xpgm_;

  std::string warehouse_;
  std::string product_;
  std::string description_;
  std::string LongDescription_;
  std::string alpha_;
  std::string AnalysisA_;
  std::string AnalysisB_;
  std::string AnalysisC_;
  std::string AnalysisD_;
  std::string AnalysisE_;
  std::string AnalysisF_;
  std::string AnalysisXRef_;
  std::string NominalKey_;
  std::string PurchaseKey_;
  std::string supplier_;
  std::string LastSupplier_;
  std::string Traceability_;
  std::string UnitCode_;
  std::string DrawingNumber_;
  std::string VatInclusive_;
  std::string AbcCategory_;
  std::string MakeOrBuy_;
  std::string BinNumber_;
  std::string SellingUnit_;
  std::string DespatchUnits_;
  std::string StdCostFreeze_;
  std::string PurchaseUnit_;
  std::string DespatchUnitUse_;
  std::string discount_;
  std::string PricingDiscount_;
  std::string BulkItem_;
  std::string SerialNumbers_;
  std::string supersession_;
  std::string UnitLength_;
  std::string UnitWidth_;
  std::string UnitHeight_;
  std::string ShippingCategory_;
  std::string packaging_;
  std::string CatalogueNumber_;
  std::string DefaultWarehouse_;
  std::string StockVatType_;
  std::string Held_;
  std::string Obsolete_;
  std::string ReplenishCategory_;
  std::string StockType_;
  std::string BuyerId_;
  std::string MrpBatching_;
  std::string WorkingLevel_;
  std::string ReorderFreeze_;
  std::string PageNumber_;
  std::string MpsType_;
  std::string LevelOfDetail_;
  std::string StatInd_;
  std::string ProcInd_;
  std::string Commodity_;
  std::string CountryOrig_;
  std::string Expense_;
  std::string ConsumerUnit_;
  std::string CallOffQtyTolerance_;
  std::string DeliveryQtyTolerance_;
  double ReviewDays_ = 0;
  double LastRevalue_ = 0;
  double StandardCost_ = 0;
  double SellingFactor_ = 0;
  double ExpectedCost_ = 0;
  double CurrentMaterial_ = 0;
  double CurrentOverhead_ = 0;
  double CurrentLabour_ = 0;
  double StandardLabour_ = 0;
  double StandardMaterial_ = 0;
  double StandardOverhead_ = 0;
  double OverheadOnCost_ = 0;
  double MaterialOnCost_ = 0;
  double LabourOnCost_ = 0;
  double SubOnCost_ = 0;
  double WeightLow_ = 0;
  double weight_ = 0;
  double StockTakeToleran_ = 0;
  double ShelfLife_ = 0;
  double SupSessionDate_ = 0;
  double StockHeight_ = 0;
  double StockWidth_ = 0;
  double StockLength_ = 0;
  double PurchaseFactor_ = 0;
  double IssueDate_ = 0;
  double price_ = 0;
  double CurrentCost_ = 0;
  double StandardSubcontra_ = 0;
  double CurrentSubContra_ = 0;
  double SuppUnitQty_ = 0;
  double MinStockLevel_ = 0;
  double SafetyStockLevel_ = 0;
  double MaximumStockLevel_ = 0;
  double LeadTime_ = 0;
  double SafetyDays_ = 0;
  double ReorderDays_ = 0;
  double SetupCost_ = 0;
  double InspectionYield_ = 0;
  double EconomicReOrderQ_ = 0;
  double MrpReorderRoundi_ = 0;
  double dspare01_ = 0;
  double PrYield_ = 0;
  double PhysicalQty_ = 0;
  std::int16_t QtyDecPlaces_ = 0;
  std::int16_t InspectCycle_ = 0;
  bool IsWarehouse_ = false;
  bool IsProduct_ = false;
  bool IsDescription_ = false;
  bool IsLongDescription_ = false;
  bool IsAlpha_ = false;
  bool IsAnalysisA_ = false;
  bool IsAnalysisB_ = false;
  bool IsAnalysisC_ = false;
  bool IsAnalysisD_ = false;
  bool IsAnalysisE_ = false;
  bool IsAnalysisF_ = false;
  bool IsAnalysisXRef_ = false;
  bool IsNominalKey_ = false;
  bool IsPurchaseKey_ = false;
  bool IsSupplier_ = false;
  bool IsLastSupplier_ = false;
  bool IsTraceability_ = false;
  bool IsUnitCode_ = false;
  bool IsDrawingNumber_ = false;
  bool IsVatInclusive_ = false;
  bool IsAbcCategory_ = false;
  bool IsMakeOrBuy_ = false;
  bool IsBinNumber_ = false;
  bool IsSellingUnit_ = false;
  bool IsDespatchUnit_ = false;
  bool IsStdCostFreeze_ = false;
  bool IsPurchaseUnit_ = false;
  bool IsDespatchUnitUse_ = false;
  bool IsDiscount_ = false;
  bool IsPricingDiscount_ = false;
  bool IsBulkItem_ = false;
  bool IsSerialNumbers_ = false;
  bool IsSuperSession_ = false;
  bool IsUnitLength_ = false;
  bool IsUnitWidth_ = false;
  bool IsUnitHeight_ = false;
  bool IsShippingCategory_ = false;
  bool IsPackaging_ = false;
  bool IsCatalogueNumber_ = false;
  bool IsDefaultWarehouse_ = false;
  bool IsStockVatType_ = false;
  bool IsHeld_ = false;
  bool IsObsolete_ = false;
  bool IsReplenishCategory_ = false;
  bool IsStockType_ = false;
  bool IsBuyerId_ = false;
  bool IsMrpBatching_ = false;
  bool IsWorkingLevel_ = false;
  bool IsReorderFreeze_ = false;
  bool IsPageNumber_ = false;
  bool IsMpsType_ = false;
  bool IsLevelofDetail_ = false;
  bool IsStatInd_ = false;
  bool IsProcInd_ = false;
  bool IsCommodity_ = false;
  bool IsCountryOrig_ = false;
  bool IsExpense_ = false;
  bool IsConsumerUnit_ = false;
  bool IsCallOffQtyTolerance_ = false;
  bool IsDeliveryQtyTolerance_ = false;
  bool IsReviewDays_ = false;
  bool IsLastRevalue_ = false;
  bool IsStandardCost_ = false;
  bool IsSellingFactor_ = false;
  bool IsExpectedCost_ = false;
  bool IsCurrentMaterial_ = false;
  bool IsCurrentOverhead_ = false;
  bool IsCurrentLabour_ = false;
  bool IsStandardLabour_ = false;
  bool IsStandardMaterial_ = false;
  bool IsStandardOverhead_ = false;
  bool IsOverheadOnCost_ = false;
  bool IsMaterialOnCost_ = false;
  bool IsLabourOnCost_ = false;
  bool IsSubOnCost_ = false;
  bool IsWeightLow_ = false;
  bool IsWeight_ = false;
  bool IsStockTakeToleran_ = false;
  bool IsShelfLife_ = false;
  bool IsSupsessionDate_ = false;
  bool IsStockHeight_ = false;
  bool IsStockWidth_ = false;
  bool IsStockLength_ = false;
  bool IsPurchaseFactor_ = false;
  bool IsIssueDate_ = false;
  bool IsPrice_ = false;
  bool IsCurrentCost_ = false;
  bool IsStandardSubcontra_ = false;
  bool IsCurrentSubContra_ = false;
  bool IsSuppUnitQty_ = false;
  bool IsMinStockLevel_ = false;
  bool IsSafetyStockLevel_ = false;
  bool IsMaximumStockLevel_ = false;
  bool IsLeadTime_ = false;
  bool IsSafetyDays_ = false;
  bool IsReorderDays_ = false;
  bool IsSetupCost_ = false;
  bool IsInspectionYield_ = false;
  bool IsEconomicReorderQ_ = false;
  bool IsMrpReorderRoundi_ = false;
  bool IsDspare01_ = false;
  bool IsPrYield_ = false;
  bool IsPhysicalQty_ = false;
  bool IsQtyDecPlaces_ = false;
  bool IsInspectCycle_ = false;

  std::int16_t ArrayIndex_ = 0;
  std::int16_t SttechmUpdate_ = 0;
  std::array<std::string, kAlternativeCount> Alternatives_;
  std::array<bool, kAlternativeCount> IsAlternatives_{};
  std::array<std::string, kTechnicalDescLineCount> TechnicalDesc_;
  std::array<bool, kTechnicalDescLineCount> IsTechnicalDesc_{};
};

}  // namespace orv
