#pragma once
#include "core/dialog_records.h"
#include "platform/dialog.h"

namespace core {

// The eight small dialogs of both programs. Each is shown with Execute(), returns 1 (OK) or
// 2 (Cancel) and writes its record only on OK. None checks what was entered: the commands do.
class TInfoDialog : public platform::TDialog {
 public:
  TInfoDialog(QWidget* parent, TInfoRecord* record) : TDialog(parent, "INFODIALOG", record) {}
};

// Has no Cancel button and no system menu; Escape still closes it with 2.
class TDriveDialog : public platform::TDialog {
 public:
  TDriveDialog(QWidget* parent, TDriveRecord* record) : TDialog(parent, "DRIVEDLG", record) {}
};

class TPrintThisDialog : public platform::TDialog {
 public:
  TPrintThisDialog(QWidget* parent, TPrintOptionsRecord* record)
      : TDialog(parent, "PRINTDLG", record) {}
};

class TSearchDialog : public platform::TDialog {
 public:
  TSearchDialog(QWidget* parent, TSearchRecord* record) : TDialog(parent, "SDIALOG", record) {}
};

class TDeleteDialog : public platform::TDialog {
 public:
  TDeleteDialog(QWidget* parent, TNumberRecord* record) : TDialog(parent, "DINTRO", record) {}
};

class TChangeDialog : public platform::TDialog {
 public:
  TChangeDialog(QWidget* parent, TNumberRecord* record) : TDialog(parent, "CINTRO", record) {}
};

class TInsertDialog : public platform::TDialog {
 public:
  TInsertDialog(QWidget* parent, TNumberRecord* record)
      : TDialog(parent, "INSERTDIALOG", record) {}
};

class TAnswerDialog : public platform::TDialog {
 public:
  TAnswerDialog(QWidget* parent, TAnswerRecord* record) : TDialog(parent, "ABOX", record) {}
};

}  // namespace core
