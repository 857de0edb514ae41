// Every user-visible text of the program, in one place. The definitions are
// in Messages.cpp (UTF-8 source compiled to Shift-JIS).
#pragma once

// File access
extern const char kMsgCannotOpen[];        // "ファイル %s が開けません。"
extern const char kMsgOpenFailed[];        // "ファイル %s が開けませんでした。"
extern const char kCaptionReadError[];     // "読み込みエラー"
extern const char kMsgWriteFailed[];       // "ファイル書込に失敗しました。"
extern const char kMsgInflateFailed[];     // "データ解凍に失敗しました。"

// Installer configuration
extern const char kFmtWindowTitle[];       // "%s インストーラー"
extern const char kFmtWindowTitleVersion[];  // "%s インストーラー (Ver.%s)"

// Folder and copy operations
extern const char kMsgReadFailed[];        // "ファイル %s が読み込めませんでした。"
extern const char kNameUninstallShortcut[]; // "アンインストール", the uninstall shortcut

// Picture loading
extern const char kPngErrorTitle[];        // "ＣＧファイルフォーマット"
extern const char kFmtPngError[];          // "%s : %s\n" (title, libpng's message)
extern const char kMsgPngUnsupported[];    // "PNG: サポートされていないフォーマットです。"
extern const char kMsgPngOutOfMemory[];    // "PNG: out of memory"

// Wizard dialogs and the install sequence
extern const char kCaptionConfirm[];       // "確認", caption of the workflow's boxes
extern const char kMsgLocalDriveOnly[];    // "インストール先にはローカルドライブを指定してください。"
extern const char kMsgChooseFolder[];      // "インストール先を指定してください。", the browser's prompt
extern const char kCaptionFolderBrowser[]; // "フォルダの指定"
extern const char kFmtSummaryFolder[];     // "インストール先：\r\n%s\r\n"
extern const char kFmtSummaryType[];       // "インストールタイプ：%s\r\n"
extern const char kMsgInstallStopped[];    // "インストールを中断します。"
extern const char kMsgNotEnoughSpace[];    // "空き容量が足りません。"
