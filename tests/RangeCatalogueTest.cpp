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

TEST(RangeCatalogue, EmptyListGetsEveryRangeInItsGroup) {
  Catalogue c;
  c.ranges.DefineRanges();
  auto defined = c.list->Defined();
  ASSERT_EQ(defined.size(), 187u);
  std::set<std::string> names;
  std::map<std::string, int> per_group;
  std::map<std::int32_t, int> per_type;
  int own_headings = 0;
  for (const auto& d : defined) {
    ExpectConsistent(d);
    EXPECT_EQ(d.layout, d.name == "sage_company" ? 0 : 1) << d.name;
    EXPECT_TRUE(names.insert(d.name).second) << d.name << " twice";
    ++per_group[d.GroupKey];
    ++per_type[d.data_type];
    own_headings += d.Heading != d.description;
  }
  std::string groups;
  for (const auto& [key, count] : per_group) groups += key + ":" + std::to_string(count) + " ";
  EXPECT_EQ(groups,
            ":14 as_grp:12 cp_grp:23 d_grp:10 ec_grp:5 ip_grp:23 ld_grp:7 pac_grp:1 prod_grp:8 "
            "pud_grp:36 ssd_grp:32 td_grp:13 ud_grp:3 ");
  EXPECT_EQ(per_type, (std::map<std::int32_t, int>{{RangeDefinition::kText, 79},
                                                   {RangeDefinition::kNumber, 103},
                                                   {RangeDefinition::kDate, 4},
                                                   {RangeDefinition::kWholeNumber, 1}}));
  EXPECT_EQ(own_headings, 18) << "lines, groups D to F, the tolerances and the company cell";

  // The order of definition and the ranges whose settings stand out.
  EXPECT_EQ(defined.front().name, "Warehouse");
  EXPECT_EQ(defined[2].name, "Description");
  EXPECT_EQ(defined[100].name, "PageNumber") << "the page ranges follow the dimensions";
  EXPECT_EQ(defined[112].name, "TEXT12");
  EXPECT_EQ(defined[123].name, "MonthToDate06");
  EXPECT_EQ(defined.back().name, "sage_company");
  const auto& long_description = Named(defined, "LongDescription");
  EXPECT_EQ(long_description.description, "Full description");
  EXPECT_EQ(long_description.length, 40);
  const auto& analysis_d = Named(defined, "AnalysisD");
  EXPECT_EQ(analysis_d.description, "Group D (DA0512)");
  EXPECT_EQ(analysis_d.Heading, "Group D");
  EXPECT_EQ(analysis_d.BrowseList, "product_group");
  EXPECT_EQ(Named(defined, "TEXT07").Heading, "Line 7");
  EXPECT_EQ(Named(defined, "InspectCycle").data_type, RangeDefinition::kWholeNumber);
  EXPECT_EQ(Named(defined, "Expense").GroupKey, "pac_grp");
  const auto& supersession = Named(defined, "SuperSession");
  EXPECT_EQ(supersession.BrowseList, "supersession");
  EXPECT_EQ(supersession.length, 22);
  const auto& company = Named(defined, "sage_company");
  EXPECT_EQ(company.Heading, "");
  EXPECT_EQ(company.length, 10);
  EXPECT_THROW(Named(defined, "Held?"), std::runtime_error) << "version-7 ranges come separately";

  // Every range's group is one of the groups, and every group has ranges.
  std::set<std::string> keys{""};
  for (const auto& group : c.list->RangeGroups()) keys.insert(group.key);
  std::set<std::string> used;
  for (const auto& [key, count] : per_group) used.insert(key);
  EXPECT_EQ(used, keys);
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
  const auto& groups = c.list->RangeGroups();
  ASSERT_EQ(groups.size(), 12u);
  EXPECT_EQ(groups.front(), (RangeGroup{"Unit Details", "ud_grp", ""}));
  EXPECT_EQ(groups[8], (RangeGroup{"Stock Status (to download only)", "ssd_grp", ""}));
  EXPECT_EQ(groups.back(), (RangeGroup{"Technical Descriptions", "td_grp", ""}));

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
    EXPECT_EQ(c.list->Defined().size(), 187u);
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
  c.ranges.DefineVersion7Ranges();
  auto defined = c.list->Defined();
  ASSERT_EQ(defined.size(), 190u);
  EXPECT_EQ(defined[186].name, "sage_company");
  std::vector<std::string> names;
  for (std::size_t i = 187; i < 190; ++i) {
    ExpectConsistent(defined[i]);
    EXPECT_EQ(defined[i].GroupKey, "ip_grp");
    EXPECT_EQ(defined[i].data_type, RangeDefinition::kText);
    names.push_back(defined[i].name);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"ReplenishCategory", "Held?", "Obsolete"}));
  EXPECT_EQ(defined[187].description, "Replenish Category(For V7)");
  EXPECT_EQ(defined[187].Heading, "Replenish Category");
  EXPECT_EQ(defined[187].BrowseList, "replenish_category");
  EXPECT_EQ(defined[187].length, 3);
  EXPECT_EQ(defined[188].length, 1);
}

TEST(RangeCatalogue, TechnicalDescriptionComponentSet) {
  Catalogue c;
  c.ranges.SetWarehouseAndProductAsHeader(true);
  c.ranges.DefineWarehouseAndProductRanges();
  c.ranges.DefineTechnicalDescriptionRanges();
  c.ranges.DefineSageCompanyRange();

  auto defined = c.list->Defined();
  ASSERT_EQ(defined.size(), 16u);
  for (const auto& d : defined) {
    ExpectConsistent(d);
    bool header = d.name == "Warehouse" || d.name == "Product" || d.name == "sage_company";
    EXPECT_EQ(d.layout, header ? 0 : 1) << d.name;
  }
  EXPECT_EQ(defined[2].name, "PageNumber");
  EXPECT_EQ(defined[2].length, 3);
  EXPECT_EQ(defined[14].name, "TEXT12");
  EXPECT_EQ(defined[14].Heading, "Line 12");
  EXPECT_EQ(defined[14].length, 60);
  EXPECT_EQ(c.list->RangeGroups(),
            (std::vector<RangeGroup>{{"Technical Descriptions", "td_grp", ""}}));
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
