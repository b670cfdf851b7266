#include "gui/tabul_grid.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QStyledItemDelegate>
#include <algorithm>

#include "core/file_replace.h"

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

// Push-button cells drawn as buttons; the click reaches the owner like any other cell.
class grid_delegate : public QStyledItemDelegate {
public:
    grid_delegate(const tabul_grid_owner& owner, QObject* parent) : QStyledItemDelegate(parent), m_owner(owner) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        if (m_owner.grid_kind(index.row(), index.column()) != tabul_grid_owner::cell_button) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        QStyleOptionButton button;
        button.rect = option.rect.adjusted(1, 1, -1, -1);
        button.text = index.data(Qt::DisplayRole).toString();
        button.state = QStyle::State_Enabled | QStyle::State_Raised;
        const QWidget* w = option.widget;
        (w ? w->style() : QApplication::style())->drawControl(QStyle::CE_PushButton, &button, painter, w);
    }

private:
    const tabul_grid_owner& m_owner;
};

std::string csv_field(const std::string& s) {
    if (s.find_first_of(",\"\n\r") == std::string::npos) return s;
    std::string q = "\"";
    for (char c : s) {
        if (c == '"') q += '"';
        q += c;
    }
    return q + "\"";
}

}  // namespace

CTabulGrid::CTabulGrid(const tabul_grid_owner& owner, QObject* parent) : QAbstractTableModel(parent), m_owner(owner) {}

int CTabulGrid::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_owner.grid_rows(); }
int CTabulGrid::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_owner.grid_columns(); }

QVariant CTabulGrid::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const int r = index.row(), c = index.column();
    switch (role) {
    case Qt::DisplayRole:
        return qs(m_owner.grid_text(r, c));
    case Qt::BackgroundRole: {
        const rgb col = m_owner.grid_colour(r, c);
        return QColor(col.red, col.green, col.blue);
    }
    case Qt::CheckStateRole:
        if (m_owner.grid_kind(r, c) != tabul_grid_owner::cell_check) return {};
        return m_owner.grid_checked(r, c) ? Qt::Checked : Qt::Unchecked;
    case Qt::TextAlignmentRole:
        return m_owner.grid_kind(r, c) == tabul_grid_owner::cell_button ? int(Qt::AlignCenter)
                                                                        : int(Qt::AlignLeft | Qt::AlignVCenter);
    }
    return {};
}

QVariant CTabulGrid::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Horizontal) return qs(m_owner.grid_header(section));
    return {};
}

// Not user-checkable: a check cell changes only through the owner's click rule.
Qt::ItemFlags CTabulGrid::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void CTabulGrid::refresh() {
    beginResetModel();
    endResetModel();
}

std::string grid_selection_text(const tabul_grid_owner& owner, const std::vector<std::pair<int, int>>& cells) {
    if (cells.empty()) return {};
    int r0 = cells[0].first, r1 = r0, c0 = cells[0].second, c1 = c0;
    for (const auto& [r, c] : cells) {
        r0 = std::min(r0, r), r1 = std::max(r1, r);
        c0 = std::min(c0, c), c1 = std::max(c1, c);
    }
    std::string out;
    for (int c = c0; c <= c1; ++c) out += (c > c0 ? "\t" : "") + owner.grid_header(c);
    out += "\n";
    for (int r = r0; r <= r1; ++r) {
        for (int c = c0; c <= c1; ++c) {
            const bool chosen = std::find(cells.begin(), cells.end(), std::make_pair(r, c)) != cells.end();
            out += (c > c0 ? "\t" : "") + (chosen ? owner.grid_copy_text(r, c) : std::string());
        }
        out += "\n";
    }
    return out;
}

std::string grid_csv(const tabul_grid_owner& owner) {
    std::string out;
    const int n = owner.grid_columns();
    for (int c = 0; c < n; ++c) out += (c ? "," : "") + csv_field(owner.grid_header(c));
    out += "\n";
    for (int r = 0; r < owner.grid_rows(); ++r) {
        for (int c = 0; c < n; ++c) {
            out += (c ? "," : "") + csv_field(owner.grid_copy_text(r, c));
        }
        out += "\n";
    }
    return out;
}

CTabulGridView::CTabulGridView(document* doc, std::unique_ptr<tabul_grid_owner> owner, app_ui* ui, QWidget* parent)
    : QTableView(parent), m_doc(doc), m_owner_ptr(std::move(owner)), m_owner(*m_owner_ptr), m_ui(ui), m_grid(m_owner, this) {
    setModel(&m_grid);
    setItemDelegate(new grid_delegate(m_owner, this));
    verticalHeader()->hide();
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    apply_widths();
    if (m_doc) {
        m_doc->add_observer(this);
        setWindowTitle(qs(m_doc->title()));
    }
    connect(this, &QTableView::clicked, this, [this](const QModelIndex& i) {
        if (i.isValid() && m_on_click) m_on_click(i.row(), i.column());
    });
}

CTabulGridView::~CTabulGridView() {
    if (m_doc) m_doc->remove_observer(this);
}

void CTabulGridView::apply_widths() {
    const int du = std::max(1, fontMetrics().averageCharWidth());
    const QFontMetrics header = horizontalHeader()->fontMetrics();
    // Never narrower than the header text: a clipped "Component #" says nothing.
    for (int c = 0; c < m_owner.grid_columns(); ++c)
        setColumnWidth(c, std::max(m_owner.grid_width(c) * du / 4 + 8,
                                   header.horizontalAdvance(qs(m_owner.grid_header(c))) + 12));
}

void CTabulGridView::add_menu_action(const QString& text, std::function<void()> action) {
    m_menu.emplace_back(text, std::move(action));
}

void CTabulGridView::copy_selection() {
    std::vector<std::pair<int, int>> cells;
    for (const QModelIndex& i : selectionModel()->selectedIndexes()) cells.emplace_back(i.row(), i.column());
    if (cells.empty() && currentIndex().isValid()) cells.emplace_back(currentIndex().row(), currentIndex().column());
    QApplication::clipboard()->setText(qs(grid_selection_text(m_owner, cells)));
}

void CTabulGridView::save_table() {
    if (!m_ui) return;
    const std::string path = m_ui->ask_save_file("Save table", "CSV files (*.csv)|*.csv||", m_owner.grid_file_name());
    if (path.empty()) return;
    try {
        replace_file(path, grid_csv(m_owner), "table");
    } catch (const std::exception& e) {
        m_ui->message_box(e.what(), "", notify_icon::error);
    }
}

void CTabulGridView::notify_changed(const document& doc, unsigned changes) {
    if (changes & change_title) setWindowTitle(qs(doc.title()));
    const QModelIndex current = currentIndex();
    m_grid.refresh();
    if (current.isValid() && current.row() < m_grid.rowCount()) setCurrentIndex(m_grid.index(current.row(), current.column()));
}

void CTabulGridView::notify_closing(const document&) { m_doc = nullptr; }

void CTabulGridView::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        copy_selection();
        return;
    }
    // Space acts on the current cell as a click does, so the keyboard reaches the
    // marks; Return too on a push button, as on any button.
    const QModelIndex at = currentIndex();
    const bool on_button = at.isValid() && m_owner.grid_kind(at.row(), at.column()) == tabul_grid_owner::cell_button;
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if ((event->key() == Qt::Key_Space || (enter && on_button)) && at.isValid() && m_on_click) {
        m_on_click(currentIndex().row(), currentIndex().column());
        return;
    }
    QTableView::keyPressEvent(event);
}

void CTabulGridView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    menu.addAction("Copy", this, [this] { copy_selection(); });
    menu.addAction("Save table...", this, [this] { save_table(); });
    for (const auto& [text, action] : m_menu) menu.addAction(text, this, action);
    menu.exec(event->globalPos());
}
