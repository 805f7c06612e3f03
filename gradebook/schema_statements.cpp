#include "gradebook/schema_statements.h"

#include <cctype>

namespace gradebook {

namespace {

bool IsWordCharacter(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$';
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
    text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
    text.remove_suffix(1);
  return text;
}

// The tag of a dollar quote starting at position ("$$" or "$body$"), or empty.
std::string_view DollarTag(std::string_view text, std::size_t position) {
  if (position > 0 && IsWordCharacter(text[position - 1])) return {};
  std::size_t end = position + 1;
  if (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]))) return {};
  while (end < text.size() && IsWordCharacter(text[end]) && text[end] != '$') ++end;
  if (end >= text.size() || text[end] != '$') return {};
  return text.substr(position, end - position + 1);
}

}  // namespace

std::vector<TSchemaStatement> SplitSchemaFile(std::string_view text) {
  std::vector<TSchemaStatement> statements;
  TSchemaStatement current;
  const auto finish = [&] {
    current.text = std::string(Trimmed(current.text));
    if (!current.text.empty()) statements.push_back(std::move(current));
    current = {};
  };
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    const std::string_view rest = text.substr(i);
    std::size_t length = 1;  // what this step takes: kept in the statement unless a comment
    if (rest.starts_with("--")) {
      length = rest.find('\n');
      if (length == std::string_view::npos) length = rest.size();
      if (Trimmed(rest.substr(0, length)) == kServerOnlyMarker &&
          Trimmed(current.text).empty())
        current.serverOnly = true;
      current.text += ' ';
      i += length;
      continue;
    }
    if (rest.starts_with("/*")) {
      int depth = 0;
      length = 0;
      do {
        if (rest.substr(length).starts_with("/*")) ++depth, length += 2;
        else if (rest.substr(length).starts_with("*/")) --depth, length += 2;
        else ++length;
      } while (depth > 0 && length < rest.size());
      current.text += ' ';
      i += length;
      continue;
    }
    if (c == ';') {
      finish();
      ++i;
      continue;
    }
    if (c == '\'' || c == '"') {
      // E'...' strings escape with a backslash; every quoted text doubles its quote.
      const bool backslashes = c == '\'' && i > 0 && (text[i - 1] == 'E' || text[i - 1] == 'e') &&
                               (i < 2 || !IsWordCharacter(text[i - 2]));
      for (length = 1; length < rest.size(); ++length) {
        if (backslashes && rest[length] == '\\') ++length;
        else if (rest[length] == c) {
          if (length + 1 < rest.size() && rest[length + 1] == c) ++length;
          else break;
        }
      }
      length = std::min(length + 1, rest.size());
    } else if (c == '$') {
      const std::string_view tag = DollarTag(text, i);
      if (!tag.empty()) {
        const std::size_t close = rest.find(tag, tag.size());
        length = close == std::string_view::npos ? rest.size() : close + tag.size();
      }
    }
    current.text += rest.substr(0, length);
    i += length;
  }
  finish();
  return statements;
}

}  // namespace gradebook
