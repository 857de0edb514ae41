// OCThread: owner of one worker thread started through the run-time library.
#pragma once
#include <windows.h>

class OCThread {
public:
    typedef unsigned(__stdcall* Function)(void* argument);

    OCThread() : m_handle(NULL), m_id(0) {}
    virtual ~OCThread() { Close(); }
    OCThread(const OCThread&) = delete;              // a copy would close the thread twice
    OCThread& operator=(const OCThread&) = delete;

    // Starts `function(argument)`, suspended unless `runNow` is non-zero.
    // Does nothing while a thread is held. Throws OCErrorException with the
    // system error code the run-time library recorded when it cannot start.
    void Start(Function function, void* argument, int runNow);
    // 0 when no thread is held, else the result of CloseHandle. A thread that
    // is still running gets a short grace period to end on its own (it may be
    // past its last act, returning) and is terminated only after that.
    int Close();

    HANDLE GetHandle() const { return m_handle; }
    unsigned GetId() const { return m_id; }

private:
    HANDLE m_handle;            // NULL while no thread is held
    unsigned m_id;
};
