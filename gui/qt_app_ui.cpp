#include "qt_app_ui.h"

#include <QApplication>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringList>
#include <atomic>
#include <exception>
#include <iostream>
#include <thread>

#include "gui/dlg_calculating.h"
#include "gui/dlg_open_xls.h"
#include "gui/param_dialogs.h"
#include "app/save_names.h"
#include "core/diagnostics.h"
#include "core/hooks.h"
#include "core/ssa_exception.h"

QString qt_file_filter(const std::string& filter) {
    const QStringList parts = QString::fromStdString(filter).split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty()) break;
        QString name = parts[i];
        const int open = name.lastIndexOf('(');
        if (open >= 0) name = name.left(open);
        QStringList patterns = parts[i + 1].split(';', Qt::SkipEmptyParts);
        // "*.*" would skip files without an extension.
        for (QString& p : patterns)
            if (p == "*.*") p = "*";
        out << name.trimmed() + " (" + patterns.join(' ') + ")";
    }
    return out.join(";;");
}

namespace {

QMessageBox::Icon box_icon(notify_icon icon) {
    switch (icon) {
    case notify_icon::information: return QMessageBox::Information;
    case notify_icon::warning: return QMessageBox::Warning;
    case notify_icon::error: return QMessageBox::Critical;
    case notify_icon::question: return QMessageBox::Question;
    case notify_icon::none: break;
    }
    return QMessageBox::NoIcon;
}

QString box_caption(const std::string& caption) {
    return caption.empty() ? QString(CQtAppUi::caption) : QString::fromStdString(caption);
}

}  // namespace

void CQtAppUi::message_box(const std::string& text, const std::string& caption, notify_icon icon) {
    QMessageBox box(box_icon(icon), box_caption(caption), QString::fromStdString(text), QMessageBox::Ok, m_parent);
    box.exec();
}

ui_answer CQtAppUi::ask_yes_no_cancel(const std::string& text, const std::string& caption) {
    const auto answer = QMessageBox::question(m_parent, box_caption(caption), QString::fromStdString(text),
                                              QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Yes) return ui_answer::yes;
    if (answer == QMessageBox::No) return ui_answer::no;
    return ui_answer::cancel;
}

bool CQtAppUi::ask_yes_no(const std::string& text, const std::string& caption, notify_icon icon, bool default_no) {
    const QMessageBox::Icon shown = icon == notify_icon::none ? QMessageBox::Question : box_icon(icon);
    QMessageBox box(shown, box_caption(caption), QString::fromStdString(text), QMessageBox::Yes | QMessageBox::No,
                    m_parent);
    box.setDefaultButton(default_no ? QMessageBox::No : QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}


namespace {

template <class QtDialog, class Model>
bool exec_dialog(Model& dlg, QWidget* parent) {
    QtDialog shown(dlg, parent);
    return shown.exec() == QDialog::Accepted;
}

}  // namespace

bool CQtAppUi::run_dialog(CDlgSelectHarmPair& dlg) { return exec_dialog<CQtDlgSelectHarmPair>(dlg, m_parent); }
bool CQtAppUi::run_dialog(CDlgChooseInvestigation& dlg) { return exec_dialog<CQtDlgChooseInvestigation>(dlg, m_parent); }
bool CQtAppUi::run_dialog(CDlgTrendParam& dlg) { return exec_dialog<CQtDlgTrendParam>(dlg, m_parent); }
bool CQtAppUi::run_dialog(CDlgPeriodParam& dlg) { return exec_dialog<CQtDlgPeriodParam>(dlg, m_parent); }
bool CQtAppUi::run_dialog(CDlgSummationParams& dlg) { return exec_dialog<CQtDlgSummationParams>(dlg, m_parent); }
bool CQtAppUi::run_dialog(CDlgTrendConditions& dlg) { return exec_dialog<CQtDlgTrendConditions>(dlg, m_parent); }
bool CQtAppUi::run_dialog(CDlgForecast& dlg) { return exec_dialog<CQtDlgForecast>(dlg, m_parent); }
bool CQtAppUi::run_dialog(CDlgSVDtoDisplay& dlg) { return exec_dialog<CQtDlgSVDtoDisplay>(dlg, m_parent); }
bool CQtAppUi::run_dialog(CDlgGroupDrawStyle& dlg) { return exec_dialog<CQtDlgGroupDrawStyle>(dlg, m_parent); }
bool CQtAppUi::run_dialog(CDlgChangeEstPeriodParam& dlg) {
    return exec_dialog<CQtDlgChangeEstPeriodParam>(dlg, m_parent);
}
bool CQtAppUi::run_dialog(CDlgOpenXLS& dlg) { return exec_dialog<CQtDlgOpenXLS>(dlg, m_parent); }

void CQtAppUi::show_log(const std::string& path) {
    if (m_log_shower) m_log_shower(path);
}

std::string CQtAppUi::ask_open_file(const std::string& title, const std::string& filter) {
    return QFileDialog::getOpenFileName(m_parent, QString::fromStdString(title), QString(), qt_file_filter(filter))
        .toStdString();
}

std::string CQtAppUi::ask_save_file(const std::string& title, const std::string& filter, const std::string& suggested) {
    // The question is ours, so that it can tell a data file of an open series
    // from any other file; No goes back to the dialog, replacing nothing.
    for (std::string proposed = suggested;;) {
        const std::string path =
            QFileDialog::getSaveFileName(m_parent, QString::fromStdString(title), QString::fromStdString(proposed),
                                         qt_file_filter(filter), nullptr, QFileDialog::DontConfirmOverwrite)
                .toStdString();
        if (path.empty() || !QFileInfo::exists(QString::fromStdString(path))) return path;
        const bool data_file = is_data_file && is_data_file(path);
        if (ask_yes_no(overwrite_question(path, data_file), title, notify_icon::warning, true)) return path;
        proposed = path;
    }
}

void CQtAppUi::open_window(document& doc) {
    if (m_opener) m_opener(doc);
}

bool CQtAppUi::run_computation(const std::function<void()>& work) {
    std::atomic<bool> cancel{false};
    bool cancelled = false;
    std::exception_ptr failure;
    QEventLoop loop;
    CDlgCalculating calculating(m_parent);
    QObject::connect(&calculating, &CDlgCalculating::cancel_requested, [&cancel] { cancel = true; });

    std::thread worker([&] {
        // Unthrottled: the check is cheap and every report of the model can stop it.
        scoped_progress_hook progress(
            [&cancel](const char*, long long, long long) {
                if (cancel) throw SSA_math_exception::cancelled();
            },
            false);
        // A message of the model is a box on the GUI thread; the worker waits for its OK.
        scoped_notify_hook notes([this](const std::string& text, const std::string& caption, notify_icon icon) {
            QMetaObject::invokeMethod(
                qApp, [&] { message_box(text, caption, icon); }, Qt::BlockingQueuedConnection);
        });
        // The period estimators' diagnostic lines go to the program's standard output.
        scoped_diagnostic_stream diagnostics(std::cout);
        try {
            work();
        } catch (const SSA_math_exception::cancelled&) {
            cancelled = true;
        } catch (...) {
            failure = std::current_exception();
        }
        QMetaObject::invokeMethod(&loop, "quit", Qt::QueuedConnection);
    });
    calculating.adjustSize();
    if (m_parent) calculating.move(m_parent->geometry().center() - calculating.rect().center());
    calculating.show();
    loop.exec();
    worker.join();
    calculating.hide();
    if (failure) std::rethrow_exception(failure);
    return !cancelled;
}
