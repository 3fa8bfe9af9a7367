#pragma once
// "Save Results As Text File": asks for a file name and writes the list there.
#include <cstdint>
#include <string>

#include "export/fixed_width_writer.h"
#include "export/mouse_pointer.h"

namespace brindlecap {

// The save-file dialog as the command drives it.
class SaveDialog {
 public:
  virtual ~SaveDialog() = default;
  virtual void SetFileName(const std::u16string& fileName) = 0;
  virtual std::u16string FileName() const = 0;
  virtual void SetFlags(int32_t flags) = 0;
  virtual void SetDialogTitle(const std::u16string& title) = 0;
  virtual void SetFilter(const std::u16string& filter) = 0;
  // Shows the modal save dialog; FileName() is then the chosen full path, or
  // empty when the user cancelled.
  virtual void ShowSave() = 0;
};

class SaveCommand {
 public:
  SaveCommand(const RowListReader& list, SaveDialog& dialog, MousePointerOwner& pointer,
              ExportServices& services)
      : list_(list), dialog_(dialog), pointer_(pointer), services_(services) {}

  // The click of the save button. A click that arrives while a save is running
  // (through the writer's yields) is ignored.
  void Run() noexcept;
  bool Saving() const noexcept { return saving_; }
  // Only while the file itself is being written, not while the dialog is open.
  bool Writing() const noexcept { return writing_; }

 private:
  const RowListReader& list_;
  SaveDialog& dialog_;
  MousePointerOwner& pointer_;
  ExportServices& services_;
  bool saving_ = false;
  bool writing_ = false;
};

}  // namespace brindlecap
