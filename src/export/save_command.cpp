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

// Where "Save Results As Text File" can fail itself: the dialog (its settings,
// its showing, the chosen name). The writer reports its own failures.
enum SaveLine : int {
  kShowDialog = 114,
};

}  // namespace

void SaveCommand::Run() noexcept {
  // The writer yields to the event loop: a click that arrives through one of its
  // yields would open a second dialog and write over the file being written.
  if (saving_) return;
  FlagScope saving(saving_);

  ReportingOperation op(services_.messages, location::kSaveResults);
  std::u16string chosenPath;
  op.Do(kShowDialog, [&] {
    dialog_.SetFileName(u"");
    dialog_.SetFlags(kSaveDialogFlags);
    dialog_.SetDialogTitle(kSaveDialogTitle);
    dialog_.SetFilter(kSaveDialogFilter);
    dialog_.ShowSave();
    chosenPath = dialog_.FileName();
  });
  if (chosenPath.empty()) return;
  pointer_.SetMousePointer(PointerShape::kHourglass);
  {
    FlagScope writing(writing_);
    WriteFixedWidthList(list_, chosenPath, services_);
  }
  pointer_.SetMousePointer(PointerShape::kArrow);
}

}  // namespace brindlecap
