#include "resources/resource_tables.h"

namespace resources {

namespace {

using K = MenuEntryKind;

MenuEntry Popup(std::string_view text) { return {K::PopupBegin, text, 0}; }
MenuEntry End() { return {K::PopupEnd, {}, 0}; }
MenuEntry Item(int command, std::string_view text) { return {K::Item, text, command}; }
MenuEntry Separator() { return {K::Separator, {}, 0}; }

// The list menus of Quizloom share their popups; each state shows what it can do.
std::vector<MenuEntry> ListMenu(bool test, bool searchAgain) {
  std::vector<MenuEntry> m = {Popup("&File"), Item(101, "&New...F4"), Item(102, "&Open...F3")};
  if (test) {
    m.insert(m.end(), {Item(103, "&Save..F2"), Item(104, "Save &As..."), Separator(),
                       Item(105, "&Print"), Item(106, "Print Pre&view"),
                       Item(107, "Print Answer &Key"), Separator(), Item(108, "&Export...")});
  }
  if (!test) m.push_back(Separator());
  m.push_back(Item(109, "&Import From Platform..."));
  m.insert(m.end(), {Separator(), Item(24340, "E&xit...Alt-X"), End()});
  if (test) {
    m.insert(m.end(), {Popup("&Edit"), Item(201, "&Add"), Item(202, "&Delete"),
                       Item(203, "&Change"), Item(206, "&Insert"), Separator(),
                       Item(204, "&Search")});
    if (searchAgain) m.push_back(Item(205, "Search A&gain"));
    m.push_back(End());
  }
  m.insert(m.end(), {Item(301, "&Import"), Popup("&Results"), Item(401, "&Collect Results..."),
                     Item(402, "&Add Results Files..."), Item(406, "Open &Hand-In..."),
                     Item(403, "Class &Results..."),
                     Item(404, "&Print Class Results..."), Separator(),
                     Item(405, "Gradebook &Location..."), End()});
  m.insert(m.end(), {Popup("&Help"), Item(901, "Help &Index"), Item(902, "&Using Help"), End()});
  return m;
}

std::vector<MenuEntry> EditorMenu(std::vector<MenuEntry> edit, bool character) {
  std::vector<MenuEntry> m = {Popup("&Edit")};
  m.insert(m.end(), edit.begin(), edit.end());
  m.push_back(End());
  if (character) {
    m.insert(m.end(), {Popup("&Character"), Item(607, "Su&bscript/Alt-downarrow"),
                       Item(608, "Su&perscript/Alt-uparrow"), Item(609, "&Normal"), End()});
  }
  m.insert(m.end(), {Popup("&Graphic"), Item(701, "&Add/Change"), Item(703, "&Delete"), End(),
                     Item(610, "&OK"), Item(611, "Cancel"), Item(950, "&Help")});
  return m;
}

}  // namespace

const std::vector<MenuResource>& MenuTables() {
  static const std::vector<MenuResource> menus = {
      {6, EditorMenu({Item(605, "&Undo")}, false)},
      {7, EditorMenu({Item(601, "Cu&t"), Item(602, "&Copy"), Item(604, "C&lear"),
                      Item(605, "&Undo")}, true)},
      {8, EditorMenu({Item(603, "&Paste"), Item(605, "&Undo")}, false)},
      {9, ListMenu(false, false)},
      {"MENU_1", ListMenu(true, false)},
      {10, ListMenu(true, true)},
      {"MENU_2", {Item(302, "&Done"), Item(303, "&Select")}},
      {11, {Popup("&Test"), Item(501, "&Start"), Item(502, "&Print Results"), Separator(),
            Item(24340, "&Exit"), End(), Popup("&Help"), Item(901, "Help &Index"),
            Item(902, "&Using Help"), End()}},
      {"MENU_3", {Popup("&Test"), Item(501, "&New"), Item(502, "&Print Results"), Separator(),
                  Item(24340, "&Exit"), End(), Item(550, "&Check Answers"), Popup("&Help"),
                  Item(901, "Help &Index"), Item(902, "&Using Help"), End()}},
      {"MENU_5", {Popup("&Character"), Item(607, "Su&bscript/Alt-downarrow"),
                  Item(608, "Su&perscript/Alt-uparrow"), Item(609, "&Normal/Alt-rightarrow"),
                  End(), Item(610, "&OK")}},
  };
  return menus;
}

}  // namespace resources
