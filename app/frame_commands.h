// The main window's commands and their enabled states, without any window.
#pragma once

#include "app/document.h"

enum class command {
    file_new,
    file_open,
    file_close,
    file_save,
    file_save_as,
    file_save_image,
    file_print,
    file_print_preview,
    file_print_setup,
    file_exit,
    edit_cut,
    edit_copy,
    edit_paste,
    view_toolbar,
    view_status_bar,
    view_timeseries,
    run_investigation,
    display_svd,
    investigation_log,
    break_harmonics,
    smooth,
    unsmooth,
    two_scales,
    final_decomposition,
    close_all,
    window_cascade,
    window_tile,
    close_comp_info,  // Esc
    about
};

// The eight commands whose state follows the kind of the active view; the
// menus and shortcuts are enabled exactly when the toolbar button is.
struct view_command_states {
    bool run = false, svd = false, log = false, smooth = false, unsmooth = false, harmonics = false,
         two_scales = false, final_decomposition = false;
    bool operator==(const view_command_states& o) const;
};

// The states after a view of this kind became active; a kind the table does
// not list keeps previous.
view_command_states states_after_activation(doc_kind view, const view_command_states& previous);

// Whether command is one of the eight, and its state in s (false for any
// other command: the shell decides those).
bool follows_active_view(command c);
bool enabled_in(command c, const view_command_states& s);

// Whether File Save has a series to write in a window of this kind; elsewhere it is off.
bool saves_series(doc_kind view);
