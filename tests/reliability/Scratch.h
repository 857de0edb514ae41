// Helpers of the reliability tests: folder listings to prove that nothing
// appeared where it must not, a quiet-open scope, and the one report line
// each hostile-input run prints.
#pragma once
#include <windows.h>
#include <set>
#include <string>

// Names directly inside `folder` ("." and ".." left out).
std::set<std::string> ListFolder(const std::string& folder);
// Every path below `folder`, relative to it, folders included.
std::set<std::string> ListTree(const std::string& folder);

// Writes `bytes` to `path`; false when the file could not be written whole.
bool WriteBytes(const std::string& path, const std::string& bytes);

// Sets g_quietOpen for one scope: no open prompt can stop a run.
class QuietScope {
public:
    QuietScope();
    ~QuietScope();
    QuietScope(const QuietScope&) = delete;
    QuietScope& operator=(const QuietScope&) = delete;
};

// "[ reliability ] <what>: <text>" on standard output, flushed at once, so
// the counts show in the test log.
void Report(const char* what, const std::string& text);
