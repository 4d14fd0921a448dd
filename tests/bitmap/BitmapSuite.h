#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace velkaro {

// The public BMP test suite, kept beside the repository rather than in it.
inline const std::string SuiteDir = VELKARO_TESTDATA_DIR "/bmpsuite/";

inline bool SuiteIsPresent() {
    return std::filesystem::is_directory(SuiteDir + "g");
}

} // namespace velkaro

// A checkout without the suite beside it says so in the test log instead of failing.
#define SKIP_WITHOUT_BMP_SUITE()                                                                   \
    if (!::velkaro::SuiteIsPresent())                                                              \
    GTEST_SKIP() << "BMP test suite not found in " << ::velkaro::SuiteDir
