// ShowMessageBox: the text in a real message box with the given caption and
// buttons. (Wine does not reflect MB_TOPMOST in the box's extended style, so
// the topmost flag itself cannot be observed here.)
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include "base/OCString.h"
#include "support/BoxAnswerer.h"

TEST(StringMessageBox, ShowsTextAndReturnsButton) {
    BoxAnswerer answerer("確認", {IDNO});
    OCString text("インストールしますか？", -1);
    EXPECT_EQ(IDNO, text.ShowMessageBox(NULL, "確認", MB_YESNO | MB_TASKMODAL));
    ASSERT_EQ(1, answerer.Answered());
    EXPECT_EQ("インストールしますか？", answerer.Texts()[0]);
}
