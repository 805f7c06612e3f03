#include "gradebook/location_dialog.h"

#include <map>

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "gradebook/store.h"
#include "platform/cp1252.h"
#include "platform/modal.h"
#include "platform/system.h"

namespace gradebook {

namespace {

constexpr char kCaption[] = "Gradebook Location";

// The session's passwords, by server and user: memory only, gone when Quizloom closes.
std::map<std::string, QString>& Passwords() {
  static std::map<std::string, QString> passwords;
  return passwords;
}

QString FromCp1252(const std::string& text) { return platform::FromCp1252(text); }

}  // namespace

TStorePtr OpenAt(TGradebookThread& thread, QWidget* parent, const TLocation& location,
                 std::string& error) {
  const std::string key = Describe(location);
  for (;;) {
    bool needsPassword = false;
    const std::string password = Passwords()[key].toStdString();
    TStore* opened = nullptr;
    // A server that does not answer cannot be interrupted before it has a connection: Cancel
    // then waits for the connection's timeout.
    const bool finished = thread.Run(parent, "Opening the gradebook...", [&](TJob&) {
      opened = TStore::Open(location, password, error, needsPassword).release();
    });
    TStorePtr store(opened, TEndOnThread{&thread});
    if (!finished) {
      error = "Opening the gradebook was cancelled.";
      return TStorePtr(nullptr, TEndOnThread{&thread});
    }
    if (store || !needsPassword) return store;
    const std::string prompt = Passwords()[key].isEmpty()
                                   ? "The gradebook server asks for a password."
                                   : "The server refused the password.";
    const std::optional<std::string> typed = platform::Modal().AskPassword(
        parent, "Gradebook Server", prompt + "\nPassword for " + key + ":");
    if (!typed) {
      error = "The gradebook on the server was not opened: no password was given.";
      return store;
    }
    Passwords()[key] = QString::fromStdString(*typed);
  }
}

TStorePtr OpenChosen(TGradebookThread& thread, QWidget* parent, std::string& error) {
  return OpenAt(thread, parent, LoadLocation(), error);
}

TLocationDialog::TLocationDialog(QWidget* parent, TGradebookThread& thread)
    : QDialog(parent), thread_(thread) {
  setWindowTitle(kCaption);
  auto* layout = new QVBoxLayout(this);
  thisComputer_ = new QRadioButton("&This computer", this);
  schoolServer_ = new QRadioButton("&School server", this);
  layout->addWidget(thisComputer_);
  layout->addWidget(schoolServer_);

  serverFields_ = new QWidget(this);
  auto* form = new QFormLayout(serverFields_);
  const auto field = [&](const char* label, const char* hint) {
    auto* edit = new QLineEdit(serverFields_);
    edit->setObjectName(QString(label).remove('&').remove(':'));
    edit->setPlaceholderText(hint);
    form->addRow(label, edit);
    return edit;
  };
  service_ = field("Ser&vice:", "a name from pg_service.conf, or the fields below");
  host_ = field("&Host:", "server name or address");
  port_ = field("P&ort:", "5432");
  port_->setValidator(new QIntValidator(1, 65535, port_));
  database_ = field("&Database:", "quizloom");
  user_ = field("&User:", "your account on the server");
  options_ = field("Oth&er settings:", "e.g. sslmode=verify-full");
  timeout_ = new QSpinBox(serverFields_);
  timeout_->setRange(1, kMostSeconds);
  timeout_->setSuffix(" seconds");
  form->addRow("&Wait for a busy server:", timeout_);
  layout->addWidget(serverFields_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  test_ = buttons->addButton("Test &Connection", QDialogButtonBox::ActionRole);
  copy_ = new QPushButton("Co&py This Computer's Gradebook to the Server", this);
  layout->addWidget(copy_);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(test_, &QPushButton::clicked, this, [this] { TestConnection(); });
  connect(copy_, &QPushButton::clicked, this, [this] { CopyToServer(); });
  connect(schoolServer_, &QRadioButton::toggled, this, [this] { ShowChoice(); });

  const TLocation location = LoadLocation();
  (location.onServer ? schoolServer_ : thisComputer_)->setChecked(true);
  service_->setText(QString::fromStdString(location.service));
  host_->setText(QString::fromStdString(location.host));
  port_->setText(QString::fromStdString(location.port));
  database_->setText(QString::fromStdString(location.database));
  user_->setText(QString::fromStdString(location.user));
  options_->setText(QString::fromStdString(location.options));
  timeout_->setValue(location.timeoutSeconds);
  ShowChoice();
}

TLocation TLocationDialog::Location() const {
  const auto text = [](const QLineEdit* edit) { return edit->text().trimmed().toStdString(); };
  return {schoolServer_->isChecked(), text(service_),  text(host_),
          text(port_),                text(database_), text(user_),
          text(options_),             timeout_->value()};
}

bool TLocationDialog::RefusesPassword() {
  if (!schoolServer_->isChecked() || !HoldsPassword(Location().options)) return false;
  Message("Other settings may not hold a password: Quizloom asks for it when the server wants "
          "one and keeps it in memory only. ~/.pgpass or the service file may hold it too.",
          true);
  options_->setFocus();
  return true;
}

void TLocationDialog::done(int result) {
  if (result == QDialog::Accepted && RefusesPassword()) return;
  QDialog::done(result);
}

void TLocationDialog::ShowChoice() {
  const bool server = schoolServer_->isChecked();
  serverFields_->setEnabled(server);
  copy_->setEnabled(server);
}

void TLocationDialog::Message(const QString& text, bool warning) {
  platform::MessageBox(this, platform::ToCp1252(text), kCaption,
                       platform::MB_OK | (warning ? platform::MB_ICONEXCLAMATION
                                                  : platform::MB_ICONINFORMATION));
}

void TLocationDialog::TestConnection() {
  if (RefusesPassword()) return;
  std::string error;
  const TLocation location = Location();
  auto store = OpenAt(thread_, this, location, error);
  if (!store) return Message(FromCp1252(error), true);
  if (!location.onServer)
    return Message("The gradebook on this computer can be used:\n" +
                       QString::fromStdString(TStore::DefaultPath()),
                   false);
  QString text = QString("The server answers: PostgreSQL %1.\nIts gradebook tables are version %2")
                     .arg(QString::fromStdString(store->ServerVersion()))
                     .arg(store->SchemaVersion());
  if (!store->ReadOnlyReason().empty()) return Message(FromCp1252(store->ReadOnlyReason()), true);
  if (!store->OutdatedRights().empty())
    return Message(text + ".\n" + FromCp1252(store->OutdatedRights()), true);
  Message(text + " and can be used.", false);
}

void TLocationDialog::CopyToServer() {
  if (RefusesPassword()) return;
  if (!QFileInfo::exists(QString::fromStdString(TStore::DefaultPath())))
    return Message("This computer has no gradebook to copy.", false);
  std::string error;
  TStorePtr local = OpenAt(thread_, this, TLocation{}, error);
  if (!local) return Message(FromCp1252(error), true);
  TStorePtr server = OpenAt(thread_, this, Location(), error);
  if (!server) return Message(FromCp1252(error), true);
  std::optional<TStore::TCopyCounts> counts;
  const bool finished =
      thread_.Run(this, "Copying this computer's gradebook to the server...", [&](TJob& job) {
        job.Watch(*server);
        counts = server->CopyFrom(*local, [&](int done, int total) {
          job.Progress(done, total);
          return !job.Cancelled();
        });
      });
  if (!counts)
    return Message(!finished || server->LastError().empty()
                       ? QString("The copy was cancelled: nothing was copied.")
                       : FromCp1252(server->LastError()) + " Nothing was copied.",
                   finished && !server->LastError().empty());
  Message(QString("Copied to the server: %1 attempts. Already there, so skipped: %2.")
              .arg(counts->copied)
              .arg(counts->skipped),
          false);
}

}  // namespace gradebook
