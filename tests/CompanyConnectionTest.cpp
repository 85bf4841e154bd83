#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "records/DemoDatabase.h"
#include "shell/outside/db/CompaniesFile.h"
#include "shell/outside/db/Connection.h"
#include "shell/outside/db/ConnectionManager.h"
#include "tests/DatabaseFixture.h"

namespace orv::test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

// Two demo companies on the backend under test: A (version 6) and B (version 7).
class CompanyConnectionTest : public DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    if (IsSkipped()) return;
    second_ = std::make_unique<ScratchDatabase>(GetParam());
    companies_ = scratch_->Folder() / "companies.toml";
    for (auto [code, scratch, version] :
         {std::tuple{"A", scratch_.get(), 6}, std::tuple{"B", second_.get(), 7}}) {
      Connection connection;
      connection.Open(scratch->Target());
      DemoDatabase::Build(connection, {version, 4, false});
      CompaniesFile file = CompaniesFile::Load(companies_);
      file.Register({code, std::string("Company ") + code, scratch->Target().location}, false);
      file.Save(companies_);
    }
    manager_.SetCompaniesFile(companies_);
  }

  std::unique_ptr<ScratchDatabase> second_;
  std::filesystem::path companies_;
  ConnectionManager manager_;
};

TEST_P(CompanyConnectionTest, WorkbookCompanyWinsAndSwitchingReopens) {
  auto connection = manager_.Connection();
  ASSERT_TRUE(connection);
  EXPECT_FALSE(manager_.IsOpen());

  // No "sage_company" range: the default company (the first registered).
  EXPECT_EQ(manager_.OpenForWorkbook(std::nullopt), connection);
  EXPECT_EQ(manager_.OpenCompany(), "A");
  EXPECT_EQ(connection->SystemInfo().Version(), 6);
  EXPECT_FALSE(manager_.CompanyFromSheet());

  // A workbook naming B: closed and reopened on B; same connection object.
  manager_.OpenForWorkbook(std::string("b"));
  EXPECT_TRUE(manager_.CompanyFromSheet());
  EXPECT_EQ(manager_.OpenCompany(), "B");
  EXPECT_EQ(connection->SystemInfo().Version(), 7);

  // Back to a workbook without the range: the connection is closed first and the manager chooses.
  manager_.SetChosenCompany("B");  // orvstock --company B
  manager_.OpenForWorkbook(std::nullopt);
  EXPECT_FALSE(manager_.CompanyFromSheet());
  EXPECT_EQ(manager_.OpenCompany(), "B");
  // A workbook naming A still wins over --company.
  manager_.OpenForWorkbook(std::string("A"));
  EXPECT_EQ(manager_.OpenCompany(), "A");

  manager_.Close();
  EXPECT_FALSE(connection->IsOpen());
  EXPECT_EQ(manager_.OpenCompany(), "");
}

TEST_P(CompanyConnectionTest, SwitchingBetweenSheetsClosesBeforeReopening) {
  auto ado = manager_.Connection()->AdoConnection();
  manager_.OpenForWorkbook(std::string("A"));
  auto first = ado->Session();
  manager_.OpenForWorkbook(std::string("A"));  // another workbook naming A: kept open
  EXPECT_EQ(ado->Session(), first);
  // A workbook without the range after one with it: closed and opened again, although the
  // manager's own choice (the default) is the same company A.
  manager_.OpenForWorkbook(std::nullopt);
  EXPECT_EQ(manager_.OpenCompany(), "A");
  auto second = ado->Session();
  EXPECT_NE(second, first);
  manager_.OpenForWorkbook(std::nullopt);
  EXPECT_EQ(ado->Session(), second);
  manager_.OpenForWorkbook(std::string("A"));  // and the other way round
  EXPECT_NE(ado->Session(), second);

  // Work left uncommitted when the connection is closed for the switch is rolled back.
  manager_.Connection()->BeginTrans();
  ado->Execute("DELETE FROM " + manager_.Connection()->TableCatalogue().Bins());
  manager_.OpenForWorkbook(std::nullopt);
  EXPECT_GT(Count(*manager_.Connection(), manager_.Connection()->TableCatalogue().Bins()), 0);
}

TEST_P(CompanyConnectionTest, ChangeConnectionAsksThePicker) {
  std::vector<std::string> offered;
  auto cancel = [&](const std::vector<CompanyEntry>& list) -> std::optional<std::string> {
    for (const auto& entry : list) offered.push_back(entry.code);
    return std::nullopt;
  };
  EXPECT_FALSE(manager_.ChangeConnection(cancel));
  EXPECT_EQ(offered, (std::vector<std::string>{"A", "B"}));
  EXPECT_FALSE(manager_.IsOpen());

  EXPECT_TRUE(manager_.ChangeConnection([](const auto&) { return std::string("B"); }));
  EXPECT_EQ(manager_.OpenCompany(), "B");
  EXPECT_EQ(manager_.ChosenCompany(), "B");
  manager_.Close();
  manager_.Open();
  EXPECT_EQ(manager_.OpenCompany(), "B");  // the choice holds for the run

  auto unknown = Caught([&] { manager_.ChangeConnection([](const auto&) { return "ZZ"; }); });
  EXPECT_EQ(unknown.Number(), ConnectionManager::kUnknownCompany);
  EXPECT_TRUE(manager_.CanChooseCompany());
  EXPECT_EQ(manager_.CompanyList().size(), 2u);
}

TEST_P(CompanyConnectionTest, BadCompaniesAndDatabasesGiveClearErrors) {
  manager_.SetChosenCompany("NOPE");
  auto unknown = Caught([&] { manager_.Open(); });
  EXPECT_EQ(unknown.Number(), ConnectionManager::kUnknownCompany);
  EXPECT_THAT(unknown.Description(), HasSubstr("NOPE"));
  EXPECT_THAT(unknown.Description(), HasSubstr("A, B"));
  manager_.SetChosenCompany("");

  // A database without the system table.
  {
    Connection connection;
    connection.Open(scratch_->Target());
    connection.Execute("DROP TABLE scheme.sysinfom");
  }
  auto no_system = Caught([&] { manager_.Open(); });
  EXPECT_THAT(no_system.Description(), HasSubstr("Company A"));
  EXPECT_THAT(no_system.Description(), HasSubstr("system table scheme.sysinfom"));
  EXPECT_FALSE(manager_.IsOpen());
  EXPECT_EQ(no_system.Number(), SystemInfo::kNoSystemTable);

  // An ERP version the program does not know.
  {
    Connection connection;
    connection.Open(second_->Target());
    connection.Execute("UPDATE scheme.sysinfom SET erp_version = 9");
  }
  manager_.SetCompanyCode("B");
  auto version = Caught([&] { manager_.Open(); });
  EXPECT_THAT(version.Description(), HasSubstr("ERP version 9"));
  EXPECT_EQ(version.Number(), SystemInfo::kUnknownVersion);
  EXPECT_FALSE(manager_.IsOpen());
}

INSTANTIATE_TEST_SUITE_P(Databases, CompanyConnectionTest, AllBackends(), BackendName);

class CompaniesFileTest : public ::testing::Test {
 protected:
  void SetUp() override { scratch_ = std::make_unique<ScratchDatabase>(Backend::SQLite); }
  std::filesystem::path File() const { return scratch_->Folder() / "companies.toml"; }
  std::unique_ptr<ScratchDatabase> scratch_;
};

TEST_F(CompaniesFileTest, MalformedFilesNameTheFault) {
  WriteBytes(File(), "default = \"X\"\n[companies.X\ndatabase = 1\n");
  auto syntax = Caught([&] { CompaniesFile::Load(File()); });
  EXPECT_EQ(syntax.Number(), CompaniesFile::kMalformed);
  EXPECT_THAT(syntax.Description(), HasSubstr(File().string()));
  EXPECT_THAT(syntax.Description(), HasSubstr("line 2"));

  WriteBytes(File(), "[companies.X]\ndescription = \"no database\"\n");
  EXPECT_THAT(Caught([&] { CompaniesFile::Load(File()); }).Description(),
              HasSubstr("company X has no \"database\""));
  WriteBytes(File(), "default = \"Y\"\n[companies.X]\ndatabase = \"x.db\"\n");
  EXPECT_THAT(Caught([&] { CompaniesFile::Load(File()); }).Description(),
              HasSubstr("default company Y is not listed"));

  ConnectionManager manager;
  manager.SetCompaniesFile(File());
  EXPECT_EQ(Caught([&] { manager.Open(); }).Number(), CompaniesFile::kMalformed);
}

TEST_F(CompaniesFileTest, RegisterKeepsOtherCompaniesAndResolvesRelativePaths) {
  WriteBytes(File(),
             "default = \"main\"\n[companies.MAIN]\ndescription = \"Main\"\n"
             "database = \"data/main.db\"\n");
  CompaniesFile file = CompaniesFile::Load(File());
  ASSERT_EQ(file.Companies().size(), 1u);
  EXPECT_EQ(file.DefaultCompany(), "MAIN");
  EXPECT_EQ(file.Companies()[0].database, (scratch_->Folder() / "data/main.db").string());
  file.Register({"PG", "Server", "host=db1 dbname=erp password=secret"}, false);
  file.Save(File());

  CompaniesFile again = CompaniesFile::Load(File());
  ASSERT_EQ(again.Companies().size(), 2u);
  EXPECT_EQ(again.DefaultCompany(), "MAIN");
  ASSERT_NE(again.Find("pg"), nullptr);
  EXPECT_EQ(again.Find("pg")->database, "host=db1 dbname=erp password=secret");
  EXPECT_THAT(again.Find("PG")->Target().Display(), Not(HasSubstr("secret")));
}

TEST_F(CompaniesFileTest, SavingKeepsCommentsOtherEntriesAndTheirSpelling) {
  const std::string original =
      "# my companies\n"
      "default = 'MAIN'  # the usual one\n"
      "\n"
      "[companies.MAIN]\n"
      "# the server; ask IT before changing\n"
      "database = \"host=db1 dbname=erp password='a b'\"\n"
      "description = 'Main'\n"
      "\n"
      "# the old test company\n"
      "[companies.\"OLD\"]\n"
      "database = 'old.db'\n";
  WriteBytes(File(), original);
  CompaniesFile file = CompaniesFile::Load(File());
  file.Register({"NEW", "New one", "/data/new.db"}, false);
  file.Save(File());
  std::string saved = ReadBytes(File());
  EXPECT_EQ(saved.rfind(original, 0), 0u) << saved;
  CompaniesFile again = CompaniesFile::Load(File());
  ASSERT_NE(again.Find("NEW"), nullptr);
  EXPECT_EQ(again.Find("NEW")->database, "/data/new.db");
  EXPECT_EQ(again.DefaultCompany(), "MAIN");

  // Re-pointing a company changes its own lines only.
  again.Register({"OLD", "Renamed \"old\"", "/data/o'ld.db"}, true);
  again.Save(File());
  saved = ReadBytes(File());
  EXPECT_THAT(saved, HasSubstr("# the old test company\n"));
  EXPECT_THAT(saved, HasSubstr("# the server; ask IT before changing\n"));
  EXPECT_THAT(saved, HasSubstr("[companies.NEW]"));
  EXPECT_THAT(saved, Not(HasSubstr("old.db'")));
  auto third = CompaniesFile::Load(File());
  EXPECT_EQ(third.DefaultCompany(), "OLD");
  EXPECT_EQ(third.Find("OLD")->database, "/data/o'ld.db");
  EXPECT_EQ(third.Find("OLD")->description, "Renamed \"old\"");
  EXPECT_EQ(third.Find("MAIN")->database, "host=db1 dbname=erp password='a b'");
  EXPECT_EQ(third.Companies().size(), 3u);
}

TEST_F(CompaniesFileTest, MissingFilesAndUnreachableServersAreClearErrors) {
  CompaniesFile file;
  file.Register({"GONE", "", (scratch_->Folder() / "gone.db").string()}, true);
  file.Register({"DOWN", "", "host=127.0.0.1 port=1 dbname=erp user=me password=hunter2"}, false);
  file.Save(File());
  ConnectionManager manager;
  manager.SetCompaniesFile(File());

  auto missing = Caught([&] { manager.Open(); });
  EXPECT_THAT(missing.Description(), HasSubstr("gone.db"));
  EXPECT_THAT(missing.Description(), HasSubstr("does not exist"));
  EXPECT_FALSE(std::filesystem::exists(scratch_->Folder() / "gone.db"));  // never created

  manager.SetChosenCompany("DOWN");
  auto down = Caught([&] { manager.Open(); });
  EXPECT_THAT(down.Description(), HasSubstr("Company DOWN"));
  EXPECT_THAT(down.Description(), HasSubstr("Cannot open the database"));
  EXPECT_THAT(down.Description(), Not(HasSubstr("hunter2")));
  EXPECT_THAT(down.Source(), Not(HasSubstr("hunter2")));
  // libpq's complaint about a string it cannot read may quote it: not even that is shown.
  file.Register({"BROKEN", "", "host=127.0.0.1 port=1 dbname=erp password hunter2"}, false);
  file.Save(File());
  manager.SetChosenCompany("BROKEN");
  auto broken = Caught([&] { manager.Open(); });
  EXPECT_THAT(broken.Description(), HasSubstr("cannot read"));
  EXPECT_THAT(broken.Description(), Not(HasSubstr("hunter2")));

  // Only the owner may read a file that may hold passwords.
  auto perms = std::filesystem::status(File()).permissions();
  EXPECT_EQ(perms & (std::filesystem::perms::group_all | std::filesystem::perms::others_all),
            std::filesystem::perms::none);

  // A file that is not a database.
  WriteBytes(scratch_->Folder() / "notes.db", "shopping list: bolts, nuts\n");
  file.Register({"NOTES", "", (scratch_->Folder() / "notes.db").string()}, false);
  file.Save(File());
  manager.SetChosenCompany("NOTES");
  auto notes = Caught([&] { manager.Open(); });
  EXPECT_THAT(notes.Description(), HasSubstr("Cannot open the database"));
  EXPECT_THAT(notes.Description(), HasSubstr("notes.db"));

  std::filesystem::remove(File());
  auto none = Caught([&] { manager.Open(); });
  EXPECT_EQ(none.Number(), ConnectionManager::kNoCompany);
}

}  // namespace
}  // namespace orv::test
