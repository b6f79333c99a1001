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

// Another opener of the file that shares everything with others: the loader
// reads beside a reader, but never beside a writer.
inline HANDLE OpenSharing(const std::string &path, DWORD access)
{
    return CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
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
        DWORD error;        // what failed, after a 0
    };

    // Reads into a buffer of exactly size bytes; a fence byte behind it must
    // stay as it was, since the loader writes nothing past the size.
    static Read ReadBytes(const std::string &path, DWORD size)
    {
        const unsigned char kFence = 0xA5;
        std::vector<unsigned char> buffer(size + 1, 0);
        buffer[size] = kFence;
        SetLastError(ERROR_SUCCESS);
        const int result = ReadFileBytes(buffer.data(), path.c_str(), size);
        const DWORD error = GetLastError();
        EXPECT_EQ(buffer[size], kFence) << "written past the buffer";
        return {result, std::string(buffer.begin(), buffer.end() - 1), error};
    }

    ScratchDir dir_;
};
