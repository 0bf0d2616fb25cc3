// tests/readers/native_files_fixture.h -- files of the older native file set
// written word by word for the reader tests: binary words in either byte
// order and a fresh folder for each test.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/test_support/message_capture.h"
#include "tests/test_support/test_files.h"

// 32-bit words, each an int or a float, stored in either byte order.
class NativeWords {
public:
    NativeWords &I(int32_t v)
    {
        uint32_t u = 0;
        std::memcpy(&u, &v, 4);
        m_Words.push_back(u);
        return *this;
    }
    NativeWords &F(float v)
    {
        uint32_t u = 0;
        std::memcpy(&u, &v, 4);
        m_Words.push_back(u);
        return *this;
    }
    std::vector<uint8_t> Bytes(bool bBigEndian) const
    {
        std::vector<uint8_t> out;
        for (uint32_t u : m_Words)
            for (int k = 0; k < 4; k++)
                out.push_back(static_cast<uint8_t>(u >> (bBigEndian ? 24 - 8 * k : 8 * k)));
        return out;
    }
    size_t Count() const { return m_Words.size(); }

private:
    std::vector<uint32_t> m_Words;
};

class NativeFilesTest : public ::testing::Test {
protected:
    void SetUp() override { m_Dir = NKTestMakeTempDir("native_files_"); }
    void TearDown() override { NKTestRemoveDir(m_Dir); }
    std::string Path(const std::string &name) const { return m_Dir + "/" + name; }
    std::string WriteText(const std::string &name, const std::string &text)
    {
        EXPECT_TRUE(NKTestWriteText(Path(name), text));
        return Path(name);
    }
    std::string WriteWords(const std::string &name, const NativeWords &words, bool bBig = false)
    {
        EXPECT_TRUE(NKTestWriteBytes(Path(name), words.Bytes(bBig)));
        return Path(name);
    }
    std::string m_Dir;
    MessageCapture m_Messages;
};

// The plain text geometry of the native file tests: 2 parts, 5 nodes, the
// quadrilateral (1 2 3 4) and the triangle (2 5 3).
inline const char *NativeGeoText(void)
{
    return "2 5 2 7\n1 1\n2 2\n0 0 0\n1 0 0\n1 1 0\n0 1 0\n2 0 0\n1 2 3 -4 2 5 -3\n";
}
// The same geometry in the magic form: 1, parts, nodes, polygons, then the
// connects on a line of their own.
inline const char *NativeMagicGeoText(void)
{
    return "1 2 5 2\n7\n1 1\n2 2\n0 0 0\n1 0 0\n1 1 0\n0 1 0\n2 0 0\n1 2 3 -4 2 5 -3\n";
}
