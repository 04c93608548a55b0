#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace ornexa::test {

// The databases the store suites run on. A run with ORNEXA_TEST_POSTGRES_URI set (by
// postgres_server.sh, which starts a server of its own) runs them on PostgreSQL; any other run on
// SQLite files.
enum class TestBackend { Sqlite, Postgres };

std::vector<TestBackend> BackendsUnderTest();
std::string BackendName(const testing::TestParamInfo<TestBackend>& info);

// The location of a new, empty history database: a file in `folder`, or a fresh database on the
// test server.
std::string FreshLocation(TestBackend backend, const std::filesystem::path& folder);

} // namespace ornexa::test
