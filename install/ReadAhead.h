// ReadAhead: reads the next source files of a list on a thread of its own
// while the copy worker writes the current one. Under Wine every open and
// close is a round trip to one server process, so the sources' opens, reads
// and closes overlap the targets' instead of adding to them.
#pragma once
#include <windows.h>
#include <deque>
#include <vector>
#include "archive/FileCopy.h"
#include "base/OCString.h"
#include "install/OCThread.h"

class ReadAhead {
public:
    // One source as the reader left it, in the list's order.
    struct Piece {
        bool read;                 // true: `data` is the whole file and `facts` hold
        SourceFacts facts;
        std::vector<BYTE> data;
        size_t cost;               // what it counts against the budget
    };

    // A file to read, with what the search that found it said of it.
    struct Source {
        OCString path;
        DWORD attributes;
        ULONGLONG size;
    };

    // Starts reading `sources`. Files up to `wholeLimit` bytes are read whole,
    // with their times as they are after the read and the attributes the
    // search found; a larger one (by the search's size, not even opened here),
    // or one that cannot be opened or read in one go, is left to the worker
    // (Piece::read false), which copies it the usual way, prompts and all. Pieces not yet copied hold at most about `budget` bytes; a file
    // left to the worker counts as its size there, so the reader never runs far
    // past a big file (nor past a disc that is pulled during it).
    explicit ReadAhead(const std::vector<Source>& sources, size_t budget = 8 << 20,
                       size_t wholeLimit = 4 << 20);
    // Stops the reader and waits for it.
    ~ReadAhead();
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    // The next source's piece, waiting for it; the previous piece is done with.
    Piece Next();

private:
    static unsigned __stdcall ReaderProc(void* self);
    void ReadAll();
    bool WaitForRoom();            // false once stopped
    Piece ReadPiece(const Source& source) const;

    const std::vector<Source>& m_sources;
    const size_t m_budget;
    const size_t m_wholeLimit;
    CRITICAL_SECTION m_lock;
    HANDLE m_pieceReady;           // auto-reset: a piece was queued
    HANDLE m_roomMade;             // auto-reset: the budget shrank, or stop
    std::deque<Piece> m_queue;     // guarded by m_lock, as are the five below
    size_t m_queuedCost;           // pieces queued or being copied
    size_t m_handedCost;           // the piece the worker is copying
    bool m_workerWaiting;          // signalled only while the other side waits
    bool m_readerWaiting;
    bool m_stop;
    OCThread m_reader;
};
