// Starting the installed game: the command recorded in the game's registry
// key ("execute" of SOFTWARE\<Brand>\<Name>), run in the game's own folder.
#pragma once
#include "base/OCString.h"

class InstallConfig;

// Replaces `command` with the game key's "execute" value (empty when the
// value is missing). 1 when the key exists, else 0 with `command` untouched.
int ReadGameCommand(const InstallConfig& config, OCString& command);

// Starts `command` with the folder part of it as the current folder and the
// installer's environment. Failures are not reported; no handle is kept.
void StartGame(const char* command);
