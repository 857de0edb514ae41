// The copy worker: work lists and space check before the confirmation, then
// on the worker thread the archives, the files and the disc prompts.
#include "install/CopyWorker.h"
#include <commctrl.h>
#include <algorithm>
#include <climits>
#include <new>
#include <vector>
#include "install/InstallConfig.h"
#include "archive/OCFile.h"
#include "archive/OCFindFile.h"
#include "archive/OCPath.h"
#include "base/Messages.h"
#include "base/OCException.h"
#include "install/Drives.h"
#include "install/ProgressRelay.h"
#include "install/ReadAhead.h"
#include "archive/FileCopy.h"
#include "install/Uninstall.h"
#include "install/Unpack.h"
#include "resources/resource.h"
#include "base/Sys.h"

namespace {

typedef std::vector<OCString> Sources;

const DWORD kAllButReadOnly = ~(DWORD)FILE_ATTRIBUTE_READONLY;
const UINT kPromptFlags = MB_OKCANCEL | MB_TASKMODAL;

const char* Text(const OCString& s) { return s.GetBuffer() ? s.GetBuffer() : ""; }

// ---- work lists and space ----

// Splits `value` at ';' (empty pieces skipped) and appends the pieces.
void SplitList(const OCString& value, std::vector<OCString>& out) {
    OCString rest(value), piece;
    rest.Rewind();
    while (rest.Tokenize(piece, ";")) out.push_back(piece);
}

// "label:path" pieces; a piece without a label keeps the previous one.
void SplitFileList(const OCString& value, std::vector<OCString>& labels,
                   std::vector<OCString>& paths) {
    std::vector<OCString> pieces;
    SplitList(value, pieces);
    OCString label;
    for (OCString& piece : pieces) {
        piece.Rewind();
        if (const char* colon = piece.FindChar(':')) {
            piece.CopyRange(label, NULL, colon);
            OCString path;
            piece.CopyRange(path, colon + 1, NULL);
            paths.push_back(path);
        } else {
            paths.push_back(piece);
        }
        labels.push_back(label);
    }
}

// Free bytes on the install folder's drive; 0 for a UNC or relative path.
ULONGLONG FreeBytesFor(const OCString& folder) {
    const char* text = Text(folder);
    if (text[0] == '\\' || !text[0] || text[1] != ':') return 0;
    char root[4] = {text[0], ':', text[2], 0};
    ULONGLONG freeBytes = 0, totalBytes = 0;
    GetDiskSpace(root, &freeBytes, &totalBytes);
    return freeBytes;
}

// ---- the progress dialog ----

ProgressRelay g_progress;          // the running worker's; there is one worker at a time

LRESULT SendToBar(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return SendDlgItemMessageA(dialog, IDC_PROGRESS_BAR, message, wParam, lParam);
}

void AttachIfNew(HWND dialog) {
    if (dialog != g_progress.GetDialog()) g_progress.Attach(dialog);
}

void AdvanceBar(HWND dialog, unsigned kib) {
    AttachIfNew(dialog);
    g_progress.Advance(kib);
}

// The bar counts KiB in a signed 32-bit range.
LPARAM KiB(ULONGLONG bytes) {
    const ULONGLONG kib = bytes / 1024;
    return kib > INT_MAX ? INT_MAX : (LPARAM)kib;
}

void StartBar(HWND dialog, ULONGLONG requiredBytes) {
    SendToBar(dialog, PBM_SETRANGE32, 0, KiB(requiredBytes));
    SendToBar(dialog, PBM_SETSTEP, 1, 0);
    SendToBar(dialog, PBM_SETPOS, 0, 0);
    g_progress.Attach(dialog);
}

// false when the user cancelled.
bool AskForDisc(HWND dialog, const OCString& text, const char* caption) {
    g_progress.Flush();
    return text.ShowMessageBox(dialog, caption, kPromptFlags) != IDCANCEL;
}

void ReportError(HWND dialog, LONG code, const char* message) {
    g_progress.Flush();
    OCString text;
    text.Format(kFmtErrorReport, (unsigned)code, message);
    text.ShowMessageBox(dialog, NULL, MB_OK | MB_TASKMODAL);
}

// ---- the discs ----

// One folder per CD-ROM drive, Z: first.
Sources FindSources(const OCString& dataPath) {
    Sources sources;
    for (int drive = FindDrive(DRIVE_CDROM, -1); drive != -1; drive = FindDrive(DRIVE_CDROM, drive)) {
        OCString folder;
        folder.Format("%c:\\%s", 'A' + drive, Text(dataPath));
        sources.push_back(folder);
    }
    return sources;
}

bool HasWildcard(const char* path) {
    for (const char* p = path; *p; p = sjis::Next(p))
        if (*p == '*' || *p == '?') return true;
    return false;
}

// A wildcard path is on the disc when its folder is and the pattern matches.
bool OnDisc(const OCString& path) {
    if (!HasWildcard(Text(path))) return PathExistsOnMedium(Text(path)) != 0;
    OCPath held;
    held.Set(Text(path));
    OCString folder;
    held.GetDirectory(folder);
    OCFindFile search;
    WIN32_FIND_DATAA found;
    return PathExistsOnMedium(Text(folder)) && search.First(Text(path), &found);
}

// The disc's marker file opens by relative name, quietly.
bool MarkerPresent(const InstallConfig& config, const OCString& label) {
    OCString marker;
    marker.Format("%s_%s.INI", Text(config.name), Text(label));
    struct QuietOpen {
        QuietOpen() { g_quietOpen = 1; }
        ~QuietOpen() { g_quietOpen = 0; }
    } quiet;
    OCFile file;
    return file.Open(marker.GetBuffer(), kOpenRead) != 0;
}

const OCString* FindArchive(const Sources& sources, const OCString& name, OCString& found) {
    for (const OCString& source : sources) {
        found.Format("%s\\%s", Text(source), Text(name));
        if (OnDisc(found)) return &source;
    }
    return NULL;
}

const OCString* FindDisc(const InstallConfig& config, const Sources& sources,
                         const OCString& path, const OCString& label) {
    for (const OCString& source : sources) {
        OCString full;
        full.Format("%s\\%s", Text(source), Text(path));
        if (OnDisc(full) && !label.IsEmpty() && MarkerPresent(config, label)) return &source;
    }
    return NULL;
}

// ---- the two work lists ----

bool UnpackAll(const InstallConfig& config, const Sources& sources, HWND dialog) {
    for (const OCString& name : config.unPackList) {
        OCString archive;
        while (!FindArchive(sources, name, archive)) {
            OCString text;
            text.Format(kFmtWrongDisc, Text(config.title));
            if (!AskForDisc(dialog, text, kCaptionWrongDisc)) return false;
        }
        AdvanceBar(dialog, UnpackArchive(archive.GetBuffer(), Text(config.installFolder)) / 1024);
    }
    return true;
}

bool CopyAll(InstallConfig& config, const Sources& sources, HWND dialog) {
    const size_t count = std::min(config.filePaths.size(), config.discLabels.size());
    for (size_t i = 0; i < count; i++) {
        const OCString& path = config.filePaths[i];
        const OCString& label = config.discLabels[i];
        const OCString* source;
        while (!(source = FindDisc(config, sources, path, label))) {
            OCString text;
            text.Format(kFmtInsertDisc, Text(config.title), Text(label));
            if (!AskForDisc(dialog, text, kCaptionInsertDisc)) return false;
        }
        config.CopyEntry(source->GetBuffer(), Text(config.installFolder), Text(path));
    }
    return true;
}

bool RunCopy(InstallConfig& config, HWND dialog) {
    const Sources sources = FindSources(config.dataPath);
    StartBar(dialog, config.requiredBytes);
    if (!UnpackAll(config, sources, dialog) || !CopyAll(config, sources, dialog)) return false;
    g_progress.SetPosition(KiB(config.requiredBytes));
    g_progress.Flush();
    Sleep(1);
    return true;
}

// A cancelled or failed copy leaves no partial install behind, nor the
// maker's folder it created above the install folder.
void RemoveInstallFolder(const InstallConfig& config) {
    if (config.brand.IsEmpty()) {
        OCPath folder;
        folder.Set(Text(config.installFolder));
        folder.Remove(1, "*.*");
    } else {
        RemoveFolderAndEmptyParent(Text(config.installFolder));
    }
}

// The text before the last backslash of `path`, or empty.
OCString FolderPart(const char* path) {
    OCPath held;
    held.Set(path);
    OCString folder;
    held.GetDirectory(folder);
    return lstrcmpA(Text(folder), path) == 0 ? OCString() : folder;
}

// The files of one entry, depth first in the order the system lists them:
// each file's source as the search found it, and its target path.
void ListEntry(const char* sourceFolder, const char* installTo, const char* entryPath,
               std::vector<ReadAhead::Source>& sources, std::vector<OCString>& targets) {
    OCString pattern;
    pattern.Format("%s\\%s", sourceFolder, entryPath);
    const OCString relativeFolder = FolderPart(entryPath);
    OCFindFile search;
    WIN32_FIND_DATAA found;
    if (!search.First(pattern.GetBuffer(), &found)) return;
    do {
        const char* fileName = found.cFileName;
        OCString relative;
        if (relativeFolder.IsEmpty())
            relative = fileName;
        else
            relative.Format("%s\\%s", relativeFolder.GetBuffer(), fileName);
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (lstrcmpA(fileName, ".") == 0 || lstrcmpA(fileName, "..") == 0) continue;
            relative += "\\*.*";
            ListEntry(sourceFolder, installTo, relative.GetBuffer(), sources, targets);
            continue;
        }
        ReadAhead::Source source = {OCString(), found.dwFileAttributes,
                                    (ULONGLONG)found.nFileSizeHigh << 32 | found.nFileSizeLow};
        source.path.Format("%s\\%s", sourceFolder, relative.GetBuffer());
        OCString target;
        target.Format("%s\\%s", installTo, relative.GetBuffer());
        sources.push_back(source);
        targets.push_back(target);
    } while (search.Next(&found));
}

}  // namespace

// The search folders are read by every open on the user-interface thread
// (the menu redraws its pictures), so only that thread adds to them.
void RegisterDiscFolders(const InstallConfig& config) {
    for (const OCString& folder : FindSources(config.dataPath)) {
        bool known = false;
        for (const OCString& registered : g_searchDirectories)
            known = known || sys::CompareNoCase(Text(registered), folder.GetBuffer()) == 0;
        if (!known) AddSearchDirectory(folder.GetBuffer());
    }
}

int InstallConfig::PrepareCopy() {
    unPackList.clear();
    filePaths.clear();
    discLabels.clear();
    requiredBytes = 0;
    if (selectedType < 0 || selectedType >= (int)types.size()) return 0;
    const TypeEntry& type = types[selectedType];
    SplitList(type.unPack, unPackList);
    SplitFileList(type.file, discLabels, filePaths);
    // 64 bits: a size of 4096 MB or more must not wrap into a small figure.
    requiredBytes = (ULONGLONG)(DWORD)type.size << 20;
    return SpaceSuffices(FreeBytesFor(installFolder), requiredBytes);
}

int InstallConfig::CopyFiles() {
    const HWND dialog = progress.GetWindow();
    try {
        if (RunCopy(*this, dialog)) return 1;
    } catch (...) {
        OCString message;
        const LONG code = DescribeCurrentException(message);
        ReportError(dialog, code, Text(message));
    }
    RemoveInstallFolder(*this);
    return 0;
}

// `entryPath` names a file, a folder (which matches only itself) or a
// wildcard pattern; folders are copied with everything below them. The whole
// list is known before the first file is written, so the next sources can be
// read while the current file is written.
void InstallConfig::CopyEntry(const char* sourceFolder, const char* installTo, const char* entryPath) {
    std::vector<ReadAhead::Source> sources;
    std::vector<OCString> targets;
    ListEntry(sourceFolder, installTo, entryPath, sources, targets);
    ReadAhead ahead(sources);
    for (size_t i = 0; i < sources.size(); i++) {
        const char* target = targets[i].GetBuffer();
        AttachIfNew(progress.GetWindow());
        g_progress.SetText(target);
        const ReadAhead::Piece piece = ahead.Next();
        if (piece.read)
            CopyFromMemory(piece.data.data(), piece.facts, target, kAllButReadOnly, AdvanceProgress,
                           (DWORD_PTR)&progress);
        else
            CopyFileWithTimes(sources[i].path.GetBuffer(), target, 1, kAllButReadOnly, AdvanceProgress,
                              (DWORD_PTR)&progress);
    }
}

int SpaceSuffices(ULONGLONG freeBytes, ULONGLONG requiredBytes) {
    return freeBytes / 1024 > requiredBytes / 1024 ? 1 : 0;
}

void ShowProgress(HWND dialog) { g_progress.Show(dialog); }

void AdvanceProgress(unsigned bytes, DWORD_PTR dialog) {
    AdvanceBar(((const OCDialog*)dialog)->GetWindow(), bytes / 1024);
}

HWND WaitForDialogWindow(const OCDialog& dialog, HANDLE ended) {
    for (;;) {
        const HWND window = dialog.GetWindow();
        if (window && IsWindow(window)) return window;
        if (!ended) Sleep(10);
        else if (WaitForSingleObject(ended, 10) == WAIT_OBJECT_0) return NULL;
    }
}

unsigned __stdcall CopyThreadProc(void* argument) {
    InstallConfig* config = (InstallConfig*)argument;
    const HWND dialog = WaitForDialogWindow(config->progress, config->progressEnded);
    if (!dialog) {
        config->copyResult = 0;
        return 0;
    }
    try {
        config->copyResult = config->CopyFiles();
    } catch (...) {                                  // nothing unwinds out of the thread
        config->copyResult = 0;
    }
    SendMessageA(dialog, WM_CLOSE, 0, 0);
    return 0;
}
