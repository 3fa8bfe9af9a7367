#include "export/save_command.h"

#include "shared/error_report.h"

namespace brindlecap {

namespace {

// Read-only box, ask before replacing a file, multi-select, explorer style, long names.
constexpr int32_t kSaveDialogFlags = 2621955;
constexpr char16_t kSaveDialogTitle[] = u"Save";
constexpr char16_t kSaveDialogFilter[] = u"Text Files (*.txt)|*.txt|All Files (*.*)|*.*|";

// Sets a flag for as long as it lives, however the step ends.
class FlagScope {
 public:
  explicit FlagScope(bool& flag) noexcept : flag_(flag) { flag_ = true; }
  ~FlagScope() { flag_ = false; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

 private:
  bool& flag_;
};

}  // namespace

void SaveCommand::Run() noexcept {
  // The writer yields to the event loop: a click that arrives through one of its
  // yields would open a second dialog and write over the file being written.
  if (saving_) return;
  FlagScope saving(saving_);

  ReportingOperation op(services_.messages, location::kSaveResults);
  std::u16string chosenPath;
  op.Do(106, [&] { dialog_.SetFileName(u""); });
  op.Do(108, [&] { dialog_.SetFlags(kSaveDialogFlags); });
  op.Do(110, [&] { dialog_.SetDialogTitle(kSaveDialogTitle); });
  op.Do(112, [&] { dialog_.SetFilter(kSaveDialogFilter); });
  op.Do(114, [&] { dialog_.ShowSave(); });
  op.Do(116, [&] { chosenPath = dialog_.FileName(); });
  if (op.ExitIf(118, [&] { return chosenPath.empty(); })) return;
  op.Do(120, [&] { pointer_.SetMousePointer(mouse_pointer::kHourglass); });
  op.Do(122, [&] {
    FlagScope writing(writing_);
    WriteFixedWidthList(list_, chosenPath, services_);
  });
  op.Do(124, [&] { pointer_.SetMousePointer(mouse_pointer::kDefault); });
}

}  // namespace brindlecap
