#pragma once
#include <vector>

#include "resources/resource_types.h"

// The tables behind the lookups; only the resources library itself reads them.
namespace resources {

const std::vector<MenuResource>& MenuTables();
const std::vector<AcceleratorTable>& AcceleratorTables();
const std::vector<DialogTemplate>& DialogTemplates();

}  // namespace resources
