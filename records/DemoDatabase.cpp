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

using NamedValues = std::vector<std::pair<std::string_view, Variant>>;

// Inserts rows into one table through one prepared command: the columns named by the first row
// written, or every column of the table in its order.
class TableWriter {
 public:
  TableWriter(const std::shared_ptr<Connection>& connection, const ErpSchema::Table& table)
      : connection_(connection), table_(table) {}

  void Write(const NamedValues& values) {
    if (names_.empty()) {
      for (const auto& [name, value] : values) names_.push_back(name);
      Prepare();
    }
    if (values.size() != names_.size())
      throw AppError(kUnexpectedError, "", "Demo rows of " + table_.name + " differ in columns");
    for (std::size_t i = 0; i < values.size(); ++i) {
      if (values[i].first != names_[i])
        throw AppError(kUnexpectedError, "", "Demo rows of " + table_.name + " differ in columns");
      command_.SetParameter(std::string(names_[i]), values[i].second);
    }
    command_.Execute();
  }

  // Values for every column of the table, in its order.
  void WriteAll(const std::vector<Variant>& values) {
    NamedValues named;
    for (std::size_t i = 0; i < table_.columns.size(); ++i)
      named.emplace_back(table_.columns[i].name, values.at(i));
    Write(named);
  }

 private:
  void Prepare() {
    std::vector<RecordColumn> columns;
    for (std::string_view name : names_) {
      auto at = RecordColumns::Find(table_.columns, name);
      if (at == table_.columns.size())
        throw AppError(kUnexpectedError, "", fmt::format("No column {} in {}", name, table_.name));
      columns.push_back(table_.columns[at]);
    }
    command_.SetActiveConnection(connection_);
    command_.SetCommandText("INSERT INTO " + table_.name + " (" +
                            RecordColumns::Joined(columns, ",") + ") VALUES (" +
                            RecordColumns::Markers(columns.size()) + ")");
    RecordColumns::Declare(command_, columns);
  }

  std::shared_ptr<Connection> connection_;
  const ErpSchema::Table& table_;
  std::vector<std::string_view> names_;
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

// Rows holding every column of the table, in its order.
void WriteAll(const std::shared_ptr<Connection>& connection,
              const std::vector<ErpSchema::Table>& tables, const std::string& table,
              const Rows& rows) {
  TableWriter writer(connection, ErpSchema::FindTable(tables, table));
  for (const auto& row : rows) writer.WriteAll(row);
}

void WriteReferenceData(const std::shared_ptr<Connection>& connection,
                        const std::vector<ErpSchema::Table>& tables, int erp_version) {
  TableCatalogue names;
  WriteAll(
      connection, tables, names.SystemTable(),
      {{Variant(erp_version), Variant(2), Variant("EA"), Variant("Orvale Demo Supplies Ltd")}});
  WriteAll(connection, tables, names.Warehouses(),
           {{"01", "Main warehouse", "Unit 4, Riverside Park", "Leeds", "LS11 5QT"},
            {"02", "North depot", "12 Harbour Road", "Newcastle", "NE1 3DX"},
            {"03", "South depot", "Building 7, Airport Way", "Southampton", "SO18 2NL"},
            {"RT", "Returns and quarantine", "Unit 4, Riverside Park", "Leeds", "LS11 5QT"}});
  WriteAll(connection, tables, names.StockUnits(),
           {{"EA", "Each", 0},
            {"BOX", "Box of 100", 0},
            {"PK", "Pack of 10", 0},
            {"PR", "Pair", 0},
            {"M", "Metre", 2},
            {"KG", "Kilogram", 3},
            {"L", "Litre", 2},
            {"ROL", "Roll", 0}});
  WriteAll(connection, tables, names.ProductGroups(),
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
  WriteAll(connection, tables, names.PurchaseUsers(),
           {{"JSMITH", "Jane Smith", "Y", "jane.smith@orvale.example"},
            {"AKHAN", "Asif Khan", "Y", "asif.khan@orvale.example"},
            {"MBROWN", "Mark Brown", "Y", "mark.brown@orvale.example"},
            {"TEMP01", "Agency clerk", "N", ""}});
  WriteAll(connection, tables, names.Suppliers(),
           {{"ACME01", "Acme Fixings Ltd", "Canal Street, Birmingham", "B1 2JP", "GBP"},
            {"BRIGHT", "Bright Electrical Supplies", "Mill Lane, Bolton", "BL1 4AA", "GBP"},
            {"NORPL", "Northern Plumbing Wholesale", "Dock Road, Hull", "HU1 1XE", "GBP"},
            {"TOOLCO", "Toolco GmbH", "Industriestrasse 9, Solingen", "42655", "EUR"},
            {"SAFEGD", "Safeguard PPE", "Park Avenue, Swindon", "SN2 1AB", "GBP"},
            {"COLOUR", "Colourcoat Paints", "Kiln Road, Stoke", "ST4 2RS", "GBP"}});
  WriteAll(connection, tables, names.SystemCodes(),
           {{"005", "S", "Standard rate"},
            {"005", "R", "Reduced rate"},
            {"005", "Z", "Zero rated"},
            {"005", "E", "Exempt"},
            {"019", "CARTON", "Carton"},
            {"019", "PALLET", "Pallet"},
            {"019", "BAG", "Bag"},
            {"019", "DRUM", "Drum"},
            {"019", "TUBE", "Tube"}});
  WriteAll(connection, tables, names.PurchaseGlKeys(),
           {{"P01", "Purchases - stock"},
            {"P02", "Purchases - consumables"},
            {"P03", "Carriage inwards"}});
  WriteAll(connection, tables, names.StockGlXrefs(),
           {{"S01", "Stock - raw materials"},
            {"S02", "Stock - finished goods"},
            {"S03", "Stock - consumables"}});
  WriteAll(connection, tables, names.ExpenseCodes(),
           {{"MAINT", "Maintenance"},
            {"PROJ-100", "Project 100 - warehouse fit-out"},
            {"ADMIN", "Administration"}});
  if (erp_version >= 7)
    WriteAll(connection, tables, names.ReplenishCategories(),
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
  WriteAll(connection, tables, names.Bins(), bins);
}

void WriteStock(const std::shared_ptr<Connection>& connection,
                const std::vector<ErpSchema::Table>& tables, int erp_version, int rows) {
  TableCatalogue names;
  Sequence random(20240601 + static_cast<std::uint64_t>(erp_version));

  TableWriter stock(connection, ErpSchema::FindTable(tables, names.StockMaster()));
  const bool split_key = erp_version >= 6;
  TableWriter extension(connection, ErpSchema::FindTable(tables, names.StockExtension()));
  TableWriter ec(connection, ErpSchema::FindTable(tables, names.StockEc()));
  TableWriter expense(connection, ErpSchema::FindTable(tables, names.StockExpense()));
  TableWriter pages(connection, ErpSchema::FindTable(tables, names.TechnicalDescription()));

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
    double scale = 1 + static_cast<double>((number / kItems.size()) % kSizes.size()) * 0.35;
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
    NamedValues values = {
        {"warehouse", warehouse},
        {"product", product},
        {"description", description},
        {"long_description", long_description.substr(0, 40)},
        {"alpha", fmt::format("{}{}", item.code, size).substr(0, 10)},
        {"analysis_a", item.group},
        {"analysis_b", number % 5 == 0 ? "TRADE" : ""},
        {"analysis_x_ref", number % 4 == 0 ? "S02" : "S01"},
        {"nominal_key", "N01"},
        {"purchase_key", number % 6 == 0 ? "P02" : "P01"},
        {"unit_code", item.unit},
        {"selling_unit", item.unit},
        {"purchase_unit", item.unit},
        {"despatch_units", item.unit},
        {"purchase_factor", 1.0},
        {"selling_factor", 1.0},
        {"supplier", item.supplier},
        {"last_supplier", item.supplier},
        {"buyer_id", buyers[number % buyers.size()]},
        {"bin_number", bin},
        {"make_or_buy", number % 9 == 0 ? "M" : "B"},
        {"mrp_batching", "Q"},
        {"working_level", "R"},
        {"reorder_freeze", "N"},
        {"std_cost_freeze", "N"},
        {"bulk_item", "N"},
        {"batch_traceability", number % 8 == 0 ? "B" : "N"},
        {"vat_inclusive", "N"},
        {"stock_vat_type", "S"},
        {"qty_decimal_places", std::string(item.unit) == "M" ? "2" : "0"},
        {"standard_material", material},
        {"standard_labour", labour},
        {"standard_overhead", overhead},
        {"standard_subcontra", subcontract},
        {"standard_cost", standard},
        {"current_material", current_material},
        {"current_labour", labour},
        {"current_overhead", overhead},
        {"current_subcontrac", subcontract},
        {"current_cost", current},
        {"price", std::round(standard * 1.65 * 100) / 100},
        {"wholesale_price", std::round(standard * 1.35 * 100) / 100},
        {"physical_qty", physical},
        {"allocated_qty", allocated},
        {"on_order_qty", static_cast<double>(random.Between(0, 4) * 10)},
        {"back_order_qty", 0.0},
        {"min_stock_level", min_level},
        {"maximum_stock_leve", min_level * 6},
        {"safety_stock_level", min_level / 2},
        {"economic_reorder_q", min_level * 3},
        {"lead_time", static_cast<double>(random.Between(2, 21))},
        {"review_days", 7.0},
        {"stock_take_toleran", number % 10 == 0 ? 5.0 : -1.0},
        {"inspection_yield", 100.0},
        {"pr_yield", 100.0},
        {"inspect_cycle", static_cast<std::int32_t>(number % 4)},
        {"weight", std::round(item.cost * 0.4 * scale * 1000) / 1000},
        {"packaging", number % 3 == 0 ? "CARTON" : "BAG"},
        {"catalogue_number", fmt::format("CAT-{:05}", 10000 + number * 7)},
        {"last_revalue", OleDate{revalued}},
        {"stock_date", OleDate{revalued + random.Between(30, 300)}},
        {"issue_date", physical > 0 ? Variant(OleDate{revalued + random.Between(100, 330)})
                                    : Variant::MakeNull()},
        {"delivery_date", Variant::MakeNull()},
        {"period_demand01", static_cast<double>(random.Between(0, 120))},
        {"period_demand02", static_cast<double>(random.Between(0, 120))},
        {"period_demand03", static_cast<double>(random.Between(0, 120))},
        {"year_to_date01", std::round(standard * random.Between(50, 900) * 100) / 100},
        {"year_to_date02", static_cast<double>(random.Between(50, 900))},
        {"month_to_date01", std::round(standard * random.Between(0, 80) * 100) / 100},
        {"month_to_date02", static_cast<double>(random.Between(0, 80))},
        {"supersession", superseded ? "01" + product_code(number + 1) : ""},
        {"supsession_date", superseded ? Variant(OleDate{revalued + 200}) : Variant::MakeNull()},
        {"alternatives01", alternative ? "01" + product_code(number + 2) : ""},
    };
    if (erp_version >= 7) {
      const std::array<const char*, 4> categories = {"MIN", "ROP", "JIT", "MAN"};
      values.push_back({"replenish_category", categories[number % categories.size()]});
      values.push_back({"held_flag", number % 17 == 5 ? "Y" : "N"});
      values.push_back({"obsolete_flag", number % 23 == 11 ? "Y" : "N"});
    }
    stock.Write(values);

    if (i % 3 == 0)
      extension.WriteAll({warehouse, product, number % 2 ? "IMPORT" : "",
                          number % 5 ? "" : "SEASON", "", number % 2 ? "5%" : "",
                          number % 2 ? "10%" : "", item.unit});
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
      ec.WriteAll(ec_values);
    }
    if (i % 5 == 0) {
      const char* code = number % 2 ? "MAINT" : "PROJ-100";
      if (split_key)
        expense.WriteAll({warehouse, product, code});
      else
        expense.WriteAll({warehouse + product, code});
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
        pages.WriteAll(page_values);
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
