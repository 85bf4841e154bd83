#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "shell/outside/base/AppError.h"
#include "shell/outside/base/FaultPlan.h"
#include "shell/outside/base/ValueConvert.h"
#include "shell/outside/db/Command.h"
#include "shell/outside/db/Connection.h"
#include "shell/outside/db/EditableRecordset.h"
#include "shell/outside/db/PreparedStatement.h"
#include "shell/outside/db/ReadAhead.h"
#include "shell/outside/db/Recordset.h"
#include "shell/outside/db/SavepointGuard.h"
#include "tests/DatabaseFixture.h"

namespace orv::test {
namespace {

using ::testing::HasSubstr;

class DatabaseLayerTest : public DatabaseTest {};

TEST_P(DatabaseLayerTest, PreparedStatementsRunManyTimesWithNewValues) {
  auto connection = OpenEmpty(7);
  const std::string& pages = connection->TableCatalogue().TechnicalDescription();
  PreparedStatement insert;
  insert.SetActiveConnection(connection);
  insert.SetSQL("INSERT INTO " + pages +
                " (warehouse, product, page_number, text01) VALUES (?,?,?,?)");
  insert.AddTextParameter("warehouse", 2);
  insert.AddTextParameter("product", 20);
  insert.AddTextParameter("page_number", 3);
  insert.AddTextParameter("text01", 60);
  insert.SetPrepared(true);

  PreparedStatement read;
  read.SetActiveConnection(connection);
  read.SetSQL("select *  from " + pages + " where warehouse = ? and product = ? and page_number=?");
  read.AddTextParameter("warehouse", 2);
  read.AddTextParameter("product", 20);
  read.AddTextParameter("page_number", 6);
  read.SetPrepared(true);

  for (int i = 1; i <= 40; ++i) {
    insert.SetTextParameter("warehouse", i % 2 ? "01" : "02");
    insert.SetTextParameter("product", "P" + std::to_string(i) + "  ");  // trailing blanks kept
    insert.SetTextParameter("page_number", "001");
    insert.SetTextParameter("text01", "line of page " + std::to_string(i));
    insert.GetCommand().Execute();
  }
  EXPECT_EQ(Count(*connection, pages), 40);
  for (int i : {1, 17, 40}) {
    read.SetTextParameter("warehouse", i % 2 ? "01" : "02");
    read.SetTextParameter("product", "P" + std::to_string(i) + "  ");
    read.SetTextParameter("page_number", "001");
    Recordset found = read.GetCommand().Execute();
    ASSERT_FALSE(found.Eof()) << i;
    EXPECT_EQ(found.Fields("TEXT01").ToText(), "line of page " + std::to_string(i));
    EXPECT_EQ(found.Fields("product").ToText(), "P" + std::to_string(i) + "  ");
    found.MoveNext();
    EXPECT_TRUE(found.Eof());
  }
  read.SetTextParameter("product", "P1");  // without the blanks: another key
  read.SetTextParameter("warehouse", "01");
  EXPECT_TRUE(read.GetCommand().Execute().Eof());
}

// The refresh opens one recordset row after row with the same text: each opening must see its
// own values, also after one left mid-way, and a value of another type must not be misread.
TEST_P(DatabaseLayerTest, ARecordsetOpenedAgainWithNewValuesReadsTheirRows) {
  auto connection = OpenEmpty(7);
  const std::string& pages = connection->TableCatalogue().TechnicalDescription();
  for (int i = 1; i <= 3; ++i)
    connection->AdoConnection()->Execute(
        "insert into " + pages + " (warehouse, product, page_number, text01) values (?,?,?,?)",
        {Variant("01"), Variant("P" + std::to_string(i)), Variant("001"),
         Variant("line " + std::to_string(i))});
  const std::string sql = "select text01 from " + pages + " where warehouse = ? and product = ?";
  Recordset rows;
  for (int i : {3, 1, 2, 3}) {
    rows.Open(sql, connection->AdoConnection(), {Variant("01"), Variant("P" + std::to_string(i))});
    ASSERT_FALSE(rows.Eof()) << i;
    EXPECT_EQ(rows.Fields("text01").ToText(), "line " + std::to_string(i));
  }
  rows.Open(sql, connection->AdoConnection(), {Variant::MakeNull(), Variant("P1")});
  EXPECT_TRUE(rows.Eof());
  rows.Open("select ? as value", connection->AdoConnection(), {Variant(7)});
  EXPECT_EQ(rows.Fields("value").ToText(), "7");
  rows.Open("select ? as value", connection->AdoConnection(), {Variant("seven")});
  EXPECT_EQ(rows.Fields("value").ToText(), "seven");
  rows.Close();
  // Nothing is held open: the rows can still be changed and read anew.
  connection->AdoConnection()->Execute("update " + pages + " set text01 = 'changed'");
  rows.Open(sql, connection->AdoConnection(), {Variant("01"), Variant("P2")});
  EXPECT_EQ(rows.Fields("text01").ToText(), "changed");
}

// The download reads a large result in batches: every row once, in order, across the batches'
// edges, in the transaction open or in one of its own that ends with the reading.
TEST_P(DatabaseLayerTest, ARecordsetReadInBatchesReadsEveryRowOnce) {
  auto connection = OpenEmpty(7);
  auto& ado = *connection->AdoConnection();
  const std::string& pages = connection->TableCatalogue().TechnicalDescription();
  for (int i = 1; i <= 7; ++i)
    ado.Execute("insert into " + pages + " (warehouse, product, page_number) values ('01',?,'001')",
                {Variant("P" + std::to_string(i))});
  const std::string sql = "select product from " + pages + " order by product";
  auto read = [&](std::size_t batch, std::size_t stop_after) {
    Recordset rows;
    rows.OpenInBatches(sql, connection->AdoConnection(), batch);
    std::string seen;
    for (std::size_t n = 0; !rows.Eof() && n < stop_after; ++n, rows.MoveNext())
      seen += rows.Fields("product").ToText() + " ";
    return seen;
  };
  for (std::size_t batch : {1, 3, 7, 100})
    EXPECT_EQ(read(batch, 99), "P1 P2 P3 P4 P5 P6 P7 ") << batch;
  EXPECT_FALSE(ado.InTransaction());
  EXPECT_EQ(read(3, 4), "P1 P2 P3 P4 ");
  EXPECT_FALSE(ado.InTransaction()) << "a recordset closed half-way ends its transaction too";
  // Inside the caller's transaction: its own rows are seen, and the transaction stays its.
  connection->BeginTrans();
  ado.Execute("delete from " + pages + " where product > 'P2'");
  EXPECT_EQ(read(1, 99), "P1 P2 ");
  EXPECT_TRUE(ado.InTransaction());
  connection->RollbackTrans();
  EXPECT_EQ(read(2, 99), "P1 P2 P3 P4 P5 P6 P7 ");
  Recordset marked;
  EXPECT_THROW(marked.OpenInBatches("select product from " + pages + " where product = ?",
                                    connection->AdoConnection(), 3),
               AppError);
}

TEST_P(DatabaseLayerTest, NullGoesInAndComesOutAsNull) {
  auto connection = OpenEmpty(6);
  PreparedStatement insert;
  insert.SetActiveConnection(connection);
  insert.SetSQL("INSERT INTO " + connection->TableCatalogue().StockMaster() +
                " (warehouse, product, description, price, delivery_date, batch_receipts) "
                "VALUES (?,?,?,?,?,?)");
  insert.AddTextParameter("warehouse", 2);
  insert.AddTextParameter("product", 20);
  insert.AddTextParameter("description", 20);
  insert.AddDoubleParameter("price");
  insert.AddDateParameter("delivery_date");
  insert.AddIntegerParameter("batch_receipts");
  insert.SetTextParameter("warehouse", "01");
  insert.SetTextParameter("product", "NULLS");
  for (const char* name : {"description", "price", "delivery_date", "batch_receipts"})
    insert.SetNullParameter(name);
  insert.GetCommand().Execute();
  // The same statement again, with values this time.
  insert.SetTextParameter("product", "VALUES");
  insert.SetTextParameter("description", "Bolt");
  insert.SetDoubleParameter("price", 2.5);
  insert.SetDateParameter("delivery_date", OleDate{45292});
  insert.SetIntegerParameter("batch_receipts", -7);
  insert.GetCommand().Execute();

  Recordset rows;
  rows.Open("select * from " + connection->TableCatalogue().StockMaster() +
                " where warehouse = ? order by product",
            connection->AdoConnection(), {Variant("01")});
  ASSERT_FALSE(rows.Eof());
  EXPECT_EQ(rows.Fields("product").ToText(), "NULLS");
  for (const char* name : {"description", "price", "delivery_date", "batch_receipts"}) {
    EXPECT_TRUE(rows.Fields(name).IsNull()) << name;
    EXPECT_EQ(ValueConvert::NullToText(rows.Fields(name)), "") << name;
  }
  EXPECT_EQ(ValueConvert::Number(rows.Fields("price")), 0);
  EXPECT_EQ(ValueConvert::Date(rows.Fields("delivery_date")), OleDate{0});
  // Columns left out take their defaults, not Null.
  EXPECT_EQ(rows.Fields("long_description").ToText(), "");
  EXPECT_FALSE(rows.Fields("long_description").IsNull());
  rows.MoveNext();
  ASSERT_FALSE(rows.Eof());
  EXPECT_EQ(rows.Fields("description").ToText(), "Bolt");
  EXPECT_EQ(rows.Fields("price").ToDouble(), 2.5);
  EXPECT_EQ(rows.Fields("delivery_date").ToDate(), OleDate{45292});
  EXPECT_EQ(rows.Fields("batch_receipts").ToDouble(), -7);
}

TEST_P(DatabaseLayerTest, DatesAndTextDatesBindToDateParameters) {
  auto connection = OpenEmpty(7);
  Command insert;
  insert.SetActiveConnection(connection->AdoConnection());
  insert.SetCommandText("INSERT INTO " + connection->TableCatalogue().StockMaster() +
                        " (warehouse, product, last_revalue, stock_date) VALUES ('01', ?, ?, ?)");
  insert.AppendParameter("product", Command::ParameterType::Text, 20);
  insert.AppendParameter("last_revalue", Command::ParameterType::Date);
  insert.AppendParameter("stock_date", Command::ParameterType::Date);
  insert.SetParameter("product", "A");
  insert.SetParameter("last_revalue", "1899-12-31");  // the "no date" of a revaluation
  insert.SetParameter("stock_date", OleDate{0});
  insert.Execute();
  insert.SetParameter("product", "B");
  insert.SetParameter("last_revalue", "29/02/2024");
  insert.SetParameter("stock_date", OleDate{-1});  // 29/12/1899
  insert.Execute();
  EXPECT_EQ(insert.RecordsAffected(), 1);

  Recordset rows;
  rows.Open("select product, last_revalue, stock_date from " +
                connection->TableCatalogue().StockMaster() + " order by product",
            connection->AdoConnection());
  auto all = rows.GetRows();
  ASSERT_EQ(all.size(), 2u);
  EXPECT_TRUE(rows.Eof());
  EXPECT_EQ(all[0][1].ToDate(), OleDate{1});
  EXPECT_EQ(all[0][2].ToDate(), OleDate{0});
  EXPECT_EQ(all[1][1].ToText(), "29/02/2024");
  EXPECT_EQ(all[1][2].ToDate(), OleDate{-1});
  EXPECT_EQ(DataConnection::DateToText(OleDate{45292}), "01/01/2024");

  // A command with dates whose first run fails is dropped cleanly.
  connection->AdoConnection()->SetFaultPlan(std::make_shared<FaultPlan>(FaultPlan::FailAt(1)));
  {
    Command failing;
    failing.SetActiveConnection(connection->AdoConnection());
    failing.SetCommandText(insert.CommandText());
    failing.AppendParameter("product", Command::ParameterType::Text, 20);
    failing.AppendParameter("last_revalue", Command::ParameterType::Date);
    failing.AppendParameter("stock_date", Command::ParameterType::Date);
    failing.SetParameter("product", "C");
    EXPECT_NE(Caught([&] { failing.Execute(); }).Description().find("Injected fault"),
              std::string::npos);
  }
  connection->AdoConnection()->SetFaultPlan(nullptr);

  auto bad = Caught([&] { insert.SetParameter("stock_date", "31/13/2024"); });
  EXPECT_EQ(bad.Number(), 13);
  auto overflow = Caught([&] {
    Command small;
    small.AppendParameter("n", Command::ParameterType::SmallInt);
    small.SetParameter("n", 40000);
  });
  EXPECT_EQ(overflow.Number(), 6);
}

TEST_P(DatabaseLayerTest, MarkersInsideLiteralsStayAndFieldNamesIgnoreCase) {
  auto connection = OpenEmpty(6);
  Recordset rows;
  rows.Open("select '?' as question, ? as answer, 'it''s ?' as quoted", connection->AdoConnection(),
            {Variant("42")});
  ASSERT_FALSE(rows.Eof());
  EXPECT_EQ(rows.Fields("QUESTION").ToText(), "?");
  EXPECT_EQ(rows.Fields("Answer").ToText(), "42");
  EXPECT_EQ(rows.Fields("quoted").ToText(), "it's ?");
  auto missing = Caught([&] { rows.Fields("nosuch"); });
  EXPECT_EQ(missing.Number(), -2146825023);
  rows.MoveNext();
  EXPECT_TRUE(rows.Eof());
  EXPECT_NE(Caught([&] { rows.Fields("answer"); }).Number(), 0);

  auto mismatch = Caught([&] {
    Recordset wrong;
    wrong.Open("select ? as a, ? as b", connection->AdoConnection(), {Variant("1")});
  });
  EXPECT_THAT(mismatch.Description(), HasSubstr("2 markers"));
}

TEST_P(DatabaseLayerTest, InterruptedTransactionLeavesNothingBehind) {
  auto connection = OpenEmpty(6);
  const std::string warehouses = connection->TableCatalogue().Warehouses();
  auto ado = connection->AdoConnection();

  // Rolled back explicitly after a failing row (a duplicate key).
  connection->BeginTrans();
  ado->Execute("INSERT INTO " + warehouses + " (warehouse, description) VALUES ('01', 'Main')");
  auto duplicate = Caught([&] {
    ado->Execute("INSERT INTO " + warehouses + " (warehouse, description) VALUES ('01', 'Again')");
  });
  EXPECT_FALSE(duplicate.Description().empty());
  connection->RollbackTrans();
  EXPECT_EQ(Count(*connection, warehouses), 0);

  // Interrupted: the connection goes away in the middle of the run.
  connection->BeginTrans();
  Command insert;
  insert.SetActiveConnection(ado);
  insert.SetCommandText("INSERT INTO " + warehouses + " (warehouse, description) VALUES (?, ?)");
  insert.AppendParameter("warehouse", Command::ParameterType::Text, 2);
  insert.AppendParameter("description", Command::ParameterType::Text, 30);
  for (const char* code : {"01", "02", "03"}) {
    insert.SetParameter("warehouse", code);
    insert.SetParameter("description", std::string("Depot ") + code);
    insert.Execute();
  }
  EXPECT_EQ(Count(*connection, warehouses), 3);  // visible inside the transaction
  connection->Close();
  EXPECT_FALSE(ado->InTransaction());

  DataConnection reopened;
  reopened.Open(scratch_->Target());
  EXPECT_EQ(Count(reopened, warehouses), 0);

  // The command prepared on the closed connection prepares again on the reopened one.
  connection->Open(scratch_->Target());
  insert.SetParameter("warehouse", "04");
  insert.Execute();
  EXPECT_EQ(Count(*connection, warehouses), 1);

  // Committed work stays.
  connection->BeginTrans();
  insert.SetParameter("warehouse", "05");
  insert.Execute();
  connection->CommitTrans();
  connection->Close();
  connection->Open(scratch_->Target());
  EXPECT_EQ(Count(*connection, warehouses), 2);
  EXPECT_THAT(Caught([&] { connection->CommitTrans(); }).Description(),
              HasSubstr("No transaction"));

  // A commit that fails keeps nothing of its transaction, and the next one starts afresh.
  ado->SetFaultPlan(std::make_shared<FaultPlan>(FaultPlan::FailFirst("commit")));
  connection->BeginTrans();
  insert.SetParameter("warehouse", "06");
  insert.Execute();
  EXPECT_THAT(Caught([&] { connection->CommitTrans(); }).Description(),
              HasSubstr("Injected fault"));
  EXPECT_EQ(Count(*connection, warehouses), 2);
  connection->BeginTrans();
  insert.Execute();
  connection->CommitTrans();
  EXPECT_EQ(Count(*connection, warehouses), 3);
}

// The warehouse codes on file, in order.
std::string Codes(DataConnection& connection) {
  Recordset rows;
  rows.Open(
      "select warehouse from " + connection.TableCatalogue().Warehouses() + " order by warehouse",
      connection.AdoConnection());
  std::string codes;
  for (; !rows.Eof(); rows.MoveNext()) codes += rows.Fields("warehouse").ToText() + " ";
  return codes;
}

TEST_P(DatabaseLayerTest, AFailedStatementUnderAGuardLosesOnlyItself) {
  auto connection = OpenEmpty(6);
  auto& ado = *connection->AdoConnection();
  const std::string insert =
      "INSERT INTO " + connection->TableCatalogue().Warehouses() + " (warehouse, description) ";
  // A duplicate key, a text too long for its column, a table that does not exist: on PostgreSQL
  // each would refuse every later statement of the transaction without the guard.
  const std::string failing[] = {insert + "VALUES ('01', 'Again')",
                                 insert + "VALUES ('123', 'Too long')",
                                 "INSERT INTO scheme.no_such_table VALUES (1)"};
  connection->BeginTrans();
  ado.Execute(insert + "VALUES ('01', 'Before')");
  for (const auto& statement : failing) {
    SavepointGuard guard(ado);
    EXPECT_TRUE(guard.Holding());
    auto error = Caught([&] { ado.Execute(statement); });
    EXPECT_EQ(error.Number(), kUnexpectedError) << statement;
    EXPECT_FALSE(error.Description().empty()) << statement;
  }
  for (int code = 2; code <= 3; ++code) {
    SavepointGuard guard(ado);
    ado.Execute(insert + "VALUES ('0" + std::to_string(code) + "', 'After')");
    guard.Release();
    EXPECT_FALSE(guard.Holding());
  }
  connection->CommitTrans();
  EXPECT_EQ(Codes(*connection), "01 02 03 ");
}

TEST_P(DatabaseLayerTest, NestedGuardsUndoTheirOwnWorkAndAnOuterUndoTakesTheInnerAlong) {
  auto connection = OpenEmpty(6);
  auto& ado = *connection->AdoConnection();
  auto insert = [&](const std::string& code) {
    ado.Execute("INSERT INTO " + connection->TableCatalogue().Warehouses() +
                    " (warehouse, description) VALUES (?, 'Depot')",
                {Variant(code)});
  };
  connection->BeginTrans();
  {
    SavepointGuard outer(ado);
    insert("01");
    {
      SavepointGuard inner(ado);
      insert("02");
      EXPECT_THROW(insert("01"), AppError);
    }  // the inner guard undoes 02 and the failed insert
    outer.Release();
  }
  {
    SavepointGuard outer(ado);
    insert("03");
    SavepointGuard inner(ado);
    insert("04");
    inner.Release();
  }  // the outer guard undoes 03 and the released inner work, 04
  {
    SavepointGuard outer(ado);
    SavepointGuard inner(ado);
    insert("05");
    outer.Rollback();
    EXPECT_FALSE(inner.Holding()) << "the inner savepoint went with the outer one";
  }  // nothing is left for the inner guard to send
  insert("06");
  EXPECT_THROW(ado.RollbackToSavepoint("orv_savepoint_1"), AppError) << "released long ago";
  insert("07");  // a refused savepoint name never reached the database
  connection->CommitTrans();
  EXPECT_EQ(Codes(*connection), "01 06 07 ");
}

// A server answers keys read ahead exactly as the query alone answers them (a char key pads, so
// "AB" and "AB  " are one key there, and "ABCD" is not cut short); an answer is given once; a
// batch that fails leaves the transaction usable and each row to ask for itself. SQLite is never
// read ahead.
TEST_P(DatabaseLayerTest, KeysReadAheadAreAnsweredAsTheQueryAnswersThem) {
  auto connection = OpenEmpty(7);
  auto ado = connection->AdoConnection();
  ado->Execute("create table scheme.padded (k char(4) primary key, v varchar(10))");
  ado->Execute("insert into scheme.padded values ('AB', 'two'), ('ABCD', 'four')");
  const std::string sql = "select v from scheme.padded where k = ?";
  auto alone = [&](const std::string& key) {
    Recordset rows;
    rows.Open(sql, ado, {Variant(key)});
    return rows.Eof() ? std::string("none") : rows.Fields("v").ToText();
  };
  auto text = [](Recordset& rows) {
    return rows.Eof() ? std::string("none") : rows.Fields("v").ToText();
  };
  const bool server = GetParam() == Backend::PostgreSQL;
  const std::vector<std::string> keys = {"AB", "AB  ", "ABCD", "ZZ"};
  connection->BeginTrans();
  ReadAhead ahead(sql, 3);  // two statements for the four keys
  std::vector<std::vector<Variant>> expected;
  for (const auto& key : keys) expected.push_back({Variant(key)});
  ahead.Expect(expected);
  for (const auto& key : keys) {
    auto answer = ahead.Take(ado, {Variant(key)});
    ASSERT_EQ(answer.has_value(), server) << key;
    if (answer) {
      EXPECT_EQ(text(*answer), alone(key)) << key;
    }
    EXPECT_FALSE(ahead.Take(ado, {Variant(key)})) << "given once: " << key;
  }
  // Bytes that are not UTF-8 fail the batch on a server: every key is then asked alone.
  ahead.Expect({{Variant(std::string("AB"))}, {Variant(std::string("\xff\xfe"))}});
  EXPECT_FALSE(ahead.Take(ado, {Variant(std::string("AB"))}));
  EXPECT_EQ(alone("ABCD"), "four") << "the transaction goes on";
  connection->CommitTrans();
}

// Writes sent ahead store what the same writes store sent one by one: numbers to their last digit
// (a numeric column keeps every digit it is sent), dates, small integers, texts and nulls, through
// a Command and through Execute. A write the server refuses fails the next statement and names
// its tag.
TEST_P(DatabaseLayerTest, WritesSentAheadStoreWhatWritesSentOneByOneStore) {
  auto connection = OpenEmpty(7);
  auto ado = connection->AdoConnection();
  ado->Execute(
      "create table scheme.sent (n int, d double precision, x numeric, t timestamp, "
      "s smallint, v varchar(12) check (length(v) <= 12))");
  PreparedStatement insert;
  insert.SetActiveConnection(connection);
  insert.SetSQL("insert into scheme.sent values (?, ?, ?, ?, ?, ?)");
  insert.AddDoubleParameter("n");
  insert.AddDoubleParameter("d");
  insert.AddDoubleParameter("x");
  insert.AddDateParameter("t");
  insert.AddIntegerParameter("s");
  insert.AddTextParameter("v", 12);
  insert.SetPrepared(true);
  std::vector<std::vector<Variant>> rows(3);
  rows[0] = {Variant(0.1), Variant(0.1), Variant::MakeNull(), Variant(-32768), Variant::MakeNull()};
  rows[0][2] = Variant(OleDate{45351.5});  // 2024-02-29 12:00
  rows[0][4] = Variant(std::string("O'Brien \xc3\xa9"));
  rows[1] = {Variant(1.0 / 3), Variant(-123.456789012345678), Variant(OleDate{45000.75}),
             Variant(7), Variant::MakeNull()};
  rows[1][4] = Variant(std::string());
  rows[2] = {Variant(1e300), Variant(2.5e-7), Variant::MakeNull(), Variant::MakeNull(),
             Variant::MakeNull()};
  auto write = [&](int base) {
    for (std::size_t i = 0; i < rows.size(); ++i) {
      insert.GetCommand().SetParameter("n", Variant(base + static_cast<int>(i)));
      for (std::size_t c = 0; c < rows[i].size(); ++c)
        insert.GetCommand().SetParameter(c + 1, rows[i][c]);
      insert.GetCommand().Execute();
      std::vector<Variant> values{Variant(base + 10 + static_cast<int>(i))};
      values.insert(values.end(), rows[i].begin(), rows[i].end());
      ado->Execute("insert into scheme.sent values (?, ?, ?, ?, ?, ?)", values);
    }
  };
  auto stored = [&](int base) {
    Recordset all;
    all.Open(
        "select cast(d as text) as d, cast(x as text) as x, t, s, v from scheme.sent where "
        "n >= ? and n < ? order by n",
        ado, {Variant(base), Variant(base + 20)});
    std::string text;
    for (; !all.Eof(); all.MoveNext())
      for (std::size_t c = 0; c < all.FieldCount(); ++c)
        text += all.FieldValue(c).ToText() + (all.FieldValue(c).IsNull() ? "<null>|" : "|");
    return text;
  };
  connection->BeginTrans();
  write(100);
  ado->SetSendWritesAhead(true);
  ado->SetWriteTag(7);
  write(200);
  EXPECT_EQ(stored(200), stored(100));
  EXPECT_EQ(Count(*connection, "scheme.sent"), 12);

  // The server refuses the second write; the first is answered with it, at the next read.
  ado->SetWriteTag(8);
  ado->Execute("insert into scheme.sent (n, v) values (?, ?)",
               {Variant(300), Variant(std::string("fits"))});
  ado->SetWriteTag(9);
  auto refused = [&] {
    ado->Execute("insert into scheme.sent (n, v) values (?, ?)",
                 {Variant(301), Variant(std::string("far too long to fit"))});
    stored(300);
  };
  EXPECT_THROW(refused(), AppError);
  if (GetParam() == Backend::PostgreSQL) {
    EXPECT_EQ(ado->FailedWriteTag(), 9);
  }
  connection->RollbackTrans();
  EXPECT_EQ(Count(*connection, "scheme.sent"), 0);

  // Outside a transaction each write stands alone: a refused one fails at once and undoes no
  // other.
  ado->SetSendWritesAhead(true);
  ado->Execute("insert into scheme.sent (n, v) values (?, ?)",
               {Variant(400), Variant(std::string("fits"))});
  EXPECT_THROW(ado->Execute("insert into scheme.sent (n, v) values (?, ?)",
                            {Variant(401), Variant(std::string("far too long to fit"))}),
               AppError);
  EXPECT_EQ(Count(*connection, "scheme.sent"), 1);
}

TEST_P(DatabaseLayerTest, AGuardWithoutATransactionDoesNothing) {
  auto connection = OpenEmpty(6);
  auto& ado = *connection->AdoConnection();
  {
    SavepointGuard guard(ado);
    EXPECT_FALSE(guard.Holding());
    ado.Execute("INSERT INTO " + connection->TableCatalogue().Warehouses() +
                " (warehouse, description) VALUES ('01', 'Stays')");
  }  // not released, but each statement stood alone
  EXPECT_EQ(Codes(*connection), "01 ");
  EXPECT_THROW(ado.Savepoint(), AppError);

  // A guard that outlives its transaction sends nothing when it ends.
  connection->BeginTrans();
  auto guard = std::make_unique<SavepointGuard>(ado);
  connection->CommitTrans();
  EXPECT_FALSE(guard->Holding());
  EXPECT_NO_THROW(guard.reset());
}

TEST_P(DatabaseLayerTest, EditableRecordsetInsertsAndUpdatesTheEcRow) {
  for (int version : {5, 6}) {
    SCOPED_TRACE(version);
    scratch_ = std::make_unique<ScratchDatabase>(GetParam());
    auto connection = OpenEmpty(version);
    const std::string ec = connection->TableCatalogue().StockEc();
    std::string where = version >= 6 ? " where warehouse=? and product=?" : " where whproduct =?";
    std::vector<Variant> key = version >= 6 ? std::vector<Variant>{"01", "O'BRIEN-1"}
                                            : std::vector<Variant>{"01O'BRIEN-1"};

    EditableRecordset rows;
    rows.Open("select * from " + ec + where, connection->AdoConnection(), key);
    ASSERT_TRUE(rows.Eof());
    rows.AddNew();
    EXPECT_TRUE(rows.IsNewRow());
    if (version >= 6) {
      rows.SetField("warehouse", "01");
      rows.SetField("product", "O'BRIEN-1");
    } else {
      rows.SetField("whproduct", "01O'BRIEN-1");
    }
    rows.SetField("ssdstate", Variant());
    const char* spare = version >= 6 ? "ecspare" : "spare";
    const char* other = version >= 6 ? "spare" : "ecspare";
    EXPECT_EQ(Caught([&] { rows.SetField(other, ""); }).Number(), -2146825023);
    rows.SetField(spare, "");
    rows.SetField("weightkg", 0.0);
    rows.SetField("statind", "N");
    rows.SetField("procind", " ");
    rows.SetField("commodity", " ");
    rows.SetField("country_orig", " ");
    rows.SetField("suppunitqty", 0.0);
    rows.Update();
    rows.Close();

    rows.Open("select * from " + ec + where, connection->AdoConnection(), key);
    ASSERT_FALSE(rows.Eof());
    EXPECT_EQ(rows.Fields("statind").ToText(), "N");
    EXPECT_EQ(rows.Fields("commodity").ToText(), " ");
    EXPECT_TRUE(rows.Fields("ssdstate").IsNull());
    rows.SetField("statind", "Y");
    rows.SetField("suppunitqty", "12.5");  // text, as the value conversion gives it
    EXPECT_EQ(Caught([&] { rows.SetField("weightkg", "heavy"); }).Number(), 13);
    EXPECT_EQ(Caught([&] { rows.SetField("weightkg", " "); }).Number(), 13);
    rows.Update();
    rows.Close();

    Recordset check;
    check.Open("select * from " + ec, connection->AdoConnection());
    auto all = check.GetRows();
    ASSERT_EQ(all.size(), 1u);
    check.Open("select statind, suppunitqty, procind from " + ec, connection->AdoConnection());
    EXPECT_EQ(check.Fields("statind").ToText(), "Y");
    EXPECT_EQ(check.Fields("suppunitqty").ToDouble(), 12.5);
    EXPECT_EQ(check.Fields("procind").ToText(), " ");  // not assigned: unchanged
  }
}

TEST_P(DatabaseLayerTest, EditableRecordsetRefusesAmbiguousUpdates) {
  auto connection = OpenEmpty(6);
  auto ado = connection->AdoConnection();
  const std::string groups = connection->TableCatalogue().ProductGroups();
  ado->Execute("INSERT INTO " + groups + " VALUES ('A', 'One'), ('B', 'Two')");
  EditableRecordset rows;
  rows.Open("select * from " + groups, ado);
  rows.SetField("description", "Changed");
  EXPECT_THAT(Caught([&] { rows.Update(); }).Description(), HasSubstr("2 rows"));
  EXPECT_THAT(Caught([&] { rows.Open("select description from " + groups, ado); }).Description(),
              HasSubstr("select * from"));
  EXPECT_EQ(Count(*connection, groups + " where description = 'Changed'"), 0);
}

INSTANTIATE_TEST_SUITE_P(Databases, DatabaseLayerTest, AllBackends(), BackendName);

}  // namespace
}  // namespace orv::test
