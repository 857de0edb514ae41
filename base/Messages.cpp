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
const char kMsgFolderNameUnusable[] =
    "このフォルダ名にはインストーラーで扱えない文字が含まれています。別のフォルダを指定してください。";
const char kMsgStartMenuUnusable[] =
    "スタートメニューのフォルダ名にインストーラーで扱えない文字が含まれているため、インストールできません。";
const char kFmtSummaryFolder[] = "インストール先：\r\n%s\r\n";
const char kFmtSummaryType[] = "インストールタイプ：%s\r\n";
const char kMsgInstallStopped[] = "インストールを中断します。";
const char kMsgNotEnoughSpace[] = "空き容量が足りません。";
const char kCaptionUninstall[] = "uninstall";
const char kMsgConfirmUninstall[] = "アンインストールを開始します。\nよろしいですか？";
const char kMsgUninstallDone[] = "Uninstallが完了しました。。";
const char kCaptionInstall[] = "install";
const char kMsgAskDirectX[] = "DirectXをインストールしますか？";
const char kCaptionDirectXError[] = "DirectX インストールエラー";
const char kMsgDxUnsupportedCpu[] = "サポートされていない CPU です。DirectX 8 では、Pentium または K6 互換プロセッサおよびこれら以降のプロセッサのみのサポートになっております。";
const char kMsgDxNotAdmin[] = "ユーザーが管理者権限を持っておりません。セットアップの際には管理者権限が必要です。 ";
const char kMsgDxNotPreinstalled[] = "システムの Windows のバージョンに、DirectX の最新バージョンが含まれていません。DirectX の古いバージョンが存在するか、DirectX のどのバージョンも存在しないか、どちらかの可能性があります。";
const char kMsgDxCancelled[] = "中断されました。";
const char kMsgDxUnknownOs[] = "サポートされていないバージョンのオペレーティング システムです。";
const char kMsgDxInternal[] = "内部エラーが発生した。";
const char kMsgDxNoDiskSpace[] = "ディスク領域が足りません。";
const char kMsgDxBadWindows[] = "DirectX ではサポートされない Windows です。";
const char kMsgInstallFinished[] = "インストールが終了しました。";
const char kMsgRestartPrompt[] = "インストールが終了しました。\n";
const char kMsgAskRestart[] = "再起動が必要ですが、今再起動しますか？";
const char kFmtWrongDisc[] = " Disc が違います。『 %s 』の  Disc 1 をいれてください。";
const char kCaptionWrongDisc[] = " Disc 1 を入れてください";
const char kFmtInsertDisc[] = "『 %s 』の『 %s 』をいれてください。";
const char kCaptionInsertDisc[] = "Discを入れ替えてください";
const char kFmtErrorReport[] = "エラーが発生しました。\nCode 0x%x :%s";
const char kMsgThreadBadArgument[] = "引数が無効か、スタック サイズが不正\n";
const char kFmtUninstallNoGame[] = "アンインストールするゲームが見つかりません。\n%s";
const char kMsgPathTooLong[] = "インストール先のパスが長すぎます。\n短いフォルダを指定してください。";
const char kFmtPathTooLong[] = "パスが長すぎるため、ファイルを作成できません。\n%s";
