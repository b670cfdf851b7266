#include "app/run_sequence.h"

#include <algorithm>
#include <exception>

#include "app/forecast_doc.h"
#include "app/invest_doc.h"
#include "app/summ_interact_doc.h"
#include "app/summation_doc.h"
#include "app/text_format.h"
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

// Runs work on the worker behind the calculating window. An exception is
// shown with its text and the run counts as not done, so the caller drops
// its unshown document and the program goes on.
bool compute(run_context& ctx, const std::function<void()>& work) {
    try {
        return ctx.ui.run_computation(work);
    } catch (const SSA_math_exception::file_exception& e) {
        ctx.ui.message_box(file_failure_text(e), "", notify_icon::error);
    } catch (const std::exception& e) {
        ctx.ui.message_box(e.what(), "", notify_icon::error);
    } catch (const computation_cancelled&) {
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

    if (doc.trend_method < 0 || doc.trend_method > 2)
        throw SSA_math_exception::ssa_exception("invalid trend_method value inside WinKelvaneDoc::start_investigation()");
    check_kind(doc.trend_vectors, start_place);
    CDlgTrendParam dlg;
    dlg.L = dialog_L(doc, doc.trend_L);
    dlg.L_max = dlg.L_spin_max = N - 1;
    dlg.method = doc.trend_method;
    dlg.set_vectors(doc.trend_vectors);
    dlg.kendall = doc.kendall_threshold;
    dlg.roots_mode = doc.roots_in_percents;
    dlg.roots_count = doc.roots_count;
    dlg.roots_percent = doc.roots_percent;
    dlg.omega = doc.lowfreq_omega;
    dlg.C = doc.lowfreq_C;
    if (!ctx.ui.run_dialog(dlg)) return;

    const int L = dlg.L;
    doc.trend_L = L;
    doc.trend_vectors = dlg.get_vectors();
    doc.trend_method = dlg.get_method();
    switch (doc.trend_method) {
        case t_trend_invest::kendall:
            doc.kendall_threshold = dlg.kendall;
            inv.set_alpha(doc.kendall_threshold);
            break;
        case t_trend_invest::roots:
            doc.roots_in_percents = dlg.roots_mode;
            doc.roots_count = dlg.roots_count;
            doc.roots_percent = dlg.roots_percent;
            inv.set_maxroots(doc.roots_in_percents
                                 ? roots_from_percent(doc.trend_vectors, L, N, doc.roots_percent,
                                                      "inside WinKelvaneDoc::start_investigation()")
                                 : doc.roots_count);
            break;
        default:
            doc.lowfreq_C = dlg.C;
            doc.lowfreq_omega = dlg.omega;
            inv.set_C(doc.lowfreq_C);
            inv.set_omega(doc.lowfreq_omega);
            break;
    }
    inv.set_treatedvectors(doc.trend_vectors);
    inv.set_method(doc.trend_method);

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

    if (doc.approx_max_components == -1) doc.approx_max_components = doc.period_L == -1 ? default_L(N) : doc.period_L;
    check_kind(doc.period_vectors, "inside WinKelvaneDoc::start_investigation()");
    CDlgPeriodParam dlg;
    dlg.L = dialog_L(doc, doc.period_L);
    dlg.L_max = N - 1;
    dlg.optimize = doc.optimize_L;
    dlg.goal = doc.period_goal;
    dlg.pairing = doc.period_pairing;
    dlg.estimation = doc.period_estimation;
    dlg.period_min = doc.period_min;
    dlg.period_max = doc.period_max;
    dlg.crit = doc.fourier_crit;
    dlg.approx_mode = doc.approx_mode;
    dlg.percent = doc.approx_percent;
    dlg.vyg_on = doc.vyg_on;
    dlg.vyg = doc.vyg_rhomax;
    dlg.max_components = doc.approx_max_components;
    dlg.set_vectors(doc.period_vectors);
    dlg.open();
    if (!ctx.ui.run_dialog(dlg)) return;

    doc.optimize_L = dlg.optimize;
    doc.period_goal = dlg.get_goal();
    doc.period_pairing = dlg.get_pairing();
    doc.period_estimation = dlg.get_estimation();
    doc.period_min = dlg.period_min;
    doc.period_max = dlg.period_max;
    doc.fourier_crit = dlg.crit;
    doc.vyg_on = dlg.vyg_on;
    doc.vyg_rhomax = dlg.vyg;
    doc.approx_mode = dlg.approx_mode;
    doc.approx_percent = static_cast<int>(dlg.percent);
    doc.approx_max_components = dlg.max_components;
    const int L = dlg.L;
    doc.period_L = L;
    doc.period_vectors = dlg.get_vectors();

    inv.set_aim(doc.period_goal);
    inv.set_pairing(doc.period_pairing);
    inv.set_estimation(doc.period_estimation);
    inv.set_treatedvectors(doc.period_vectors);
    inv.set_crit(doc.fourier_crit);
    if (doc.vyg_on) {
        doc.vyg_constraint = std::make_unique<t_VYG_constraint>(&inv, doc.vyg_rhomax);
        inv.set_constraint(doc.vyg_constraint.get());
    }
    inv.set_approx_mode(doc.approx_mode);
    if (doc.approx_mode == 0)
        inv.min_percent = doc.approx_percent;
    else
        inv.max_components = dlg.max_components;
    inv.set_period_range({doc.period_min, doc.period_max});

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

int roots_from_percent(vector_kind kind, int L, int N, int percent, const char* place) {
    int length = 0;
    switch (kind) {
        case vk_eigenvectors: length = L; break;
        case vk_factor_vectors:
        case vk_factor_vectors2: length = N - L + 1; break;
        case vk_reconstructed: length = N; break;
        default: throw SSA_math_exception::unknown_objects_for_identification(place);
    }
    return static_cast<int>(length * percent / 100.0);
}

void start_investigation(CWinKelvaneDoc& doc, run_context& ctx) {
    const int N = doc.ts.size();
    // No window length fits 2 .. N-1: say why instead of a range that cannot be met.
    if (N < 3) {
        ctx.ui.message_box(text_printf("The series holds %d value%s; at least 3 are needed for a decomposition.", N,
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
    dlg.epsilon = summation->get_summ_epsilon();
    dlg.omega = summation->get_summ_omega();
    dlg.fourier = summation->get_summ_fourier();
    dlg.kendall = summation->get_summ_kendall();
    dlg.C = summation->get_summ_lowfreq_C();
    dlg.vyg = summation->get_summ_vyg();
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
        summation->set_summ_trend_conditions(dlg.conditions);
        summation->set_summ_epsilon(dlg.epsilon);
        summation->set_summ_omega(dlg.omega);
        summation->set_summ_fourier(dlg.fourier);
        summation->set_summ_kendall(dlg.kendall);
        summation->set_summ_lowfreq_C(dlg.C);
        summation->set_summ_roots_max(dlg.get_roots_threshold(N));
        summation->set_summ_vyg(dlg.vyg);
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
    dlg.L = static_cast<unsigned>(dialog_L(doc, doc.forecast_L));
    dlg.L_max = N - 1;
    dlg.trend = doc.forecast_trend;
    dlg.harmonics = doc.forecast_harmonics;
    dlg.points = static_cast<unsigned>(N / 10);
    if (!ctx.ui.run_dialog(dlg)) return;

    const int L = static_cast<int>(dlg.L);
    doc.forecast_L = L;
    doc.forecast_points = static_cast<int>(dlg.points);
    doc.forecast_trend = dlg.trend;
    doc.forecast_harmonics = dlg.harmonics;

    result->set_title(result_title("Forecast signal of time series", doc.name, L));
    CForeInvestDoc& r = *result;
    if (!compute(ctx, [&] {
            r.set_L(L);
            r.set_points(doc.forecast_points);
            r.set_use_trend(doc.forecast_trend != 0);
            r.set_use_harmonics(doc.forecast_harmonics != 0);
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
