#pragma once
// The steps of "Start Retrieving" for one drive, run on a worker thread: they ask
// the drive everything its row needs and produce a value, the row to add and what
// went wrong on the way. The window's thread then adds the row and shows the
// reports, in drive order, each at its step.
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "drive_info/drive_info.h"
#include "results/drive_facts.h"
#include "results/result_columns.h"
#include "shared/message_box.h"

namespace brindlecap {

// Where "Start Retrieving" can fail, and the line an error report quotes for each:
// listing the drives, the memory for the drives' work and for the rows' texts, and
// each drive's steps, whose failures the steps keep for their lines.
enum RetrievalLine : int {
  kListDrives = 108,
  kAskEveryDrive = 110,
  kTestMedium = 112,
  kAskVolume = 114,
  kAskSpace = 116,
  kAddFullRow = 118,
  kWriteKind = 120,
  kWriteFileSystem = 122,
  kWriteTotal = 124,
  kWriteFree = 126,
  kWriteUsed = 128,
  kWriteSerial = 136,
  kAddShortRow = 138,
  kWriteShortRowKind = 140,
};

// What a drive's step met: an "Application Error" report at the step's line, or,
// with a title, a box of its own (the optical probe's).
struct StepReport {
  RetrievalLine line;
  std::u16string text;   // the failure's description, or the box's text
  std::u16string title;  // empty for an "Application Error" report
  MessageBoxIcon icon = MessageBoxIcon::kWarning;
};

// Everything one drive's steps produced.
struct DriveRow {
  // Each column's cell; empty where the step that makes it failed. The drive's is
  // always there: the root and the volume, or "No Disk present".
  std::array<std::optional<std::u16string>, kResultColumns.size()> cells;
  std::optional<std::u16string>& Cell(ResultColumn column) {
    return cells[static_cast<size_t>(IndexOf(column))];
  }
  const std::optional<std::u16string>& Cell(ResultColumn column) const {
    return cells[static_cast<size_t>(IndexOf(column))];
  }
  DriveFacts facts;                 // the kind is known only when its cell is
  std::vector<StepReport> reports;  // in the order they happened
};

// Asks one drive everything its row shows. Never raises: what fails is in the reports.
DriveRow RunDriveSteps(const std::u16string& root, const DriveSystem& system) noexcept;

}  // namespace brindlecap
