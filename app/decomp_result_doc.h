// The final decomposition of the series into trend, periodic part and
// residual, from the components an interactive summation marks.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/document.h"
#include "decomp/reconstructed.h"
#include "invest/final_decomposition.h"
#include "timeseries/ts.h"

class CSummInteractDoc;
class app_ui;

class CDecompResultDoc : public document {
public:
    CDecompResultDoc() : document(doc_kind::decomp_result) {}
    enum { style_separate = 0, style_overlaid = 1 };
    enum {
        cls_trend = final_decomposition::cls_trend,
        cls_trend_and_periodic = final_decomposition::cls_trend_and_periodic,
        cls_periodic = final_decomposition::cls_periodic,
        cls_residual = final_decomposition::cls_residual
    };

    void set_original(const t_ts& ts) { m_original = std::make_unique<t_ts>(ts); }
    void set_trend_list(const std::vector<int>& list) { m_trend_list = list; }
    void set_periodic_list(const std::vector<int>& list) { m_periodic_list = list; }
    void set_style(int s) { m_style = s; }
    int get_style() const { return m_style; }
    // The file the user opened, for the names File Save proposes.
    std::string data_file;
    std::string time_axis() const override { return data_file; }

    // The series and the lists of a final decomposition (decompose_final).
    void set_result(final_decomposition d);

    const std::vector<int>& get_trend_list() const { return m_trend_list; }
    const std::vector<int>& get_periodic_list() const { return m_periodic_list; }
    // Class of each reconstructed component, once a result is set.
    const std::vector<int>& get_classes() const { return m_result.classes; }
    const t_ts* get_original() const { return m_original.get(); }
    // Null until a result is set.
    const t_ts* get_trend() const { return m_computed ? &m_result.trend : nullptr; }
    const t_ts* get_periodic() const { return m_computed ? &m_result.periodic : nullptr; }
    const t_ts* get_residual() const { return m_computed ? &m_result.residual : nullptr; }

    // File Save: trend, periodic part and residual in turn, each through its
    // own file dialog; a cancelled dialog skips that series only.
    void save_series(app_ui& ui) const;

    // Titles of the separate style's plots: 0 original, 1 trend, 2 periodic, 3 residual.
    std::string panel_title(int panel) const;
    // Title of the overlaid style's plot.
    std::string overlaid_title() const;
    // Legend of the overlaid style, in the order of panel_title.
    static std::string legend(int entry);

private:
    std::vector<int> m_periodic_list;
    std::vector<int> m_trend_list;
    std::unique_ptr<t_ts> m_original;
    int m_style = style_overlaid;
    final_decomposition m_result;
    bool m_computed = false;
};

// The final decomposition of the interactive summation's marks, computed:
// what the "final decomposition" command shows once the draw style is chosen.
std::unique_ptr<CDecompResultDoc> make_final_decomposition(const CSummInteractDoc& interact);
