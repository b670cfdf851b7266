// Models of the dialogs the documents open: the fields a dialog shows and
// hands back. The user interface fills in and runs them (app_ui::run_dialog).
#pragma once

// "Select paired component": the second component of a harmonic pair.
class CDlgSelectHarmPair {
public:
    static constexpr const char* title = "Select paired component";

    int first = 0;   // shown, read-only
    int second = 0;  // chosen, within range_min .. range_max
    int range_min = 1;
    int range_max = 1;
};
