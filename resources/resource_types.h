#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace resources {

// A resource is named either by a number (menu 9) or by a name ("MENU_1").
struct ResId {
  int number = 0;
  std::string_view name;

  constexpr ResId(int n) : number(n) {}
  constexpr ResId(const char* s) : name(s) {}
  constexpr ResId(std::string_view s) : name(s) {}
  bool operator==(const ResId& other) const {
    return name.empty() ? other.name.empty() && number == other.number : name == other.name;
  }
  std::string ToString() const { return name.empty() ? std::to_string(number) : std::string(name); }
};

enum class MenuEntryKind { Item, Separator, PopupBegin, PopupEnd };

// A menu is a flat list; PopupBegin ... PopupEnd brackets a popup's items. An Item on the top
// level is a command on the menu bar itself.
struct MenuEntry {
  MenuEntryKind kind;
  std::string_view text;
  int command = 0;
};

struct MenuResource {
  ResId id;
  std::vector<MenuEntry> entries;
};

struct Accelerator {
  int virtualKey;  // Windows virtual-key code
  bool alt = false;
  bool control = false;
  bool shift = false;
  int command = 0;
};

struct AcceleratorTable {
  std::string_view name;
  std::vector<Accelerator> keys;
};

enum class ControlKind { Static, Edit, PushButton, Radio, Check, Shade };

struct ControlTemplate {
  int id;
  ControlKind kind;
  std::string_view text;
  int x, y, width, height;  // dialog units
  int textLength = 0;       // edits: slot size in bytes (the edit accepts textLength - 1)
  bool autoHScroll = false; // edits: scrolls instead of stopping at the box's edge
  bool tabStop = false;
};

struct DialogTemplate {
  std::string_view name;
  std::string_view title;
  int x, y, width, height;  // dialog units
  bool systemMenu = true;
  std::vector<ControlTemplate> controls;
};

// The printing service's dialog (resource 32599) and its string table (32590 to 32597).
inline constexpr char kPrintingDialog[] = "32599";
enum PrintString : int {
  IDS_PRN_ON = 32590,            // " on "
  IDS_PRN_NOT_PRINTED = 32591,   // "'%s' not printed. %s."
  IDS_PRN_OUT_OF_MEMORY = 32592,
  IDS_PRN_OUT_OF_DISK = 32593,
  IDS_PRN_CANCELED = 32594,
  IDS_PRN_MANAGER_ABORT = 32595,
  IDS_PRN_GENERIC_ERROR = 32596,
  IDS_PRN_ERROR_CAPTION = 32597,
};
// The string of the string table with this id; empty for an unknown id.
std::string_view LoadString(int id);

// Registers the pictures and help pages compiled into this static library; the programs and
// the tests call it once at start.
void InitResources();

// Lookups return nullptr for an unknown id.
const MenuResource* FindMenu(ResId id);
const AcceleratorTable* FindAccelerators(std::string_view name);
const DialogTemplate* FindDialog(std::string_view name);

// Qt resource paths of the pictures and help pages compiled into the programs.
std::string BitmapResourcePath(std::string_view name);  // "Bitmap_1" -> ":/bitmaps/Bitmap_1.bmp"
std::string IconResourcePath(std::string_view name);    // "ICON_2"   -> ":/icons/ICON_2.png"
std::string CursorResourcePath(int number);             // 1          -> ":/cursors/1.png"
// Help file name as the programs call it ("quizloom.hlp") -> ":/help/quizloom.html";
// empty for a file we do not have.
std::string HelpResourcePath(std::string_view helpFile);

}  // namespace resources
