#include "resources/resource_tables.h"

namespace resources {

// Shared by both programs; the frame takes these keys before the window under it sees them.
const std::vector<AcceleratorTable>& AcceleratorTables() {
  static const std::vector<AcceleratorTable> tables = {
      {"ACCELERATORS_1",
       {{0x73, false, false, false, 101},     // F4         New
        {0x72, false, false, false, 102},     // F3         Open
        {0x71, false, false, false, 103},     // F2         Save
        {0x28, true, false, false, 607},      // Alt+Down   Subscript
        {0x26, true, false, false, 608},      // Alt+Up     Superscript
        {0x27, true, false, false, 609},      // Alt+Right  Normal
        {0x58, true, false, false, 24340}}},  // Alt+X      Exit
  };
  return tables;
}

}  // namespace resources
