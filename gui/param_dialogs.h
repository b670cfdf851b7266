// The Qt faces of the dialog models of app/dialogs.h. Each dialog edits a
// copy of its model and writes it back only on an accepted OK, so Cancel
// leaves the caller's model as it was. Fields carry object names ("L",
// "kendall", ...) so that tests can reach them.
#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <vector>

#include "app/dialogs.h"

class QAbstractButton;
class QButtonGroup;
class QLineEdit;
class QPushButton;
class QBoxLayout;
class QGridLayout;
class QWidget;

// How a failed check on OK is shown; tests replace it to avoid a modal box.
using dlg_message_fn = std::function<void(QWidget* parent, const QString& text)>;
// Answers the function it replaces.
dlg_message_fn set_dlg_message_fn(dlg_message_fn fn);
// Shows a dialog's message through the current function.
void show_dlg_message(QWidget* parent, const QString& text);
// Widens a dialog about to be shown so that a window manager's title bar
// shows the whole title beside its buttons.
void fit_title(QDialog& dialog);

// The common part: the edits of the model's fields, the check on OK and
// the spin arrows beside an edit.
class CQtParamDialog : public QDialog {
    Q_OBJECT
public:
    void accept() override;

protected:
    CQtParamDialog(QWidget* parent, const char* title, int field_count);
    void showEvent(QShowEvent* event) override;

    // An edit for field f; with a spin, two arrow buttons step it.
    QWidget* make_edit(int f, const char* name, const std::string& text, bool with_spin = false);
    QLineEdit* edit(int f) const { return m_edits[static_cast<std::size_t>(f)]; }
    // Exclusive radios numbered from 0, none checked for -1.
    QButtonGroup* make_radios(const std::vector<const char*>& texts, int checked, QBoxLayout* into);
    // "OK"/"Cancel" (ok_text for OK), extra buttons after them.
    QPushButton* add_buttons(QBoxLayout* into, const char* ok_text = "OK");

    std::vector<std::string> field_texts() const;
    // The model's check of the texts; true when it wrote the fields.
    virtual std::optional<dlg_failure> exchange(const std::vector<std::string>& texts) = 0;
    // The spin of field f (its range and step).
    virtual dlg_spin spin(int) const { return {}; }
    // Applies the model's enabling rules to the controls.
    virtual void update_enabled() {}
    // Copies the accepted state back to the caller's model.
    virtual void commit() = 0;

    void set_field_enabled(int f, bool on);

private:
    void step(int f, int direction);

    std::vector<QLineEdit*> m_edits;
    std::vector<std::vector<QWidget*>> m_spins;
};

class CQtDlgChooseInvestigation : public CQtParamDialog {
    Q_OBJECT
public:
    CQtDlgChooseInvestigation(CDlgChooseInvestigation& model, QWidget* parent = nullptr);

protected:
    std::optional<dlg_failure> exchange(const std::vector<std::string>& texts) override;
    dlg_spin spin(int f) const override;
    void update_enabled() override;
    void commit() override;

private:
    CDlgChooseInvestigation& m_target;
    CDlgChooseInvestigation m_model;
};

class CQtDlgTrendParam : public CQtParamDialog {
    Q_OBJECT
public:
    // Throws the model's exception for a method the radios cannot show.
    CQtDlgTrendParam(CDlgTrendParam& model, QWidget* parent = nullptr);

protected:
    std::optional<dlg_failure> exchange(const std::vector<std::string>& texts) override;
    dlg_spin spin(int f) const override;
    void update_enabled() override;
    void commit() override;

private:
    CDlgTrendParam& m_target;
    CDlgTrendParam m_model;
    QButtonGroup* m_roots_mode = nullptr;
    QButtonGroup* m_vectors = nullptr;
};

class CQtDlgPeriodParam : public CQtParamDialog {
    Q_OBJECT
public:
    CQtDlgPeriodParam(CDlgPeriodParam& model, QWidget* parent = nullptr);

protected:
    std::optional<dlg_failure> exchange(const std::vector<std::string>& texts) override;
    dlg_spin spin(int f) const override;
    void update_enabled() override;
    void commit() override;

private:
    CDlgPeriodParam& m_target;
    CDlgPeriodParam m_model;
    QButtonGroup* m_estimation = nullptr;
    QButtonGroup* m_vectors = nullptr;
    QAbstractButton* m_fourier = nullptr;
};

class CQtDlgSummationParams : public CQtParamDialog {
    Q_OBJECT
public:
    CQtDlgSummationParams(CDlgSummationParams& model, QWidget* parent = nullptr);

protected:
    std::optional<dlg_failure> exchange(const std::vector<std::string>& texts) override;
    dlg_spin spin(int f) const override;
    void commit() override;

private:
    CDlgSummationParams& m_target;
    CDlgSummationParams m_model;
    QButtonGroup* m_vectors = nullptr;
    QButtonGroup* m_roots_mode = nullptr;
};

class CQtDlgTrendConditions : public CQtParamDialog {
    Q_OBJECT
public:
    CQtDlgTrendConditions(CDlgTrendConditions& model, QWidget* parent = nullptr);

protected:
    std::optional<dlg_failure> exchange(const std::vector<std::string>&) override { return std::nullopt; }
    void update_enabled() override;
    void commit() override { m_target = m_model; }

private:
    CDlgTrendConditions& m_target;
    CDlgTrendConditions m_model;
    QAbstractButton* m_boxes[2][4] = {};
};

class CQtDlgForecast : public CQtParamDialog {
    Q_OBJECT
public:
    CQtDlgForecast(CDlgForecast& model, QWidget* parent = nullptr);

protected:
    std::optional<dlg_failure> exchange(const std::vector<std::string>& texts) override;
    dlg_spin spin(int f) const override;
    void update_enabled() override;
    void commit() override { m_target = m_model; }

private:
    CDlgForecast& m_target;
    CDlgForecast m_model;
    QPushButton* m_ok = nullptr;
};

// No OK button: a click on a part is the answer.
class CQtDlgSVDtoDisplay : public QDialog {
    Q_OBJECT
public:
    CQtDlgSVDtoDisplay(CDlgSVDtoDisplay& model, QWidget* parent = nullptr);

protected:
    // Without an OK button, Enter chooses the part that has the focus.
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
};

class CQtDlgGroupDrawStyle : public CQtParamDialog {
    Q_OBJECT
public:
    CQtDlgGroupDrawStyle(CDlgGroupDrawStyle& model, QWidget* parent = nullptr);

protected:
    std::optional<dlg_failure> exchange(const std::vector<std::string>&) override { return std::nullopt; }
    void commit() override;

private:
    CDlgGroupDrawStyle& m_target;
    QButtonGroup* m_style = nullptr;
};

class CQtDlgSelectHarmPair : public CQtParamDialog {
    Q_OBJECT
public:
    enum { f_first = 0, f_second = 1, field_count = 2 };
    CQtDlgSelectHarmPair(CDlgSelectHarmPair& model, QWidget* parent = nullptr);

protected:
    std::optional<dlg_failure> exchange(const std::vector<std::string>& texts) override;
    dlg_spin spin(int) const override { return {m_target.range_min, m_target.range_max, 1}; }
    void commit() override { m_target.second = m_second; }

private:
    CDlgSelectHarmPair& m_target;
    int m_second = 0;
};

class CQtDlgChangeEstPeriodParam : public CQtParamDialog {
    Q_OBJECT
public:
    CQtDlgChangeEstPeriodParam(CDlgChangeEstPeriodParam& model, QWidget* parent = nullptr);

protected:
    std::optional<dlg_failure> exchange(const std::vector<std::string>&) override { return std::nullopt; }
    void update_enabled() override;
    void commit() override { m_target = m_model; }

private:
    CDlgChangeEstPeriodParam& m_target;
    CDlgChangeEstPeriodParam m_model;
    QButtonGroup* m_method = nullptr;
    QButtonGroup* m_vectors = nullptr;
};
