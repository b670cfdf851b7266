#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "cli_common.h"
#include "console_ui.h"
#include "commands.h"
#include "core/fft.h"

namespace {

// Output lost on a full disk, a failing device or a closed pipe is a failed
// run, not a quiet success; exit would flush and ignore the error.
bool standard_output_lost() {
    errno = 0;
    std::cout.flush();
    const bool lost = std::fflush(stdout) != 0 || std::ferror(stdout) || !std::cout;
    const int code = errno;
    if (lost)
        std::cerr << "kelvane-cli: error writing standard output"
                  << (code ? std::string(" (") + std::strerror(code) + ")" : std::string()) << std::endl;
    return lost;
}

}  // namespace

int main(int argc, char** argv) {
    // A reader that goes away (| head) makes writes fail with EPIPE instead of
    // ending the process before it removes its private directory.
    std::signal(SIGPIPE, SIG_IGN);
    CLI::App app{"kelvane-cli: Singular Spectrum Analysis of a time series"};
    app.require_subcommand(1);
    bool progress = true;
    app.add_flag("--progress,!--no-progress", progress, "show progress on a terminal (default on)");
    // Also after the subcommand, where the README puts it.
    app.fallthrough();

    set_fft_wisdom_folder(default_fft_wisdom_folder());
    std::function<void()> run;
    cli::register_info(app, run);
    cli::register_decompose(app, run);
    cli::register_reconstruct(app, run);
    cli::register_forecast(app, run);
    cli::register_period(app, run);
    cli::register_trend(app, run);
    cli::register_summation(app, run);
    cli::register_wcor(app, run);
    cli::refuse_empty_values(app);

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        const int code = app.exit(e);
        return standard_output_lost() ? 1 : code;
    } catch (const CLI::CallForAllHelp& e) {
        const int code = app.exit(e);
        return standard_output_lost() ? 1 : code;
    } catch (const CLI::ParseError& e) {
        // One line, like every other input error.
        if (app.get_subcommands().empty() && argc > 1 && argv[1][0] != '-')
            std::cerr << "kelvane-cli: unknown subcommand '" << argv[1] << "'; --help lists them" << std::endl;
        else
            std::cerr << "kelvane-cli: " << e.what() << std::endl;
        return e.get_exit_code() != 0 ? e.get_exit_code() : 2;
    }

    cli::install_console();
    cli::install_progress(progress);
    struct clear_progress {
        ~clear_progress() { cli::finish_progress(); }
    } clear;
    try {
        run();
        return standard_output_lost() ? 1 : 0;
    } catch (...) {
        return cli::report_failure(std::current_exception(), std::cerr);
    }
}
