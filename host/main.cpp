#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include <unistd.h>

#include "host/ExtractRequest.h"
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
#include "shell/outside/db/ConnectionManager.h"
#include "shell/outside/db/DatabaseTarget.h"
#include "shell/outside/site/UserPaths.h"
#include "techdesc/_clsSTTechDescEx.h"

namespace {

std::string WithLineFeeds(std::string text) {
  for (auto at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at))
    text.erase(at, 1);
  return text;
}

int Registration(bool do_register) {
  orv::ComRegistry registry(orv::UserPaths::RegistrationFile());
  if (!do_register && !registry.ClsidFromProgId(orv::kStockProgId) &&
      !registry.ClsidFromProgId(orv::kTechDescProgId)) {
    std::cout << "Nothing to unregister: " << registry.File().string()
              << " registers no OrvStockExcel component\n";
    return 0;
  }
  orv::HRESULT result = do_register ? DllRegisterServer() : DllUnregisterServer();
  if (result != orv::S_OK) {
    std::cerr << "orvstock: " << orv::ModuleErrorState().description << '\n';
    return 1;
  }
  std::cout << (do_register ? "Registered " : "Unregistered ") << orv::kStockProgId << " and "
            << orv::kTechDescProgId << (do_register ? " in " : " from ")
            << orv::UserPaths::RegistrationFile().string() << '\n';
  return 0;
}

orv::ConnectionManager ManagerFor(const std::filesystem::path& companies_file) {
  orv::ConnectionManager manager;
  if (!companies_file.empty()) manager.SetCompaniesFile(companies_file);
  return manager;
}

int CreateDemo(const std::string& target, const orv::DemoDatabase::Options& options,
               const std::string& code, const std::filesystem::path& companies_file) {
  try {
    auto file = ManagerFor(companies_file).CompaniesFilePath();
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
  }
}

int ListCompanies(const std::filesystem::path& companies_file) {
  try {
    auto path = ManagerFor(companies_file).CompaniesFilePath();
    auto file = orv::CompaniesFile::Load(path);
    for (const auto& company : file.Companies())
      std::cout << (company.code == file.DefaultCompany() ? "* " : "  ") << company.code << '\t'
                << company.description << '\t' << company.Target().Display() << '\n';
    if (file.Companies().empty()) std::cout << "No companies in " << path.string() << '\n';
    return 0;
  } catch (const orv::AppError& error) {
    std::cerr << "orvstock: " << error.Description() << '\n';
    return 1;
  }
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
  app.add_option("--config", options.companies_file, "Companies file to use for this run");
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

  orv::ExtractRequest extract_request;
  auto* extract = app.add_subcommand(
      "extract",
      "Download stock records into a workbook's ranges (the download dialog's choices "
      "as flags; a choice not given is the one remembered from the last download, one given "
      "empty ('') is cleared)");
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
  auto* clear = extract->add_flag("--clear", extract_request.clear,
                                  "Clear the ranges first (confirms the cleardown unless "
                                  "--answer says otherwise)");
  auto* append =
      extract->add_flag("--append", extract_request.append, "Append below the last filled row");
  auto* at_cell =
      extract->add_option("--at-cell", extract_request.at_cell, "Start at this cell's row (B5)");
  clear->excludes(append)->excludes(at_cell);
  append->excludes(at_cell);
  auto* only_rows = extract->add_flag("--only-sheet-rows", extract_request.only_sheet_rows,
                                      "Refresh only the rows already on the sheet");
  only_rows->excludes(clear)->excludes(append)->excludes(at_cell);

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

  if (*do_register) return Registration(true);
  if (*do_unregister) return Registration(false);

  if (*demo_db) return CreateDemo(demo_target, demo_options, demo_code, options.companies_file);
  if (*companies) return ListCompanies(options.companies_file);

  if (*make_template) {
    template_command.tech_desc = tech_desc || options.prog_id == orv::kTechDescProgId;
    return template_command.Run();
  }

  if (tech_desc && options.prog_id.empty()) options.prog_id = orv::kTechDescProgId;
  if (*extract) {
    if (!extract_request.at_cell.empty()) options.cell = extract_request.at_cell;
    // With no choice given on a terminal the dialog asks; otherwise it takes the given choices
    // (and the remembered ones) and OK.
    if (extract_request.AnyChoice() || !::isatty(STDIN_FILENO)) {
      orv::clsOrvStockExOptions remembered;
      options.answers = extract_request.DialogActions(remembered.ShowDropdowns());
      if (extract_request.clear && answers.empty()) options.answers.push_back("OK");
    }
  }
  options.answers.insert(options.answers.end(), answers.begin(), answers.end());
  orv::HostSession session(std::move(options));
  if (*about) return session.Run([](orv::HostComponent& component) { component.About(); });
  if (*help_page)
    return session.Run([](orv::HostComponent& component) {
      orv::ComPtr<orv::_clsOrvStockEx> stock;
      if (component.QueryInterface(orv::IID__clsOrvStockEx, stock.Receive()) != orv::S_OK)
        throw orv::AppError(445, "orvstock", "This component has no help page");
      stock->ShowHelpFile();
    });
  if (*extract)
    return session.Run([](orv::HostComponent& component) {
      orv::ComPtr<orv::_clsOrvStockEx> stock;
      if (component.QueryInterface(orv::IID__clsOrvStockEx, stock.Receive()) != orv::S_OK)
        throw orv::AppError(445, "orvstock",
                            "This workbook belongs to a component without a download");
      stock->ExtractStock();
    });
  if (*version)
    return session.Run([](orv::HostComponent& component) {
      std::cout << WithLineFeeds(component.FullVersionDescription()) << '\n';
    });
  return 2;
}

}  // namespace
