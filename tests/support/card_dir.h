#pragma once

// A fixture with a folder of its own per test, removed afterwards, and card files written into it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <fstream>
#include <string>

namespace kel::testing {

class CardDirTest : public ::testing::Test
{
protected:
    explicit CardDirTest(std::string prefix) : m_prefix(std::move(prefix)) {}

    void SetUp() override
    {
        // Under node every process is pid 42: a random number keeps runs at once apart there.
#ifdef __EMSCRIPTEN__
        const auto run = std::random_device()();
#else
        const auto run = ::getpid();
#endif
        m_dir = std::filesystem::temp_directory_path()
                / (m_prefix + std::to_string(run) + "_"
                   + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override
    {
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }

    // The bytes as a file of that name in the folder; returns its path.
    std::string write(const std::string &name, const std::string &bytes)
    {
        const std::filesystem::path p = m_dir / name;
        std::ofstream(p, std::ios::binary) << bytes;
        return p.string();
    }

    std::filesystem::path m_dir;

private:
    std::string m_prefix;
};

} // namespace kel::testing
