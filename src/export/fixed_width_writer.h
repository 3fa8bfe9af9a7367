#pragma once
// Writes a list as fixed-width text: every cell padded with spaces to its
// column's width and followed by a tab; the header line, then every checked row.
#include <functional>
#include <memory>
#include <string>

#include "export/text_file.h"
#include "results/row_list.h"
#include "shared/event_pump.h"
#include "shared/message_box.h"

namespace brindlecap {

struct ExportServices {
  // Creates the file-writing facility afresh for each save; may raise a failure.
  std::function<std::unique_ptr<TextFiles>()> makeTextFiles;
  EventPump& pump;
  MessageBoxService& messages;
};

// Reports its own failures and always returns normally.
void WriteFixedWidthList(const RowListReader& list, const std::u16string& path,
                         ExportServices& services) noexcept;

}  // namespace brindlecap
