// The result windows: the SVD window and the trend, period and forecast
// investigation windows. Each reads its document through a getter, so the
// frame registers it with a small factory, and repaints when it changes.
#pragma once

#include <functional>

#include "draw/invest_paint.h"
#include "gui/plot_view.h"

// Shows a paint's message or failure once, after the paint, through notify():
// a modal box inside a paint event would repaint into itself.
class CResultView : public CPlotView {
    Q_OBJECT
public:
    using CPlotView::CPlotView;
    void notify_changed(const document& doc, unsigned changes) override;

protected:
    void paint(device_context& dc, int client_width, int client_height) final;
    // Throws what the header or drawing rules throw.
    virtual void paint_result(device_context& dc, int client_width, int client_height) = 0;
    void report_once(const std::string& text);
    int time_points() const override;
    // The points of the result's time axis (0 for none): its paint's getter, read only while the document is open.
    virtual int result_points() const = 0;

private:
    bool m_reported = false;
};

class CSVDView : public CResultView {
    Q_OBJECT
public:
    // The SVD document's decomposition (null for none) and display kind.
    struct svd_display {
        const SVD::t_svd* svd = nullptr;
        int kind = svd_singular_values;
    };
    using svd_getter = std::function<svd_display()>;
    CSVDView(document* doc, svd_getter svd, QWidget* parent = nullptr);

protected:
    void paint_result(device_context& dc, int client_width, int client_height) override;
    dc_size wanted_scroll_size(int client_width) const override;
    int result_points() const override;

private:
    svd_getter m_svd;
};

class CTrendInvestView : public CResultView {
    Q_OBJECT
public:
    using trend_getter = std::function<invest_window<t_trend_invest>()>;
    CTrendInvestView(document* doc, trend_getter trend, QWidget* parent = nullptr);

protected:
    void paint_result(device_context& dc, int client_width, int client_height) override;
    int result_points() const override;

private:
    trend_getter m_trend;
};

class CPeriodInvestView : public CResultView {
    Q_OBJECT
public:
    using period_getter = std::function<invest_window<t_period_invest>()>;
    CPeriodInvestView(document* doc, period_getter period, QWidget* parent = nullptr);

protected:
    void paint_result(device_context& dc, int client_width, int client_height) override;
    int result_points() const override;

private:
    period_getter m_period;
};

class CForeInvestView : public CResultView {
    Q_OBJECT
public:
    using forecast_getter = std::function<forecast_plot()>;
    CForeInvestView(document* doc, forecast_getter forecast, QWidget* parent = nullptr);

protected:
    void paint_result(device_context& dc, int client_width, int client_height) override;
    int result_points() const override;

private:
    forecast_getter m_forecast;
};
