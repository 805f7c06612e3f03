#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace gradebook {

// The line that marks the next statement of a table file as the server's alone (roles,
// rights, row security): this computer's gradebook, of one account, leaves it out.
inline constexpr std::string_view kServerOnlyMarker = "-- server only";

struct TSchemaStatement {
  std::string text;  // without its comments
  bool serverOnly = false;
};

// A table file's statements, split as psql splits them: at each ';' outside quotes, quoted
// names, dollar-quoted bodies and comments.
std::vector<TSchemaStatement> SplitSchemaFile(std::string_view text);

}  // namespace gradebook
