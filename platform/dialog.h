#pragma once
#include <map>
#include <memory>
#include <string>

#include "resources/resource_types.h"

class QDialog;
class QWidget;

namespace platform {

// A modal dialog built from a template of resources/, exchanging its values with a transfer
// record: the packed slots of its data controls in template order (an edit's slot is its
// text length in bytes, a check box's or radio button's an int32). The record is read when
// the dialog opens and written only when it closes with OK.
class TDialog {
 public:
  // The record must stay alive until Execute returns.
  TDialog(QWidget* parent, std::string_view templateName, void* record);
  virtual ~TDialog();

  // Shows the dialog modally: 1 for OK, 2 for Cancel (button, Escape or the close box).
  int Execute();

  const std::string& TemplateName() const { return templateName_; }
  std::string Title() const;
  const resources::DialogTemplate& Template() const { return *template_; }

  // The real controls, for the scripted user and for tests.
  QDialog* Widget() const { return dialog_.get(); }
  QWidget* Control(int id) const;
  // An edit's or a static text's text, Windows-1252 bytes.
  void SetControlText(int id, std::string_view text);
  std::string ControlText(int id) const;
  void SetChecked(int id, bool checked);
  bool IsChecked(int id) const;

  // Size of the transfer record this template describes.
  static int RecordSize(const resources::DialogTemplate& dialog);

 private:
  void Build();
  // Grows frames and the dialog around controls that outgrew their template sizes.
  void FitToContents(int marginX, int marginY);
  void TransferToControls();
  void TransferFromControls();

  QWidget* parent_;
  std::string templateName_;
  const resources::DialogTemplate* template_;
  unsigned char* record_;
  std::unique_ptr<QDialog> dialog_;
  std::map<int, QWidget*> controls_;
};

}  // namespace platform
