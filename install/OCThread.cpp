#include "install/OCThread.h"
#include <process.h>
#include <errno.h>
#include <stdlib.h>
#include "base/Messages.h"
#include "base/OCException.h"

namespace {

// How long Close lets a running thread finish before it terminates it.
const DWORD kCloseGraceMs = 2000;

bool StillActive(HANDLE thread) {
    DWORD code = 0;
    return GetExitCodeThread(thread, &code) && code == STILL_ACTIVE;
}

}  // namespace

void OCThread::Start(Function function, void* argument, int runNow) {
    if (m_handle) return;
    unsigned id = 0;
    uintptr_t thread = _beginthreadex(NULL, 0, function, argument,
                                      runNow ? 0 : CREATE_SUSPENDED, &id);
    if (!thread) {
        const int error = errno;                     // read both before anything else runs
        const LONG code = (LONG)_doserrno;
        throw OCErrorException(code, error == EINVAL ? kMsgThreadBadArgument : "");
    }
    m_handle = (HANDLE)thread;
    m_id = id;
}

int OCThread::Close() {
    if (!m_handle) return 0;
    // A worker whose last act has just returned is still "active" for a
    // moment: killing it there could leave a run-time lock held.
    if (StillActive(m_handle) && WaitForSingleObject(m_handle, kCloseGraceMs) == WAIT_TIMEOUT &&
        StillActive(m_handle))
        TerminateThread(m_handle, 0);
    const int closed = CloseHandle(m_handle) ? 1 : 0;
    m_handle = NULL;
    m_id = 0;
    return closed;
}
