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
