#include "exit_cleanup.h"

#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstring>
#include <mutex>

namespace exit_cleanup {
namespace {

// Fixed storage: the handlers may not allocate, and a slot's name stays
// readable for as long as the process lives.
constexpr int slot_count = 32;
constexpr size_t name_size = 4096;
enum : int { slot_free, slot_filling, slot_guarding };
std::atomic<int> slot_state[slot_count];
// The process that took the slot: a forked child's files are its own.
pid_t slot_owner[slot_count];
char slot_name[slot_count][name_size];

std::atomic<void (*)()> directory_remover{nullptr};

void on_signal(int sig) {
    const pid_t self = ::getpid();
    for (int i = 0; i < slot_count; ++i)
        if (slot_state[i].load() == slot_guarding && slot_owner[i] == self) ::unlink(slot_name[i]);
    if (void (*remove)() = directory_remover.load()) remove();
    // SA_RESETHAND restored the default action.
    ::raise(sig);
}

void install_handler(int sig) {
    struct sigaction old;
    if (::sigaction(sig, nullptr, &old) != 0 || old.sa_handler == SIG_IGN) return;
    if (old.sa_handler != SIG_DFL) return;
    struct sigaction act {};
    act.sa_handler = on_signal;
    sigemptyset(&act.sa_mask);
    act.sa_flags = SA_RESETHAND | SA_NODEFER;
    ::sigaction(sig, &act, nullptr);
}

}  // namespace

void install_signal_handlers() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) install_handler(sig);
    });
}

void set_directory_remover(void (*remove)()) { directory_remover.store(remove); }

int guard_file(const char* path) {
    if (std::strlen(path) >= name_size) return -1;
    for (int i = 0; i < slot_count; ++i) {
        int expected = slot_free;
        if (!slot_state[i].compare_exchange_strong(expected, slot_filling)) continue;
        slot_owner[i] = ::getpid();
        std::strcpy(slot_name[i], path);
        slot_state[i].store(slot_guarding);
        return i;
    }
    return -1;
}

void release_file(int slot) {
    if (slot >= 0) slot_state[slot].store(slot_free);
}

}  // namespace exit_cleanup
