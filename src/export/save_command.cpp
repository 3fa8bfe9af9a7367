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

// The numbered lines of "Save Results As Text File": the numbers a report quotes.
enum SaveLine : int {
  kClearFileName = 106,
  kSetDialogFlags = 108,
  kSetDialogTitle = 110,
  kSetDialogFilter = 112,
  kShowDialog = 114,
  kTakeChosenPath = 116,
  kLeaveWithoutPath = 118,
  kShowHourglass = 120,
  kWriteList = 122,
  kShowDefaultPointer = 124,
};

}  // namespace

void SaveCommand::Run() noexcept {
  // The writer yields to the event loop: a click that arrives through one of its
  // yields would open a second dialog and write over the file being written.
  if (saving_) return;
  FlagScope saving(saving_);

  ReportingOperation op(services_.messages, location::kSaveResults);
  std::u16string chosenPath;
  op.Do(kClearFileName, [&] { dialog_.SetFileName(u""); });
  op.Do(kSetDialogFlags, [&] { dialog_.SetFlags(kSaveDialogFlags); });
  op.Do(kSetDialogTitle, [&] { dialog_.SetDialogTitle(kSaveDialogTitle); });
  op.Do(kSetDialogFilter, [&] { dialog_.SetFilter(kSaveDialogFilter); });
  op.Do(kShowDialog, [&] { dialog_.ShowSave(); });
  op.Do(kTakeChosenPath, [&] { chosenPath = dialog_.FileName(); });
  if (op.ExitIf(kLeaveWithoutPath, [&] { return chosenPath.empty(); })) return;
  op.Do(kShowHourglass, [&] { pointer_.SetMousePointer(mouse_pointer::kHourglass); });
  op.Do(kWriteList, [&] {
    FlagScope writing(writing_);
    WriteFixedWidthList(list_, chosenPath, services_);
  });
  op.Do(kShowDefaultPointer, [&] { pointer_.SetMousePointer(mouse_pointer::kDefault); });
}

}  // namespace brindlecap
