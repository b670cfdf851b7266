#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>

#include "core/matrix.h"
#include "core/ssa_exception.h"

using Pair::t_pair;

namespace {

matrix from_rows(const std::vector<std::vector<double>>& rows) {
    matrix m(static_cast<int>(rows.size()), static_cast<int>(rows[0].size()));
    for (int i = 0; i < m.rows(); ++i)
        for (int j = 0; j < m.cols(); ++j) m.set(rows[i][j], i, j);
    return m;
}

void expect_rows(const matrix& m, const std::vector<std::vector<double>>& rows) {
    ASSERT_EQ(m.rows(), static_cast<int>(rows.size()));
    for (int i = 0; i < m.rows(); ++i) {
        ASSERT_EQ(m.cols(), static_cast<int>(rows[i].size()));
        for (int j = 0; j < m.cols(); ++j) EXPECT_EQ(m(i, j), rows[i][j]) << i << "," << j;
    }
}

}  // namespace

TEST(Matrix, CheckedAccessRejectsEveryOutsideIndex) {
    matrix m(3, 4);
    for (auto ij : {t_pair<int>(3, 0), t_pair<int>(0, 4), t_pair<int>(-1, 0), t_pair<int>(0, -1)})
        EXPECT_THROW(m[ij], SSA_math_exception::out_of_range) << ij.first << "," << ij.second;
    EXPECT_NO_THROW(m[t_pair<int>(2, 3)]);
    matrix empty(0, 5);
    EXPECT_THROW(empty[t_pair<int>(0, 0)], SSA_math_exception::out_of_range);
}

TEST(Matrix, EmbedBuildsTrajectoryRows) {
    series s(std::vector<double>{1, 2, 3, 4, 5});
    matrix a(3, 3);
    a.embed(s);
    expect_rows(a, {{1, 2, 3}, {2, 3, 4}, {3, 4, 5}});
    matrix b(2, 4);
    b.embed(s);
    expect_rows(b, {{1, 2, 3, 4}, {2, 3, 4, 5}});
}

TEST(MatrixDeathTest, ShapeFailuresEndTheProgram) {
    matrix a(3, 3);
    EXPECT_EXIT(a.embed(series(std::vector<double>{1, 2, 3, 4, 5, 6})), testing::ExitedWithCode(11),
                "Error 11: series size failure in embed");
    series g(4);
    EXPECT_EXIT(a.diagonal_average(g), testing::ExitedWithCode(17),
                "Error 17: incorrect series size given for averaging!");
    EXPECT_EXIT(a.write("/nonexistent-dir/m.txt"), testing::ExitedWithCode(1),
                "Error\\[matrix\\]: file /nonexistent-dir/m.txt unavailable");
}

TEST(Matrix, AssignmentTakesTheSourceShape) {
    matrix src = from_rows({{1, 2}, {3, 4}, {5, 6}});
    matrix dst(2, 2);
    dst = src;
    expect_rows(dst, {{1, 2}, {3, 4}, {5, 6}});
}

TEST(Matrix, AssignValuesOfAnotherShapeLeavesTheTargetAlone) {
    matrix dst = from_rows({{1, 2}, {3, 4}});
    testing::internal::CaptureStderr();
    dst.assign_values(from_rows({{9, 9, 9}}));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Error: "), std::string::npos);
    expect_rows(dst, {{1, 2}, {3, 4}});
    dst.assign_values(from_rows({{5, 6}, {7, 8}}));
    expect_rows(dst, {{5, 6}, {7, 8}});
}

TEST(Matrix, WriteAppendsBlocks) {
    const std::string p = testing::TempDir() + "matrix_write.txt";
    std::remove(p.c_str());
    matrix m = from_rows({{1, 2}});
    m.write(p);
    m.write(p);
    std::ifstream in(p);
    std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(text, "         1         2\n         1         2\n");
    std::remove(p.c_str());
}

TEST(Matrix, ScaleColumnsBySquareRoots) {
    matrix m = from_rows({{1, 1}, {2, 2}});
    m.scale_columns(series(std::vector<double>{4, 9}));
    expect_rows(m, {{2, 3}, {4, 6}});
}

TEST(Matrix, DiagonalAverageOfEitherOrientation) {
    series g(4);
    from_rows({{1, 2, 3}, {4, 5, 6}}).diagonal_average(g);
    EXPECT_EQ(g.data()[0], 1);
    EXPECT_EQ(g[1], 3);
    EXPECT_EQ(g[2], 4);
    EXPECT_EQ(g[3], 6);
    series h(4);
    from_rows({{1, 4}, {2, 5}, {3, 6}}).diagonal_average(h);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(h[k], g[k]);
}

TEST(Matrix, DiagonalAverageInvertsEmbedding) {
    std::vector<double> v;
    for (int t = 0; t < 23; ++t) v.push_back(std::sin(0.7 * t) + 0.1 * t * t);
    const series s(v);
    for (int L : {1, 2, 5, 12, 22, 23}) {
        matrix x(L, 23 - L + 1);
        x.embed(s);
        series back(23);
        x.diagonal_average(back);
        for (int t = 0; t < 23; ++t) EXPECT_NEAR(back[t], v[t], 1e-12 * (1 + std::fabs(v[t]))) << "L=" << L;
    }
}
