#include <gtest/gtest.h>

#include "gradebook/schema_statements.h"

namespace gradebook {
namespace {

// A table file split as psql splits it, each statement with whether only a server runs it.
TEST(SchemaStatements, SplitAtSemicolonsOutsideQuotesBodiesAndComments) {
  const struct {
    const char* file;
    std::vector<std::string> statements;  // "server: " before those marked for a server
  } cases[] = {
      {"CREATE TABLE a (x INT);\n-- server only\nGRANT SELECT ON a TO t;\nINSERT INTO a VALUES (1);",
       {"CREATE TABLE a (x INT)", "server: GRANT SELECT ON a TO t", "INSERT INTO a VALUES (1)"}},
      {"-- why; it matters\n-- server only\nCREATE FUNCTION f() RETURNS INT AS $$ SELECT 1; $$ "
       "LANGUAGE sql;\nCREATE FUNCTION g() AS $body$ a; $$ b; $body$;",
       {"server: CREATE FUNCTION f() RETURNS INT AS $$ SELECT 1; $$ LANGUAGE sql",
        "CREATE FUNCTION g() AS $body$ a; $$ b; $body$"}},
      {"INSERT INTO a VALUES ('x;''--', E'\\';', \"b;\") /* c; /* d; */ */; SELECT $1;",
       {"INSERT INTO a VALUES ('x;''--', E'\\';', \"b;\")", "SELECT $1"}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> statements;
    for (const TSchemaStatement& statement : SplitSchemaFile(c.file))
      statements.push_back((statement.serverOnly ? "server: " : "") + statement.text);
    EXPECT_EQ(statements, c.statements) << c.file;
  }
}

}  // namespace
}  // namespace gradebook
