#include <gtest/gtest.h>

#include "test_util.h"

using Pair::t_pair;

TEST(Matrix, CheckedAccessRejectsEveryOutsideIndex) {
    matrix m(3, 4);
    for (auto ij : {t_pair<int>(3, 0), t_pair<int>(0, 4), t_pair<int>(-1, 0), t_pair<int>(0, -1)})
        EXPECT_THROW(m[ij], SSA_math_exception::out_of_range) << ij.first << "," << ij.second;
    EXPECT_NO_THROW(m[t_pair<int>(2, 3)]);
    EXPECT_THROW(matrix(0, 5)[t_pair<int>(0, 0)], SSA_math_exception::out_of_range);
}

TEST(Matrix, ShapeFailuresThrowTheirKind) {
    matrix a(3, 3);
    EXPECT_EQ(failure_of([&] { a.embed(series(std::vector<double>{1, 2, 3, 4, 5, 6})); }),
              "internal 11: Error 11: series size failure in embed(..)\n");
    series g(4);
    EXPECT_EQ(failure_of([&] { a.diagonal_average(g); }), "internal 17: Error 17: incorrect series size given for averaging!\n");
    // Another shape is the caller's fault: refused, the values kept.
    matrix b = from_columns({{1, 2}, {3, 4}});
    EXPECT_EQ(failure_of([&] { b.assign_values(matrix(2, 3)); }), "internal 1: Error: Размеры матриц не совпадают\n");
    EXPECT_EQ(b(1, 1), 4);
    b.assign_values(from_columns({{5, 6}, {7, 8}}));
    EXPECT_EQ(b(1, 1), 8);
}

TEST(Matrix, DiagonalAverageOfEitherOrientationInvertsEmbedding) {
    for (matrix m : {from_columns({{1, 4}, {2, 5}, {3, 6}}), from_columns({{1, 2, 3}, {4, 5, 6}})}) {
        series g(4);
        m.diagonal_average(g);
        EXPECT_EQ(values_of(t_ts(g)), (std::vector<double>{1, 3, 4, 6}));
    }

    std::vector<double> v;
    for (int t = 0; t < 23; ++t) v.push_back(std::sin(0.7 * t) + 0.1 * t * t);
    for (int L : {1, 5, 23}) {
        matrix x(L, 23 - L + 1);
        x.embed(series(v));
        series back(23);
        x.diagonal_average(back);
        for (int t = 0; t < 23; ++t) EXPECT_NEAR(back[t], v[t], 1e-12 * (1 + std::fabs(v[t]))) << "L=" << L;
    }
}
