// The two exception classes. OCErrorException is the one way an operation
// aborts with an error: thrown by value, caught by reference, once, at the top.
#pragma once
#include <windows.h>
#include "base/OCString.h"

class OCException {
public:
    explicit OCException(LONG errorCode = 0) : code(errorCode) {}
    virtual ~OCException() {}
    LONG code;  // system error code, 0 when there is none
};

class OCErrorException : public OCException {
public:
    // Takes the code from GetLastError() before anything else can change it.
    explicit OCErrorException(const char* text) : OCException((LONG)GetLastError()) { message = text; }
    OCErrorException(LONG errorCode, const char* text) : OCException(errorCode) { message = text; }
    explicit OCErrorException(LONG errorCode) : OCException(errorCode) {}
    OCString message;
};

// Inside a catch block: the code and message of the exception being handled,
// whatever its type, for the one error box at the top. An exception without
// a code of its own (the string class out of memory, std::bad_alloc) reports
// ERROR_NOT_ENOUGH_MEMORY; anything else foreign ERROR_INTERNAL_ERROR.
LONG DescribeCurrentException(OCString& message);
