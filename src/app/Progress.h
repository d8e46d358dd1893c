#pragma once

#include <QtGlobal>

#include <functional>

namespace kalvor {

// How a long pass over a table tells its caller how far it got. Both callbacks may be empty; they are
// called on the thread that runs the pass, so a window must receive them through queued signals.
struct Progress {
    std::function<void(qint64 total)> started;   // once, before the first row
    std::function<void(qint64 done)> advanced;    // after each row, 1-based
    std::function<bool()> cancelled;              // read after each row; true stops the pass

    void start(qint64 total) const
    {
        if (started)
            started(total);
    }
    void step(qint64 done) const
    {
        if (advanced)
            advanced(done);
    }
    bool isCancelled() const { return cancelled && cancelled(); }
};

} // namespace kalvor
