// What the documents ask of the user interface beyond message boxes and
// questions: running their dialogs.
#pragma once

#include "app/dialogs.h"
#include "core/ui_services.h"

class app_ui : public ui_services {
public:
    // Shows the dialog modally; true for OK, with the fields as the user left them.
    virtual bool run_dialog(CDlgSelectHarmPair& dlg) = 0;
};
