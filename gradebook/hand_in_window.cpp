#include "gradebook/hand_in_window.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "gradebook/gradebook_thread.h"
#include "gradebook/store.h"
#include "platform/cp1252.h"
#include "platform/modal.h"
#include "platform/system.h"

namespace gradebook {

namespace {

constexpr char kCaption[] = "Hand-In";
// How soon a refresh is tried again while another gradebook command runs.
constexpr int kBusyRetryMilliseconds = 500;

}  // namespace

THandInWindow::THandInWindow(TGradebookThread& gradebook, THandInSession session,
                             const std::string& testName, QWidget* parent)
    : QDialog(parent), gradebook_(gradebook), session_(std::move(session)) {
  setWindowTitle(platform::FromCp1252("Hand-In: " + testName));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel("Students choose School and type this code:", this));
  code_ = new QLabel(this);
  QFont large = code_->font();
  large.setPointSizeF(large.pointSizeF() * 4);
  large.setBold(true);
  large.setLetterSpacing(QFont::AbsoluteSpacing, large.pointSizeF() / 4);
  code_->setFont(large);
  code_->setAlignment(Qt::AlignCenter);
  code_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  layout->addWidget(code_);
  closes_ = new QLabel(this);
  count_ = new QLabel(this);
  QFont bold = count_->font();
  bold.setBold(true);
  count_->setFont(bold);
  layout->addWidget(closes_);
  layout->addWidget(count_);
  arrivals_ = new QTreeWidget(this);
  arrivals_->setRootIsDecorated(false);
  arrivals_->setHeaderLabels({"Time", "Name", "What became of it"});
  arrivals_->setAccessibleName("Arrivals");
  arrivals_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  layout->addWidget(arrivals_, 1);
  status_ = new QLabel(this);
  status_->setWordWrap(true);
  layout->addWidget(status_);
  auto* buttons = new QDialogButtonBox(this);
  restore_ = buttons->addButton("Restore &Earlier", QDialogButtonBox::ActionRole);
  delete_ = buttons->addButton("&Delete Attempt", QDialogButtonBox::ActionRole);
  close_ = buttons->addButton("Close &Hand-In", QDialogButtonBox::ActionRole);
  QPushButton* hide = buttons->addButton(QDialogButtonBox::Close);
  layout->addWidget(buttons);
  connect(restore_, &QPushButton::clicked, this, [this] { CmRestoreEarlier(); });
  connect(delete_, &QPushButton::clicked, this, [this] { CmDeleteAttempt(); });
  connect(close_, &QPushButton::clicked, this, [this] { CmCloseHandIn(); });
  connect(hide, &QPushButton::clicked, this, &QDialog::close);
  connect(arrivals_, &QTreeWidget::currentItemChanged, this, [this] { ShowChoice(); });
  // The session ends by itself on the server; the window notices at that time.
  closing_.setSingleShot(true);
  connect(&closing_, &QTimer::timeout, this, [this] { Refresh(); });
  soon_.setSingleShot(true);
  soon_.setInterval(0);
  connect(&soon_, &QTimer::timeout, this, [this] { Refresh(); });
  resize(560, 480);
  ShowSession();
}

bool THandInWindow::Refresh() {
  // A notice that comes while another gradebook command runs waits for it to end.
  if (gradebook_.Busy()) return soon_.start(kBusyRetryMilliseconds), false;
  std::string error;
  bool collected = false;
  const bool finished = gradebook_.Use(this, "Collecting what was handed in...",
                                       [&](TStore& store, TJob&) {
    auto session = store.HandInSession(session_.id);
    auto handIns = session ? store.HandIns(session_.id) : TRead<std::vector<THandIn>>::Failed("");
    error = session ? handIns.Error() : session.Error();
    if (!session || !handIns) return;
    session_ = std::move(*session);
    handIns_ = std::move(*handIns);
    std::vector<THandIn> pending;
    for (const THandIn& handIn : handIns_)
      if (handIn.outcome.empty()) pending.push_back(handIn);
    if (pending.empty()) return;
    collected = true;
    if (!CollectHandIns(store, pending, error)) error = error.empty() ? store.LastError() : error;
    if (auto again = store.HandIns(session_.id)) handIns_ = std::move(*again);
  });
  if (!finished && error.empty()) error = kCancelled;
  if (collected && collected_) collected_();
  ShowSession();
  status_->setText(platform::FromCp1252(error));
  return error.empty();
}

void THandInWindow::ShowSession() {
  code_->setText(QString::fromStdString(session_.code));
  code_->setEnabled(IsOpen());
  closes_->setText(IsOpen() ? QString("Open until %1.").arg(session_.closes.c_str())
                            : QString("Closed at %1: the code is refused now.")
                                  .arg(session_.closes.c_str()));
  QString count = QString("%1 handed in").arg(handIns_.size());
  if (session_.refused > 0) count += QString(", %1 refused").arg(session_.refused);
  count_->setText(count);
  const int current = arrivals_->currentIndex().row();
  arrivals_->clear();
  for (const THandIn& handIn : handIns_)
    new QTreeWidgetItem(arrivals_, {QString::fromStdString(handIn.received),
                                    platform::FromCp1252(HandInName(handIn)),
                                    QString::fromStdString(OutcomeText(handIn.outcome))});
  if (current >= 0 && current < arrivals_->topLevelItemCount())
    arrivals_->setCurrentItem(arrivals_->topLevelItem(current));
  if (IsOpen()) closing_.start(int(std::min<int64_t>(session_.secondsLeft, 86400) * 1000 + 500));
  ShowChoice();
}

void THandInWindow::ShowChoice() {
  const THandIn* handIn = Current();
  restore_->setEnabled(handIn && handIn->outcome == "replaced");
  delete_->setEnabled(handIn && (handIn->outcome == "added" || handIn->outcome == "replaced" ||
                                 handIn->outcome == "restored"));
  close_->setEnabled(IsOpen());
}

const THandIn* THandInWindow::Current() const {
  const int row = arrivals_->currentIndex().row();
  return row >= 0 && row < int(handIns_.size()) ? &handIns_[std::size_t(row)] : nullptr;
}

void THandInWindow::Say(const std::string& text) {
  platform::MessageBox(this, text, kCaption, platform::MB_OK | platform::MB_ICONEXCLAMATION);
}

void THandInWindow::Change(const std::string& label,
                           const std::function<bool(TStore&, std::string&)>& step) {
  std::string error;
  bool done = false;
  if (!gradebook_.Use(this, label, [&](TStore& store, TJob&) { done = step(store, error); }))
    error = kCancelled;
  if (!done) Say(error);
  Refresh();
}

void THandInWindow::CmRestoreEarlier() {
  const THandIn* current = Current();
  if (!current) return;
  const THandIn handIn = *current;  // the list may be read anew while the gradebook works
  Change("Restoring the earlier attempt...", [&](TStore& store, std::string& error) {
    return RestoreEarlier(store, handIn, error);
  });
  if (collected_) collected_();
}

void THandInWindow::CmDeleteAttempt() {
  const THandIn* current = Current();
  if (!current) return;
  const THandIn handIn = *current;
  const std::string text = "Delete the attempt that " + HandInName(handIn) + " handed in at " +
                           handIn.received + " from the gradebook? Its hand-in stays listed.";
  if (platform::MessageBox(this, text, kCaption, platform::MB_YESNO | platform::MB_ICONQUESTION) !=
      platform::IDYES)
    return;
  Change("Deleting the attempt...", [&](TStore& store, std::string& error) {
    return DeleteHandInAttempt(store, handIn, error);
  });
  if (collected_) collected_();
}

void THandInWindow::CmCloseHandIn() {
  Change("Closing the hand-in...", [&](TStore& store, std::string& error) {
    return store.CloseHandIn(session_.id) || (error = store.LastError(), false);
  });
}

}  // namespace gradebook
