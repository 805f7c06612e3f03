#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QTest>

#include <set>

#include "platform/frame_window.h"
#include "platform/window.h"
#include "resources/resource_types.h"

namespace {

// The menu bar as a person reads it: popups with their items, ids and separators.
void Describe(const QList<QAction*>& actions, const std::string& indent, std::string& out) {
  for (QAction* action : actions) {
    if (action->isSeparator()) {
      out += indent + "---\n";
    } else if (action->menu()) {
      out += indent + "[" + action->text().toStdString() + "]\n";
      Describe(action->menu()->actions(), indent + "  ", out);
    } else {
      out += indent + std::to_string(action->data().toInt()) + " " + action->text().toStdString() + "\n";
    }
  }
}

std::string MenuOf(platform::TFrameWindow& frame, resources::ResId id) {
  frame.SetMenu(id);
  std::string out;
  Describe(frame.menuBar()->actions(), "", out);
  return out;
}

std::set<int> Commands(platform::TFrameWindow& frame, resources::ResId id) {
  frame.SetMenu(id);
  std::set<int> ids;
  std::function<void(const QList<QAction*>&)> walk = [&](const QList<QAction*>& actions) {
    for (QAction* a : actions) {
      if (a->menu()) walk(a->menu()->actions());
      else if (!a->isSeparator()) ids.insert(a->data().toInt());
    }
  };
  walk(frame.menuBar()->actions());
  return ids;
}

TEST(Menus, EditorMenusOfQuizloom) {
  platform::TFrameWindow frame("Quizloom");
  const std::string graphicAndBar =
      "[&Graphic]\n  701 &Add/Change\n  703 &Delete\n610 &OK\n611 Cancel\n950 &Help\n";
  EXPECT_EQ(MenuOf(frame, 6), "[&Edit]\n  605 &Undo\n" + graphicAndBar);
  EXPECT_EQ(MenuOf(frame, 7),
            "[&Edit]\n  601 Cu&t\n  602 &Copy\n  604 C&lear\n  605 &Undo\n"
            "[&Character]\n  607 Su&bscript/Alt-downarrow\n  608 Su&perscript/Alt-uparrow\n"
            "  609 &Normal\n" + graphicAndBar);
  EXPECT_EQ(MenuOf(frame, 8), "[&Edit]\n  603 &Paste\n  605 &Undo\n" + graphicAndBar);
  EXPECT_EQ(frame.CurrentMenu(), resources::ResId(8));
}

TEST(Menus, MenusOfQuizdesk) {
  platform::TFrameWindow frame("Quizloom");
  EXPECT_EQ(MenuOf(frame, 11),
            "[&Test]\n  501 &Start\n  502 &Print Results\n  ---\n  24340 &Exit\n"
            "[&Help]\n  901 Help &Index\n  902 &Using Help\n");
  EXPECT_EQ(MenuOf(frame, "MENU_5"),
            "[&Character]\n  607 Su&bscript/Alt-downarrow\n  608 Su&perscript/Alt-uparrow\n"
            "  609 &Normal/Alt-rightarrow\n610 &OK\n");
  EXPECT_EQ(MenuOf(frame, "MENU_3"),
            "[&Test]\n  501 &New\n  502 &Print Results\n  ---\n  24340 &Exit\n"
            "550 &Check Answers\n[&Help]\n  901 Help &Index\n  902 &Using Help\n");
  EXPECT_EQ(MenuOf(frame, "MENU_2"), "302 &Done\n303 &Select\n");
  EXPECT_EQ(frame.CurrentMenu(), resources::ResId("MENU_2"));
}

TEST(Menus, ListMenusOfQuizloomCarryTheirCommands) {
  platform::TFrameWindow frame("Quizloom");
  EXPECT_EQ(Commands(frame, 9),
            (std::set<int>{101, 102, 109, 24340, 301, 401, 402, 403, 404, 405, 406, 901, 902}));
  const std::set<int> listing = {101, 102, 103, 104, 105, 106, 107, 108, 109, 24340, 201, 202,
                                 203, 206, 204, 301, 401, 402, 403, 404, 405, 406, 901, 902};
  EXPECT_EQ(Commands(frame, "MENU_1"), listing);
  std::set<int> searching = listing;
  searching.insert(205);
  EXPECT_EQ(Commands(frame, 10), searching);

  const std::string menu10 = MenuOf(frame, 10);
  for (const char* text : {"101 &New...F4", "102 &Open...F3", "103 &Save..F2", "104 Save &As...",
                           "105 &Print\n  106 Print Pre&view\n  107 Print Answer &Key\n  ---\n  108 &Export...\n"
                           "  109 &Import From Platform...\n  ---\n  24340",
                           "24340 E&xit...Alt-X", "201 &Add", "202 &Delete",
                           "203 &Change", "206 &Insert", "204 &Search", "205 Search A&gain",
                           "301 &Import\n[&Results]\n  401 &Collect Results...\n"
                           "  402 &Add Results Files...\n  406 Open &Hand-In...\n"
                           "  403 Class &Results...\n"
                           "  404 &Print Class Results...\n  ---\n  405 Gradebook &Location...\n[&Help]",
                           "901 Help &Index", "902 &Using Help"})
    EXPECT_NE(menu10.find(text), std::string::npos) << text;
}

TEST(Menus, EveryMenuResourceExists) {
  for (resources::ResId id : {resources::ResId(6), resources::ResId(7), resources::ResId(8),
                              resources::ResId(9), resources::ResId(10), resources::ResId(11),
                              resources::ResId("MENU_1"), resources::ResId("MENU_2"),
                              resources::ResId("MENU_3"), resources::ResId("MENU_5")})
    EXPECT_NE(resources::FindMenu(id), nullptr) << id.ToString();
  EXPECT_EQ(resources::FindMenu(12), nullptr);
}

class Recorder : public platform::TFrameWindow {
 public:
  Recorder() : TFrameWindow("Quizloom") {
    for (int id : {101, 102, 103, 607, 608, 609, 24340})
      Respond(id, [this, id] { commands.push_back(id); });
  }
  std::vector<int> commands;
};

TEST(Accelerators, KeysReachTheRoutedCommand) {
  Recorder frame;
  auto* client = new platform::TWindow(frame.ClientArea());
  frame.SetClient(client);
  frame.LoadAccelerators("ACCELERATORS_1");
  frame.show();
  QApplication::setActiveWindow(&frame);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
  client->setFocus();
  QTest::keyClick(client, Qt::Key_F4);
  QTest::keyClick(client, Qt::Key_F3);
  QTest::keyClick(client, Qt::Key_F2);
  QTest::keyClick(client, Qt::Key_Down, Qt::AltModifier);
  QTest::keyClick(client, Qt::Key_Up, Qt::AltModifier);
  QTest::keyClick(client, Qt::Key_Right, Qt::AltModifier);
  QTest::keyClick(client, Qt::Key_X, Qt::AltModifier);
  QTest::keyClick(client, Qt::Key_F5);
  EXPECT_EQ(frame.commands, (std::vector<int>{101, 102, 103, 607, 608, 609, 24340}));
}

// Accelerators were Qt shortcuts of the active window: after a dialog closed without a window
// manager the frame got the keys but was not active, and F2, F3, F4, Alt+X and the Alt+arrow
// marks did nothing. The frame's own key handling matches them wherever the keys arrive; a
// client may still answer a command itself, and a disabled menu item keeps its command.
TEST(Accelerators, LostWhenTheFrameGotKeysWithoutBeingTheActiveWindow) {
  Recorder frame;
  auto* client = new platform::TWindow(frame.ClientArea());
  frame.SetClient(client);
  frame.LoadAccelerators("ACCELERATORS_1");
  frame.show();
  QWidget other;
  other.show();
  QApplication::setActiveWindow(&other);
  ASSERT_NE(QApplication::activeWindow(), &frame);
  auto press = [&](int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QKeyEvent event(QEvent::KeyPress, key, mods);
    QApplication::sendEvent(client, &event);
  };
  for (auto [key, mods] : std::vector<std::pair<int, Qt::KeyboardModifiers>>{
           {Qt::Key_F4, {}}, {Qt::Key_F3, {}}, {Qt::Key_F2, {}}, {Qt::Key_Down, Qt::AltModifier},
           {Qt::Key_Up, Qt::AltModifier}, {Qt::Key_Right, Qt::AltModifier},
           {Qt::Key_X, Qt::AltModifier}, {Qt::Key_F2, Qt::ShiftModifier}})
    press(key, mods);
  EXPECT_EQ(frame.commands, (std::vector<int>{101, 102, 103, 607, 608, 609, 24340}));

  frame.commands.clear();
  frame.SetMenu("MENU_1");
  for (QAction* top : frame.menuBar()->actions())
    if (top->menu())
      for (QAction* item : top->menu()->actions())
        if (item->data().toInt() == 101) item->setEnabled(false);
  press(Qt::Key_F4);
  press(Qt::Key_F3);
  EXPECT_EQ(frame.commands, (std::vector<int>{102}));
}

TEST(Accelerators, MenuItemsRunTheirCommandAfterTheMenuCloses) {
  Recorder frame;
  frame.SetMenu(9);
  QAction* open = nullptr;
  for (QAction* top : frame.menuBar()->actions())
    if (top->menu())
      for (QAction* a : top->menu()->actions())
        if (a->data().toInt() == 102) open = a;
  ASSERT_NE(open, nullptr);
  open->trigger();
  EXPECT_TRUE(frame.commands.empty());
  QApplication::processEvents();
  EXPECT_EQ(frame.commands, (std::vector<int>{102}));
}

}  // namespace
