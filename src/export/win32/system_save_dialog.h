#pragma once
// The save command's file dialog over the system's standard save dialog.
#include <windows.h>

#include <string>

#include "export/save_command.h"

namespace brindlecap::win32 {

class SystemSaveDialog : public SaveDialog {
 public:
  // The window that the modal dialog belongs to (may be none).
  void SetOwner(HWND owner) noexcept { owner_ = owner; }

  void SetFileName(const std::u16string& fileName) override { fileName_ = fileName; }
  std::u16string FileName() const override { return fileName_; }
  void SetFlags(int32_t flags) override { flags_ = flags; }
  void SetDialogTitle(const std::u16string& title) override { title_ = title; }
  // Description and pattern pairs separated by '|'.
  void SetFilter(const std::u16string& filter) override { filter_ = filter; }
  // Raises a RuntimeFailure when the dialog itself fails; a cancel is no failure.
  void ShowSave() override;

  // The size of the buffer the dialog returns the name in, in characters.
  static constexpr size_t kFileBufferLength = 32768;

 private:
  HWND owner_ = nullptr;
  std::u16string fileName_;
  int32_t flags_ = 0;
  std::u16string title_;
  std::u16string filter_;
};

// The chosen path from what the dialog left in its buffer: the full path, or the
// folder and the first name when multiple selection split them.
std::u16string ChosenPath(const wchar_t* buffer, size_t bufferLength, WORD fileOffset);

}  // namespace brindlecap::win32
