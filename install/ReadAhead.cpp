// ReadAhead: a reader thread and a queue of whole small files.
#include "install/ReadAhead.h"
#include <algorithm>
#include <new>
#include "base/OCException.h"
#include "install/Locked.h"

namespace {

const size_t kSmallestCost = 4096;     // bounds the pieces queued for empty or failed files

}  // namespace

ReadAhead::ReadAhead(const std::vector<Source>& sources, size_t budget, size_t wholeLimit)
    : m_sources(sources), m_budget(budget), m_wholeLimit(std::min(wholeLimit, budget)),
      m_pieceReady(CreateEventA(NULL, FALSE, FALSE, NULL)), m_roomMade(CreateEventA(NULL, FALSE, FALSE, NULL)),
      m_queuedCost(0), m_handedCost(0), m_workerWaiting(false), m_readerWaiting(false), m_stop(false) {
    InitializeCriticalSection(&m_lock);
    if (!m_pieceReady || !m_roomMade || sources.empty()) return;
    try {
        m_reader.Start(ReaderProc, this, 1);
    } catch (const OCErrorException&) {
        // Without a reader the worker copies every file the usual way.
    }
}

ReadAhead::~ReadAhead() {
    {
        Locked locked(m_lock);
        m_stop = true;
    }
    if (m_roomMade) SetEvent(m_roomMade);
    if (m_reader.GetHandle()) WaitForSingleObject(m_reader.GetHandle(), INFINITE);
    m_reader.Close();
    if (m_pieceReady) CloseHandle(m_pieceReady);
    if (m_roomMade) CloseHandle(m_roomMade);
    DeleteCriticalSection(&m_lock);
}

ReadAhead::Piece ReadAhead::Next() {
    Locked locked(m_lock);
    m_queuedCost -= m_handedCost;
    m_handedCost = 0;
    if (m_readerWaiting) {                           // each event signal is a system round trip
        m_readerWaiting = false;
        SetEvent(m_roomMade);
    }
    while (m_queue.empty()) {
        if (!m_reader.GetHandle()) return Piece{false, {}, {}, 0};   // no reader: the worker copies
        m_workerWaiting = true;
        LeaveCriticalSection(&m_lock);
        WaitForSingleObject(m_pieceReady, INFINITE);
        EnterCriticalSection(&m_lock);
    }
    Piece piece = std::move(m_queue.front());
    m_queue.pop_front();
    m_handedCost = piece.cost;
    return piece;
}

unsigned __stdcall ReadAhead::ReaderProc(void* self) {
    ((ReadAhead*)self)->ReadAll();
    return 0;
}

void ReadAhead::ReadAll() {
    for (const Source& source : m_sources) {
        if (!WaitForRoom()) return;
        Piece piece = ReadPiece(source);
        Locked locked(m_lock);
        m_queuedCost += piece.cost;
        m_queue.push_back(std::move(piece));
        if (m_workerWaiting) {
            m_workerWaiting = false;
            SetEvent(m_pieceReady);
        }
    }
}

bool ReadAhead::WaitForRoom() {
    Locked locked(m_lock);
    while (!m_stop && m_queuedCost >= m_budget) {
        m_readerWaiting = true;
        LeaveCriticalSection(&m_lock);
        WaitForSingleObject(m_roomMade, INFINITE);
        EnterCriticalSection(&m_lock);
    }
    return !m_stop;
}

// Nothing here asks the user or throws: whatever goes wrong is left to the
// worker, which meets it again on its own open and reports it as ever.
ReadAhead::Piece ReadAhead::ReadPiece(const Source& source) const {
    Piece piece{false, {}, {}, kSmallestCost};
    if (source.size > m_wholeLimit) {
        piece.cost = (size_t)std::min<ULONGLONG>(source.size, m_budget);
        return piece;
    }
    FileHandle handle;
    if (!OpenSourceFile(source.path.GetBuffer(), handle, piece.facts) || piece.facts.size > m_wholeLimit)
        return piece;
    const DWORD size = (DWORD)piece.facts.size;
    try {
        piece.data.resize(size);
    } catch (const std::bad_alloc&) {
        return piece;
    }
    DWORD got = 0;
    if (size && (!ReadFile(handle.Get(), piece.data.data(), size, &got, NULL) || got != size)) {
        piece.data.clear();
        return piece;
    }
    ReadSourceTimes(handle.Get(), piece.facts);
    piece.facts.attributes = source.attributes;
    piece.read = true;
    piece.cost = std::max<size_t>(size, kSmallestCost);
    return piece;
}
