#include "param_dialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <vector>
#include <utility>

#include "gui/qt_app_ui.h"

namespace {

dlg_message_fn& message_fn() {
    static dlg_message_fn fn = [](QWidget* parent, const QString& text) {
        QMessageBox box(QMessageBox::Warning, CQtAppUi::caption, text, QMessageBox::Ok, parent);
        box.exec();
    };
    return fn;
}

QString qs(const std::string& s) { return QString::fromStdString(s); }

// A group box with a vertical layout.
QVBoxLayout* group(const char* title, QBoxLayout* into) {
    auto* box = new QGroupBox(title);
    auto* layout = new QVBoxLayout(box);
    into->addWidget(box);
    return layout;
}

// A label and a control on one line.
void labelled(const char* text, QWidget* control, QBoxLayout* into, const char* after = nullptr) {
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(text));
    row->addWidget(control, 1);
    if (after) row->addWidget(new QLabel(after));
    into->addLayout(row);
}

// The layouts from root down to w, each with the index of the item that leads there.
bool path_to(QLayout* root, QWidget* w, std::vector<std::pair<QLayout*, int>>& path) {
    for (int i = 0; root && i < root->count(); ++i) {
        QLayoutItem* item = root->itemAt(i);
        path.emplace_back(root, i);
        if (item->widget() == w) return true;
        if (path_to(item->layout(), w, path)) return true;
        if (item->widget() && path_to(item->widget()->layout(), w, path)) return true;
        path.pop_back();
    }
    return false;
}

// What the user sees beside a field: the nearest label, check box or radio
// before it on its row, else before the row (a radio above its indented edit).
QString field_name(QWidget* dialog, QLineEdit* e) {
    std::vector<std::pair<QLayout*, int>> path;
    if (path_to(dialog->layout(), e, path)) {
        const int levels = static_cast<int>(std::min<std::size_t>(path.size(), 3));
        for (int k = 0; k < levels; ++k) {
            const auto [layout, index] = path[path.size() - 1 - static_cast<std::size_t>(k)];
            for (int i = index - 1; i >= 0; --i) {
                QWidget* w = layout->itemAt(i)->widget();
                if (auto* l = qobject_cast<QLabel*>(w); l && !l->text().isEmpty()) return l->text();
                if (auto* b = qobject_cast<QAbstractButton*>(w); b && !b->text().isEmpty()) return b->text().remove('&');
            }
        }
    }
    return e->objectName();
}

void check_radio(QButtonGroup* g, int id) {
    if (QAbstractButton* b = g->button(id)) b->setChecked(true);
}

}  // namespace

dlg_message_fn set_dlg_message_fn(dlg_message_fn fn) { return std::exchange(message_fn(), std::move(fn)); }

void show_dlg_message(QWidget* parent, const QString& text) { message_fn()(parent, text); }

void fit_title(QDialog& dialog) {
    // Title bars use a bold face of about the application's size; their
    // buttons and margins take some 130 pixels more.
    QFont bold = dialog.font();
    bold.setBold(true);
    const int wanted = QFontMetrics(bold).horizontalAdvance(dialog.windowTitle()) + 130;
    if (dialog.width() < wanted) dialog.resize(wanted, dialog.height());
}

// Common part

CQtParamDialog::CQtParamDialog(QWidget* parent, const char* title, int field_count)
    : QDialog(parent), m_edits(static_cast<std::size_t>(field_count), nullptr),
      m_spins(static_cast<std::size_t>(field_count)) {
    setWindowTitle(title);
}

QWidget* CQtParamDialog::make_edit(int f, const char* name, const std::string& text, bool with_spin) {
    auto* e = new QLineEdit(qs(text));
    e->setObjectName(name);
    m_edits[static_cast<std::size_t>(f)] = e;
    if (!with_spin) return e;
    auto* holder = new QWidget;
    auto* row = new QHBoxLayout(holder);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(e, 1);
    for (int direction : {1, -1}) {
        auto* arrow = new QToolButton;
        arrow->setArrowType(direction > 0 ? Qt::UpArrow : Qt::DownArrow);
        arrow->setObjectName(QString(name) + (direction > 0 ? "_up" : "_down"));
        // The arrows are reached by mouse; Tab goes from edit to edit.
        arrow->setFocusPolicy(Qt::NoFocus);
        connect(arrow, &QToolButton::clicked, this, [this, f, direction] { step(f, direction); });
        row->addWidget(arrow);
        m_spins[static_cast<std::size_t>(f)].push_back(arrow);
    }
    return holder;
}

void CQtParamDialog::showEvent(QShowEvent* event) {
    fit_title(*this);
    QDialog::showEvent(event);
}

void CQtParamDialog::step(int f, int direction) {
    const dlg_spin s = spin(f);
    double v = s.lower;
    dlg_read_real(edit(f)->text().toStdString(), v);
    v = std::clamp(v + direction * s.step, static_cast<double>(s.lower), static_cast<double>(s.upper));
    edit(f)->setText(qs(dlg_real_text(v)));
}

void CQtParamDialog::set_field_enabled(int f, bool on) {
    edit(f)->setEnabled(on);
    for (QWidget* w : m_spins[static_cast<std::size_t>(f)]) w->setEnabled(on);
}

QButtonGroup* CQtParamDialog::make_radios(const std::vector<const char*>& texts, int checked, QBoxLayout* into) {
    auto* g = new QButtonGroup(this);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        auto* r = new QRadioButton(texts[i]);
        g->addButton(r, static_cast<int>(i));
        into->addWidget(r);
    }
    check_radio(g, checked);
    return g;
}

QPushButton* CQtParamDialog::add_buttons(QBoxLayout* into, const char* ok_text) {
    auto* box = new QDialogButtonBox;
    QPushButton* ok = box->addButton(ok_text, QDialogButtonBox::AcceptRole);
    ok->setObjectName("ok");
    box->addButton("Cancel", QDialogButtonBox::RejectRole)->setObjectName("cancel");
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    into->addWidget(box);
    // Only once the button is inside the dialog does the dialog keep it as its
    // default; before, the first push button met when it is shown takes Enter.
    ok->setDefault(true);
    return ok;
}

std::vector<std::string> CQtParamDialog::field_texts() const {
    std::vector<std::string> out;
    for (QLineEdit* e : m_edits) out.push_back(e ? e->text().toStdString() : std::string());
    return out;
}

void CQtParamDialog::accept() {
    if (const auto failure = exchange(field_texts())) {
        QString message = qs(failure->message);
        // A text that is no number at all says which field holds it; a range message names its bounds.
        if (QLineEdit* e = edit(failure->field); e && failure->message.find(" between ") == std::string::npos)
            message = field_name(this, e) + ": " + message;
        message_fn()(this, message);
        if (QLineEdit* e = edit(failure->field)) {
            e->setFocus();
            e->selectAll();
        }
        return;
    }
    commit();
    QDialog::accept();
}

// Chooser

CQtDlgChooseInvestigation::CQtDlgChooseInvestigation(CDlgChooseInvestigation& model, QWidget* parent)
    : CQtParamDialog(parent, CDlgChooseInvestigation::title, CDlgChooseInvestigation::field_count),
      m_target(model), m_model(model) {
    auto* top = new QVBoxLayout(this);
    top->addWidget(new QLabel(CDlgChooseInvestigation::text));
    auto* list = new QListWidget;
    list->setObjectName("list");
    for (const std::string& name : m_model.names) list->addItem(qs(name));
    // The selection, not the current line: a list taking the focus makes its
    // first line current, and Enter must not start what nobody chose.
    connect(list, &QListWidget::itemSelectionChanged, this, [this, list] {
        const QList<QListWidgetItem*> chosen = list->selectedItems();
        m_model.selected = chosen.isEmpty() ? -1 : list->row(chosen.first());
    });
    connect(list, &QListWidget::itemDoubleClicked, this, [this] { accept(); });
    top->addWidget(list, 1);

    QVBoxLayout* common = group("Common for all investigation params", top);
    const auto toggle = [&](const char* text, const char* name, int& flag, int f, const std::string& value) {
        auto* b = new QPushButton(text);
        b->setObjectName(QString("use_") + name);
        b->setCheckable(true);
        b->setChecked(flag != 0);
        // Enter is "Start" wherever the focus is.
        b->setAutoDefault(false);
        auto* row = new QHBoxLayout;
        row->addWidget(b);
        row->addWidget(make_edit(f, name, value, true), 1);
        common->addLayout(row);
        connect(b, &QPushButton::toggled, this, [this, &flag](bool on) {
            flag = on ? 1 : 0;
            update_enabled();
        });
    };
    const std::vector<std::string> t = m_model.texts();
    toggle(CDlgChooseInvestigation::L_text, "L", m_model.use_L, CDlgChooseInvestigation::f_L, t[0]);
    toggle(CDlgChooseInvestigation::amount_text, "amount", m_model.use_amount, CDlgChooseInvestigation::f_amount,
           t[1]);
    add_buttons(top, CDlgChooseInvestigation::ok_text);
    update_enabled();
}

std::optional<dlg_failure> CQtDlgChooseInvestigation::exchange(const std::vector<std::string>& texts) {
    return m_model.exchange(texts);
}

dlg_spin CQtDlgChooseInvestigation::spin(int f) const {
    return m_model.spin(static_cast<CDlgChooseInvestigation::field>(f));
}

void CQtDlgChooseInvestigation::update_enabled() {
    for (auto f : {CDlgChooseInvestigation::f_L, CDlgChooseInvestigation::f_amount})
        set_field_enabled(f, m_model.enabled(f));
}

void CQtDlgChooseInvestigation::commit() { m_target = m_model; }

// Trend

CQtDlgTrendParam::CQtDlgTrendParam(CDlgTrendParam& model, QWidget* parent)
    : CQtParamDialog(parent, CDlgTrendParam::title, CDlgTrendParam::field_count), m_target(model), m_model(model) {
    m_model.check_init();
    using D = CDlgTrendParam;
    const std::vector<std::string> t = m_model.texts();
    auto* top = new QVBoxLayout(this);

    QButtonGroup* method =
        make_radios({"Kendall", "Roots", "LowFreq"}, m_model.method, group("Trend components identification methods", top));
    connect(method, &QButtonGroup::idClicked, this, [this](int id) {
        m_model.method = id;
        update_enabled();
    });
    labelled("L", make_edit(D::f_L, "L", t[D::f_L], true), top);

    QVBoxLayout* params = group("Methods parameters", top);
    labelled("Minimal threshold level", make_edit(D::f_kendall, "kendall", t[D::f_kendall]),
             group("Kendall", params));
    QVBoxLayout* roots = group("Roots: maximal trend roots amount", params);
    m_roots_mode = new QButtonGroup(this);
    const auto roots_row = [&](int id, const char* text, int f, const char* name, const char* after) {
        auto* r = new QRadioButton(text);
        m_roots_mode->addButton(r, id);
        roots->addWidget(r);
        auto* row = new QHBoxLayout;
        row->addSpacing(20);
        row->addWidget(make_edit(f, name, t[static_cast<std::size_t>(f)], true), 1);
        if (after) row->addWidget(new QLabel(after));
        roots->addLayout(row);
    };
    roots_row(0, "Absolute", D::f_roots_count, "roots_count", nullptr);
    roots_row(1, "In percents to the corresponding vector length", D::f_roots_percent, "roots_percent", "%");
    check_radio(m_roots_mode, m_model.roots_mode);
    connect(m_roots_mode, &QButtonGroup::idClicked, this, [this](int id) {
        m_model.roots_mode = id;
        update_enabled();
    });
    QVBoxLayout* lowfreq = group("LowFreq", params);
    labelled("omega", make_edit(D::f_omega, "omega", t[D::f_omega]), lowfreq);
    labelled("C", make_edit(D::f_C, "C", t[D::f_C]), lowfreq);

    m_vectors = make_radios({"Eigen vectors", "Factor vectors", "Reconstructed components"}, m_model.vectors,
                            group("Method deals with", top));

    QPushButton* ok = add_buttons(top, CDlgTrendParam::ok_text);
    auto* reset = new QPushButton("Reset all");
    reset->setObjectName("reset_all");
    reset->setEnabled(false);
    reset->setAutoDefault(false);
    static_cast<QDialogButtonBox*>(ok->parentWidget())->addButton(reset, QDialogButtonBox::ResetRole);
    update_enabled();
}

std::optional<dlg_failure> CQtDlgTrendParam::exchange(const std::vector<std::string>& texts) {
    return m_model.exchange(texts);
}

dlg_spin CQtDlgTrendParam::spin(int f) const { return m_model.spin(static_cast<CDlgTrendParam::field>(f)); }

void CQtDlgTrendParam::update_enabled() {
    for (int f = 0; f < CDlgTrendParam::field_count; ++f)
        set_field_enabled(f, m_model.enabled(static_cast<CDlgTrendParam::field>(f)));
    for (QAbstractButton* b : m_roots_mode->buttons()) b->setEnabled(m_model.enabled(CDlgTrendParam::c_roots_mode));
}

void CQtDlgTrendParam::commit() {
    m_model.vectors = m_vectors->checkedId();
    m_target = m_model;
}

// Period

CQtDlgPeriodParam::CQtDlgPeriodParam(CDlgPeriodParam& model, QWidget* parent)
    : CQtParamDialog(parent, CDlgPeriodParam::title, CDlgPeriodParam::field_count), m_target(model),
      m_model(model) {
    using D = CDlgPeriodParam;
    m_model.open();
    const std::vector<std::string> t = m_model.texts();
    auto* top = new QVBoxLayout(this);

    QVBoxLayout* common = group("Common", top);
    labelled("L", make_edit(D::f_L, "L", t[D::f_L], true), common);
    auto* optimize = new QCheckBox("Optimize");
    optimize->setObjectName("optimize");
    optimize->setChecked(m_model.optimize != 0);
    optimize->setEnabled(false);
    common->addWidget(optimize);

    auto* middle = new QHBoxLayout;
    top->addLayout(middle);
    auto* left = new QVBoxLayout;
    middle->addLayout(left);
    QButtonGroup* goal = make_radios({"Find periodicities", "Find periodicity with given period",
                                      "Find harmonics with given period"},
                                     m_model.goal, group("Goal", left));
    connect(goal, &QButtonGroup::idClicked, this, [this](int id) {
        m_model.goal = id;
        update_enabled();
    });
    m_vectors = make_radios({"eigenvectors", "factorvectors", "reconstructed"}, m_model.vectors,
                            group("Methods deals with", left));
    m_estimation = make_radios({"Phi", "Charroots", "Periodogr"}, m_model.estimation,
                               group("Period estimation method", left));

    auto* right = new QVBoxLayout;
    middle->addLayout(right);
    QVBoxLayout* finding = group("Finding periodicities ", right);
    auto* method_row = new QHBoxLayout;
    finding->addLayout(method_row);
    QVBoxLayout* method_box = group("Method", method_row);
    QButtonGroup* pairing = make_radios({"Fourier"}, m_model.pairing == 0 ? 0 : -1, method_box);
    m_fourier = pairing->button(0);
    auto* charroots = new QRadioButton("Charroots");
    charroots->setEnabled(false);
    charroots->setAutoExclusive(false);
    charroots->setChecked(m_model.pairing == 1);
    method_row->addWidget(charroots);
    labelled("Crit", make_edit(D::f_crit, "crit", t[D::f_crit], true), finding);
    QVBoxLayout* constraints = group("Constraints", finding);
    auto* vyg = new QCheckBox("VYG");
    vyg->setObjectName("vyg_on");
    vyg->setChecked(m_model.vyg_on != 0);
    connect(vyg, &QCheckBox::toggled, this, [this](bool on) {
        m_model.vyg_on = on ? 1 : 0;
        update_enabled();
    });
    auto* vyg_row = new QHBoxLayout;
    vyg_row->addWidget(vyg);
    vyg_row->addWidget(make_edit(D::f_vyg, "vyg", t[D::f_vyg]), 1);
    constraints->addLayout(vyg_row);

    QVBoxLayout* others = group("Others", top);
    QVBoxLayout* range = group("Period range", others);
    labelled("Min", make_edit(D::f_min, "min", t[D::f_min], true), range);
    labelled("Max", make_edit(D::f_max, "max", t[D::f_max], true), range);
    QVBoxLayout* quality = group("Approximation quality", others);
    auto* approx = new QButtonGroup(this);
    auto* by_percent = new QRadioButton("Minimal available percent of total variance");
    approx->addButton(by_percent, 0);
    quality->addWidget(by_percent);
    auto* percent_row = new QHBoxLayout;
    percent_row->addSpacing(20);
    percent_row->addWidget(make_edit(D::f_percent, "percent", t[D::f_percent]), 1);
    percent_row->addWidget(new QLabel("%"));
    quality->addLayout(percent_row);
    auto* by_count = new QRadioButton("Maximal number of components");
    approx->addButton(by_count, 1);
    quality->addWidget(by_count);
    auto* count_row = new QHBoxLayout;
    count_row->addSpacing(20);
    count_row->addWidget(make_edit(D::f_count, "count", t[D::f_count], true), 1);
    quality->addLayout(count_row);
    check_radio(approx, m_model.approx_mode);
    connect(approx, &QButtonGroup::idClicked, this, [this](int id) {
        m_model.approx_mode = id;
        update_enabled();
    });

    add_buttons(top);
    update_enabled();
}

std::optional<dlg_failure> CQtDlgPeriodParam::exchange(const std::vector<std::string>& texts) {
    return m_model.exchange(texts);
}

dlg_spin CQtDlgPeriodParam::spin(int f) const { return m_model.spin(static_cast<CDlgPeriodParam::field>(f)); }

void CQtDlgPeriodParam::update_enabled() {
    for (int f = 0; f < CDlgPeriodParam::field_count; ++f)
        set_field_enabled(f, m_model.enabled(static_cast<CDlgPeriodParam::field>(f)));
    for (QAbstractButton* b : m_estimation->buttons()) b->setEnabled(m_model.enabled(CDlgPeriodParam::c_estimation));
}

void CQtDlgPeriodParam::commit() {
    m_model.vectors = m_vectors->checkedId();
    m_model.estimation = m_estimation->checkedId();
    if (m_fourier->isChecked()) m_model.pairing = 0;
    m_target = m_model;
}

// Summation

CQtDlgSummationParams::CQtDlgSummationParams(CDlgSummationParams& model, QWidget* parent)
    : CQtParamDialog(parent, CDlgSummationParams::title, CDlgSummationParams::field_count), m_target(model),
      m_model(model) {
    using D = CDlgSummationParams;
    const std::vector<std::string> t = m_model.texts();
    auto* top = new QVBoxLayout(this);

    QVBoxLayout* parameters = group("Parameters", top);
    labelled("L", make_edit(D::f_L, "L", t[D::f_L], true), parameters);
    m_vectors = make_radios({"Eigen vectors", "Factor vectors", "Reconstructed comp-s"}, m_model.vectors,
                            group("Method is applied to", parameters));

    QVBoxLayout* methods = group("Methods parameters", top);
    labelled("Roots epsilon", make_edit(D::f_epsilon, "epsilon", t[D::f_epsilon]), methods);
    labelled("LowFreq omega", make_edit(D::f_omega, "omega", t[D::f_omega]), methods);

    QVBoxLayout* trend = group("Thresholds for trend identification methods", top);
    QVBoxLayout* roots = group("Roots", trend);
    m_roots_mode = new QButtonGroup(this);
    const auto roots_row = [&](int id, const char* text, int f, const char* name, const char* after) {
        auto* r = new QRadioButton(text);
        m_roots_mode->addButton(r, id);
        auto* row = new QHBoxLayout;
        row->addWidget(r);
        row->addWidget(make_edit(f, name, t[static_cast<std::size_t>(f)], true), 1);
        if (after) row->addWidget(new QLabel(after));
        roots->addLayout(row);
    };
    roots_row(0, "Absolute", D::f_roots_count, "roots_count", nullptr);
    roots_row(1, "In percents", D::f_roots_percent, "roots_percent", "%");
    check_radio(m_roots_mode, m_model.roots_mode);
    labelled("Kendall", make_edit(D::f_kendall, "kendall", t[D::f_kendall]), trend);
    labelled("LowFreq: C", make_edit(D::f_C, "C", t[D::f_C]), trend);
    auto* conditions = new QPushButton("Define trend conditions");
    conditions->setObjectName("conditions");
    conditions->setAutoDefault(false);
    connect(conditions, &QPushButton::clicked, this, [this] {
        CDlgTrendConditions dlg;
        dlg.conditions = m_model.conditions;
        CQtDlgTrendConditions qt_dlg(dlg, this);
        m_model.take_conditions(dlg, qt_dlg.exec() == QDialog::Accepted);
    });
    trend->addWidget(conditions);

    QVBoxLayout* harmonics = group("Thresholds for harmonics identification methods ", top);
    labelled("Fourier", make_edit(D::f_fourier, "fourier", t[D::f_fourier], true), harmonics);
    auto* vyg = new QCheckBox("VYG");
    vyg->setEnabled(false);
    auto* vyg_row = new QHBoxLayout;
    vyg_row->addWidget(vyg);
    vyg_row->addWidget(make_edit(D::f_vyg, "vyg", t[D::f_vyg]), 1);
    harmonics->addLayout(vyg_row);

    add_buttons(top);
}

std::optional<dlg_failure> CQtDlgSummationParams::exchange(const std::vector<std::string>& texts) {
    return m_model.exchange(texts);
}

dlg_spin CQtDlgSummationParams::spin(int f) const {
    return m_model.spin(static_cast<CDlgSummationParams::field>(f));
}

void CQtDlgSummationParams::commit() {
    m_model.vectors = m_vectors->checkedId();
    m_model.roots_mode = m_roots_mode->checkedId();
    m_target = m_model;
}

// Trend conditions

CQtDlgTrendConditions::CQtDlgTrendConditions(CDlgTrendConditions& model, QWidget* parent)
    : CQtParamDialog(parent, CDlgTrendConditions::title, 0), m_target(model), m_model(model) {
    auto* top = new QVBoxLayout(this);
    auto* should = new QGroupBox("Trend component should");
    auto* columns = new QHBoxLayout(should);
    top->addWidget(should);
    const char* headings[2] = {"be identificated by", "be NOT identificated by"};
    for (int c = 0; c < 2; ++c) {
        auto* box = new QGroupBox(headings[c]);
        auto* layout = new QVBoxLayout(box);
        columns->addWidget(box);
        for (int i = 0; i < 4; ++i) {
            auto* b = new QCheckBox(CDlgTrendConditions::methods[i]);
            b->setObjectName(QString("%1_%2").arg(c ? "not" : "by", CDlgTrendConditions::methods[i]));
            layout->addWidget(b);
            m_boxes[c][i] = b;
            connect(b, &QCheckBox::clicked, this, [this, c, i](bool on) {
                m_model.set_checked(c, i, on);
                update_enabled();
            });
        }
    }
    add_buttons(top);
    update_enabled();
}

void CQtDlgTrendConditions::update_enabled() {
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < 4; ++i) m_boxes[c][i]->setChecked(m_model.checked(c, i));
}

// Forecast

CQtDlgForecast::CQtDlgForecast(CDlgForecast& model, QWidget* parent)
    : CQtParamDialog(parent, CDlgForecast::title, CDlgForecast::field_count), m_target(model), m_model(model) {
    const std::vector<std::string> t = m_model.texts();
    auto* top = new QVBoxLayout(this);
    labelled("L", make_edit(CDlgForecast::f_L, "L", t[CDlgForecast::f_L], true), group("Common", top));
    QVBoxLayout* parts = group("Components of signal", top);
    const auto part = [&](const char* text, const char* name, int& flag) {
        auto* b = new QCheckBox(text);
        b->setObjectName(name);
        b->setChecked(flag != 0);
        parts->addWidget(b);
        connect(b, &QCheckBox::toggled, this, [this, &flag](bool on) {
            flag = on ? 1 : 0;
            update_enabled();
        });
    };
    part("Trend", "trend", m_model.trend);
    part("Harmonic components", "harmonics", m_model.harmonics);
    labelled("Number of points", make_edit(CDlgForecast::f_points, "points", t[CDlgForecast::f_points]), top);
    QButtonGroup* methods = make_radios({CDlgForecast::methods[0], CDlgForecast::methods[1]}, m_model.method,
                                        group("Method", top));
    methods->button(0)->setObjectName("recurrent");
    methods->button(1)->setObjectName("vector");
    connect(methods, &QButtonGroup::idClicked, this, [this](int id) { m_model.method = id; });
    QVBoxLayout* band = group("Prediction intervals", top);
    auto* intervals = new QCheckBox("Bootstrap intervals");
    intervals->setObjectName("intervals");
    intervals->setChecked(m_model.intervals != 0);
    band->addWidget(intervals);
    connect(intervals, &QCheckBox::toggled, this, [this](bool on) {
        m_model.intervals = on ? 1 : 0;
        update_enabled();
    });
    labelled("Level", make_edit(CDlgForecast::f_level, "level", t[CDlgForecast::f_level]), band);
    labelled("Replicates", make_edit(CDlgForecast::f_replicates, "replicates", t[CDlgForecast::f_replicates], true),
             band);
    m_ok = add_buttons(top);
    update_enabled();
}

std::optional<dlg_failure> CQtDlgForecast::exchange(const std::vector<std::string>& texts) {
    return m_model.exchange(texts);
}

dlg_spin CQtDlgForecast::spin(int f) const { return m_model.spin(static_cast<CDlgForecast::field>(f)); }

void CQtDlgForecast::update_enabled() {
    m_ok->setEnabled(m_model.ok_enabled());
    for (int f : {CDlgForecast::f_level, CDlgForecast::f_replicates})
        set_field_enabled(f, m_model.enabled(static_cast<CDlgForecast::field>(f)));
}

// SVD part

CQtDlgSVDtoDisplay::CQtDlgSVDtoDisplay(CDlgSVDtoDisplay& model, QWidget* parent) : QDialog(parent) {
    setWindowTitle(CDlgSVDtoDisplay::title);
    auto* top = new QVBoxLayout(this);
    auto* logarithmed = new QCheckBox("logarithmed");
    logarithmed->setObjectName("logarithmed");
    logarithmed->setChecked(model.logarithmed != 0);
    for (int i = 0; i < 4; ++i) {
        auto* r = new QRadioButton(CDlgSVDtoDisplay::parts[i]);
        r->setObjectName(QString("part%1").arg(i));
        r->setEnabled(CDlgSVDtoDisplay::enabled(i));
        top->addWidget(r);
        connect(r, &QRadioButton::clicked, this, [this, &model, logarithmed, i] {
            model.part = i;
            model.logarithmed = logarithmed->isChecked() ? 1 : 0;
            accept();
        });
    }
    top->addWidget(logarithmed);
}

void CQtDlgSVDtoDisplay::showEvent(QShowEvent* event) {
    fit_title(*this);
    QDialog::showEvent(event);
}

void CQtDlgSVDtoDisplay::keyPressEvent(QKeyEvent* event) {
    auto* part = qobject_cast<QRadioButton*>(focusWidget());
    if (part && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        part->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

// Draw style

CQtDlgGroupDrawStyle::CQtDlgGroupDrawStyle(CDlgGroupDrawStyle& model, QWidget* parent)
    : CQtParamDialog(parent, CDlgGroupDrawStyle::title, 0), m_target(model) {
    auto* top = new QVBoxLayout(this);
    m_style = make_radios({"Overlaid", "Separate"}, model.style, group("Choose group draw style", top));
    add_buttons(top);
}

void CQtDlgGroupDrawStyle::commit() { m_target.style = m_style->checkedId(); }

// Paired component

CQtDlgSelectHarmPair::CQtDlgSelectHarmPair(CDlgSelectHarmPair& model, QWidget* parent)
    : CQtParamDialog(parent, CDlgSelectHarmPair::title, field_count), m_target(model), m_second(model.second) {
    auto* top = new QVBoxLayout(this);
    QVBoxLayout* box = group("Select component to be included in a pair", top);
    auto* text = new QLabel(
        "Here you have to select second component to form harmonic pair.\nIt can be the same component as well but "
        "be aware, it's suitable only for harmonic with frequency 0.5.");
    text->setObjectName("text");
    box->addWidget(text);
    labelled("First component from pair", make_edit(f_first, "first", dlg_int_text(model.first)), box);
    edit(f_first)->setReadOnly(true);
    labelled("Second component from pair", make_edit(f_second, "second", dlg_int_text(model.second), true), box);
    add_buttons(top);
}

// A partner outside the components would be dropped silently by the caller: it gets the range message.
std::optional<dlg_failure> CQtDlgSelectHarmPair::exchange(const std::vector<std::string>& texts) {
    std::optional<std::string> bad = dlg_read_int(texts[f_second], m_second);
    if (!bad) bad = dlg_int_range(m_second, m_target.range_min, m_target.range_max);
    if (bad) return dlg_failure{f_second, *bad};
    return std::nullopt;
}

// Period estimation change

CQtDlgChangeEstPeriodParam::CQtDlgChangeEstPeriodParam(CDlgChangeEstPeriodParam& model, QWidget* parent)
    : CQtParamDialog(parent, CDlgChangeEstPeriodParam::title, 0), m_target(model), m_model(model) {
    auto* top = new QVBoxLayout(this);
    m_method = make_radios({"Phi", "Charroots", "Periodogr of initial series"}, m_model.method,
                           group("Period estimation method", top));
    m_vectors = make_radios({"eigenvectors", "factorvectors", "reconstructed"}, m_model.vectors,
                            group("Methods deals with", top));
    connect(m_method, &QButtonGroup::idClicked, this, [this](int id) {
        m_model.vectors = m_vectors->checkedId();
        m_model.click_method(id);
        update_enabled();
    });
    connect(m_vectors, &QButtonGroup::idClicked, this, [this](int id) { m_model.vectors = id; });
    add_buttons(top);
    update_enabled();
}

void CQtDlgChangeEstPeriodParam::update_enabled() {
    for (int i = 0; i < 3; ++i) m_vectors->button(i)->setEnabled(m_model.enabled_vectors(i));
    check_radio(m_vectors, m_model.vectors);
}
