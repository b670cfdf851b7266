// What the process removes when a signal ends it (SIGINT, SIGTERM, SIGHUP,
// SIGQUIT): the temporary files of saves under way and, through a remover set
// by its owner, the private directory. The signal is then raised again, so the
// process ends as the sender meant.
#pragma once

namespace exit_cleanup {

// Installs the handlers once; a signal that is ignored (nohup) or handled by
// the program itself is left as it is.
void install_signal_handlers();

// The remover runs inside the handlers: it must be async-signal-safe.
void set_directory_remover(void (*remove)());

// A file to unlink if a signal comes before release: slot for release, or -1
// when every slot is taken (then the file is simply not guarded).
int guard_file(const char* path);
void release_file(int slot);

}  // namespace exit_cleanup
