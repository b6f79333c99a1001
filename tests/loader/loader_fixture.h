// What the loader tests share: a scratch folder, captured traces, and a read into a fenced buffer.
#pragma once

#include "loader/loader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/win32/kernel_scratch.h"
#include "trace_probe.h"

using Lines = std::vector<std::string>;

const Lines kOpenFailed = {"File could not be opened."};

// Another opener that shares everything: the loader, which shares nothing,
// must still be refused.
inline HANDLE OpenShared(const std::string &path)
{
    return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

class Loader : public testing::Test {
protected:
    void SetUp() override { BeginTraceProbe(); }
    void TearDown() override { EndTraceProbe(); }

    // The debug trace written since the last look, where this build can see it.
    static void ExpectTrace(const Lines &expected)
    {
        if (TraceIsVisible()) {
            EXPECT_EQ(TakeTraceLines(), expected);
        }
    }

    struct Read {
        int result;
        std::string bytes;  // the buffer after the call
    };

    // Reads into a buffer of exactly size bytes; a fence byte behind it must
    // stay as it was, since the loader writes nothing past the size.
    static Read ReadBytes(const std::string &path, DWORD size)
    {
        const unsigned char kFence = 0xA5;
        std::vector<unsigned char> buffer(size + 1, 0);
        buffer[size] = kFence;
        const int result = ReadFileBytes(buffer.data(), path.c_str(), size);
        EXPECT_EQ(buffer[size], kFence) << "written past the buffer";
        return {result, std::string(buffer.begin(), buffer.end() - 1)};
    }

    ScratchDir dir_;
};
