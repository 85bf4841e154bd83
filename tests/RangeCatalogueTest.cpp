#include "ranges/clsOrvStockRanges.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "records/ErpSchema.h"
#include "tests/RangeColumns.h"
#include "tests/RecordingRangeList.h"
#include "tests/TestSupport.h"

namespace orv {
namespace {

using ::testing::HasSubstr;

using test::RecordingRangeList;

struct Catalogue {
  std::shared_ptr<RecordingRangeList> list = std::make_shared<RecordingRangeList>();
  clsOrvStockRanges ranges;
  Catalogue() { ranges.SetRangeList(list); }
  // The number of ranges of the catalogue defined on an empty list.
  std::size_t Fresh() {
    ranges.DefineRanges();
    return list->Defined().size();
  }
};

const RangeDefinition& Named(const std::vector<RangeDefinition>& defined, std::string_view name) {
  auto found = std::find_if(defined.begin(), defined.end(),
                            [&](const RangeDefinition& d) { return d.name == name; });
  if (found == defined.end()) throw std::runtime_error("no range " + std::string(name));
  return *found;
}

// What holds for every range the catalogue defines: the settings that follow from its group,
// its browse list and its kind of range.
void ExpectConsistent(const RangeDefinition& d) {
  SCOPED_TRACE(d.name);
  const bool company = d.name == "sage_company";
  EXPECT_TRUE(d.reserved4 == 0 && d.reserved5 == 0 && d.reserved8 == 0 && d.reserved9.empty() &&
              d.reserved12.empty());
  EXPECT_EQ(d.browse, !d.BrowseList.empty() || company);
  EXPECT_EQ(d.browse_kind, company ? "company" : "");
  EXPECT_EQ(d.CompanyRange, company);
  EXPECT_EQ(d.KeyRange, d.name == "Warehouse" || d.name == "Product");
  EXPECT_EQ(d.DownloadOnly, d.GroupKey == "ssd_grp" || d.GroupKey == "pud_grp");
  EXPECT_EQ(d.BrowseFromList, !d.BrowseList.empty() && d.name != "SuperSession");
  EXPECT_EQ(d.CodeOption, d.name == "PurchaseKey" ? 3 : 0);
  if (d.data_type == RangeDefinition::kDate) {
    EXPECT_EQ(d.length, 10);
    EXPECT_EQ(d.BrowseList, "Date");
  }
  if (d.data_type != RangeDefinition::kText) {
    EXPECT_TRUE(d.length == 0 || d.length == 10);
  }
}

// Every range once, in a group of the catalogue, every group used; the version-7 ranges come
// separately.
TEST(RangeCatalogue, EmptyListGetsEveryRangeInItsGroup) {
  Catalogue c;
  c.ranges.DefineRanges();
  auto defined = c.list->Defined();
  std::set<std::string> names, used;
  for (const auto& d : defined) {
    ExpectConsistent(d);
    EXPECT_EQ(d.layout, d.name == "sage_company" ? 0 : 1) << d.name;
    EXPECT_TRUE(names.insert(d.name).second) << d.name << " twice";
    used.insert(d.GroupKey);
  }
  std::set<std::string> keys{""};
  for (const auto& group : c.list->RangeGroups()) keys.insert(group.key);
  EXPECT_EQ(used, keys);
  EXPECT_EQ(defined.front().name, "Warehouse");
  EXPECT_EQ(defined.back().name, "sage_company");
  EXPECT_THROW(Named(defined, "Held?"), std::runtime_error) << "version-7 ranges come separately";
}

// A text range is as long as the column it shows, so that what fits the sheet fits the database.
TEST(RangeCatalogue, ATextRangeIsAsLongAsItsColumn) {
  std::map<std::string, int> widths;
  for (const auto& table : ErpSchema::Tables(7))
    for (const auto& column : table.columns)
      if (column.kind == ColumnKind::Text) widths.emplace(test::Plain(column.name), column.size);
  Catalogue c;
  c.ranges.DefineRanges();
  c.ranges.DefineVersion7Ranges();
  for (const auto& d : c.list->Defined()) {
    if (d.data_type != RangeDefinition::kText || d.CompanyRange) continue;
    auto width = widths.find(test::ColumnOfRange(d.name));
    ASSERT_NE(width, widths.end()) << d.name;
    EXPECT_EQ(d.length, width->second) << d.name;
  }
}

TEST(RangeCatalogue, GroupsThenOneClearThenTheRanges) {
  Catalogue c;
  c.list->RangeGroups().push_back({"Stale", "stale_grp", ""});
  c.list->calls.clear();
  c.ranges.DefineRanges();
  const auto calls = c.list->calls;
  for (const auto& group : c.list->RangeGroups()) EXPECT_NE(group.key, "stale_grp");

  ASSERT_GE(calls.size(), 4u);
  EXPECT_EQ(calls[0], "RangeCount");
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "ClearDefinitions"), 1);
  auto clear = std::find(calls.begin(), calls.end(), "ClearDefinitions");
  auto first_define = std::find_if(calls.begin(), calls.end(), [](const std::string& call) {
    return call.rfind("DefineRange", 0) == 0;
  });
  EXPECT_LT(clear, first_define);
}

TEST(RangeCatalogue, ExistingDefinitionsAreLeftAloneUnlessRebuildIsForced) {
  Catalogue c;
  c.list->DefineRange("Mine", 1, 0, 0, 0, "Mine", 5, 0, "", false, "", "");
  c.list->RangeGroups().push_back({"Kept", "kept_grp", ""});
  c.list->calls.clear();

  c.ranges.DefineRanges();
  EXPECT_EQ(c.list->calls, std::vector<std::string>{"RangeCount"});
  EXPECT_EQ(c.list->Defined().size(), 1u);

  c.ranges.SetForceRebuild(true);
  for (int pass = 0; pass < 2; ++pass) {  // a second forced pass replaces rather than adds
    c.ranges.DefineRanges();
    EXPECT_EQ(c.list->Defined().size(), Catalogue().Fresh());
    EXPECT_EQ(c.list->Defined().front().name, "Warehouse");
    EXPECT_EQ(c.list->RangeGroups().size(), 12u);
  }
}

TEST(RangeCatalogue, HeaderLayoutOnlyForWarehouseAndProduct) {
  Catalogue c;
  c.ranges.SetWarehouseAndProductAsHeader(true);
  c.ranges.DefineRanges();
  for (const auto& d : c.list->Defined()) {
    bool header = d.name == "Warehouse" || d.name == "Product" || d.name == "sage_company";
    EXPECT_EQ(d.layout, header ? 0 : 1) << d.name;
  }
}

TEST(RangeCatalogue, Version7RangesComeAfterTheOthers) {
  Catalogue c;
  c.ranges.DefineRanges();
  const std::size_t before = c.list->Defined().size();
  c.ranges.DefineVersion7Ranges();
  auto defined = c.list->Defined();
  ASSERT_EQ(defined.size(), before + 3);
  EXPECT_EQ(defined[before - 1].name, "sage_company");
  std::vector<std::string> names;
  for (std::size_t i = before; i < defined.size(); ++i) {
    ExpectConsistent(defined[i]);
    names.push_back(defined[i].name);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"ReplenishCategory", "Held?", "Obsolete"}));
}

TEST(RangeCatalogue, TechnicalDescriptionComponentSet) {
  Catalogue c;
  c.ranges.SetWarehouseAndProductAsHeader(true);
  c.ranges.DefineWarehouseAndProductRanges();
  c.ranges.DefineTechnicalDescriptionRanges();
  c.ranges.DefineSageCompanyRange();
  std::vector<std::string> names;
  for (const auto& d : c.list->Defined()) {
    ExpectConsistent(d);
    bool header = d.name == "Warehouse" || d.name == "Product" || d.name == "sage_company";
    EXPECT_EQ(d.layout, header ? 0 : 1) << d.name;
    names.push_back(d.name);
  }
  ASSERT_EQ(names.size(), 16u);
  EXPECT_EQ(names[2], "PageNumber");
  EXPECT_EQ(names[14], "TEXT12");
}

TEST(RangeCatalogue, FailureStopsAtTheRangeAndChainsTheRoutines) {
  Catalogue c;
  c.list->fail_on_define = "TEXT05";
  try {
    c.ranges.DefineRanges();
    FAIL() << "DefineRanges did not fail";
  } catch (const AppError& error) {
    EXPECT_EQ(error.Number(), vbObjectError + 1);
    EXPECT_EQ(error.Description(), "host refused TEXT05");
    auto inner =
        error.Source().find("DefineTechnicalDescriptionRanges of Class Module clsOrvStockRanges");
    auto outer = error.Source().find("\r\nDefineRanges of Class Module clsOrvStockRanges");
    EXPECT_NE(inner, std::string::npos) << error.Source();
    EXPECT_NE(outer, std::string::npos) << error.Source();
    EXPECT_LT(inner, outer);
  }
  auto defined = c.list->Defined();
  ASSERT_FALSE(defined.empty());
  EXPECT_EQ(defined.back().name, "TEXT04");

  clsOrvStockRanges unset;
  auto error = test::Caught([&] { unset.DefineRanges(); });
  EXPECT_THAT(error.Description(), HasSubstr("range list"));
}

}  // namespace
}  // namespace orv
