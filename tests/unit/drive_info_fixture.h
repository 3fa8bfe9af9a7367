#pragma once
// DriveInfo over a scripted machine, code page and locale.
#include <gtest/gtest.h>

#include <cstdint>

#include "drive_info/drive_info.h"
#include "support/fake_kernel32.h"
#include "support/fake_system_text.h"

namespace brindlecap::testing {

class DriveInfoTest : public ::testing::Test {
 protected:
  FakeKernel32 machine;
  FakeCodePage codePage;
  FakeLocale locale;
  DriveInfo info{DriveSystem{machine, codePage, locale}};
};

// The failure's number, or 0 for a query that answered.
template <class Value>
int32_t FailureOf(const Answer<Value>& answer) {
  return answer.failure ? answer.failure->number : 0;
}

}  // namespace brindlecap::testing
