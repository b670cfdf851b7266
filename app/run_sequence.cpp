#include "app/run_sequence.h"

#include <algorithm>
#include <exception>

#include "app/forecast_doc.h"
#include "app/invest_doc.h"
#include "app/summ_interact_doc.h"
#include "app/summation_doc.h"
#include "app/text_format.h"
#include "core/number_text.h"
#include "app/ts_group_doc.h"
#include "core/ssa_exception.h"

namespace {

const char* const start_place = "WinKelvaneDoc::start_investigation()";

int default_L(int N) { return (N + 1) / 2; }

// The L an investigation dialog opens with.
int dialog_L(const CWinKelvaneDoc& doc, int remembered) {
    if (doc.choose_use_L) return doc.choose_L;
    return remembered == -1 ? default_L(doc.ts.size()) : remembered;
}

void check_kind(vector_kind k, const char* place) {
    if (k < vk_eigenvectors || k > vk_reconstructed) throw SSA_math_exception::unknown_objects_for_identification(place);
}

// The cached decomposition when it has the window length, else a new one.
void provide_decomposition(CWinKelvaneDoc& doc, t_investigation& inv, int L) {
    inv.set_svd_options(doc.decomposition);
    if (!doc.svd_cache || doc.svd_cache->L() != L)
        inv.set_L(L);
    else
        inv.set_svd(*doc.svd_cache);
    // "Every component" is every one held: L, or k of a truncated decomposition.
    inv.set_amount(components_to_investigate(doc, inv.get_svd()->components(), inv.get_svd()->count()));
}

void refresh_cache(CWinKelvaneDoc& doc, const t_investigation& inv, CWinKelvaneDoc& result, int L) {
    doc.svd_cache = std::make_unique<SVD::t_svd>(*inv.get_svd());
    result.svd_cache = std::make_unique<SVD::t_svd>(*inv.get_svd());
    if (auto* invest = dynamic_cast<CInvestDoc*>(&result)) invest->L = L;
}

// Runs work on the worker behind the calculating window. A failure is shown
// by its kind and the run counts as not done, so the caller drops its
// unshown document and the program goes on.
bool compute(run_context& ctx, const std::function<void()>& work) {
    using SSA_math_exception::failure_kind;
    try {
        return ctx.ui.run_computation(work);
    } catch (const SSA_math_exception::ssa_exception& e) {
        switch (e.kind()) {
        case failure_kind::cancelled:
            break;
        case failure_kind::file:
            ctx.ui.message_box(static_cast<const SSA_math_exception::file_exception&>(e).text(), "",
                               notify_icon::error);
            break;
        case failure_kind::bad_input:
        case failure_kind::resource:
        case failure_kind::internal:
            ctx.ui.message_box(e.message, "", notify_icon::error);
            break;
        }
    } catch (const std::exception& e) {
        ctx.ui.message_box(e.what(), "", notify_icon::error);
    }
    return false;
}

document& show(run_context& ctx, std::unique_ptr<document> doc) {
    document& d = ctx.adopt(std::move(doc));
    ctx.ui.open_window(d);
    return d;
}

void start_trend(CWinKelvaneDoc& doc, run_context& ctx) {
    const int N = doc.ts.size();
    auto result = std::make_unique<CTrendInvestDoc>();
    result->name = doc.name;
    result->data_file = doc.data_file;
    result->set_series(doc.ts);
    t_trend_invest& inv = result->invest();

    trend_params& p = doc.trend;
    if (p.trend_method < 0 || p.trend_method > 2)
        throw SSA_math_exception::internal_error("invalid trend_method value inside WinKelvaneDoc::start_investigation()");
    check_kind(p.trend_vectors, start_place);
    CDlgTrendParam dlg;
    dlg.L = dialog_L(doc, p.trend_L);
    dlg.L_max = dlg.L_spin_max = N - 1;
    dlg.method = p.trend_method;
    dlg.set_vectors(p.trend_vectors);
    dlg.kendall = p.kendall_threshold;
    dlg.roots_mode = p.roots_in_percents;
    dlg.roots_count = p.roots_count;
    dlg.roots_percent = static_cast<int>(p.roots_percent);
    dlg.omega = p.lowfreq_omega;
    dlg.C = p.lowfreq_C;
    if (!ctx.ui.run_dialog(dlg)) return;

    const int L = dlg.L;
    p.trend_L = L;
    p.trend_vectors = dlg.get_vectors();
    p.trend_method = dlg.get_method();
    // Only the chosen test's fields are remembered.
    switch (p.trend_method) {
        case t_trend_invest::kendall:
            p.kendall_threshold = dlg.kendall;
            break;
        case t_trend_invest::roots:
            p.roots_in_percents = dlg.roots_mode;
            p.roots_count = dlg.roots_count;
            p.roots_percent = dlg.roots_percent;
            break;
        default:
            p.lowfreq_C = dlg.C;
            p.lowfreq_omega = dlg.omega;
            break;
    }
    p.apply(inv, N, L);

    result->set_title(result_title("Trend investigation", doc.name, L));
    CTrendInvestDoc& r = *result;
    if (!compute(ctx, [&] {
            provide_decomposition(doc, inv, L);
            refresh_cache(doc, inv, r, L);
            inv.investigate();
        }))
        return;
    show(ctx, std::move(result));
}

void start_period(CWinKelvaneDoc& doc, run_context& ctx) {
    const int N = doc.ts.size();
    auto result = std::make_unique<CPeriodInvestDoc>();
    result->name = doc.name;
    result->data_file = doc.data_file;
    result->set_series(doc.ts);
    t_period_invest& inv = result->invest();

    period_params& p = doc.period;
    if (p.approx_max_components == -1) p.approx_max_components = p.period_L == -1 ? default_L(N) : p.period_L;
    check_kind(p.period_vectors, "inside WinKelvaneDoc::start_investigation()");
    CDlgPeriodParam dlg;
    dlg.L = dialog_L(doc, p.period_L);
    dlg.L_max = N - 1;
    dlg.optimize = p.optimize_L;
    dlg.goal = p.period_goal;
    dlg.pairing = p.period_pairing;
    dlg.estimation = p.period_estimation;
    dlg.period_min = p.period_min;
    dlg.period_max = p.period_max;
    dlg.crit = static_cast<int>(p.fourier_crit);
    dlg.approx_mode = p.approx_mode;
    dlg.percent = p.approx_percent;
    dlg.vyg_on = p.vyg_on;
    dlg.vyg = p.vyg_rhomax;
    dlg.max_components = p.approx_max_components;
    dlg.set_vectors(p.period_vectors);
    dlg.open();
    if (!ctx.ui.run_dialog(dlg)) return;

    p.optimize_L = dlg.optimize;
    p.period_goal = dlg.get_goal();
    p.period_pairing = dlg.get_pairing();
    p.period_estimation = dlg.get_estimation();
    p.period_min = dlg.period_min;
    p.period_max = dlg.period_max;
    p.fourier_crit = dlg.crit;
    p.vyg_on = dlg.vyg_on != 0;
    p.vyg_rhomax = dlg.vyg;
    p.approx_mode = dlg.approx_mode == 1 ? t_period_invest::approx_by_count : t_period_invest::approx_by_percent;
    p.approx_percent = static_cast<int>(dlg.percent);
    p.approx_max_components = dlg.max_components;
    const int L = dlg.L;
    p.period_L = L;
    p.period_vectors = dlg.get_vectors();
    p.apply(inv);

    result->set_title(result_title("Period investigation", doc.name, L));
    CPeriodInvestDoc& r = *result;
    if (!compute(ctx, [&] {
            provide_decomposition(doc, inv, L);
            inv.investigate();
            refresh_cache(doc, inv, r, L);
        }))
        return;
    show(ctx, std::move(result));
    if (inv.get_aim() == 2 && !inv.get_pairs().empty()) break_to_harmonics_command(r, ctx);
}

}  // namespace

int components_to_investigate(const CWinKelvaneDoc& doc, int L, int m) {
    if (doc.choose_amount < m) return doc.choose_use_amount ? doc.choose_amount : L;
    return m;
}

void start_investigation(CWinKelvaneDoc& doc, run_context& ctx) {
    const int N = doc.ts.size();
    // No window length fits 2 .. N-1: say why instead of a range that cannot be met.
    if (N < 3) {
        ctx.ui.message_box(format_text("The series holds %d value%s; at least 3 are needed for a decomposition.", N,
                                       N == 1 ? "" : "s"),
                           "", notify_icon::warning);
        return;
    }
    CDlgChooseInvestigation chooser;
    chooser.names = {"1. Trend investigation", "2. Period investigation", "3. Summation investigation",
                     "4. Forecast signal"};
    chooser.use_L = doc.choose_use_L;
    if (doc.choose_L == -1) doc.choose_L = default_L(N);
    chooser.L = doc.choose_L;
    chooser.use_amount = doc.choose_use_amount;
    chooser.amount = doc.choose_amount == -1 ? doc.choose_L : doc.choose_amount;
    chooser.L_max = N - 1;
    chooser.decomposition = doc.decomposition;
    // A truncated decomposition holds fewer: offer what it can give.
    chooser.amount = std::min(chooser.amount, chooser.amount_max(chooser.L));
    if (!ctx.ui.run_dialog(chooser)) return;
    doc.choose_use_L = chooser.use_L;
    doc.choose_L = chooser.L;
    doc.choose_use_amount = chooser.use_amount;
    doc.choose_amount = chooser.amount;

    const int L = doc.choose_use_L ? doc.choose_L : -1;
    const int amount = doc.choose_use_amount ? doc.choose_amount : -1;
    // A parameter the investigation refuses (a VYG threshold of 1) throws
    // while it is configured, before the computation: shown the same way.
    try {
        switch (chooser.selected) {
            case 0: start_trend(doc, ctx); break;
            case 1: start_period(doc, ctx); break;
            case 2: start_summation_investigation(doc, ctx, L, amount); break;
            case 3: start_forecast(doc, ctx, L, amount); break;
            default: break;  // OK with no line selected starts nothing
        }
    } catch (const std::exception& e) {
        ctx.ui.message_box(e.what(), "", notify_icon::error);
    }
}

void start_summation_investigation(CWinKelvaneDoc& doc, run_context& ctx, int L_arg, int amount) {
    const int N = doc.ts.size();
    auto summation = std::make_unique<CSummationInvestDoc>(doc.ts);
    summation->name = doc.name;
    summation->data_file = doc.data_file;
    check_kind(doc.summation_vectors, "inside \"CWinKelvaneDoc::start_summation_investigation(...)\"");
    CDlgSummationParams dlg;
    dlg.L = L_arg > 0 ? L_arg : default_L(N);
    dlg.L_max = N - 1;
    summation_params& p = summation->params();
    dlg.epsilon = p.summ_epsilon;
    dlg.omega = p.summ_omega;
    dlg.fourier = p.summ_fourier;
    dlg.kendall = p.summ_kendall;
    dlg.C = p.summ_lowfreq_C;
    dlg.vyg = p.summ_vyg;
    dlg.roots_mode = 1;
    dlg.roots_percent = 5;
    dlg.vectors = doc.summation_vectors == vk_reconstructed ? 2 : doc.summation_vectors == vk_eigenvectors ? 0 : 1;
    dlg.roots_count = dlg.L / 20;
    dlg.conditions = doc.trend_conditions;
    if (!ctx.ui.run_dialog(dlg)) return;
    doc.trend_conditions = dlg.conditions;

    t_summation_invest& inv = summation->get_investigation();
    inv.set_svd_options(doc.decomposition);
    if (!compute(ctx, [&] {
        inv.set_L(dlg.L);
        inv.set_amount(std::min(amount > L_arg ? amount : dlg.L, inv.get_svd()->components()));
        inv.set_treatedvectors(dlg.dealswith());
        p.summ_trend_conditions = dlg.conditions;
        p.summ_epsilon = dlg.epsilon;
        p.summ_omega = dlg.omega;
        p.summ_fourier = dlg.fourier;
        p.summ_kendall = dlg.kendall;
        p.summ_lowfreq_C = dlg.C;
        p.summ_roots_max = dlg.get_roots_threshold(N);
        p.summ_vyg = dlg.vyg;
        summation->start_investigation();
        // The component information shows factor vectors; the GUI thread must not build them.
        inv.get_svd()->factor_vectors();
    }))
        return;
    summation->set_title(result_title("Summation investigation", doc.name, dlg.L));
    auto& shown = static_cast<CSummationInvestDoc&>(show(ctx, std::move(summation)));
    auto interact = std::make_unique<CSummInteractDoc>();
    interact->set_title(result_title("Interactive summation", doc.name, dlg.L));
    interact->init(&shown);
    show(ctx, std::move(interact));
}

void start_forecast(CWinKelvaneDoc& doc, run_context& ctx, int, int) {
    const int N = doc.ts.size();
    auto result = std::make_unique<CForeInvestDoc>();
    result->name = doc.name;
    result->data_file = doc.data_file;
    result->ts = doc.ts;
    result->set_ts(doc.ts);
    result->get_forecast()->get_signal_invest()->set_svd_options(doc.decomposition);

    CDlgForecast dlg;
    forecast_params& p = doc.forecast;
    dlg.L = static_cast<unsigned>(dialog_L(doc, p.forecast_L));
    dlg.L_max = N - 1;
    dlg.trend = p.forecast_trend;
    dlg.harmonics = p.forecast_harmonics;
    dlg.points = static_cast<unsigned>(N / 10);
    dlg.method = static_cast<int>(p.method);
    dlg.intervals = p.intervals;
    dlg.level = p.level;
    dlg.replicates = p.replicates;
    if (!ctx.ui.run_dialog(dlg)) return;

    const int L = static_cast<int>(dlg.L);
    p.forecast_L = L;
    p.forecast_points = static_cast<int>(dlg.points);
    p.forecast_trend = dlg.trend != 0;
    p.forecast_harmonics = dlg.harmonics != 0;
    p.method = dlg.method == 1 ? forecast_method::vector : forecast_method::recurrent;
    p.intervals = dlg.intervals != 0;
    p.level = dlg.level;
    p.replicates = dlg.replicates;

    result->set_title(result_title("Forecast signal of time series", doc.name, L));
    CForeInvestDoc& r = *result;
    if (!compute(ctx, [&] {
            r.params() = p;
            // The forecast decomposes for its window itself: its decomposition is the one kept.
            r.compute_forecast();
            refresh_cache(doc, *r.get_forecast()->get_signal_invest(), r, L);
        }))
        return;
    show(ctx, std::move(result));
}

void break_to_harmonics_command(CPeriodInvestDoc& doc, run_context& ctx) {
    t_period_invest& inv = doc.invest();
    CDlgGroupDrawStyle style;
    style.style = 0;  // "Overlaid" preselected
    if (!ctx.ui.run_dialog(style)) return;
    CDlgChangeEstPeriodParam est;
    est.set_estmethod(inv.get_estimation());
    est.set_treatedvectors(inv.get_treatedvectors());
    if (!ctx.ui.run_dialog(est)) return;
    const int method = est.get_estmethod();
    const vector_kind kind = est.get_treatedvectors();
    if (!harmonic_break_accepts(method, kind, ctx.ui)) return;
    inv.set_estimation(method);
    inv.set_treatedvectors(kind);

    harmonic_group group;
    const int group_style = style.style == 0 ? harmonic_group::style_overlaid : harmonic_group::style_separate;
    if (!compute(ctx, [&] { group = break_to_harmonics(inv, group_style); })) return;
    auto window = std::make_unique<CTsGroupDoc>();
    window->data_file = doc.time_axis();
    window->set_title(group.title);
    window->set_draw_style(group.style);
    for (const t_ts& s : group.series) window->add_series(s);
    doc.harmonic_breaks.push_back(std::move(group));
    show(ctx, std::move(window));
}

void display_svd_command(const std::string& name, const t_ts& ts, const SVD::t_svd* decomposition,
                         run_context& ctx) {
    if (!decomposition) return;
    CDlgSVDtoDisplay dlg;
    if (!ctx.ui.run_dialog(dlg) || !CDlgSVDtoDisplay::enabled(dlg.part)) return;
    const int kind = CSVDDoc::display_of(dlg.part, dlg.logarithmed != 0);
    // The window paints on the GUI thread: the factor vectors, built on first use
    // and shared by every copy of the decomposition, are built here on the worker.
    if (kind == CSVDDoc::factor_vectors && !compute(ctx, [&] { decomposition->factor_vectors(); })) return;
    auto svd = std::make_unique<CSVDDoc>();
    svd->name = name;
    svd->ts = ts;
    svd->svd_cache = std::make_unique<SVD::t_svd>(*decomposition);
    svd->display_kind = kind;
    svd->set_title(result_title("SVD", name, decomposition->L()));
    show(ctx, std::move(svd));
}

void display_svd_command(CWinKelvaneDoc& doc, run_context& ctx) {
    display_svd_command(doc.name, doc.ts, doc.svd_cache.get(), ctx);
}

void display_svd_command(CSummationInvestDoc& doc, run_context& ctx) {
    t_summation_invest& inv = doc.get_investigation();
    display_svd_command(doc.name, *inv.get_ts(), inv.get_svd(), ctx);
}
