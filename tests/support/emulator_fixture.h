#pragma once
// What every web test fixture that talks to the service emulator shares: one
// emulator per test suite, started before the suite's first test with its CA
// file trusted by the request back ends, and stopped after the last; each test
// ends by failing on any request the emulator could not answer. `Base` is the
// gtest fixture kind (::testing::Test or a ::testing::TestWithParam).

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "fakeservice/fake_service.h"

template <class Base>
class EmulatorFixture : public Base {
 protected:
  // A derived suite sets its own settings after this, then loads the service
  // configuration.
  static void SetUpTestSuite() {
    s_service = new FakeService();
    std::string error;
    ASSERT_TRUE(s_service->Start(&error)) << error;
    setenv("QUILLMERE_CA_FILE", s_service->CaFile().c_str(), 1);
  }
  static void TearDownTestSuite() {
    delete s_service;
    s_service = nullptr;
  }

  void TearDown() override {
    EXPECT_THAT(s_service->Failures(), ::testing::IsEmpty());
    s_service->ClearHook();
  }

  static FakeService& Service() { return *s_service; }

  static inline FakeService* s_service = nullptr;
};
