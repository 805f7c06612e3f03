#include "platform/modal.h"

#include <algorithm>

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPointer>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "platform/cp1252.h"
#include "platform/dialog.h"
#include "platform/help_viewer.h"
#include "platform/printout.h"

namespace platform {

namespace {

// "Test Files (*.tst)|*.tst|" -> "Test Files (*.tst)"; the old filter pairs a description
// with its patterns, separated by bars.
QString QtFilter(const std::string& filter) {
  QStringList parts = FromCp1252(filter).split('|');
  QStringList result;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i].isEmpty()) continue;
    QString patterns = parts[i + 1];
    patterns.replace(';', ' ');
    result << (parts[i].contains('(') ? parts[i] : parts[i] + " (" + patterns + ")");
  }
  return result.join(";;");
}

// Gives the focus back to the window that had it when a modal window closes and nothing
// else took it: without a window manager, or with a parent made hidden meanwhile, the keys
// would otherwise go nowhere.
class TFocusReturn {
 public:
  TFocusReturn() : focus_(QApplication::focusWidget()) {}
  ~TFocusReturn() {
    if (QApplication::focusWidget() || !focus_ || !focus_->isVisible()) return;
    focus_->activateWindow();
    focus_->setFocus();
  }

 private:
  QPointer<QWidget> focus_;
};

// The extension of the index-th type's first pattern ("*.gift" -> "gift"), or "".
std::string FilterExtension(const std::string& filter, int index) {
  const QStringList parts = FromCp1252(filter).split('|');
  const qsizetype at = 2 * qsizetype(index - 1) + 1;
  if (index < 1 || at >= parts.size()) return {};
  const QString pattern = parts[at].section(';', 0, 0).trimmed();
  if (!pattern.startsWith("*.") || pattern.indexOf(QChar(0x2A), 2) >= 0 || pattern.contains('?')) return {};
  return ToCp1252(pattern.mid(2));
}

class QtModalUser : public ModalUser {
 public:
  int MessageBox(QWidget* owner, const std::string& text, const std::string& caption,
                 unsigned style) override {
    const TFocusReturn focusReturn;
    QMessageBox box(owner);
    box.setWindowTitle(FromCp1252(caption));
    box.setText(FromCp1252(text));
    box.setTextFormat(Qt::PlainText);
    switch (style & 0xF0) {
      case MB_ICONHAND: box.setIcon(QMessageBox::Critical); break;
      case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
      case MB_ICONEXCLAMATION: box.setIcon(QMessageBox::Warning); break;
      case MB_ICONINFORMATION: box.setIcon(QMessageBox::Information); break;
      default: break;
    }
    struct Choice { QMessageBox::StandardButton button; int result; };
    std::vector<Choice> choices;
    switch (style & 0x0F) {
      case MB_OKCANCEL: choices = {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}}; break;
      case MB_YESNOCANCEL:
        choices = {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}};
        break;
      case MB_YESNO: choices = {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}}; break;
      default: choices = {{QMessageBox::Ok, IDOK}}; break;
    }
    for (const Choice& choice : choices) box.addButton(choice.button);
    box.setDefaultButton(choices.front().button);
    // Escape answers Cancel where there is one, OK on a box with OK only, nothing on Yes/No.
    if ((style & 0x0F) == MB_OK) box.setEscapeButton(QMessageBox::Ok);
    // A box asks for a click: it shows the arrow even while the program waits, as the old
    // boxes did with their own cursor.
    const bool waiting = QApplication::overrideCursor() != nullptr;
    if (waiting) QApplication::setOverrideCursor(Qt::ArrowCursor);
    box.exec();
    if (waiting) QApplication::restoreOverrideCursor();
    QAbstractButton* clicked = box.clickedButton();
    for (const Choice& choice : choices)
      if (clicked && box.standardButton(clicked) == choice.button) return choice.result;
    return (style & 0x0F) == MB_OK ? IDOK : IDCANCEL;
  }

  int RunDialog(QWidget*, TDialog& dialog) override {
    const TFocusReturn focusReturn;
    return dialog.Widget()->exec() == QDialog::Accepted ? IDOK : IDCANCEL;
  }

  int RunQtDialog(QWidget*, QDialog& dialog) override {
    const TFocusReturn focusReturn;
    return dialog.exec();
  }

  std::optional<std::string> AskPassword(QWidget* owner, const std::string& caption,
                                         const std::string& prompt) override {
    const TFocusReturn focusReturn;
    QInputDialog dialog(owner);
    dialog.setWindowTitle(QString::fromStdString(caption));
    dialog.setLabelText(QString::fromStdString(prompt));
    dialog.setTextEchoMode(QLineEdit::Password);
    if (auto* field = dialog.findChild<QLineEdit*>()) field->setAccessibleName("Password");
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.textValue().toStdString();
  }

  bool ProgressCancelled(QProgressDialog& progress, int done, int total) override {
    progress.setMaximum(total);
    progress.setValue(done);
    return progress.wasCanceled();
  }

  std::optional<std::string> ChooseFile(QWidget* owner, TOpenSaveDialogData& data,
                                        FileDialogKind kind) override {
    std::optional<std::vector<std::string>> paths = Run(owner, data, kind);
    if (!paths) return std::nullopt;
    return paths->front();
  }

  std::optional<std::vector<std::string>> ChooseFiles(QWidget* owner,
                                                      const TOpenSaveDialogData& data) override {
    TOpenSaveDialogData chosen = data;
    return Run(owner, chosen, FileDialogKind::Open);
  }

  void Help(QWidget* owner, const std::string& helpFile, int command) override {
    ShowHelp(owner, helpFile, command);
  }

  bool PrintDialog(QWidget* owner, QPrinter& printer, TPrintDialogData& data) override {
    const TFocusReturn focusReturn;
    QPrintDialog dialog(&printer, owner);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dialog.setMinMax(data.minPage, data.maxPage);
    printer.setFromTo(data.fromPage, data.toPage);
    const bool all = data.fromPage == data.minPage && data.toPage == data.maxPage;
    dialog.setPrintRange(all ? QAbstractPrintDialog::AllPages : QAbstractPrintDialog::PageRange);
    if (dialog.exec() != QDialog::Accepted) return false;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
      data.fromPage = std::clamp(printer.fromPage(), data.minPage, data.maxPage);
      data.toPage = std::clamp(printer.toPage(), data.fromPage, data.maxPage);
    } else {
      data.fromPage = data.minPage;
      data.toPage = data.maxPage;
    }
    return true;
  }

  void PrintPreview(QWidget*, QPrintPreviewDialog& preview) override {
    const TFocusReturn focusReturn;
    preview.exec();
  }

  std::optional<int> ChooseRow(QWidget* owner, const std::string& caption,
                               const std::vector<std::string>& columns,
                               const std::vector<std::vector<std::string>>& rows) override {
    const TFocusReturn focusReturn;
    QDialog dialog(owner);
    dialog.setWindowTitle(QString::fromStdString(caption));
    auto* layout = new QVBoxLayout(&dialog);
    auto* list = new QTreeWidget(&dialog);
    list->setRootIsDecorated(false);
    list->setAccessibleName(QString::fromStdString(caption));
    QStringList headings;
    for (const std::string& column : columns) headings << QString::fromStdString(column);
    list->setHeaderLabels(headings);
    for (const std::vector<std::string>& row : rows) {
      QStringList cells;
      for (const std::string& cell : row) cells << QString::fromStdString(cell);
      list->addTopLevelItem(new QTreeWidgetItem(cells));
    }
    for (int c = 0; c < list->columnCount(); ++c) list->resizeColumnToContents(c);
    if (list->topLevelItemCount() > 0) list->setCurrentItem(list->topLevelItem(0));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(list, &QTreeWidget::itemActivated, &dialog, &QDialog::accept);
    layout->addWidget(list);
    layout->addWidget(buttons);
    // Wide enough for every column where the screen allows, so none hides at the right.
    const QMargins margins = layout->contentsMargins();
    const int wanted = list->header()->length() + 2 * list->frameWidth() +
                       list->verticalScrollBar()->sizeHint().width() + margins.left() +
                       margins.right();
    const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    const int room = screen ? screen->availableGeometry().width() : wanted;
    dialog.resize(std::max(560, std::min(wanted, room)), 320);
    if (dialog.exec() != QDialog::Accepted || !list->currentItem()) return std::nullopt;
    return list->indexOfTopLevelItem(list->currentItem());
  }

  bool PrintingCancelled(TDialog& printingDialog, int) override {
    // The Cancel button, Escape and the close box all hide the dialog.
    QCoreApplication::processEvents();
    return !printingDialog.Widget()->isVisible();
  }

 private:
  // The file dialog; data.filterIndex tells which type was chosen.
  static std::optional<std::vector<std::string>> Run(QWidget* owner, TOpenSaveDialogData& data,
                                                     FileDialogKind kind) {
    const TFocusReturn focusReturn;
    QFileDialog dialog(owner);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    const QStringList filters = QtFilter(data.filter).split(";;");
    dialog.setNameFilters(filters);
    auto suffixOf = [&](int index) {
      const std::string ext = FilterExtension(data.filter, index);
      return FromCp1252(ext.empty() ? data.defaultExt : ext);
    };
    if (data.filterIndex > 1 && data.filterIndex <= filters.size())
      dialog.selectNameFilter(filters[data.filterIndex - 1]);
    dialog.setDefaultSuffix(suffixOf(std::max(1, data.filterIndex)));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& chosen) {
      dialog.setDefaultSuffix(suffixOf(int(filters.indexOf(chosen)) + 1));
    });
    QString proposed = PathToQt(data.fileName);
    QString folder = data.initialDir.empty() ? QDir::currentPath() : PathToQt(data.initialDir);
    if (!proposed.isEmpty()) {
      QFileInfo info(proposed);
      if (info.isAbsolute()) folder = info.absolutePath();
      proposed = info.fileName();
    }
    dialog.setDirectory(folder);
    if (!proposed.isEmpty()) dialog.selectFile(proposed);
    if (kind == FileDialogKind::Open) {
      dialog.setAcceptMode(QFileDialog::AcceptOpen);
      if (data.flags & OFN_ALLOWMULTISELECT)
        dialog.setFileMode(QFileDialog::ExistingFiles);
      else
        dialog.setFileMode((data.flags & OFN_FILEMUSTEXIST) ? QFileDialog::ExistingFile
                                                            : QFileDialog::AnyFile);
      dialog.setWindowTitle("Open");
    } else {
      dialog.setAcceptMode(QFileDialog::AcceptSave);
      dialog.setFileMode(QFileDialog::AnyFile);
      dialog.setWindowTitle("Save As");
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    data.filterIndex = std::max(1, int(filters.indexOf(dialog.selectedNameFilter())) + 1);
    std::vector<std::string> paths;
    for (const QString& path : dialog.selectedFiles())
      paths.push_back(PathFromQt(QDir::cleanPath(QFileInfo(path).absoluteFilePath())));
    return paths;
  }
};

ModalUser* g_replacement = nullptr;

void TakeChosenPath(TOpenSaveDialogData& data, const std::string& path, FileDialogKind kind) {
  QFileInfo info(PathToQt(path));
  // A name typed without extension gets the chosen type's, or the default one, unless it
  // names an existing file.
  std::string ext = FilterExtension(data.filter, data.filterIndex);
  if (ext.empty()) ext = data.defaultExt;
  if (info.suffix().isEmpty() && !ext.empty() && !(kind == FileDialogKind::Open && info.exists()))
    info = QFileInfo(info.filePath() + "." + FromCp1252(ext));
  QString absolute = QDir::cleanPath(info.absoluteFilePath());
  data.fileName = PathFromQt(absolute);
  if (!(data.flags & OFN_NOCHANGEDIR)) QDir::setCurrent(QFileInfo(absolute).absolutePath());
}

bool ChooseFile(QWidget* owner, TOpenSaveDialogData& data, FileDialogKind kind) {
  std::optional<std::string> path = Modal().ChooseFile(owner, data, kind);
  if (!path) return false;
  TakeChosenPath(data, *path, kind);
  return true;
}

}  // namespace

ModalUser& Modal() {
  static QtModalUser real;
  return g_replacement ? *g_replacement : real;
}

void SetModalUser(ModalUser* user) { g_replacement = user; }

int MessageBox(QWidget* owner, std::string_view text, std::string_view caption, unsigned style) {
  return Modal().MessageBox(owner, std::string(text), std::string(caption), style);
}

bool GetOpenFileName(QWidget* owner, TOpenSaveDialogData& data) {
  return ChooseFile(owner, data, FileDialogKind::Open);
}

bool GetSaveFileName(QWidget* owner, TOpenSaveDialogData& data) {
  return ChooseFile(owner, data, FileDialogKind::Save);
}

bool GetOpenFileNames(QWidget* owner, TOpenSaveDialogData& data, std::vector<std::string>& paths) {
  std::optional<std::vector<std::string>> chosen = Modal().ChooseFiles(owner, data);
  if (!chosen || chosen->empty()) return false;
  paths = std::move(*chosen);
  data.fileName = paths.front();
  return true;
}

void ChooseOpenFileByName(TOpenSaveDialogData& data, const std::string& path) {
  TakeChosenPath(data, path, FileDialogKind::Open);
}

void WinHelp(QWidget* owner, std::string_view helpFile, int command) {
  Modal().Help(owner, std::string(helpFile), command);
}

}  // namespace platform
