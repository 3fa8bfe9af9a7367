// Standard output and error: characters on a console, the format's bytes elsewhere.
#include "command_line/standard_stream.h"

#include <gtest/gtest.h>

#include "export/table_text.h"
#include "shared/runtime_failure.h"
#include "support/fake_system_text.h"

namespace brindlecap {
namespace {

// A standard handle that is a console or not, and records what reaches it.
class FakeStandardHandle : public StandardHandle {
 public:
  explicit FakeStandardHandle(bool console) : console_(console) {}
  // A handle for a stream to keep, recording here.
  std::unique_ptr<StandardHandle> Lent() { return std::make_unique<Lender>(*this); }

  bool IsConsole() override { return console_; }
  void WriteCharacters(std::u16string_view text) override {
    if (failWrites) throw RuntimeFailure(u"Device I/O error");
    characters.append(text);
  }
  std::unique_ptr<TextFileWriter> OpenBytes() override {
    if (leadsNowhere) throw RuntimeFailure(u"The handle is invalid.");
    return std::make_unique<ByteStream>(bytes);
  }

  std::u16string characters;
  std::string bytes;
  bool failWrites = false;
  bool leadsNowhere = false;

 private:
  class Lender : public StandardHandle {
   public:
    explicit Lender(FakeStandardHandle& handle) : handle_(handle) {}
    bool IsConsole() override { return handle_.IsConsole(); }
    void WriteCharacters(std::u16string_view text) override { handle_.WriteCharacters(text); }
    std::unique_ptr<TextFileWriter> OpenBytes() override { return handle_.OpenBytes(); }

   private:
    FakeStandardHandle& handle_;
  };
  class ByteStream : public TextFileWriter {
   public:
    explicit ByteStream(std::string& bytes) : bytes_(bytes) {}
    void WriteLine(const std::u16string& text) override {
      bytes_.append(testing::FakeCodePage().ToAnsi(text)).append("\r\n");
    }
    void WriteBytes(std::string_view bytes) override { bytes_.append(bytes); }
    void Close() override {}

   private:
    std::string& bytes_;
  };
  bool console_;
};

TEST(StandardOutput, AConsoleGetsCharactersAndAnythingElseTheBytes) {
  const std::u16string line = u"C:\\ - [Caf\u00e9 \u20ac \U0001F4BE]";
  const std::string csv =
      "\xEF\xBB\xBF"
      "Drive\r\nC:\\ - [Caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x92\xBE]\r\n";
  for (const bool console : {true, false}) {
    SCOPED_TRACE(console ? "console" : "file or pipe");
    FakeStandardHandle lines(console), document(console);
    const auto lineStream = OpenStandardOutput(lines.Lent());
    lineStream->WriteLine(line);
    lineStream->Close();
    const auto documentStream = OpenStandardOutput(document.Lent());
    documentStream->WriteBytes(csv);
    documentStream->Close();
    if (console) {
      EXPECT_EQ(lines.characters, line + u"\r\n");
      EXPECT_EQ(document.characters, u"Drive\r\n" + line + u"\r\n") << "no byte-order mark";
      EXPECT_EQ(lines.bytes + document.bytes, "");
    } else {
      EXPECT_EQ(lines.bytes, testing::FakeCodePage().ToAnsi(line) + "\r\n");
      EXPECT_EQ(document.bytes, csv);
      EXPECT_EQ(lines.characters + document.characters, u"");
    }
  }
}

TEST(StandardOutput, AConsoleShowsTheTextOnlyWhenClosedAndReportsAFailedWrite) {
  FakeStandardHandle console(true);
  const auto stream = OpenStandardOutput(console.Lent());
  // A sequence cut between two writes, as a writer may cut it.
  stream->WriteBytes("{\"label\": \"Caf\xC3");
  stream->WriteBytes("\xA9\"}");
  EXPECT_EQ(console.characters, u"");
  stream->Close();
  EXPECT_EQ(console.characters, u"{\"label\": \"Caf\u00e9\"}");

  FakeStandardHandle failing(true);
  failing.failWrites = true;
  const auto failingStream = OpenStandardOutput(failing.Lent());
  failingStream->WriteLine(u"Drive");
  EXPECT_THROW(failingStream->Close(), RuntimeFailure);
}

TEST(StandardOutput, BytesThatAreNoUtf8BecomeReplacementCharacters) {
  struct Case {
    std::string bytes;
    std::u16string shown;
  };
  const Case cases[] = {
      {"a\x80z", u"a\uFFFDz"},                            // a continuation byte alone
      {"a\xC3z", u"a\uFFFDz"},                            // a lead byte without its continuation
      {"\xC0\xAF", u"\uFFFD\uFFFD"},                      // overlong '/'
      {"\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},            // overlong, three bytes
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},            // a surrogate half
      {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // above U+10FFFF
      {"\xF5", u"\uFFFD"},
      {"\xE2\x82", u"\uFFFD\uFFFD"},  // cut at the end
      {"\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF\xF0\x90\x80\x80\xF4\x8F\xBF\xBF",
       u"\u07ff\u0800\uffff\U00010000\U0010FFFF"},
  };
  for (const Case& test : cases) {
    FakeStandardHandle console(true);
    const auto stream = OpenStandardOutput(console.Lent());
    stream->WriteBytes(test.bytes);
    stream->Close();
    EXPECT_EQ(console.characters, test.shown) << ::testing::PrintToString(test.bytes);
  }
}

TEST(StandardError, CharactersOnAConsoleAnsiBytesElseAndNothingWhereItLeadsNowhere) {
  const std::u16string message =
      u"Brindlecap: could not write \u00c4\u4e2d.csv: Access is denied.\r\n";
  FakeStandardHandle console(true), file(false), nowhere(false), broken(true);
  nowhere.leadsNowhere = true;
  broken.failWrites = true;
  for (FakeStandardHandle* handle : {&console, &file, &nowhere, &broken})
    WriteStandardText(*handle, message, testing::FakeCodePage());
  EXPECT_EQ(console.characters, message);
  EXPECT_EQ(console.bytes, "");
  EXPECT_EQ(file.bytes, "Brindlecap: could not write \xC4?.csv: Access is denied.\r\n");
  EXPECT_EQ(file.characters, u"");
  EXPECT_EQ(nowhere.bytes + broken.bytes, "");
}

}  // namespace
}  // namespace brindlecap
