#pragma once
#include <memory>
#include <string>

#include <QDialog>

#include "gradebook/gradebook_thread.h"
#include "gradebook/location.h"

class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace gradebook {

// Opens the gradebook where the teacher chose to keep it, on the gradebook thread. When the
// server asks for a password, asks the teacher and keeps it in memory until Quizloom closes;
// never elsewhere. Nothing, and the reason in error, when it cannot be used or the teacher
// cancels.
TStorePtr OpenAt(TGradebookThread& thread, QWidget* parent, const TLocation& location,
                 std::string& error);
TStorePtr OpenChosen(TGradebookThread& thread, QWidget* parent, std::string& error);

// Gradebook Location: this computer or a school's server, with Test Connection and copying
// this computer's gradebook to the server. OK keeps the choice in Quizloom's settings.
class TLocationDialog : public QDialog {
 public:
  // Test Connection and the copy use the gradebook thread's connections of their own.
  TLocationDialog(QWidget* parent, TGradebookThread& thread);
  TLocation Location() const;

 protected:
  void done(int result) override;

 private:
  // Other settings with a password are refused with a message: passwords stay in memory.
  bool RefusesPassword();
  void ShowChoice();
  void TestConnection();
  void CopyToServer();
  void Message(const QString& text, bool warning);

  QRadioButton* thisComputer_;
  QRadioButton* schoolServer_;
  QLineEdit* service_;
  QLineEdit* host_;
  QLineEdit* port_;
  QLineEdit* database_;
  QLineEdit* user_;
  QLineEdit* options_;
  QSpinBox* timeout_;
  QWidget* serverFields_;
  QPushButton* test_;
  QPushButton* copy_;
  TGradebookThread& thread_;
};

}  // namespace gradebook
