// The desktop application without its windows: it opens data files into
// time-series documents, owns every open document, keeps the recent-file
// list and carries out the main window's commands on the active document.
// The Qt main window shows what it is told through app_ui and the documents'
// observers, and hands it the user's commands.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/app_ui.h"
#include "app/document.h"
#include "app/frame_commands.h"

class CInvestDoc;
class CSummInteractDoc;
class CWinKelvaneDoc;
class t_ts;

// Where the recent-file list lives between runs (QSettings in the program).
class recent_file_store {
public:
    virtual ~recent_file_store() = default;
    virtual std::vector<std::string> load() = 0;
    virtual void save(const std::vector<std::string>& files) = 0;
};

class CWinKelvaneApp {
public:
    static constexpr int recent_file_count = 4;

    CWinKelvaneApp(app_ui& ui, recent_file_store& recent);
    ~CWinKelvaneApp();
    CWinKelvaneApp(const CWinKelvaneApp&) = delete;
    CWinKelvaneApp& operator=(const CWinKelvaneApp&) = delete;

    // A new time-series document on the file, with its window open; nullptr
    // when it could not be opened (the user has been told why).
    CWinKelvaneDoc* open_series_file(const std::string& path);
    // Whether path is (a link to) the file an open series document was loaded from.
    bool is_data_file(const std::string& path) const;
    void file_new();
    void file_open();

    // Most recent first, at most recent_file_count.
    const std::vector<std::string>& recent_files() const { return m_recent; }

    // Takes the document; its window is opened by whoever made it.
    document& adopt(std::unique_ptr<document> doc);
    // Destroys the document: its observers (the windows) are told and close.
    void close_document(document& doc);
    const std::vector<std::unique_ptr<document>>& documents() const { return m_documents; }

    // View > Link time axes: a document's span goes to every document on the same time axis.
    void set_linked_axes(bool on) { m_links.on = on; }
    bool linked_axes() const { return m_links.on; }

    // A command of the main window on the active document (nullptr: none).
    // Commands that do not fit the active document are refused with their message.
    void execute(command c, document* active);

private:
    void add_recent_file(const std::string& path);
    // The workbook read on the worker, the dialog's choice imported into ts;
    // false when the user cancelled the read or the dialog.
    bool read_workbook(const std::string& path, t_ts& ts);
    void close_all(document* active);
    // The decomposition of the marks, in the draw style the user picks; Cancel opens nothing.
    void final_decomposition(CSummInteractDoc& interact);
    // False when there was nothing to move (the user has been told).
    bool smooth_investigation(CInvestDoc& doc, bool smooth);

    // Observes every adopted document for its span.
    struct axis_links : document_observer {
        explicit axis_links(CWinKelvaneApp& a) : app(a) {}
        void notify_changed(const document& doc, unsigned changes) override;
        CWinKelvaneApp& app;
        bool on = false;
    };

    app_ui& m_ui;
    recent_file_store& m_store;
    axis_links m_links{*this};
    std::vector<std::string> m_recent;
    std::vector<std::unique_ptr<document>> m_documents;
};
