#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "upload/StockFields.h"

namespace orv {

constexpr std::size_t StockRuleField(std::string_view property) {
  std::size_t field = StockFields::Find(property);
  if (field == StockFields::kCount) throw "no such field";
  return field;
}

// The field rules an uploaded stock row passes before it is written, in the order they run.
// Each rejects the row with the object-error base + its number and its message exactly, supplies
// the value a new record takes when the sheet lacks the field, or (kSpecial) is worked by the
// business object itself, which knows the look-ups and the owner's answers. A rule on a field
// applies only when the sheet supplied the field.
class StockRules {
 public:
  enum class Check : std::uint8_t {
    kOneOf,        // the value is one of `allowed` ("|"-separated; an empty item lets blank pass)
    kAtLeastZero,  // a number of 0 or more
    kAboveZero,
    kYield,             // from 0.01 to 100
    kWholeAtLeastZero,  // 0 or more, and a whole number
    kUnit,              // on file in the unit table
    kSpecial,           // worked by the business object, by step
  };

  struct Rule {
    int step;
    std::size_t field;
    Check check;
    std::string_view allowed;
    std::string_view fallback;  // what a new record without the field takes ("": blank or 0)
    int number;                 // added to the object-error base
    std::string_view message;
  };

  // The length rule (it runs first): the field's column width is its maximum.
  struct Length {
    std::size_t field;
    std::string_view label;
  };

  // A field by its property name, checked when compiling.
  static constexpr std::size_t F(std::string_view property) { return StockRuleField(property); }

  static constexpr std::array<Length, 15> kLengths{{
      {StockRuleField("warehouse"), "Warehouse"},
      {StockRuleField("product"), "Product"},
      {StockRuleField("description"), "Description"},
      {StockRuleField("LongDescription"), "LongDescription"},
      {StockRuleField("Traceability"), "Traceability"},
      {StockRuleField("AnalysisA"), "Product Group A"},
      {StockRuleField("AnalysisB"), "Product Group B"},
      {StockRuleField("AnalysisC"), "Product Group C"},
      {StockRuleField("alpha"), "Alpha"},
      {StockRuleField("DrawingNumber"), "DrawingNumber"},
      {StockRuleField("UnitCode"), "UnitCode"},
      {StockRuleField("NominalKey"), "NominalKey"},
      {StockRuleField("PurchaseKey"), "PurchaseKey"},
      {StockRuleField("supplier"), "Supplier"},
      {StockRuleField("StdCostFreeze"), "STD COST FREEZE"},
  }};

  using C = Check;
  static constexpr std::array<Rule, 74> kRules{{
      {2, StockRuleField("warehouse"), C::kSpecial, "", "", 5020,
       "Warehouse code cannot be blank."},
      {3, StockRuleField("description"), C::kSpecial, "", "", 5012,
       "Description may not be left blank for new product."},
      {4, StockRuleField("UnitCode"), C::kSpecial, "", "", 5025, "Blank unit code not allowed."},
      {5, StockRuleField("QtyDecPlaces"), C::kAtLeastZero, "", "", 5003, "Negative Value."},
      {6, StockRuleField("MakeOrBuy"), C::kOneOf, "M|B|A", "A", 5005,
       "Invalid make or buy - must be M, B or A."},
      {7, StockRuleField("StockVatType"), C::kSpecial, "", "", 5050, "Invalid Vat Type"},
      {8, StockRuleField("VatInclusive"), C::kSpecial, "|Y|N", "N", 5004,
       "Only Y or N for Vat Inclusive."},
      {9, StockRuleField("Traceability"), C::kSpecial, "B|N|F", "N", 5002,
       "Batch tracking indicator invalid."},
      {10, StockRuleField("SellingUnit"), C::kUnit, "", "", 5007, "Invalid selling unit"},
      {11, StockRuleField("DespatchUnits"), C::kUnit, "", "", 5008, "Invalid dispatch unit"},
      {12, StockRuleField("supersession"), C::kSpecial, "", "", 5065,
       "Supersession code missing but supersession date entered"},
      {13, StockRuleField("supersession"), C::kSpecial, "", "", 5066,
       "Supersession date must be specified for supersession stock code"},
      {14, StockRuleField("supersession"), C::kSpecial, "", "", 5067, "Supersession code invalid"},
      {15, StockRuleField("PurchaseUnit"), C::kUnit, "", "", 5009, "Invalid buying unit"},
      {16, StockRuleField("DespatchUnitUse"), C::kOneOf, "P|D|B|", "", 5010,
       "Despatch Unit Must Be one of these,  None,(P)icking Lists, (D)espatch Notes,(B)oth."},
      {17, StockRuleField("StdCostFreeze"), C::kOneOf, "Y|N", "N", 5011,
       "Standard cost freeze invalid"},
      {18, StockRuleField("SerialNumbers"), C::kOneOf, "S|P|", "", 5013,
       "Invalid Serial Number Must Be Only P or S or Leave Blank."},
      {19, StockRuleField("SerialNumbers"), C::kSpecial, "", "", 5076,
       "Serial numbered items must have zero decimal places on quantities"},
      {20, StockRuleField("SerialNumbers"), C::kSpecial, "", "", 5078,
       "Serial numbered items cannot be bulk issued"},
      {21, StockRuleField("SerialNumbers"), C::kSpecial, "", "", 5079,
       "Serial item cannot be non-tracked"},
      {22, StockRuleField("BulkItem"), C::kOneOf, "Y|N", "N", 5015,
       "Bulk issue indicator invalid."},
      {23, StockRuleField("supersession"), C::kSpecial, "", "", 5018,
       "Supersession Code similar to stock code not allowed."},
      {24, StockRuleField("BinNumber"), C::kSpecial, "", "", 0, ""},
      {25, StockRuleField("Alternatives"), C::kSpecial, "", "", 5019, "Invalid Alternative code."},
      {26, StockRuleField("StatInd"), C::kSpecial, "Y|N|S|E", "", 5022,
       "Invalid statistics indicator"},
      {27, StockRuleField("Held"), C::kSpecial, "N|Y", "N", 5080,
       "Invalid Held code must be - Y or N"},
      {28, StockRuleField("Obsolete"), C::kSpecial, "N|Y", "N", 5081,
       "Invalid Obsolete code must be - Y or N"},
      {29, StockRuleField("ReplenishCategory"), C::kSpecial, "", "", 5082,
       "Invalid Replenish Category"},
      {30, StockRuleField("SuppUnitQty"), C::kSpecial, "", "", 5024,
       "Invalid size in supplementary units - must be greater than 0."},
      {31, StockRuleField("SellingFactor"), C::kAboveZero, "", "", 5026,
       "Invalid selling conversion - must be greater than 0."},
      {32, StockRuleField("PurchaseFactor"), C::kAboveZero, "", "", 5027,
       "Invalid buying conversion - must be greater than 0."},
      {33, StockRuleField("InspectionYield"), C::kYield, "", "", 5028, "Inspection yield invalid."},
      {34, StockRuleField("PrYield"), C::kYield, "", "", 5032, "P&R yield invalid."},
      {35, StockRuleField("ReorderFreeze"), C::kOneOf, "Y|N", "N", 5029, "Reorder freeze invalid."},
      {36, StockRuleField("MrpBatching"), C::kOneOf, "Q|M|R|D|A", "Q", 5030,
       "Invalid MRP batching - must be Q, M, A, R or D."},
      {37, StockRuleField("WorkingLevel"), C::kOneOf, "S|R|Z", "R", 5031,
       "Invalid safety level - must be S, R or Z."},
      {38, StockRuleField("PageNumber"), C::kSpecial, "", "", 5033, "Sheet number cannot be blank"},
      {39, StockRuleField("StockType"), C::kSpecial, "", "", 5077,
       "Bundle type items must have zero decimal places on quantities"},
      {40, StockRuleField("StockType"), C::kOneOf, "|B|b", "", 5034, "Invalid bundle type"},
      {41, StockRuleField("LevelOfDetail"), C::kOneOf, "|T|V|N", "", 5035,
       "Invalid level of detail"},
      {42, StockRuleField("MpsType"), C::kOneOf, "|M", "", 5036, "Invalid inventory type"},
      {43, StockRuleField("InspectCycle"), C::kAtLeastZero, "", "", 5037,
       "Invalid inspection cycle"},
      {44, StockRuleField("MrpReorderRoundi"), C::kAtLeastZero, "", "", 5038,
       "Invalid reorder increment qty"},
      {45, StockRuleField("EconomicReOrderQ"), C::kAtLeastZero, "", "", 5039,
       "Invalid economic order qty"},
      {46, StockRuleField("SetupCost"), C::kAtLeastZero, "", "", 5040, "Invalid admin cost"},
      {47, StockRuleField("MaximumStockLevel"), C::kAtLeastZero, "", "", 5041,
       "Invalid maximum level"},
      {48, StockRuleField("SafetyStockLevel"), C::kAtLeastZero, "", "", 5042,
       "Invalid safety level"},
      {49, StockRuleField("MinStockLevel"), C::kAtLeastZero, "", "", 5043, "Invalid reorder level"},
      {50, StockRuleField("StockWidth"), C::kAtLeastZero, "", "", 5044, "Invalid width"},
      {51, StockRuleField("StockLength"), C::kAtLeastZero, "", "", 5045, "Invalid length"},
      {52, StockRuleField("StockHeight"), C::kAtLeastZero, "", "", 5046, "Invalid Height"},
      {53, StockRuleField("weight"), C::kAtLeastZero, "", "", 5047, "Invalid Weight/unit(max)"},
      {54, StockRuleField("WeightLow"), C::kAtLeastZero, "", "", 5048, "Invalid Weight/unit(min)"},
      {55, StockRuleField("LeadTime"), C::kWholeAtLeastZero, "", "", 5049, "Invalid lead time"},
      {56, StockRuleField("ReviewDays"), C::kWholeAtLeastZero, "", "", 5051, "Invalid review time"},
      {57, StockRuleField("SafetyDays"), C::kWholeAtLeastZero, "", "", 5052, "Invalid safety days"},
      {58, StockRuleField("ReorderDays"), C::kWholeAtLeastZero, "", "", 5053,
       "Invalid reorder days"},
      {59, StockRuleField("dspare01"), C::kWholeAtLeastZero, "", "", 5054,
       "Invalid Fixed Period Days"},
      {60, StockRuleField("StockTakeToleran"), C::kSpecial, "", "-1", 5055,
       "Invalid stock take tolerance"},
      {61, StockRuleField("ShelfLife"), C::kWholeAtLeastZero, "", "", 5056,
       "Invalid std shelf life"},
      {62, StockRuleField("StandardOverhead"), C::kAtLeastZero, "", "", 5057,
       "Invalid standard overhead"},
      {63, StockRuleField("StandardMaterial"), C::kAtLeastZero, "", "", 5058,
       "Invalid standard material"},
      {64, StockRuleField("StandardLabour"), C::kAtLeastZero, "", "", 5059,
       "Invalid standard labour"},
      {65, StockRuleField("StandardSubcontra"), C::kAtLeastZero, "", "", 5060,
       "Invalid standard outwork"},
      {66, StockRuleField("CurrentMaterial"), C::kAtLeastZero, "", "", 5061,
       "Invalid current material"},
      {67, StockRuleField("CurrentOverhead"), C::kAtLeastZero, "", "", 5062,
       "Invalid current overhead"},
      {68, StockRuleField("CurrentLabour"), C::kAtLeastZero, "", "", 5063,
       "Invalid current labour"},
      {69, StockRuleField("CurrentSubContra"), C::kAtLeastZero, "", "", 5064,
       "Invalid current outwork"},
      {70, StockRuleField("PurchaseKey"), C::kSpecial, "", "", 5070,
       "Warning : Invalid Purchase G/L code"},
      {71, StockRuleField("AnalysisXRef"), C::kSpecial, "", "", 5073,
       "Warning : Invalid Stock G/L code"},
      {72, StockRuleField("BuyerId"), C::kSpecial, "", "", 5071, "Warning : Invalid Buyer code."},
      {73, StockRuleField("supplier"), C::kSpecial, "", "", 5000, "Cannot find supplier "},
      {74, StockRuleField("packaging"), C::kSpecial, "", "", 5000, "Cannot find packaging code "},
      {75, StockRuleField("DeliveryQtyTolerance"), C::kSpecial, "", "", 5074, ""},
  }};
};

}  // namespace orv
