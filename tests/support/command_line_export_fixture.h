#pragma once
// The command-line export over a scripted machine, into files kept in memory.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "command_line/command_line_export.h"
#include "support/fake_kernel32.h"
#include "support/fake_system_text.h"
#include "support/held_workers.h"
#include "support/json_samples.h"
#include "support/memory_text_file.h"

namespace brindlecap::testing {

class CommandLineExportTest : public ::testing::Test {
 protected:
  CommandLineExportTest() {
    machine.AddDrive('A', win32_constant::kDriveRemovable).NotReady();
    // FakeCodePage is Latin-1: the label's é is one ANSI byte, two in UTF-8.
    machine.AddDrive('C', win32_constant::kDriveFixed)
        .Label("Tom's \"Data\", 2\\3 \xE9")
        .Serial(0x1234ABCD)
        .Space(2048, 512);
  }

  int Export(ExportFormat format, const std::u16string& path = u"out") {
    CommandLine request;
    request.action = CommandLine::Action::kExport;
    request.format = format;
    request.path = path;
    const int exitCode = ExportFromCommandLine(request, services);
    if (format == ExportFormat::kJson && exitCode != exit_code::kNotWritten)
      KeepJsonSample(File(path));
    return exitCode;
  }
  std::string File(const std::u16string& path = u"out") { return store.files[path]; }

  FakeKernel32 machine;
  FakeCodePage codePage;
  FakeLocale locale;
  MemoryFileStore store;
  // Files in memory, a fixed heading, standard error kept.
  struct System : CommandLineSystem {
    explicit System(MemoryFileStore& store) : factory(store.Factory()) {}
    std::unique_ptr<TextFiles> MakeTextFiles() override { return factory(); }
    DocumentHeading Heading() override { return {u"HOST-1", u"2026-12-08T07:05:09Z"}; }
    void WriteError(std::u16string_view text) override { errors += text; }
    std::function<std::unique_ptr<TextFiles>()> factory;
    std::u16string errors;
  } system{store};
  std::u16string& errors = system.errors;
  HeldWorkers workers;
  CommandLineServices services{machine, codePage, locale, system, workers.Workers(), {}, {}};
};

}  // namespace brindlecap::testing
