#pragma once
// The retrieval command over a scripted machine, into a scripted list, with the
// workers held until a test lets them answer.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "results/result_columns.h"
#include "retrieval/retrieval_command.h"
#include "support/fake_kernel32.h"
#include "support/fake_system_text.h"
#include "support/held_workers.h"
#include "support/recording_message_box.h"
#include "support/scripted_list.h"

namespace brindlecap::testing {

class RetrievalTest : public ::testing::Test {
 protected:
  using Row = std::vector<std::u16string>;

  RetrievalTest() {
    for (const auto& column : kResultColumns) {
      list.AddColumn(std::u16string(column.header));
    }
  }

  void Run() { command.Run(); }

  std::vector<Row> Rows() const {
    std::vector<Row> rows;
    for (int r = 0; r < list.RowCount(); ++r) {
      Row row;
      for (int c = 0; c < list.ColumnCount(); ++c) row.emplace_back(list.Cell(r, c));
      rows.push_back(row);
    }
    return rows;
  }

  FakeKernel32 machine;
  FakeCodePage codePage;
  FakeLocale locale;
  RecordingMessageBox boxes;
  ScriptedList list;
  HeldWorkers workers;
  RetrievalCommand command{list, DriveSystem{machine, codePage, locale}, boxes, workers.Workers()};
};

// An empty floppy drive's short row.
inline const std::vector<std::u16string> kEmptyFloppy{
    u"A:\\  - No Disk present", u"Floppy", u"", u"", u"", u"", u""};

}  // namespace brindlecap::testing
