// Starting the installed game: the command recorded in the game's registry
// key ("execute" of SOFTWARE\<Brand>\<Name>), run in the game's own folder.
#pragma once
#include "base/OCString.h"

class InstallConfig;

// Replaces `command` with the game key's "execute" value (empty when the
// value is missing). 1 when the key exists, else 0 with `command` untouched.
int ReadGameCommand(const InstallConfig& config, OCString& command);

// Splits a stored command into the program's path and its arguments. A
// quoted program ends at its closing quote; an unquoted value is the
// program as a whole when that file exists, else its longest part before a
// space that names an existing file (the rest are arguments), else whole.
void SplitCommand(const char* command, OCString& program, OCString& arguments);

// Starts the program of `command` by its full path, quoted, so that a path
// with spaces never runs another program ("C:\Program.exe" for "C:\Program
// Files\..."), with the program's folder as the current folder and the
// installer's environment. Failures are not reported; no handle is kept.
void StartGame(const char* command);
