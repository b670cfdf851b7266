// The table control: a QTableView whose model asks its owner for every cell,
// so the documents keep the texts, colours and marks and the view holds none.
#pragma once

#include <QAbstractTableModel>
#include <QTableView>
#include <functional>
#include <memory>
#include <string>

#include "app/app_ui.h"
#include "app/colour.h"
#include "app/document.h"

// What a grid shows, asked again at every paint.
class tabul_grid_owner {
public:
    enum cell_kind { cell_text, cell_check, cell_button };
    virtual ~tabul_grid_owner() = default;
    virtual int grid_rows() const = 0;
    virtual int grid_columns() const = 0;
    virtual std::string grid_header(int column) const = 0;
    // In dialog units: a quarter of the average character width.
    virtual int grid_width(int column) const = 0;
    virtual std::string grid_text(int row, int column) const = 0;
    virtual rgb grid_colour(int /*row*/, int /*column*/) const { return colours::white; }
    virtual cell_kind grid_kind(int /*row*/, int /*column*/) const { return cell_text; }
    virtual bool grid_checked(int /*row*/, int /*column*/) const { return false; }
    // What Copy and Save table write for a cell: a check cell's state as 1 or 0 unless told otherwise.
    virtual std::string grid_copy_text(int row, int column) const {
        return grid_kind(row, column) == cell_check ? (grid_checked(row, column) ? "1" : "0") : grid_text(row, column);
    }
    // The name "Save table..." proposes.
    virtual std::string grid_file_name() const { return "table.csv"; }
};

class CTabulGrid : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit CTabulGrid(const tabul_grid_owner& owner, QObject* parent = nullptr);
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    const tabul_grid_owner& owner() const { return m_owner; }
    // The owner's rows or marks changed: everything is asked anew.
    void refresh();

private:
    const tabul_grid_owner& m_owner;
};

// Texts of the header row and the given cells, tab-separated, one line per row
// (rows and columns of the rectangle spanned by the cells, in order).
std::string grid_selection_text(const tabul_grid_owner& owner, const std::vector<std::pair<int, int>>& cells);
// The whole table with its header row as CSV (fields quoted where needed).
std::string grid_csv(const tabul_grid_owner& owner);

class CTabulGridView : public QTableView, public document_observer {
    Q_OBJECT
public:
    using click_handler = std::function<void(int row, int column)>;
    // doc may be null; ui (may be null) saves the table.
    CTabulGridView(document* doc, std::unique_ptr<tabul_grid_owner> owner, app_ui* ui, QWidget* parent = nullptr);
    ~CTabulGridView() override;

    document* doc() const { return m_doc; }
    CTabulGrid& grid() { return m_grid; }
    tabul_grid_owner* owner() { return m_owner_ptr.get(); }
    // A click (or Space) on a cell; header clicks only select.
    void set_click_handler(click_handler h) { m_on_click = std::move(h); }
    // Extra entries of the context menu, after "Save table...".
    void add_menu_action(const QString& text, std::function<void()> action);

    void copy_selection();
    void save_table();

    void notify_changed(const document& doc, unsigned changes) override;
    void notify_closing(const document& doc) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void apply_widths();

    document* m_doc;
    std::unique_ptr<tabul_grid_owner> m_owner_ptr;
    const tabul_grid_owner& m_owner;
    app_ui* m_ui;
    CTabulGrid m_grid;
    click_handler m_on_click;
    std::vector<std::pair<QString, std::function<void()>>> m_menu;
};
