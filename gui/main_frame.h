// The main window: menus, toolbar, status bar and shortcuts over an MDI area
// of document windows. It shows what the application tells it through the
// UI services and the documents' observers, and hands it the user's commands.
#pragma once

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "app/frame_commands.h"

class CWinKelvaneApp;
class CDlgFileLog;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class document;
class app_ui;
class t_reconstructed_tss;
class CSummationInvestDoc;
class CSummInteractDoc;
class CGroupsView;
class CPlotView;
class QLabel;
class grouping_workbench;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    static constexpr const char* title = "Kelvane";
    static constexpr const char* close_all_question = "Are you really want close all windows?";

    // Makes the view of a document inside its MDI window.
    using view_factory = std::function<QWidget*(document& doc, QWidget* parent)>;

    // ui shows the frame's own questions and failures.
    CMainFrame(CWinKelvaneApp& app, app_ui& ui);
    ~CMainFrame() override;

    // Views for the kinds that have one; a kind without is refused with a message.
    // A plot's window can be saved as a picture.
    void register_view(doc_kind kind, view_factory factory, bool plot = false);
    // The windows of every document kind this program shows.
    void register_views();
    // A new MDI window on the document; it closes with the document and closing
    // it closes the document.
    void open_window(document& doc);

    QAction* action(command c) const;
    // View > Legend, View > Link time axes and the toolbar's Reset zoom.
    QAction* legend_action() const { return m_legend; }
    QAction* link_axes_action() const { return m_link_axes; }
    QAction* reset_zoom_action() const { return m_reset_zoom; }
    QMdiArea* mdi_area() const { return m_mdi; }
    document* active_document() const;
    const view_command_states& command_states() const { return m_states; }
    CDlgFileLog* log_window() const { return m_log; }

    // Carries out a command as its menu entry does.
    void run(command c);
    // Refreshes the log window from the file and shows it.
    void show_log(const std::string& path);
    // The w-correlation window of the first m components of rec (window length
    // L, data file data_path), computed behind the calculating window; nothing
    // opens on Cancel. The window holds its own copy of the matrix and stays
    // when the data's document closes.
    void show_wcorrelation(const t_reconstructed_tss& rec, int L, int m, const std::string& data_path);
    // The same for a summation table: its components, at most wcor_default_limit.
    void show_wcorrelation(CSummationInvestDoc& doc);
    static constexpr int wcor_default_limit = 50;

    // The grouping windows on the decomposition of the active window (a
    // summation table or a trend or period result): Components (Ctrl+K), the
    // w-correlation map and Groups share one workbench per decomposition.
    // Each says so in a message when the active window holds none.
    void show_components();
    void show_grouping_map();
    CGroupsView* show_groups();
    void save_grouping();
    void open_grouping();
    // The interactive summation's marks as the Groups window's groups.
    void send_to_groups(CSummInteractDoc& marks);
    // Runs a command body; a failure is a message box with its text.
    void guarded(const std::function<void()>& body);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    class window_observer;
    friend class window_observer;

    void register_table_views();
    void create_actions();
    void create_menus();
    void create_toolbar();
    void place_on_screen();
    // The document of window closed: the window goes, the others stay as they are.
    void drop_window(QMdiSubWindow& window);
    // CAP and NUM in the status bar, where the platform tells the locks.
    void add_lock_indicators();
    void active_changed(QMdiSubWindow* window);
    void update_title();
    void fill_recent_menu();
    void fill_window_menu();
    void close_all();
    void save_image();
    // A plot window, or a picture window without a document.
    bool active_is_picture() const;
    // The widget of the active MDI window, or null.
    QWidget* active_widget() const;
    void about();
    void add_grouping_actions(QMenu* file, QMenu* view);
    // The workbench of the active window's decomposition, made on first use; null when it holds none.
    std::shared_ptr<grouping_workbench> active_workbench();
    std::shared_ptr<grouping_workbench> workbench_for(const document& doc);
    void open_picture(QWidget* view, const QString& title);
    // The plot views of every window, to pass a view setting on.
    QList<CPlotView*> plot_views() const;

    CWinKelvaneApp& m_app;
    app_ui& m_ui;
    QMdiArea* m_mdi;
    QMenu* m_file_menu = nullptr;
    QMenu* m_window_menu = nullptr;
    QList<QAction*> m_window_actions;
    QAction* m_recent_separator = nullptr;
    QList<QAction*> m_recent_actions;
    QAction* m_legend = nullptr;
    QAction* m_link_axes = nullptr;
    QAction* m_reset_zoom = nullptr;
    // The read-out of the plot under the pointer.
    QLabel* m_readout = nullptr;
    std::map<command, QAction*> m_actions;
    // One workbench per decomposing document, and its Groups window.
    struct grouping_session {
        std::shared_ptr<grouping_workbench> bench;
        QPointer<CGroupsView> groups;
    };
    std::map<const document*, grouping_session> m_groupings;
    // The window active when each one opened, to return to when it closes.
    struct opened_from {
        QPointer<QMdiSubWindow> window;
        bool maximised = false;
    };
    QHash<QMdiSubWindow*, opened_from> m_openers;
    std::map<doc_kind, view_factory> m_factories;
    std::map<doc_kind, bool> m_plots;
    view_command_states m_states;
    QString m_title;
    CDlgFileLog* m_log;
};
