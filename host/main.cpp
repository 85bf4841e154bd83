#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include <unistd.h>

#include "host/ExtractRequest.h"
#include "host/HostProfile.h"
#include "host/HostSession.h"
#include "host/TemplateCommand.h"
#include "options/clsOrvStockExOptions.h"
#include "records/DemoDatabase.h"
#include "shell/DllExports.h"
#include "shell/_clsOrvStockEx.h"
#include "shell/outside/base/AppError.h"
#include "shell/outside/base/ErrorState.h"
#include "shell/outside/base/FatalSignalCleanup.h"
#include "shell/outside/com/ComPtr.h"
#include "shell/outside/com/ComRegistry.h"
#include "shell/outside/db/CompaniesFile.h"
#include "shell/outside/db/Connection.h"
#include "shell/outside/db/DatabaseTarget.h"
#include "shell/outside/ui/UserInterface.h"
#include "shell/outside/xlsx/Application.h"
#include "shell/outside/xlsx/Range.h"
#include "techdesc/_clsSTTechDescEx.h"

namespace {

std::string WithLineFeeds(std::string text) {
  for (auto at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at))
    text.erase(at, 1);
  return text;
}

int Registration(bool do_register, const std::filesystem::path& file) {
  if (!do_register && !file.empty() && std::filesystem::exists(file)) {
    orv::ComRegistry registry(file);
    if (!registry.ClsidFromProgId(orv::kStockProgId) &&
        !registry.ClsidFromProgId(orv::kTechDescProgId)) {
      std::cout << "Nothing to unregister: " << file.string()
                << " registers no OrvStockExcel component\n";
      return 0;
    }
  } else if (!do_register) {
    std::cout << "Nothing to unregister: there is no " << file.string() << '\n';
    return 0;
  }
  orv::HRESULT result =
      do_register ? DllRegisterServer(file.c_str()) : DllUnregisterServer(file.c_str());
  if (result != orv::S_OK) {
    std::cerr << "orvstock: " << orv::ModuleErrorState().description << '\n';
    return 1;
  }
  std::cout << (do_register ? "Registered " : "Unregistered ") << orv::kStockProgId << " and "
            << orv::kTechDescProgId << (do_register ? " in " : " from ") << file.string() << '\n';
  return 0;
}

int CreateDemo(const std::string& target, const orv::DemoDatabase::Options& options,
               const std::string& code, const std::filesystem::path& file) {
  try {
    auto company = orv::DemoDatabase::CreateAndRegister(orv::DatabaseTarget::Parse(target), options,
                                                        file, code);
    std::cout << "Created company " << company.code << " (ERP version " << options.erp_version
              << ", " << options.rows << " stock records) in " << company.Target().Display()
              << "\nRegistered in " << file.string() << '\n';
    return 0;
  } catch (const orv::AppError& error) {
    std::cerr << "orvstock: " << error.Description()
              << (error.Number() == orv::DemoDatabase::kAlreadyThere ? " with --force" : "")
              << '\n';
    return 1;
  } catch (const std::exception& error) {
    std::cerr << "orvstock: " << error.what() << '\n';
    return 1;
  }
}

int ListCompanies(const std::filesystem::path& path) {
  try {
    auto file = orv::CompaniesFile::Load(path);
    for (const auto& company : file.Companies())
      std::cout << (company.code == file.DefaultCompany() ? "* " : "  ") << company.code << '\t'
                << company.description << '\t' << company.Target().Display() << '\n';
    if (file.Companies().empty()) std::cout << "No companies in " << path.string() << '\n';
    return 0;
  } catch (const std::exception& error) {
    std::cerr << "orvstock: " << error.what() << '\n';
    return 1;
  }
}

// The stock component's own interface; an AppError when the workbook belongs to another.
orv::ComPtr<orv::_clsOrvStockEx> StockComponent(orv::HostComponent& component, const char* what) {
  orv::ComPtr<orv::_clsOrvStockEx> stock;
  if (component.QueryInterface(orv::IID_clsOrvStockExInterface, stock.Receive()) != orv::S_OK)
    throw orv::AppError(445, "orvstock",
                        std::string("This workbook belongs to a component without ") + what);
  return stock;
}

// The technical description component's own interface; null for the stock component.
orv::ComPtr<orv::_clsSTTechDescEx> TechDescComponent(orv::HostComponent& component) {
  orv::ComPtr<orv::_clsSTTechDescEx> pages;
  if (component.QueryInterface(orv::IID_clsSTTechDescExInterface, pages.Receive()) != orv::S_OK)
    return {};
  return pages;
}

// The options as the options dialog shows them.
void PrintOptions(bool tech_desc, const orv::UserProfile& profile) {
  orv::clsOrvStockExOptions options{orv::SettingsStore(profile.settings_file)};
  if (tech_desc)
    options.RegistrySetting().SetKeyPath(std::string(orv::clsOrvStockExOptions::kTechDescKeyPath));
  auto on = [](bool value) { return value ? "on" : "off"; };
  std::cout << "Ignore Blank Cells ?: " << on(options.OnlyIgnoreBlankCells()) << '\n';
  if (tech_desc) return;
  std::cout << "Show Dropdowns in Stock Download Screen: " << on(options.ShowDropdowns()) << '\n';
  // The readers of the policy take the first that is set, in this order.
  const char* policy = options.DoNotAllow()      ? "Do not allow"
                       : options.Warn()          ? "Warn"
                       : options.AllowWOutWarn() ? "Allow without warning"
                                                 : "none chosen";
  std::cout << "Allow update of existing records: " << policy << '\n';
}

// The number of single-character edits that turn `a` into `b`.
std::size_t EditDistance(const std::string& a, const std::string& b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      std::size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

// A word where a command was expected: name it, and the command it most resembles.
std::optional<std::string> UnknownCommand(CLI::App& app) {
  if (!app.get_subcommands().empty()) return std::nullopt;
  for (const auto& word : app.remaining()) {
    if (word.empty() || word.front() == '-') continue;
    std::string nearest;
    std::size_t best = 3;  // further than two edits is no likely typing slip
    for (const auto* command : app.get_subcommands([](CLI::App*) { return true; })) {
      auto distance = EditDistance(word, command->get_name());
      if (distance < best) best = distance, nearest = command->get_name();
    }
    return "unknown command '" + word + "'" +
           (nearest.empty() ? std::string() : "; did you mean '" + nearest + "'?");
  }
  return std::nullopt;
}

int Run(int argc, char** argv);

}  // namespace

// Whatever goes wrong is reported and ends the run with status 1; nothing escapes to abort().
int main(int argc, char** argv) {
  orv::FatalSignalCleanup::Install();
  // The command runs each connection on its main thread only.
  orv::Connection::OneThreadPerConnection();
  try {
    return Run(argc, argv);
  } catch (const orv::AppError& error) {
    std::cerr << "orvstock: " << error.Description() << '\n';
  } catch (const std::exception& error) {
    std::cerr << "orvstock: " << error.what() << '\n';
  } catch (...) {
    std::cerr << "orvstock: an unexpected error ended the run\n";
  }
  return 1;
}

namespace {

int Run(int argc, char** argv) {
  CLI::App app{
      "orvstock: keep an ERP database's stock master file in the named ranges of an .xlsx "
      "workbook.\nExit status: 0 success, 1 the action reported an error, 2 usage error."};
  app.require_subcommand(1);

  orv::HostSession::Options options;
  std::vector<std::string> answers;
  bool tech_desc = false;
  app.add_option("--answer", answers,
                 "Answer the next question or dialog action without asking (repeatable, in order): "
                 "OK, Cancel, Yes, No, NAME=VALUE, a button's name, or close");
  app.add_flag("--techdesc", tech_desc,
               "Work with the technical description component instead of the stock component");
  app.add_option("--progid", options.prog_id, "Create the component registered under this ProgID");
  app.add_option("--sheet", options.sheet, "Make this sheet the active one");
  app.add_option("--cell", options.cell, "Make this cell (B5) the active cell of the active sheet");
  std::filesystem::path companies_option;
  app.add_option("--config", companies_option,
                 "Companies file to use for this run (instead of $ORVSTOCK_COMPANIES or the "
                 "profile's companies.toml)");
  app.add_option("--company", options.company,
                 "Company to work with (a workbook's sage_company cell still wins)");
  app.add_flag("--verbose", options.verbose,
               "Show with each error its number and the routines it passed through");

  auto* about = app.add_subcommand("about", "Show the component's about box");
  auto* version = app.add_subcommand("version", "Print the versions of the library and its layers");
  auto* help_page = app.add_subcommand("help", "Open the help page");
  auto* demo_db = app.add_subcommand(
      "demo-db", "Create a demo company database (SQLite file or PostgreSQL connection string)");
  std::string demo_target;
  std::string demo_code = "DEMO";
  orv::DemoDatabase::Options demo_options;
  demo_db->add_option("TARGET", demo_target, "SQLite file to create, or a PostgreSQL connection")
      ->required();
  demo_db->add_option("--erp-version", demo_options.erp_version, "ERP version of the schema")
      ->check(CLI::Range(5, 7));
  demo_db->add_option("--rows", demo_options.rows, "Number of stock records")
      ->check(CLI::Range(0, 10000000));
  demo_db->add_option("--code", demo_code, "Company code to register it under");
  demo_db->add_flag("--force", demo_options.replace,
                    "Replace an existing database, and re-point a company code already registered");
  orv::TemplateCommand template_command;
  auto* make_template = app.add_subcommand(
      "template", "Create a workbook with the ranges you pick (names or group keys; all if none)");
  make_template->add_option("FILE", template_command.file, "Workbook to create (.xlsx)");
  make_template->add_option("RANGES", template_command.picks, "Range names or group keys");
  make_template->add_flag("--list", template_command.list,
                          "List the catalogue: groups, ranges, headings, types and lengths");
  make_template->add_option("--rows", template_command.rows, "Data rows (default 500)")
      ->check(CLI::Range(1, 1000000));
  make_template
      ->add_option("--erp-version", template_command.erp_version,
                   "Include the ranges of this ERP version (default 7)")
      ->check(CLI::Range(5, 7));
  make_template->add_flag("--replace", template_command.replace, "Replace an existing file");
  make_template->add_flag("--techdesc", tech_desc,
                          "A page workbook of the technical description component: Warehouse "
                          "and Product header cells above the page rows");

  orv::ExtractRequest extract_request;
  auto* extract = app.add_subcommand(
      "extract",
      "Download stock records into a workbook's ranges (the download dialog's choices "
      "as flags; a choice not given is the one remembered from the last download, one given "
      "empty ('') is cleared); on a page "
      "workbook, the pages of its stock item (--listed-pages or --all-pages)");
  extract->add_option("WORKBOOK", options.workbook, "The workbook (.xlsx)")->required();
  std::string filters[4];
  auto* from_warehouse = extract->add_option("--from-warehouse", filters[0],
                                             "First warehouse (alone: that warehouse only)");
  auto* to_warehouse = extract->add_option("--to-warehouse", filters[1], "Last warehouse");
  auto* from_product =
      extract->add_option("--from-product", filters[2], "First product (alone: that product only)");
  auto* to_product = extract->add_option("--to-product", filters[3], "Last product");
  bool take_all = false;
  auto* all =
      extract->add_flag("--all", take_all, "Every warehouse and product: clears the four filters");
  for (auto* filter : {from_warehouse, to_warehouse, from_product, to_product})
    all->excludes(filter);
  std::vector<CLI::Option*> stock_choices = {from_warehouse, to_warehouse, from_product, to_product,
                                             all};
  auto* clear = extract->add_flag("--clear", extract_request.clear,
                                  "Clear the ranges first (confirms the cleardown unless "
                                  "--answer says otherwise)");
  auto* append =
      extract->add_flag("--append", extract_request.append, "Append below the last filled row");
  auto* at_cell = extract->add_option("--at-cell", extract_request.at_cell,
                                      "Start at this cell's row (B5); with --all-pages, below it");
  clear->excludes(append)->excludes(at_cell);
  append->excludes(at_cell);
  auto* only_rows = extract->add_flag("--only-sheet-rows", extract_request.only_sheet_rows,
                                      "Refresh only the rows already on the sheet");
  only_rows->excludes(clear)->excludes(append)->excludes(at_cell);
  bool listed_pages = false;
  bool all_pages = false;
  auto* listed_pages_flag =
      extract->add_flag("--listed-pages", listed_pages,
                        "Page workbook: download the pages whose numbers the sheet lists");
  auto* all_pages_flag = extract->add_flag(
      "--all-pages", all_pages,
      "Page workbook: empty the page rows and download every page of the sheet's stock item, "
      "from the first row (with --at-cell, from the row below that cell's)");
  listed_pages_flag->excludes(all_pages_flag)->excludes(at_cell);
  stock_choices.insert(stock_choices.end(), {clear, append, only_rows});
  for (auto* stock_only : stock_choices) {
    listed_pages_flag->excludes(stock_only);
    all_pages_flag->excludes(stock_only);
  }

  auto* upload = app.add_subcommand(
      "upload",
      "Upload the rows of a workbook (stock records, or the pages of a page workbook) into the "
      "database in one transaction: all rows or none. "
      "Without a terminal, a question not answered by a flag or --answer is answered Cancel, and "
      "nothing is written");
  upload->add_option("WORKBOOK", options.workbook, "The workbook (.xlsx)")->required();
  bool upload_yes = false;
  bool update_all = false;
  bool continue_warnings = false;
  upload->add_flag("--yes", upload_yes, "Confirm the post without asking");
  upload->add_flag("--update-all", update_all,
                   "Answer \"Update All\" when a stock record exists already");
  upload->add_flag("--continue-warnings", continue_warnings,
                   "Answer \"Yes To All\" to the purchase G/L, stock G/L, buyer and product "
                   "group warnings");
  upload->add_flag("--check", options.upload_check,
                   "Check every row without writing anything: name each failing row and each "
                   "warning, then what the upload would add and update (exit 1 when a row fails)");
  std::string target_cell;
  std::vector<std::string> picks;
  auto* browse = app.add_subcommand(
      "browse",
      "Show the picker of a cell (a code list, the calendar, the company list or the stock "
      "browse) and write the choice into the workbook");
  browse->add_option("WORKBOOK", options.workbook, "The workbook (.xlsx)")->required();
  browse->add_option("--cell", target_cell, "The cell to browse (C7)")->required();
  browse
      ->add_option("--pick", picks,
                   "Choose this without asking: a code, a date (dd/mm/yyyy), a company, or a "
                   "stock record as \"WAREHOUSE PRODUCT\" (repeat to download several stock "
                   "records from a Product cell)")
      ->allow_extra_args(false);
  browse->add_option("--search", options.picker_search,
                     "Open the list on this search instead of the cell's text");

  auto* view = app.add_subcommand(
      "view", "Print the stock record named by the Warehouse and Product cells of a cell's row");
  view->add_option("WORKBOOK", options.workbook, "The workbook (.xlsx)")->required();
  view->add_option("--cell", target_cell, "A Warehouse or Product cell of the row (B5)")
      ->required();

  std::string ignore_blank_cells, dropdowns, existing_records;
  auto* options_command = app.add_subcommand(
      "options",
      "Show the options of the stock component (of the technical description component with "
      "--techdesc), and change those given; with none given on a terminal, the options dialog "
      "asks");
  options_command
      ->add_option("--ignore-blank-cells", ignore_blank_cells,
                   "on: a blank cell leaves its field as it is on upload")
      ->check(CLI::IsMember({"on", "off"}));
  auto* dropdowns_option =
      options_command
          ->add_option("--dropdowns", dropdowns,
                       "on: the download dialog lists the warehouses and products to pick from")
          ->check(CLI::IsMember({"on", "off"}));
  auto* existing_option =
      options_command
          ->add_option("--existing-records", existing_records,
                       "Uploading a record that exists: deny, warn (ask), or allow")
          ->check(CLI::IsMember({"deny", "warn", "allow"}));
  options_command->add_flag("--techdesc", tech_desc,
                            "The options of the technical description component");

  bool yes = false;
  auto* clear_command = app.add_subcommand(
      "clear", "Clear the data cells of every range of the workbook (asks first)");
  clear_command->add_option("WORKBOOK", options.workbook, "The workbook (.xlsx)")->required();
  clear_command->add_flag("--yes", yes, "Confirm the cleardown without asking");

  auto* companies = app.add_subcommand("companies", "List the companies of the companies file");
  auto* do_register =
      app.add_subcommand("register", "Register the components for this user (done on first use)");
  auto* do_unregister = app.add_subcommand("unregister", "Remove this user's registration");

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& help) {
    return app.exit(help);
  } catch (const CLI::ParseError& error) {
    if (auto unknown = UnknownCommand(app)) {
      std::cerr << "orvstock: " << *unknown << "\nRun with --help for the commands.\n";
      return 2;
    }
    app.exit(error);
    return 2;
  }
  std::optional<std::string>* chosen[] = {
      &extract_request.from_warehouse, &extract_request.to_warehouse, &extract_request.from_product,
      &extract_request.to_product};
  CLI::Option* given[] = {from_warehouse, to_warehouse, from_product, to_product};
  for (int i = 0; i < 4; ++i)
    if (given[i]->count() > 0) *chosen[i] = filters[i];
  if (take_all) extract_request.TakeAll();

  const orv::UserProfile profile = orv::HostProfile::FromProcess(companies_option);
  if (*do_register) return Registration(true, profile.registration_file);
  if (*do_unregister) return Registration(false, profile.registration_file);

  if (*demo_db) return CreateDemo(demo_target, demo_options, demo_code, profile.companies_file);
  if (*companies) return ListCompanies(profile.companies_file);

  if (*make_template) {
    template_command.tech_desc = tech_desc || options.prog_id == orv::kTechDescProgId;
    return template_command.Run();
  }

  if (tech_desc && options.prog_id.empty()) options.prog_id = orv::kTechDescProgId;
  if (*browse || *view) options.cell = target_cell;
  if (*browse) {
    for (const auto& pick : picks) options.answers.push_back("pick=" + pick);
    if (!picks.empty()) options.answers.push_back("cmdOK");
  }
  if (*clear_command && yes) options.answers.push_back("OK");
  const bool tech_options = *options_command && options.prog_id == orv::kTechDescProgId;
  if (tech_options && (*dropdowns_option || *existing_option)) {
    std::cerr << "orvstock: the technical description component has only --ignore-blank-cells\n";
    return 2;
  }
  const bool options_given =
      !ignore_blank_cells.empty() || !dropdowns.empty() || !existing_records.empty();
  // Nobody to ask and nothing to change: the options are only shown.
  if (*options_command && !options_given && answers.empty() && !::isatty(STDIN_FILENO)) {
    try {
      PrintOptions(tech_options, profile);
      return 0;
    } catch (const orv::AppError& error) {
      std::cerr << "orvstock: " << error.Description() << '\n';
      return 1;
    }
  }
  if (*options_command && options_given) {
    if (!ignore_blank_cells.empty())
      options.answers.push_back("chkIgnoreBlankCells=" + ignore_blank_cells);
    if (!dropdowns.empty()) options.answers.push_back("chkShowStockDwnload=" + dropdowns);
    if (existing_records == "deny") options.answers.push_back("optDoNotAllow");
    if (existing_records == "warn") options.answers.push_back("optWarn");
    if (existing_records == "allow") options.answers.push_back("optAllowWidWarn");
    options.answers.push_back("cmdOK");
  }
  const bool page_choice = listed_pages || all_pages;
  if (*extract) {
    if (!extract_request.at_cell.empty()) options.cell = extract_request.at_cell;
    // With no choice given on a terminal the dialog asks; otherwise it takes the given choices
    // (and the remembered ones) and OK.
    if (page_choice) {
      options.answers = {listed_pages ? "chkSelectRngs=1" : "chkSelectRngs=0", "cmdOk"};
    } else if (extract_request.AnyChoice() || !::isatty(STDIN_FILENO)) {
      orv::clsOrvStockExOptions remembered{orv::SettingsStore(profile.settings_file)};
      options.answers = extract_request.DialogActions(remembered.ShowDropdowns());
      if (extract_request.clear && answers.empty()) options.answers.push_back("OK");
    }
  }
  if (*upload) {
    if (upload_yes) options.standing_answers["frmPostConfirm"] = "cmdOk";
    if (update_all) options.standing_answers["RecordExists"] = "UpdateAll";
    if (continue_warnings) {
      options.standing_answers["frmConfirmContinue"] = "cmdYesToAll";
      options.standing_answers["frmGroupContinue"] = "cmdBtnYesToAll";
    }
  }
  options.answers.insert(options.answers.end(), answers.begin(), answers.end());
  const std::string workbook_name = options.workbook.string();
  const bool tech_component = options.prog_id == orv::kTechDescProgId;
  orv::HostSession session(std::move(options), profile);
  if (*about) return session.Run([](orv::HostComponent& component) { component.About(); });
  if (*help_page)
    return session.Run([](orv::HostComponent& component) {
      orv::ComPtr<orv::_clsOrvStockEx> stock;
      if (component.QueryInterface(orv::IID_clsOrvStockExInterface, stock.Receive()) != orv::S_OK)
        throw orv::AppError(orv::VbError::kActionNotSupported, "orvstock",
                            "This component has no help page");
      stock->ShowHelpFile();
    });
  if (*extract) {
    session.Site().download_at_active_cell = !extract_request.at_cell.empty();
    const bool nobody_asks = !::isatty(STDIN_FILENO);
    return session.Run([&](orv::HostComponent& component) {
      auto pages = TechDescComponent(component);
      if (!pages) {
        if (page_choice)
          throw orv::AppError(445, "orvstock",
                              "--listed-pages and --all-pages are for a page workbook; this "
                              "one holds stock records");
        StockComponent(component, "a download")->ExtractStock();
        return;
      }
      // Without a choice of pages the dialog asks, when someone is there to answer it.
      if (!page_choice && (extract_request.AnyChoice() || nobody_asks))
        throw orv::AppError(445, "orvstock",
                            "This is a page workbook: say --listed-pages, or --all-pages (with "
                            "--at-cell to start below a row)");
      pages->DownloadTechnicalDescriptions();
    });
  }
  if (*upload)
    return session.Run([](orv::HostComponent& component) {
      if (auto pages = TechDescComponent(component))
        pages->UploadTechnicalDescriptions();
      else
        StockComponent(component, "an upload")->UploadStock();
    });
  if (*browse) {
    bool available = false;
    int status = session.Run([&](orv::HostComponent& component) {
      orv::Range cell = session.Site().application->ActiveCell();
      available = component.BrowseAvailable(cell);
      // The component says itself why a cell has no browse.
      component.BrowseRanges(cell);
    });
    if (status != 0) return status;
    if (!session.Saved())
      session.Site().ui->Notice("orvstock: nothing was written; " + workbook_name +
                                " was not changed");
    // A cell without a browse, or a pick that was never taken, is not what was asked for.
    return !available || (!picks.empty() && !session.Saved()) ? 1 : 0;
  }
  if (*view)
    return session.Run([&](orv::HostComponent& component) {
      orv::Range cell = session.Site().application->ActiveCell();
      StockComponent(component, "a stock view")->ViewStock(cell);
    });
  if (*clear_command) {
    int status = session.Run([](orv::HostComponent& component) { component.ClearAllRanges(); });
    if (status == 0 && !session.Saved())
      session.Site().ui->Notice("orvstock: " + workbook_name + " was not cleared");
    return status;
  }
  if (*options_command) {
    int status = session.Run([](orv::HostComponent& component) { component.EnterOptions(); });
    if (status == 0) PrintOptions(tech_component, profile);
    return status;
  }
  if (*version)
    return session.Run([](orv::HostComponent& component) {
      std::cout << WithLineFeeds(component.FullVersionDescription()) << '\n';
    });
  return 2;
}

}  // namespace
