// Loading pictures from a scratch folder, with the open prompt turned off.
#pragma once
#include <gtest/gtest.h>
#include <cstdlib>
#include <string>
#include "archive/OCFile.h"
#include "base/OCException.h"
#include "gfx/Canvas.h"
#include "gfx/OCDibImage.h"
#include "support/TempDir.h"

class LoadTest : public ::testing::Test {
protected:
    void SetUp() override { m_quiet = g_quietOpen; g_quietOpen = 1; }
    void TearDown() override { g_quietOpen = m_quiet; }

    // Writes the bytes under `name` and loads them into `image`.
    int Load(OCImage& image, const std::string& name, const std::string& bytes) {
        dir.Write(name, bytes);
        return image.Load((dir / name).c_str());
    }
    // The text of the OCErrorException a load raises ("" when none).
    std::string LoadError(const std::string& name, const std::string& bytes) {
        OCDibImage image;
        try {
            Load(image, name, bytes);
        } catch (const OCErrorException& e) {
            return e.message.GetBuffer() ? e.message.GetBuffer() : "";
        }
        return "";
    }

    TempDir dir;

private:
    DWORD m_quiet = 0;
};

// Every channel of `actual` within `tolerance` of `expected`.
inline ::testing::AssertionResult ColorNear(COLORREF expected, COLORREF actual, int tolerance) {
    int d[3] = {(int)GetRValue(expected) - GetRValue(actual),
                (int)GetGValue(expected) - GetGValue(actual),
                (int)GetBValue(expected) - GetBValue(actual)};
    for (int v : d)
        if (std::abs(v) > tolerance)
            return ::testing::AssertionFailure()
                   << "expected RGB(" << (int)GetRValue(expected) << "," << (int)GetGValue(expected) << ","
                   << (int)GetBValue(expected) << ") got RGB(" << (int)GetRValue(actual) << ","
                   << (int)GetGValue(actual) << "," << (int)GetBValue(actual) << ")";
    return ::testing::AssertionSuccess();
}
