// User-visible texts. This file is UTF-8; the compiler stores the literals as
// Shift-JIS (-fexec-charset=CP932).
#include "base/Messages.h"

const char kMsgCannotOpen[] = "ファイル %s が開けません。";
const char kMsgOpenFailed[] = "ファイル %s が開けませんでした。";
const char kCaptionReadError[] = "読み込みエラー";
const char kMsgWriteFailed[] = "ファイル書込に失敗しました。";
const char kMsgInflateFailed[] = "データ解凍に失敗しました。";
const char kFmtWindowTitle[] = "%s インストーラー";
const char kFmtWindowTitleVersion[] = "%s インストーラー (Ver.%s)";
const char kMsgReadFailed[] = "ファイル %s が読み込めませんでした。";
const char kPngErrorTitle[] = "ＣＧファイルフォーマット";
const char kFmtPngError[] = "%s : %s\n";
const char kMsgPngUnsupported[] = "PNG: サポートされていないフォーマットです。";
const char kMsgPngOutOfMemory[] = "PNG: out of memory";
const char kNameUninstallShortcut[] = "アンインストール";
