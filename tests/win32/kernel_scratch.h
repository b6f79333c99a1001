// A temporary folder per test, and small helpers to make and read files in it.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

class ScratchDir {
public:
    // Portable (the loader's tests also run on Windows): a random name in the
    // system's temporary folder.
    ScratchDir()
    {
        std::random_device random;
        std::error_code error;
        for (int attempt = 0; attempt < 100; attempt++) {
            const auto candidate = std::filesystem::temp_directory_path() /
                                   ("w32-test-" + std::to_string(random()) + std::to_string(random()));
            if (std::filesystem::create_directory(candidate, error)) {
                path_ = candidate.generic_string();
                return;
            }
        }
        ADD_FAILURE() << "cannot make a temporary folder";
    }
    ~ScratchDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchDir(const ScratchDir &) = delete;
    ScratchDir &operator=(const ScratchDir &) = delete;

    const std::string &path() const { return path_; }
    std::string Path(const std::string &name) const { return path_ + "/" + name; }

    // Makes (or replaces) the file name with these bytes; its full path.
    std::string Write(const std::string &name, const std::string &bytes) const
    {
        const std::string file = Path(name);
        std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
        return file;
    }

private:
    std::string path_;
};

inline std::string ReadWhole(const std::string &file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Every byte value, in an order that a shifted or reordered copy would spoil.
inline std::string PatternBytes(size_t n)
{
    std::string bytes(n, '\0');
    for (size_t i = 0; i < n; ++i)
        bytes[i] = static_cast<char>((i * 7 + i / 256) & 0xFF);
    return bytes;
}
