// The e2e tests' JSON and CSV readers: a document a lenient reader would let pass
// must fail here, or the e2e tests would miss a broken export.
#include "support/document_parsers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace brindlecap::e2e {
namespace {

TEST(DocumentParsersTest, JsonReadsMembersInOrderAndRejectsWhatBreaksRfc8259) {
  const JsonValue document = ParseJson(
      "{\"b\": [7, -2.5e3, true, null, \"x\\u00e9\\n\"], \"a\": {\"a\": 0}, \"c\": {\"a\": 1}}");
  ASSERT_EQ(document.members.size(), 3u);
  EXPECT_EQ(document.members[0].first, L"b");
  const auto& items = document[L"b"].items;
  ASSERT_EQ(items.size(), 5u);
  EXPECT_EQ(items[0].Integer(), 7);
  EXPECT_THROW(items[1].Integer(), DocumentError);
  EXPECT_TRUE(items[2].boolean);
  EXPECT_TRUE(items[3].IsNull());
  EXPECT_EQ(items[4].string, L"x\u00e9\n");
  EXPECT_EQ(document[L"c"][L"a"].Integer(), 1);
  EXPECT_THROW(document[L"d"], DocumentError);

  for (const char* broken :
       {"\xEF\xBB\xBF{}", "{\"a\": 1, \"a\": 2}", "[{\"a\": {\"b\": 1, \"b\": 1}}]", "{} x", "[1,]",
        "{'a': 1}", "\"a\tb\"", "\"\xC3\"", "01", "NaN", "// note\n{}", ""}) {
    EXPECT_THROW(ParseJson(broken), DocumentError) << broken;
  }
}

TEST(DocumentParsersTest, CsvReadsQuotedFieldsAndRejectsWhatBreaksRfc4180) {
  const std::vector<std::vector<std::wstring>> expected{{L"x", L"a,\"b\"\r\nc"}, {L"", L""}};
  EXPECT_EQ(ParseCsv("x,\"a,\"\"b\"\"\r\nc\"\r\n,\r\n"), expected);

  for (const char* broken : {"a,b\r\nc\r\n", "a\nb\r\n", "a,b", "a\"b\r\n", "\"a\r\n", "\"a\"b\r\n",
                             "a,b\r\nc,", "a\rb\r\n"}) {
    EXPECT_THROW(ParseCsv(broken), DocumentError) << broken;
  }
}

}  // namespace
}  // namespace brindlecap::e2e
