#include "taking/test_path_field.h"

namespace quizdesk {

std::string FitPathToField(const std::string& path, int fieldSize) {
  const std::size_t room = fieldSize > 0 ? static_cast<std::size_t>(fieldSize - 1) : 0;
  if (path.size() <= room) return path;
  static constexpr char kEllipsis[] = "...";
  const std::size_t ellipsis = sizeof kEllipsis - 1;
  if (room <= ellipsis) return path.substr(path.size() - room);
  const std::size_t tailRoom = room - ellipsis;
  // The shortest tail that starts at a separator and still fits; separators of either kind,
  // since a path from the old drives uses backslashes.
  std::size_t start = path.size() - tailRoom;
  std::size_t separator = path.find_first_of("/\\", start);
  if (separator != std::string::npos) return kEllipsis + path.substr(separator);
  return kEllipsis + path.substr(start);
}

}  // namespace quizdesk
