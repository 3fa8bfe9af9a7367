#pragma once
// The results as documents for other programs: tab-separated lines, CSV, JSON and
// an HTML page. Every row is written, ticked or not. The UTF-8 documents come out
// as bytes ready for the file; the tab lines go through the ANSI text stream.
// Written straight into narrow strings: the program's size counts.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "export/text_file.h"
#include "results/results_model.h"

namespace brindlecap {

// "2026-12-08T07:12:05Z".
std::u16string Iso8601Utc(int year, int month, int day, int hour, int minute, int second);

// A failure the window would have reported while the row's drive was asked.
struct ReportedFailure {
  std::optional<int> line;  // empty for a box that names no line
  std::u16string description;
  std::u16string root;  // the drive it happened at; empty when no drive's
};

// What a document says besides the rows.
struct DocumentHeading {
  std::u16string computer;
  std::u16string generated;  // ISO 8601, UTC
};

// Appends the text in UTF-8; a surrogate without its partner becomes U+FFFD.
void AppendUtf8(std::string& out, std::u16string_view text);

// The volume name inside a full row's first cell ("C:\ - [System]"); empty for a
// short row.
std::u16string_view LabelOf(const ResultsModel& results, int row);

// The header line and one line a row, cells joined by one TAB. Tab lines and CSV
// write each cell as SpreadsheetCell makes it; JSON and HTML keep every text.
void WriteTabLines(const ResultsModel& results, TextFileWriter& stream);
// UTF-8 with a byte-order mark, CR LF after every record.
std::string CsvDocument(const ResultsModel& results);
// `failures` in the order they happened: each drive takes those of its root; the
// others (before any drive, or at a drive that got no row) are listed apart.
std::string JsonDocument(const ResultsModel& results, const DocumentHeading& heading,
                         const std::vector<ReportedFailure>& failures);
std::string HtmlDocument(const ResultsModel& results, const DocumentHeading& heading);

}  // namespace brindlecap
