#include "records/DemoDatabase.h"

#include <fmt/format.h>
#include <fmt/ranges.h>

#include <array>
#include <cmath>
#include <fstream>
#include <map>

#include "records/ErpSchema.h"
#include "shell/outside/base/AppError.h"
#include "shell/outside/base/AtomicFile.h"
#include "shell/outside/base/FatalSignalCleanup.h"
#include "shell/outside/base/Trap.h"
#include "shell/outside/db/Command.h"
#include "shell/outside/db/Connection.h"
#include "shell/outside/db/Recordset.h"
#include "shell/outside/db/TableCatalogue.h"

namespace orv {
namespace {

// A small linear congruential generator: the same numbers on every platform and library.
class Sequence {
 public:
  explicit Sequence(std::uint64_t seed) : state_(seed) {}
  std::uint32_t Next() {
    state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<std::uint32_t>(state_ >> 33);
  }
  int Between(int low, int high) { return low + static_cast<int>(Next() % (high - low + 1)); }
  double Money(double low, double high) {
    return std::round((low + (high - low) * (Next() % 10000) / 10000.0) * 100) / 100;
  }

 private:
  std::uint64_t state_;
};

// Inserts rows into one table through one prepared command.
class TableWriter {
 public:
  TableWriter(const std::shared_ptr<Connection>& connection, const ErpSchema::Table& table,
              std::vector<std::string> columns)
      : columns_(std::move(columns)) {
    std::string markers;
    for (std::size_t i = 0; i < columns_.size(); ++i) markers += i ? ",?" : "?";
    command_.SetActiveConnection(connection);
    command_.SetCommandText("INSERT INTO " + table.name + " (" +
                            fmt::format("{}", fmt::join(columns_, ",")) + ") VALUES (" + markers +
                            ")");
    for (const auto& name : columns_) {
      const ErpSchema::Column* column = nullptr;
      for (const auto& candidate : table.columns)
        if (candidate.name == name) column = &candidate;
      if (!column) throw AppError(kUnexpectedError, "", "No column " + name + " in " + table.name);
      switch (column->kind) {
        case ErpSchema::Kind::Text:
          command_.AppendParameter(name, Command::ParameterType::Text, column->size);
          break;
        case ErpSchema::Kind::Double:
          command_.AppendParameter(name, Command::ParameterType::Double);
          break;
        case ErpSchema::Kind::Date:
          command_.AppendParameter(name, Command::ParameterType::Date);
          break;
        case ErpSchema::Kind::SmallInt:
          command_.AppendParameter(name, Command::ParameterType::SmallInt);
          break;
      }
    }
  }

  void Write(const std::vector<Variant>& values) {
    for (std::size_t i = 0; i < columns_.size(); ++i)
      command_.SetParameter(columns_[i], values.at(i));
    command_.Execute();
  }

 private:
  std::vector<std::string> columns_;
  Command command_;
};

struct Item {
  const char* code;
  const char* description;
  const char* group;
  const char* unit;
  double cost;
  const char* supplier;
  const char* commodity;  // EC commodity code, empty for home-produced items
};

constexpr std::array<Item, 16> kItems = {{
    {"BOLT", "Hex bolt", "FAST", "EA", 0.18, "ACME01", "73181595"},
    {"NUT", "Hex nut", "FAST", "EA", 0.05, "ACME01", "73181630"},
    {"WASH", "Flat washer", "FAST", "BOX", 1.20, "ACME01", ""},
    {"SCRW", "Wood screw", "FAST", "BOX", 2.40, "ACME01", "73181290"},
    {"CABL", "Flex cable 3 core", "ELEC", "M", 0.85, "BRIGHT", "85444991"},
    {"FUSE", "Cartridge fuse", "ELEC", "PK", 3.10, "BRIGHT", ""},
    {"SOCK", "Double socket", "ELEC", "EA", 4.75, "BRIGHT", "85366990"},
    {"PIPE", "Copper pipe", "PLMB", "M", 3.95, "NORPL", "74111010"},
    {"VALV", "Gate valve", "PLMB", "EA", 12.50, "NORPL", "84818081"},
    {"DRIL", "HSS drill bit", "TOOL", "EA", 2.35, "TOOLCO", "82075010"},
    {"SAW", "Hand saw", "TOOL", "EA", 9.80, "TOOLCO", ""},
    {"GLOV", "Safety gloves", "SAFE", "PR", 1.65, "SAFEGD", "61169200"},
    {"GOGL", "Safety goggles", "SAFE", "EA", 3.40, "SAFEGD", ""},
    {"PNT", "Emulsion paint", "PAINT", "L", 4.20, "COLOUR", ""},
    {"GLUE", "Epoxy adhesive", "ADHES", "EA", 5.60, "COLOUR", "35069190"},
    {"HING", "Butt hinge", "HARD", "PR", 2.10, "ACME01", ""},
}};

constexpr std::array<const char*, 6> kSizes = {"M6", "M8", "M10", "M12", "15mm", "22mm"};

using Rows = std::vector<std::vector<Variant>>;

void WriteAll(const std::shared_ptr<Connection>& connection,
              const std::vector<ErpSchema::Table>& tables, const std::string& table,
              std::vector<std::string> columns, const Rows& rows) {
  TableWriter writer(connection, ErpSchema::FindTable(tables, table), std::move(columns));
  for (const auto& row : rows) writer.Write(row);
}

void WriteReferenceData(const std::shared_ptr<Connection>& connection,
                        const std::vector<ErpSchema::Table>& tables, int erp_version) {
  TableCatalogue names;
  WriteAll(
      connection, tables, names.SystemTable(),
      {"erp_version", "cost_decimals", "default_unit", "company_name"},
      {{Variant(erp_version), Variant(2), Variant("EA"), Variant("Orvale Demo Supplies Ltd")}});
  WriteAll(connection, tables, names.Warehouses(),
           {"warehouse", "description", "address1", "address2", "postcode"},
           {{"01", "Main warehouse", "Unit 4, Riverside Park", "Leeds", "LS11 5QT"},
            {"02", "North depot", "12 Harbour Road", "Newcastle", "NE1 3DX"},
            {"03", "South depot", "Building 7, Airport Way", "Southampton", "SO18 2NL"},
            {"RT", "Returns and quarantine", "Unit 4, Riverside Park", "Leeds", "LS11 5QT"}});
  WriteAll(connection, tables, names.StockUnits(), {"unit_code", "description", "decimal_places"},
           {{"EA", "Each", 0},
            {"BOX", "Box of 100", 0},
            {"PK", "Pack of 10", 0},
            {"PR", "Pair", 0},
            {"M", "Metre", 2},
            {"KG", "Kilogram", 3},
            {"L", "Litre", 2},
            {"ROL", "Roll", 0}});
  WriteAll(connection, tables, names.ProductGroups(), {"product_group", "description"},
           {{"FAST", "Fasteners"},
            {"ELEC", "Electrical"},
            {"PLMB", "Plumbing"},
            {"TOOL", "Hand tools"},
            {"SAFE", "Safety equipment"},
            {"PAINT", "Paint"},
            {"ADHES", "Adhesives and sealants"},
            {"HARD", "Door and window hardware"},
            {"TRADE", "Trade counter lines"},
            {"IMPORT", "Imported goods"},
            {"SEASON", "Seasonal lines"},
            {"CLEAR", "Clearance"}});
  WriteAll(connection, tables, names.PurchaseUsers(), {"id", "name", "allow_buyer", "email"},
           {{"JSMITH", "Jane Smith", "Y", "jane.smith@orvale.example"},
            {"AKHAN", "Asif Khan", "Y", "asif.khan@orvale.example"},
            {"MBROWN", "Mark Brown", "Y", "mark.brown@orvale.example"},
            {"TEMP01", "Agency clerk", "N", ""}});
  WriteAll(connection, tables, names.Suppliers(),
           {"supplier", "name", "address1", "postcode", "currency"},
           {{"ACME01", "Acme Fixings Ltd", "Canal Street, Birmingham", "B1 2JP", "GBP"},
            {"BRIGHT", "Bright Electrical Supplies", "Mill Lane, Bolton", "BL1 4AA", "GBP"},
            {"NORPL", "Northern Plumbing Wholesale", "Dock Road, Hull", "HU1 1XE", "GBP"},
            {"TOOLCO", "Toolco GmbH", "Industriestrasse 9, Solingen", "42655", "EUR"},
            {"SAFEGD", "Safeguard PPE", "Park Avenue, Swindon", "SN2 1AB", "GBP"},
            {"COLOUR", "Colourcoat Paints", "Kiln Road, Stoke", "ST4 2RS", "GBP"}});
  WriteAll(connection, tables, names.SystemCodes(), {"code_type", "code", "description"},
           {{"005", "S", "Standard rate"},
            {"005", "R", "Reduced rate"},
            {"005", "Z", "Zero rated"},
            {"005", "E", "Exempt"},
            {"019", "CARTON", "Carton"},
            {"019", "PALLET", "Pallet"},
            {"019", "BAG", "Bag"},
            {"019", "DRUM", "Drum"},
            {"019", "TUBE", "Tube"}});
  WriteAll(connection, tables, names.PurchaseGlKeys(), {"purchase_key", "description"},
           {{"P01", "Purchases - stock"},
            {"P02", "Purchases - consumables"},
            {"P03", "Carriage inwards"}});
  WriteAll(connection, tables, names.StockGlXrefs(), {"analysis_x_ref", "description"},
           {{"S01", "Stock - raw materials"},
            {"S02", "Stock - finished goods"},
            {"S03", "Stock - consumables"}});
  WriteAll(connection, tables, names.ExpenseCodes(), {"exp_rev_code", "description"},
           {{"MAINT", "Maintenance"},
            {"PROJ-100", "Project 100 - warehouse fit-out"},
            {"ADMIN", "Administration"}});
  if (erp_version >= 7)
    WriteAll(connection, tables, names.ReplenishCategories(), {"replenish_category", "description"},
             {{"MIN", "Min / max"},
              {"ROP", "Reorder point"},
              {"JIT", "Just in time"},
              {"MAN", "Manual"}});
  Rows bins;
  for (const char* warehouse : {"01", "02", "03"})
    for (int aisle = 1; aisle <= 4; ++aisle)
      for (int shelf = 1; shelf <= 3; ++shelf)
        bins.push_back({warehouse, fmt::format("A{:02}-{:02}", aisle, shelf),
                        aisle == 4 && shelf == 3 ? "H" : "A",
                        aisle == 4 && shelf == 3 ? "Held for stock check" : ""});
  bins.push_back({"RT", "QUAR", "A", "Quarantine cage"});
  WriteAll(connection, tables, names.Bins(), {"warehouse", "bin_code", "bin_status", "comments"},
           bins);
}

void WriteStock(const std::shared_ptr<Connection>& connection,
                const std::vector<ErpSchema::Table>& tables, int erp_version, int rows) {
  TableCatalogue names;
  Sequence random(20240601 + static_cast<std::uint64_t>(erp_version));
  std::vector<std::string> columns = {"warehouse",
                                      "product",
                                      "description",
                                      "long_description",
                                      "alpha",
                                      "analysis_a",
                                      "analysis_b",
                                      "analysis_x_ref",
                                      "nominal_key",
                                      "purchase_key",
                                      "unit_code",
                                      "selling_unit",
                                      "purchase_unit",
                                      "despatch_units",
                                      "purchase_factor",
                                      "selling_factor",
                                      "supplier",
                                      "last_supplier",
                                      "buyer_id",
                                      "bin_number",
                                      "make_or_buy",
                                      "mrp_batching",
                                      "working_level",
                                      "reorder_freeze",
                                      "std_cost_freeze",
                                      "bulk_item",
                                      "batch_traceability",
                                      "vat_inclusive",
                                      "stock_vat_type",
                                      "qty_decimal_places",
                                      "standard_material",
                                      "standard_labour",
                                      "standard_overhead",
                                      "standard_subcontra",
                                      "standard_cost",
                                      "current_material",
                                      "current_labour",
                                      "current_overhead",
                                      "current_subcontrac",
                                      "current_cost",
                                      "price",
                                      "wholesale_price",
                                      "physical_qty",
                                      "allocated_qty",
                                      "on_order_qty",
                                      "back_order_qty",
                                      "min_stock_level",
                                      "maximum_stock_leve",
                                      "safety_stock_level",
                                      "economic_reorder_q",
                                      "lead_time",
                                      "review_days",
                                      "stock_take_toleran",
                                      "inspection_yield",
                                      "pr_yield",
                                      "inspect_cycle",
                                      "weight",
                                      "packaging",
                                      "catalogue_number",
                                      "last_revalue",
                                      "stock_date",
                                      "issue_date",
                                      "delivery_date",
                                      "period_demand01",
                                      "period_demand02",
                                      "period_demand03",
                                      "year_to_date01",
                                      "year_to_date02",
                                      "month_to_date01",
                                      "month_to_date02",
                                      "supersession",
                                      "supsession_date",
                                      "alternatives01"};
  if (erp_version >= 7) {
    columns.push_back("replenish_category");
    columns.push_back("held_flag");
    columns.push_back("obsolete_flag");
  }
  TableWriter stock(connection, ErpSchema::FindTable(tables, names.StockMaster()), columns);
  const bool split_key = erp_version >= 6;
  TableWriter extension(connection, ErpSchema::FindTable(tables, names.StockExtension()),
                        {"warehouse", "product", "analysis_d", "analysis_e", "analysis_f",
                         "delivery_qty_tol", "call_off_qty_tol", "consumer_unit"});
  std::vector<std::string> ec_columns =
      split_key ? std::vector<std::string>{"warehouse", "product", "ecspare"}
                : std::vector<std::string>{"whproduct", "spare"};
  for (const char* name :
       {"ssdstate", "weightkg", "statind", "procind", "commodity", "country_orig", "suppunitqty"})
    ec_columns.push_back(name);
  TableWriter ec(connection, ErpSchema::FindTable(tables, names.StockEc()), ec_columns);
  TableWriter expense(connection, ErpSchema::FindTable(tables, names.StockExpense()),
                      split_key ? std::vector<std::string>{"warehouse", "product", "expense"}
                                : std::vector<std::string>{"whproduct", "expense"});
  std::vector<std::string> page_columns = {"warehouse", "product", "page_number", "spare"};
  for (int i = 1; i <= 12; ++i) page_columns.push_back(fmt::format("text{:02}", i));
  TableWriter pages(connection, ErpSchema::FindTable(tables, names.TechnicalDescription()),
                    page_columns);

  const std::array<const char*, 3> buyers = {"JSMITH", "AKHAN", "MBROWN"};
  const double revalued = 45292;  // 01/01/2024
  auto product_code = [](int number) {
    const Item& item = kItems[number % kItems.size()];
    return fmt::format("{}-{}-{:04}", item.code, kSizes[(number / kItems.size()) % kSizes.size()],
                       number + 1);
  };
  // Every product number has a row in warehouse 01 (the even rows).
  auto on_file_in_01 = [&](int number) { return 2 * number < rows; };
  for (int i = 0; i < rows; ++i) {
    int number = i / 2;
    const Item& item = kItems[number % kItems.size()];
    std::string warehouse = i % 2 == 0 ? "01" : (number % 2 ? "02" : "03");
    std::string size = kSizes[(number / kItems.size()) % kSizes.size()];
    std::string product = product_code(number);
    // Supersessions and alternatives name warehouse followed by product of a record on file.
    bool superseded = number % 11 == 3 && on_file_in_01(number + 1);
    bool alternative = number % 7 == 2 && on_file_in_01(number + 2);
    std::string description = fmt::format("{} {}", item.description, size).substr(0, 20);
    std::string long_description = fmt::format("{} {}, {} finish", item.description, size,
                                               number % 3 == 0   ? "zinc plated"
                                               : number % 3 == 1 ? "standard"
                                                                 : "premium");
    double scale = 1 + (number / kItems.size()) % kSizes.size() * 0.35;
    double material = std::round(item.cost * scale * 100) / 100;
    double labour = std::round(material * 0.08 * 100) / 100;
    double overhead = std::round(material * 0.12 * 100) / 100;
    double subcontract = number % 7 == 0 ? 0.25 : 0;
    double standard = std::round((material + labour + overhead + subcontract) * 100) / 100;
    double drift = 1 + random.Between(-5, 8) / 100.0;
    double current_material = std::round(material * drift * 100) / 100;
    double current = std::round((current_material + labour + overhead + subcontract) * 100) / 100;
    double physical = random.Between(0, 40) * (item.cost < 1 ? 50 : 5);
    double allocated = std::min(physical, static_cast<double>(random.Between(0, 6) * 5));
    double min_level = item.cost < 1 ? 500 : 20;
    std::string bin = fmt::format("A{:02}-{:02}", 1 + number % 4, 1 + number % 3);
    std::vector<Variant> values = {
        warehouse,
        product,
        description,
        long_description.substr(0, 40),
        fmt::format("{}{}", item.code, size).substr(0, 10),
        item.group,
        number % 5 == 0 ? "TRADE" : "",
        number % 4 == 0 ? "S02" : "S01",
        "N01",
        number % 6 == 0 ? "P02" : "P01",
        item.unit,
        item.unit,
        item.unit,
        item.unit,
        1.0,
        1.0,
        item.supplier,
        item.supplier,
        buyers[number % buyers.size()],
        bin,
        number % 9 == 0 ? "M" : "B",
        "Q",
        "R",
        "N",
        "N",
        "N",
        number % 8 == 0 ? "B" : "N",
        "N",
        "S",
        std::string(item.unit) == "M" ? "2" : "0",
        material,
        labour,
        overhead,
        subcontract,
        standard,
        current_material,
        labour,
        overhead,
        subcontract,
        current,
        std::round(standard * 1.65 * 100) / 100,
        std::round(standard * 1.35 * 100) / 100,
        physical,
        allocated,
        static_cast<double>(random.Between(0, 4) * 10),
        0.0,
        min_level,
        min_level * 6,
        min_level / 2,
        min_level * 3,
        static_cast<double>(random.Between(2, 21)),
        7.0,
        number % 10 == 0 ? 5.0 : -1.0,
        100.0,
        100.0,
        static_cast<std::int32_t>(number % 4),
        std::round(item.cost * 0.4 * scale * 1000) / 1000,
        number % 3 == 0 ? "CARTON" : "BAG",
        fmt::format("CAT-{:05}", 10000 + number * 7),
        OleDate{revalued},
        OleDate{revalued + random.Between(30, 300)},
        physical > 0 ? Variant(OleDate{revalued + random.Between(100, 330)}) : Variant::MakeNull(),
        Variant::MakeNull(),
        static_cast<double>(random.Between(0, 120)),
        static_cast<double>(random.Between(0, 120)),
        static_cast<double>(random.Between(0, 120)),
        std::round(standard * random.Between(50, 900) * 100) / 100,
        static_cast<double>(random.Between(50, 900)),
        std::round(standard * random.Between(0, 80) * 100) / 100,
        static_cast<double>(random.Between(0, 80)),
        superseded ? "01" + product_code(number + 1) : "",
        superseded ? Variant(OleDate{revalued + 200}) : Variant::MakeNull(),
        alternative ? "01" + product_code(number + 2) : ""};
    if (erp_version >= 7) {
      values.push_back(number % 4 == 0 ? "MIN" : number % 4 == 1 ? "ROP" : "");
      values.push_back(number % 17 == 5 ? "Y" : "N");
      values.push_back(number % 23 == 11 ? "Y" : "N");
    }
    stock.Write(values);

    if (i % 3 == 0)
      extension.Write({warehouse, product, number % 2 ? "IMPORT" : "", number % 5 ? "" : "SEASON",
                       "", number % 2 ? "5%" : "", number % 2 ? "10%" : "", item.unit});
    if (*item.commodity) {
      std::vector<Variant> ec_values;
      if (split_key) {
        ec_values = {warehouse, product, ""};
      } else {
        ec_values = {warehouse + product, ""};
      }
      for (Variant value :
           {Variant(""), Variant(std::round(item.cost * 0.4 * 1000) / 1000), Variant("Y"),
            Variant("1"), Variant(item.commodity),
            Variant(std::string(item.supplier) == "TOOLCO" ? "DE" : "GB"), Variant(1.0)})
        ec_values.push_back(value);
      ec.Write(ec_values);
    }
    if (i % 5 == 0) {
      const char* code = number % 2 ? "MAINT" : "PROJ-100";
      if (split_key)
        expense.Write({warehouse, product, code});
      else
        expense.Write({warehouse + product, code});
    }
    if (i % 10 == 0) {
      int page_count = number % 3 == 0 ? 2 : 1;
      for (int page = 1; page <= page_count; ++page) {
        std::vector<Variant> page_values = {warehouse, product, fmt::format("{:03}", page), ""};
        for (int line = 1; line <= 12; ++line) {
          std::string text;
          if (page == 1 && line == 1)
            text = long_description;
          else if (page == 1 && line == 2)
            text = fmt::format("Supplier: {}", item.supplier);
          else if (page == 1 && line == 3)
            text = fmt::format("Pack: {} per {}", item.cost < 1 ? 100 : 1, item.unit);
          else if (page == 2 && line == 1)
            text = "Storage: keep dry, away from direct sunlight.";
          else if (page == 2 && line == 2)
            text = "Handling: see safety data sheet.";
          page_values.push_back(text);
        }
        pages.Write(page_values);
      }
    }
  }
}

}  // namespace

void DemoDatabase::Build(Connection& connection, const Options& options) {
  if (options.rows < 0)
    throw AppError(kUnexpectedError, "", "The number of demo stock records cannot be negative");
  auto tables = ErpSchema::Tables(options.erp_version);
  ErpSchema::Create(connection, options.erp_version);
  std::shared_ptr<Connection> borrowed(&connection, [](Connection*) {});
  connection.BeginTrans();
  try {
    WriteReferenceData(borrowed, tables, options.erp_version);
    WriteStock(borrowed, tables, options.erp_version, options.rows);
    connection.CommitTrans();
  } catch (...) {
    if (connection.InTransaction()) connection.RollbackTrans();
    throw;
  }
}

void DemoDatabase::Create(const DatabaseTarget& target, const Options& options,
                          const std::function<void()>& before_commit) {
  Trap("Create of Class Module DemoDatabase Line#:", [&](int& line) {
    line = 10;
    ErpSchema::Tables(options.erp_version);  // an unknown version fails before anything is touched
    if (target.kind == DatabaseTarget::Kind::PostgreSQL) {
      Connection connection;
      connection.Open(target);
      Recordset existing;
      existing.Open("select count(*) as n from information_schema.schemata where schema_name = ?",
                    std::shared_ptr<Connection>(&connection, [](Connection*) {}),
                    {Variant(TableCatalogue::kOwner)});
      bool present = existing.Fields("n").ToDouble() > 0;
      existing.Close();
      if (present) {
        if (!options.replace)
          throw AppError(kAlreadyThere, "",
                         "The database " + target.Display() +
                             " already has a schema \"scheme\"; replace it explicitly");
        connection.Execute(std::string("DROP SCHEMA ") + TableCatalogue::kOwner + " CASCADE");
      }
      Build(connection, options);
      if (before_commit) {
        try {
          before_commit();
        } catch (...) {
          connection.Execute(std::string("DROP SCHEMA ") + TableCatalogue::kOwner + " CASCADE");
          throw;
        }
      }
      return;
    }
    line = 20;
    std::filesystem::path file(target.location);
    std::error_code error;
    if (std::filesystem::exists(file, error) && !options.replace)
      throw AppError(kAlreadyThere, "",
                     "The file " + file.string() + " already exists; replace it explicitly");
    auto folder = file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
    if (!std::filesystem::is_directory(folder, error))
      throw AppError(kUnexpectedError, "",
                     "The folder " + folder.string() + " does not exist; make it first");
    auto temporary = AtomicFile::TemporaryBeside(file);
    FatalSignalCleanup::Registration cleanup(temporary, false);
    try {
      std::ofstream(temporary).close();  // an empty file is an empty SQLite database
      {
        Connection connection;
        connection.Open(DatabaseTarget::SQLiteFile(temporary.string()));
        Build(connection, options);
        connection.Close();
      }
      if (before_commit) before_commit();
      AtomicFile::Commit(temporary, file);
    } catch (...) {
      std::filesystem::remove(temporary, error);
      throw;
    }
  });
}

CompanyEntry DemoDatabase::CreateAndRegister(const DatabaseTarget& target, const Options& options,
                                             const std::filesystem::path& companies_file,
                                             const std::string& code) {
  CompaniesFile::CheckCode(code);
  // A malformed companies file, a taken code or a file that cannot be written stop us before the
  // database is written.
  CompaniesFile companies = CompaniesFile::Load(companies_file);
  if (const CompanyEntry* taken = companies.Find(code); taken && !options.replace)
    throw AppError(kAlreadyThere, "",
                   "The company " + taken->code + " is already registered in " +
                       companies_file.string() + " (" + taken->Target().Display() +
                       "); give another code, or replace it explicitly");
  CompaniesFile::CheckWritable(companies_file);
  CompanyEntry entry;
  entry.code = code;
  entry.description = fmt::format("Demo company (ERP version {})", options.erp_version);
  entry.database = target.kind == DatabaseTarget::Kind::SQLite
                       ? std::filesystem::absolute(target.location).lexically_normal().string()
                       : target.location;
  const std::string before = companies.Text();
  const bool existed = std::filesystem::exists(companies_file);
  bool registered = false;
  try {
    Create(target, options, [&] {
      companies.Register(entry, false);
      companies.Save(companies_file);
      registered = true;
    });
  } catch (...) {
    // The database did not take its place: neither does its registration.
    if (registered) {
      std::error_code ignored;
      if (existed)
        AtomicFile::WriteText(companies_file, before);
      else
        std::filesystem::remove(companies_file, ignored);
    }
    throw;
  }
  return *companies.Find(code);
}

}  // namespace orv
