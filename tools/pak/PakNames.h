// Entry names: Shift-JIS (code page 932) text with backslash separators. Converts
// between them and the file system's names and checks where an entry may land.
#pragma once
#include <cstdint>
#include <filesystem>
#include <string>

namespace pak {

// Code page 932 lead bytes; the byte after one is a trail byte, which may be 0x5C.
inline bool IsLeadByte(uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// Index of the character after the one at `i` (never past the end).
size_t NextChar(const std::string& text, size_t i);

// The name with ASCII and full-width Latin capitals made small, for comparing
// names the way the installer does.
std::string FoldCase(const std::string& name);

// Converts a path relative to the packed folder into an entry name ("cg\title.png").
// Throws PakError saying why when a part cannot be written in code page 932 or
// cannot be a Windows file name.
std::string EntryNameFromPath(const std::filesystem::path& relative);

// Why the entry may not be written below a folder ("" when it may): empty,
// absolute, drive letter or stream, "." or ".." parts, control characters.
std::string UnsafeNameReason(const std::string& name);

// Where an entry lands below `dir`. Call only for names UnsafeNameReason accepts;
// throws PakError when the name is not valid code page 932 text.
std::filesystem::path PathForEntry(const std::filesystem::path& dir, const std::string& name);

// The name as the terminal shows it: UTF-8 on Linux, the ANSI code page on
// Windows; bytes that do not convert appear as \xNN.
std::string DisplayName(const std::string& name);

// Command-line text to a path and back (the ANSI code page on Windows, UTF-8 elsewhere).
std::filesystem::path PathFromArgument(const std::string& text);
std::string DisplayPath(const std::filesystem::path& path);

// True when `name` is well-formed code page 932 text (no lone lead byte).
bool IsValidCp932(const std::string& name);

}  // namespace pak
