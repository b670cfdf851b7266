// A window that saves series of its own, not its document's: File > Save and
// Save As act on it while it is active.
#pragma once

class series_saver {
public:
    virtual void save_series() = 0;

protected:
    ~series_saver() = default;
};
