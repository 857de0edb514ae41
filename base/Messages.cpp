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
const char kCaptionConfirm[] = "確認";
const char kMsgLocalDriveOnly[] = "インストール先にはローカルドライブを指定してください。";
const char kMsgChooseFolder[] = "インストール先を指定してください。";
const char kCaptionFolderBrowser[] = "フォルダの指定";
const char kFmtSummaryFolder[] = "インストール先：\r\n%s\r\n";
const char kFmtSummaryType[] = "インストールタイプ：%s\r\n";
const char kMsgInstallStopped[] = "インストールを中断します。";
const char kMsgNotEnoughSpace[] = "空き容量が足りません。";
