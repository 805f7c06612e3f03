#include "resources/resource_tables.h"

namespace resources {

namespace {

using C = ControlKind;

// Controls in template order, which is the order of the transfer record and of the tab keys.
ControlTemplate Text(int id, std::string_view text, int x, int y, int w, int h) {
  return {id, C::Static, text, x, y, w, h};
}
ControlTemplate Edit(int id, int x, int y, int w, int h, int length, bool scrolls = false) {
  return {id, C::Edit, {}, x, y, w, h, length, scrolls, true};
}
// Button 1 is the default button and acts as OK, button 2 acts as Cancel.
ControlTemplate Button(int id, int x, int y, int w, int h) {
  return {id, C::PushButton, id == 1 ? "OK" : "Cancel", x, y, w, h, 0, false, true};
}
ControlTemplate Radio(int id, std::string_view text, int x, int y, int w, int h, bool tab = false) {
  return {id, C::Radio, text, x, y, w, h, 0, false, tab};
}
ControlTemplate Check(int id, std::string_view text, int x, int y, int w, int h) {
  return {id, C::Check, text, x, y, w, h, 0, false, true};
}
ControlTemplate Shade(int id, int x, int y, int w, int h) { return {id, C::Shade, {}, x, y, w, h}; }

DialogTemplate NumberPrompt(std::string_view name, std::string_view title, int x, int y,
                            ControlTemplate text, int editX, int editY, int okX, int okY,
                            int cancelX) {
  return {name, title, x, y, 142, 92, true,
          {Edit(101, editX, editY, 26, 12, 11), text, Button(1, okX, okY, 32, 20),
           Button(2, cancelX, okY, 32, 20)}};
}

}  // namespace

const std::vector<DialogTemplate>& DialogTemplates() {
  static const std::vector<DialogTemplate> dialogs = {
      {"INFODIALOG", "Class information", 86, 33, 162, 149, true,
       {Text(110, "&First name:", 34, 4, 45, 8), Edit(101, 33, 16, 88, 12, 21),
        Text(106, "&Last Name:", 34, 32, 38, 8), Edit(102, 34, 43, 87, 12, 21),
        Text(107, "&Course:", 34, 61, 26, 8), Edit(103, 34, 73, 87, 12, 21),
        Text(108, "&Period:", 35, 89, 25, 7), Edit(104, 36, 99, 16, 12, 6),
        Text(109, "&Instructor:", 78, 88, 33, 8), Edit(105, 77, 99, 77, 12, 26),
        Button(1, 15, 127, 32, 20), Button(2, 111, 127, 32, 20)}},
      {"DRIVEDLG", "Storage Drive", 88, 49, 142, 92, false,
       {Text(101, "Select the storage drive:", 33, 12, 81, 8),
        Radio(102, "C:", 51, 24, 18, 10, true), Radio(103, "A:", 51, 36, 32, 10),
        Radio(104, "B:", 51, 49, 32, 10), Shade(105, 26, 5, 93, 57),
        Button(1, 53, 67, 32, 20)}},
      // Quizdesk's storage drive dialog on a computer set up to hand in at school: DRIVEDLG
      // with a fourth choice, the frame and OK moved down to make room for it.
      {"SCHOOLDRIVEDLG", "Storage Drive", 88, 49, 142, 104, false,
       {Text(101, "Select the storage drive:", 33, 12, 81, 8),
        Radio(102, "C:", 51, 24, 18, 10, true), Radio(103, "A:", 51, 36, 32, 10),
        Radio(104, "B:", 51, 49, 32, 10), Radio(106, "School", 51, 61, 40, 10),
        Shade(105, 26, 5, 93, 69), Button(1, 53, 79, 32, 20)}},
      // The hand-in code that the teacher shows, asked once per test.
      {"HANDINDLG", "Hand In", 82, 54, 142, 73, true,
       {Text(101, "&Hand-in code from your teacher:", 19, 6, 110, 8),
        Edit(102, 37, 20, 69, 13, 13), Button(1, 8, 48, 32, 20), Button(2, 101, 48, 32, 20)}},
      {"PRINTDLG", "Print Options", 63, 43, 168, 121, true,
       {Text(101, "Select your printing options:", 34, 12, 93, 8),
        Check(102, "&Course", 36, 26, 36, 10), Check(103, "&Period", 36, 39, 32, 10),
        Check(104, "&Instructor", 36, 53, 43, 10),
        Check(105, "Print &Question and Answer", 36, 66, 97, 10),
        Check(106, "Print &Answer only", 36, 81, 67, 8), Button(1, 25, 95, 32, 20),
        Button(2, 114, 95, 32, 20), Shade(107, 28, 23, 109, 69)}},
      {"SDIALOG", "Search", 73, 48, 142, 92, true,
       {Edit(101, 27, 23, 82, 12, 51, true), Text(102, "Text you want to search for:", 22, 9, 92, 8),
        Radio(103, "&Not case sensitive", 29, 43, 81, 10, true),
        Radio(104, "&Case Sensitive", 29, 53, 78, 12), Shade(105, 26, 40, 86, 28),
        Button(1, 5, 70, 32, 20), Button(2, 104, 70, 32, 20)}},
      NumberPrompt("DINTRO", "Delete Question", 79, 50,
                   Text(102, "Enter the question you want to delete:", 6, 15, 131, 9), 60, 29,
                   29, 59, 86),
      NumberPrompt("CINTRO", "Change Question", 51, 40,
                   Text(102, "Enter the question you want to change:", 4, 20, 131, 9), 58, 34,
                   27, 64, 84),
      NumberPrompt("INSERTDIALOG", "Insert Question", 18, 18,
                   Text(102, "After which question do you want to insert?", 2, 16, 147, 9), 58,
                   30, 27, 60, 84),
      {"ABOX", "Answer", 82, 54, 142, 73, true,
       {Edit(101, 37, 20, 69, 13, 51, true), Text(102, "Enter the answer below:", 28, 5, 89, 8),
        Button(1, 8, 48, 32, 20), Button(2, 101, 47, 32, 20)}},
      // The printing service's dialog, shown while pages are printed; its three lines are
      // filled in with the page, the title and the printer.
      {kPrintingDialog, "Printing", 84, 51, 160, 64, true,
       {Text(101, "Now printing Page %d of", 8, 8, 144, 8), Text(102, "'%s' on the", 8, 17, 144, 8),
        Text(103, "%s on %s", 8, 26, 144, 8), Button(2, 60, 41, 40, 16)}},
  };
  return dialogs;
}

}  // namespace resources
