#pragma once
#include <functional>
#include <string>
#include <vector>

#include <QDialog>
#include <QTimer>

#include "gradebook/hand_in.h"

class QLabel;
class QPushButton;
class QTreeWidget;

namespace gradebook {

class TGradebookThread;

// A hand-in session as the teacher watches it: the code in large letters for the board, when
// it closes, how many handed in, and every arrival with its name and what became of it.
// Refresh collects what arrived into the gradebook first. Restore Earlier undoes a
// replacement, Delete Attempt removes a forged arrival's attempt, Close Hand-In ends the
// session at once; the session also ends by itself at its time.
class THandInWindow : public QDialog {
 public:
  THandInWindow(TGradebookThread& gradebook, THandInSession session, const std::string& testName,
                QWidget* parent);

  // Collects new arrivals and shows the session as it stands. False when the gradebook
  // failed, or was busy with another command (then it is tried again soon); the window then
  // says why in its status line.
  bool Refresh();
  // Refresh once the notices that came together are all in: a class handing in at once
  // costs one refresh, not one a student.
  void RefreshSoon() { soon_.start(); }
  // Called after Refresh collected something, so that Class Results can show it.
  void OnCollected(std::function<void()> collected) { collected_ = std::move(collected); }

  void CmRestoreEarlier();
  void CmDeleteAttempt();
  void CmCloseHandIn();

  int64_t SessionId() const { return session_.id; }
  bool IsOpen() const { return session_.secondsLeft > 0; }
  QLabel* CodeLabel() const { return code_; }
  QLabel* CountLabel() const { return count_; }
  QLabel* StatusLabel() const { return status_; }
  QTreeWidget* Arrivals() const { return arrivals_; }

 private:
  void ShowSession();
  void ShowChoice();
  // The arrival the list's current row shows, or null.
  const THandIn* Current() const;
  // Says why a command failed, through the modal seam.
  void Say(const std::string& text);
  // Runs a command's step on the gradebook's thread, says why it failed, and shows the
  // session as it then stands.
  void Change(const std::string& label, const std::function<bool(TStore&, std::string&)>& step);

  TGradebookThread& gradebook_;
  THandInSession session_;
  std::vector<THandIn> handIns_;
  std::function<void()> collected_;
  QLabel* code_ = nullptr;
  QLabel* closes_ = nullptr;
  QLabel* count_ = nullptr;
  QLabel* status_ = nullptr;
  QTreeWidget* arrivals_ = nullptr;
  QPushButton* restore_ = nullptr;
  QPushButton* delete_ = nullptr;
  QPushButton* close_ = nullptr;
  QTimer closing_;
  QTimer soon_;
};

}  // namespace gradebook
