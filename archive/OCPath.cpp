// OCPath: the held path, its folder part, and the recursive deletes.
#include "archive/OCPath.h"
#include "archive/OCFile.h"
#include "archive/OCFindFile.h"
#include <shlobj.h>
#include "base/Sys.h"

namespace {

bool IsDotName(const char* name) {
    return lstrcmpA(name, ".") == 0 || lstrcmpA(name, "..") == 0;
}

// The last backslash of `text` (stepped by characters), or NULL.
const char* LastBackslash(const char* text) {
    const char* last = NULL;
    for (const char* p = text; *p; p = sjis::Next(p))
        if (*p == '\\') last = p;
    return last;
}

}  // namespace

void OCPath::SetSpecialFolder(int csidl) {
    OCString folder;
    if (sys::GetSpecialFolder(csidl, folder)) m_path = folder;
}

void OCPath::GetDirectory(OCString& out) const {
    const char* text = m_path.GetBuffer();
    if (!text || EndsWithBackslash(text)) {
        out = text;
        return;
    }
    const char* last = LastBackslash(text);
    if (last)
        out.Assign(text, (int)(last - text));
    else
        out = text;
}

void OCPath::DeleteTree(const char* folder) {
    if (!IsRemovableTree(folder)) return;
    DeleteBelow(OCString(folder, -1));
}

void OCPath::DeleteBelow(const OCString& folder) {
    OCString dir(folder);
    if (!EndsWithBackslash(dir.GetBuffer())) dir += "\\";
    OCString pattern(dir);
    pattern += "*.*";
    OCFindFile search;
    WIN32_FIND_DATAA found;
    if (!search.First(pattern.GetBuffer(), &found)) return;
    do {
        const DWORD attributes = found.dwFileAttributes;
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && IsDotName(found.cFileName)) continue;
        OCString item(dir);
        item += found.cFileName;
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
            sys::SetAttributes(item.GetBuffer(), FILE_ATTRIBUTE_NORMAL);
            // A junction leads elsewhere: remove the link, never what it points to.
            if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) DeleteBelow(item);
            sys::RemoveFolder(item.GetBuffer());
        } else if (!(attributes & FILE_ATTRIBUTE_READONLY)) {
            DeleteOneFile(item.GetBuffer());
        }
    } while (search.Next(&found));
}

void OCPath::DeleteOneFile(const char* file) {
    if (m_fileCallback) m_fileCallback(file, m_user);
    sys::SetAttributes(file, FILE_ATTRIBUTE_NORMAL);
    sys::RemoveFile(file);
}

void OCPath::Remove(int recursive, const char* pattern) {
    const char* held = m_path.GetBuffer();
    if (!held) return;
    const bool contents = EndsWithBackslash(held) != 0;
    if ((recursive == 1 || contents) && !IsRemovableTree(held)) return;
    if (contents) {
        RemoveMatches(recursive, pattern);
        return;
    }
    OCFindFile search;
    WIN32_FIND_DATAA found;
    if (search.First(held, &found)) RemoveItem(held, found.dwFileAttributes, recursive);
}

void OCPath::RemoveMatches(int recursive, const char* pattern) {
    OCString search(m_path);
    search += pattern && *pattern ? pattern : "*.*";
    OCFindFile finder;
    WIN32_FIND_DATAA found;
    if (!finder.First(search.GetBuffer(), &found)) return;
    do {
        if (IsDotName(found.cFileName)) continue;
        OCString item(m_path);
        item += found.cFileName;
        RemoveItem(item.GetBuffer(), found.dwFileAttributes, recursive);
    } while (finder.Next(&found));
}

void OCPath::RemoveItem(const char* item, DWORD attributes, int recursive) {
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        if (recursive != 1) return;
        if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) DeleteBelow(OCString(item, -1));
        sys::RemoveFolder(item);
    } else if (!(attributes & FILE_ATTRIBUTE_READONLY)) {
        if (m_fileCallback) m_fileCallback(item, m_user);
        sys::RemoveFile(item);
    }
}

void RemoveEmptyFolders(const char* path) {
    OCString current(path, -1);
    // A trailing backslash would make the folder itself count twice.
    while (current.GetLength() > 0 && EndsWithBackslash(current.GetBuffer())) {
        current.SeekEnd();
        current.Delete(0, (int)(current.Prev() - current.GetBuffer()));
    }
    const char* last = current.GetBuffer() ? LastBackslash(current.GetBuffer()) : NULL;
    while (last) {
        if (!sys::RemoveFolder(current.GetBuffer())) return;
        current.Delete(0, (int)(last - current.GetBuffer()));
        last = LastBackslash(current.GetBuffer());
    }
}
