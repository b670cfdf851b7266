// kelvane [FILE...]: the desktop program, opening each file given.
#include <QApplication>
#include <QCommandLineParser>
#include <QStringList>

#include "app/application.h"
#include "app/qt/icons.h"
#include "app/qt/main_frame.h"
#include "app/qt/qt_app_ui.h"
#include "app/qt/recent_files.h"
#include "core/fft.h"
#include "core/hooks.h"

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    QApplication::setOrganizationName(CRecentFileSettings::organisation);
    QApplication::setApplicationName(CRecentFileSettings::application);
    QApplication::setWindowIcon(program_icon());

    QCommandLineParser parser;
    parser.setApplicationDescription("Singular Spectrum Analysis of a time series");
    parser.addHelpOption();
    parser.addPositionalArgument("FILE", "data files to open", "[FILE...]");
    parser.process(qapp);

    set_fft_wisdom_folder(default_fft_wisdom_folder());
    CQtAppUi ui;
    CRecentFileSettings recent;
    CWinKelvaneApp app(ui, recent);
    CMainFrame frame(app, ui);
    ui.set_parent(&frame);
    ui.set_window_opener([&frame](document& doc) { frame.open_window(doc); });
    ui.set_log_shower([&frame](const std::string& path) { frame.show_log(path); });
    frame.register_views();

    // Messages of the model raised on this thread; workers install their own.
    scoped_notify_hook notes([&ui](const std::string& text, const std::string& caption, notify_icon icon) {
        ui.message_box(text, caption, icon);
    });

    frame.show();
    for (const QString& file : parser.positionalArguments())
        frame.guarded([&] { app.open_series_file(file.toStdString()); });
    return qapp.exec();
}
