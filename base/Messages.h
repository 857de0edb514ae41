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
extern const char kMsgFolderNameUnusable[];  // a folder name outside code page 932
extern const char kMsgStartMenuUnusable[];   // the Start menu's folder name, likewise
extern const char kFmtSummaryFolder[];     // "インストール先：\r\n%s\r\n"
extern const char kFmtSummaryType[];       // "インストールタイプ：%s\r\n"
extern const char kMsgInstallStopped[];    // "インストールを中断します。"
extern const char kMsgNotEnoughSpace[];    // "空き容量が足りません。"

// Uninstall
extern const char kCaptionUninstall[];     // "uninstall", caption of the confirmation
extern const char kMsgConfirmUninstall[];  // "アンインストールを開始します。\nよろしいですか？"
extern const char kMsgUninstallDone[];     // "Uninstallが完了しました。。"

// DirectX setup and restart
extern const char kCaptionInstall[];       // "install", caption of the DirectX question
extern const char kMsgAskDirectX[];        // "DirectXをインストールしますか？"
extern const char kCaptionDirectXError[];  // "DirectX インストールエラー"
extern const char kMsgDxUnsupportedCpu[];  // result -16
extern const char kMsgDxNotAdmin[];        // result -15 (ends with one space)
extern const char kMsgDxNotPreinstalled[]; // result -13
extern const char kMsgDxCancelled[];       // result -12, "中断されました。"
extern const char kMsgDxUnknownOs[];       // result -11
extern const char kMsgDxInternal[];        // result -9, "内部エラーが発生した。"
extern const char kMsgDxNoDiskSpace[];     // result -6, "ディスク領域が足りません。"
extern const char kMsgDxBadWindows[];      // result -1, "DirectX ではサポートされない Windows です。"
extern const char kMsgInstallFinished[];   // "インストールが終了しました。"
extern const char kMsgRestartPrompt[];     // "インストールが終了しました。\n", the restart dialog's text
extern const char kMsgAskRestart[];        // "再起動が必要ですが、今再起動しますか？"

// Copy worker
extern const char kFmtWrongDisc[];         // " Disc が違います。『 %s 』の  Disc 1 をいれてください。" (Title)
extern const char kCaptionWrongDisc[];     // " Disc 1 を入れてください"
extern const char kFmtInsertDisc[];        // "『 %s 』の『 %s 』をいれてください。" (Title, label)
extern const char kCaptionInsertDisc[];    // "Discを入れ替えてください"
extern const char kFmtErrorReport[];       // "エラーが発生しました。\nCode 0x%x :%s" (code, message)
extern const char kMsgThreadBadArgument[]; // "引数が無効か、スタック サイズが不正\n"
// Uninst.exe, the uninstaller copied into a game's install folder
extern const char kFmtUninstallNoGame[];   // "アンインストールするゲームが見つかりません。\n%s" (folder)
// Paths that do not fit the system's limit
extern const char kMsgPathTooLong[];       // "インストール先のパスが長すぎます。\n短いフォルダを指定してください。"
extern const char kFmtPathTooLong[];       // "パスが長すぎるため、ファイルを作成できません。\n%s" (path)
