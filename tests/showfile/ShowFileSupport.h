#pragma once

#include "files/FileSystem.h"
#include "files/ShowRecord.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace velkaro::testing {

using Bytes = std::vector<std::uint8_t>;

// A fresh folder per test, removed with everything in it.
class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "velkaro-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data()) ? pattern : "";
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    const std::string& Path() const { return path_; }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path_))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::string path_;
};

inline Bytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

inline void WriteBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// A file of `records` blank records plus `extra` trailing bytes.
inline Bytes BlankRecords(int records, int extra = 0) {
    return Bytes(std::size_t(records) * ShowRecord::Size + std::size_t(extra), 0);
}

// Serves one file from memory, so thousands of loads need no disk. A read hands out at most
// `piece` bytes, as reads from pipes and network file systems may.
class MemoryFile : public FileSystem {
public:
    explicit MemoryFile(Bytes bytes, std::size_t piece = SIZE_MAX)
        : bytes_(std::move(bytes)), piece_(piece) {}
    int Open(const char*, int, unsigned) override {
        position_ = 0;
        return 1000;
    }
    ssize_t Read(int, void* buffer, std::size_t count) override {
        const std::size_t n = std::min({count, piece_, bytes_.size() - position_});
        std::memcpy(buffer, bytes_.data() + position_, n);
        position_ += n;
        return ssize_t(n);
    }
    ssize_t ReadAt(int, void* buffer, std::size_t count, std::int64_t offset) override {
        if (offset < 0 || std::uint64_t(offset) >= bytes_.size()) return 0;
        const std::size_t n = std::min({count, piece_, bytes_.size() - std::size_t(offset)});
        std::memcpy(buffer, bytes_.data() + offset, n);
        return ssize_t(n);
    }
    int Inspect(int, FileFacts& facts) override {
        facts.Size = std::int64_t(bytes_.size());
        return 0;
    }
    int Close(int) override { return 0; }

private:
    Bytes bytes_;
    std::size_t piece_;
    std::size_t position_ = 0;
};

} // namespace velkaro::testing
