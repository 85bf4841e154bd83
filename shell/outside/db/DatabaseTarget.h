#pragma once

#include <string>
#include <string_view>

namespace orv {

// Where a company's database lives: a SQLite file, or a PostgreSQL database given by a libpq
// connection string ("host=... dbname=..." or a postgresql:// URI).
struct DatabaseTarget {
  enum class Kind { SQLite, PostgreSQL };
  Kind kind = Kind::SQLite;
  std::string location;

  // A PostgreSQL connection string is recognised by its URI scheme or a "dbname=" / "host="
  // keyword; anything else is a SQLite file path.
  static DatabaseTarget Parse(std::string_view text);
  static DatabaseTarget SQLiteFile(std::string path) { return {Kind::SQLite, std::move(path)}; }
  static DatabaseTarget PostgreSQL(std::string connect) {
    return {Kind::PostgreSQL, std::move(connect)};
  }

  // The location as it may be shown or logged. A SQLite path as it stands. A connection string
  // read the way libpq reads it (key=value pairs with quotes and backslash escapes, or a
  // postgresql:// URI) and shown as key=value pairs with every secret (password, sslpassword)
  // replaced by "***"; one libpq cannot read (an unterminated quote, an unknown keyword) is not
  // shown at all, since where its secret ends cannot be told.
  std::string Display() const;
  // False for a PostgreSQL connection string libpq cannot read: libpq's own complaint about it
  // may quote the text where the password stands, so it must not be shown either.
  bool Readable() const;
  // `text` (a message) with every password of a connection string or URI in it replaced by
  // "***", as far as it can be recognised in free text.
  static std::string ScrubPasswords(std::string_view text);
};

}  // namespace orv
