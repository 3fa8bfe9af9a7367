// The text of the exported documents, cell by cell: CSV quoting, spreadsheet-safe
// cells, JSON and HTML escapes, UTF-8.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "command_line/command_line.h"
#include "command_line/command_line_export.h"
#include "command_line/report_log.h"
#include "export/fixed_width_writer.h"
#include "export/table_text.h"
#include "main_window/core/copy_text.h"
#include "shared/error_report.h"
#include "support/command_line_export_fixture.h"
#include "support/fake_kernel32.h"
#include "support/fake_system_text.h"
#include "support/held_workers.h"
#include "support/hook_pump.h"
#include "support/json_samples.h"
#include "support/memory_text_file.h"
#include "support/recording_message_box.h"
#include "support/scripted_list.h"

namespace brindlecap {
namespace {

using testing::MemoryFileStore;
using Action = CommandLine::Action;

// A model with the window's first three columns and one row whose file system is
// the cell.
ResultsModel OneFileSystem(std::u16string_view cell) {
  ResultsModel results;
  for (const char16_t* header : {u"Drive", u"Type", u"File System"}) {
    results.AddColumn(header);
  }
  results.SetCell(results.AddRow(u"C:\\"), 2, std::u16string(cell));
  return results;
}

// The cell's field, byte for byte, as the CSV document writes it.
std::string CsvField(std::u16string_view cell) {
  const std::string csv = CsvDocument(OneFileSystem(cell));
  const std::string before =
      "\xEF\xBB\xBF"
      "Drive,Type,File System\r\nC:\\,,";
  if (csv.compare(0, before.size(), before) != 0 || csv.size() < before.size() + 2 ||
      csv.compare(csv.size() - 2, 2, "\r\n") != 0) {
    return "(not one row of three fields: " + csv + ")";
  }
  return csv.substr(before.size(), csv.size() - before.size() - 2);
}

// The cell's string literal, quotes included, as the JSON document writes it.
std::string JsonString(std::u16string_view cell) {
  const std::string json = JsonDocument(OneFileSystem(cell), {}, {});
  const std::string key = "\"fileSystem\": \"";
  const size_t start = json.find(key);
  if (start == std::string::npos) return "(no fileSystem string)";
  size_t end = start + key.size();
  while (end < json.size() && json[end] != '"') end += json[end] == '\\' ? 2 : 1;
  return json.substr(start + key.size() - 1, end + 1 - (start + key.size() - 1));
}

// Whether the HTML page has the cell as a table cell with exactly this content.
bool HtmlHasCell(std::u16string_view cell, const std::string& content) {
  return HtmlDocument(OneFileSystem(cell), {}).find("<td>" + content + "</td>") !=
         std::string::npos;
}

TEST(DocumentText, CsvQuotesOnlyFieldsThatNeedIt) {
  const auto csv = CsvField;
  EXPECT_EQ(csv(u"C:\\ - [System]"), "C:\\ - [System]");
  EXPECT_EQ(csv(u""), "");
  EXPECT_EQ(csv(u"465,76 GB"), "\"465,76 GB\"");
  EXPECT_EQ(csv(u"say \"hi\""), "\"say \"\"hi\"\"\"");
  EXPECT_EQ(csv(u"two\r\nlines"), "\"two\r\nlines\"");
  EXPECT_EQ(csv(u"\n"), "\"\n\"");
  EXPECT_EQ(csv(u"\r"), "\"\r\"");
  EXPECT_EQ(csv(u"\""), "\"\"\"\"");
  EXPECT_EQ(csv(u"Donn\u00e9es"),
            "Donn\xC3\xA9"
            "es");
}

struct CellCase {
  std::u16string cell;
  std::u16string tabAndCopy;  // the cell in /stab and on the clipboard
  std::string csv;            // the CSV field
  std::string json;           // the JSON string, the text kept
  std::string html;           // the HTML cell, the text kept
};

// A cell never starts a cell or a line of its own, nor a formula, where a spreadsheet
// reads it: tab lines, Ctrl+C and CSV alike. JSON and HTML keep the text exactly.
TEST(DocumentText, SpreadsheetCellsStayOneCellOnOneLineAndNeverAFormula) {
  const CellCase cases[] = {
      {u"NTFS", u"NTFS", "NTFS", "\"NTFS\"", "NTFS"},
      {u"", u"", "", "\"\"", ""},
      {u"a\tb\rc\nd\r\n", u"a b c d  ", "\"a\tb\rc\nd\r\n\"", "\"a\\tb\\rc\\nd\\r\\n\"",
       "a\tb\rc\nd\r\n"},
      {u"=HYPERLINK(\"x\")", u"'=HYPERLINK(\"x\")", "\"'=HYPERLINK(\"\"x\"\")\"",
       "\"=HYPERLINK(\\\"x\\\")\"", "=HYPERLINK(&quot;x&quot;)"},
      {u"+1", u"'+1", "'+1", "\"+1\"", "+1"},
      {u"-2", u"'-2", "'-2", "\"-2\"", "-2"},
      {u"@SUM(A1)", u"'@SUM(A1)", "'@SUM(A1)", "\"@SUM(A1)\"", "@SUM(A1)"},
      {u"1=1-1", u"1=1-1", "1=1-1", "\"1=1-1\"", "1=1-1"},
  };
  for (const CellCase& test : cases) {
    SCOPED_TRACE(testing::ToCodePage1252(test.cell));
    const ResultsModel results = OneFileSystem(test.cell);

    testing::MemoryFileStore store;
    auto file = store.Factory()();
    auto stream = file->Create(u"tab", true);
    WriteTabLines(results, *stream);
    EXPECT_EQ(store.files[u"tab"], "Drive\tType\tFile System\r\nC:\\\t\t" +
                                       testing::ToCodePage1252(test.tabAndCopy) + "\r\n");
    EXPECT_EQ(RowsAsText(results, {}),
              u"Drive\tType\tFile System\r\nC:\\\t\t" + test.tabAndCopy + u"\r\n");
    EXPECT_EQ(CsvDocument(results),
              "\xEF\xBB\xBF"
              "Drive,Type,File System\r\nC:\\,," +
                  test.csv + "\r\n");
    EXPECT_EQ(JsonString(test.cell), test.json);
    EXPECT_TRUE(HtmlHasCell(test.cell, test.html));
  }
}

TEST(DocumentText, JsonEscapesQuotesBackslashesAndControlsOnly) {
  const auto json = JsonString;
  EXPECT_EQ(json(u"C:\\"), "\"C:\\\\\"");
  EXPECT_EQ(json(u"a \"b\""), "\"a \\\"b\\\"\"");
  EXPECT_EQ(json(u"\t\r\n\x01\x1f/"), "\"\\t\\r\\n\\u0001\\u001f/\"");
  EXPECT_EQ(json(u"Donn\u00e9es \u20ac \U0001F4BE"),
            "\"Donn\xC3\xA9"
            "es \xE2\x82\xAC \xF0\x9F\x92\xBE\"");
  EXPECT_EQ(json(u""), "\"\"");
}

TEST(DocumentText, HtmlEscapesMarkupCharacters) {
  EXPECT_TRUE(HtmlHasCell(u"<b>Tom & \"Jerry's\"</b>",
                          "&lt;b&gt;Tom &amp; &quot;Jerry&#39;s&quot;&lt;/b&gt;"));
  EXPECT_TRUE(HtmlHasCell(u"\u00e9\r\n", "\xC3\xA9\r\n"));
}

// Both UTF-8 documents, byte for byte.
TEST(DocumentText, Utf8OfEveryLengthAndLoneSurrogates) {
  const std::pair<std::u16string, std::string> cases[] = {
      {u"A\u00e9\u07ff\u0800\u20ac\uffff\U0001F4BE\U0010FFFF",
       "A\xC3\xA9\xDF\xBF\xE0\xA0\x80\xE2\x82\xAC\xEF\xBF\xBF\xF0\x9F\x92\xBE\xF4\x8F\xBF\xBF"},
      {std::u16string(1, char16_t(0xD800)) + u"x", "\xEF\xBF\xBDx"},
      {std::u16string(1, char16_t(0xDC00)) + u"\xD83D", "\xEF\xBF\xBD\xEF\xBF\xBD"},
  };
  for (const auto& [text, utf8] : cases) {
    EXPECT_EQ(CsvField(text), utf8);
    EXPECT_EQ(JsonString(text), "\"" + utf8 + "\"");
  }
  EXPECT_EQ(Iso8601Utc(2026, 12, 8, 7, 5, 9), u"2026-12-08T07:05:09Z");
}

TEST(DocumentText, JsonSaysOfEachDriveWhetherItAnsweredBeforeTheDeadline) {
  ResultsModel results;
  AddResultColumns(results);
  DriveFacts slow, prompt;
  slow.root = u"S:\\";
  slow.answered = false;
  prompt.root = u"C:\\";
  prompt.hasMedium = true;
  results.SetRowFacts(results.AddRow(u"S:\\"), slow);
  results.SetRowFacts(results.AddRow(u"C:\\ - []"), prompt);
  const std::string json = JsonDocument(results, {u"HOST-1", u"2026-12-08T07:05:09Z"}, {});
  testing::KeepJsonSample(json);
  const size_t late = json.find("\"medium\": false, \"answered\": false, ");
  const size_t inTime = json.find("\"medium\": true, \"answered\": true, ");
  ASSERT_NE(late, std::string::npos) << json;
  ASSERT_NE(inTime, std::string::npos) << json;
  EXPECT_LT(late, inTime) << "each drive its own, in the list's order";
}

}  // namespace
}  // namespace brindlecap
