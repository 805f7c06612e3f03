#include "resources/resource_types.h"

namespace resources {

std::string_view LoadString(int id) {
  switch (id) {
    case IDS_PRN_ON: return " on ";
    case IDS_PRN_NOT_PRINTED: return "'%s' not printed. %s.";
    case IDS_PRN_OUT_OF_MEMORY: return "Out of memory";
    case IDS_PRN_OUT_OF_DISK: return "Out of disk space";
    case IDS_PRN_CANCELED: return "Printing canceled";
    case IDS_PRN_MANAGER_ABORT: return "Printing aborted in Print Manager";
    case IDS_PRN_GENERIC_ERROR: return "Error encountered during print";
    case IDS_PRN_ERROR_CAPTION: return "Print Error";
    default: return {};
  }
}

}  // namespace resources
