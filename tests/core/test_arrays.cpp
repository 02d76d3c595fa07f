// Arrays: dim with up to 20 dimensions in row-major order with inclusive
// bounds, element reads and writes through ?N[...], movl, and the bound,
// subscript and declaration errors (also those that would otherwise reach
// outside the memory of an array or of the table).
#include <string>

#include "core/arrays.h"
#include "tests/core/flow_fixture.h"

namespace {

class Arrays : public FlowTest {};

TEST_F(Arrays, DeclaredZeroFilledInRowMajorOrder) {
    EXPECT_EQ(Story("mov ?0[1][2],66\nmov ?1[1][2][3],7\nmov ?1[0][1][0],5\nmov %1,?0[1][2]+?5\n"
                    "mov ?5,9\nmov %2,?5\nmov %4,1\nmov %3,?%4[1][2][2+1]",
                    "dim ?0[2][3]\ndim ?1[1][2][3]\ndim ?5\nmov %50,1\n"),
              "");
    ASSERT_EQ(ArrayCount, 3);
    const ArrayVariable& a = ArrayVariables[0];
    EXPECT_EQ(a.count, 12);
    EXPECT_EQ(a.dims, 2);
    for (int i = 0; i < 12; i++) EXPECT_EQ(a.data[i], i == 6 ? 66 : 0) << i;  // 1*4+2
    const ArrayVariable& b = ArrayVariables[1];
    EXPECT_EQ(b.count, 24);
    EXPECT_EQ(b.data[23], 7);  // the last element
    EXPECT_EQ(b.data[4], 5);   // 0*12 + 1*4 + 0
    EXPECT_EQ(ArrayVariables[2].count, 1);
    EXPECT_EQ(IntVariables[1], 66);
    EXPECT_EQ(IntVariables[2], 9);
    EXPECT_EQ(IntVariables[3], 7);  // ?%4: the array whose number %4 holds
}

TEST_F(Arrays, TwentyDimensions) {
    std::string dims, subs;
    for (int i = 0; i < 20; i++) {
        dims += "[1]";
        subs += "[1]";
    }
    EXPECT_EQ(Story("mov ?3" + subs + ",12\nmov %1,?3" + subs, "dim ?3" + dims), "");
    EXPECT_EQ(ArrayVariables[0].count, 1 << 20);
    EXPECT_EQ(ArrayVariables[0].data[(1 << 20) - 1], 12);
    EXPECT_EQ(IntVariables[1], 12);
    // A 21st subscript is refused, in a reference and in a declaration.
    EXPECT_EQ(Story("mov %1,?3" + subs + "[0]"), "エラー: 配列の添字指定が間違っています。");
    EXPECT_EQ(Story("", "dim ?4" + dims + "[1]"), "エラー: 配列の添字指定が間違っています。");
}

TEST_F(Arrays, ReferenceErrors) {
    const struct {
        const char* statement;
        const char* fatal;
    } cases[] = {
        {"mov %1,?0[2][4]", "エラー: 配列の添字が宣言された範囲を超えています（第2次元 最大値3 指定値4）"},
        {"mov ?0[3][0],1", "エラー: 配列の添字が宣言された範囲を超えています（第1次元 最大値2 指定値3）"},
        {"mov ?0[0][-2],1", "エラー: 配列の添字が宣言された範囲を超えています（第2次元 最大値3 指定値-2）"},
        {"mov ?0[-5][0],1", "エラー: 配列の添字が宣言された範囲を超えています（第1次元 最大値2 指定値-5）"},
        {"mov ?0[-1][0],1", "エラー: 配列の添字指定が間違っています。"},
        {"mov %1,?0[1][-1]", "エラー: 配列の添字指定が間違っています。"},
        {"mov %1,?0[1]", "エラー: 配列の添字指定が間違っています。"},
        {"mov %1,?0[1] [2]", "エラー: 配列の添字指定が間違っています。"},  // a blank ends the list
        {"mov %1,?0[1][2][0]", "エラー: 配列の添字指定が間違っています。"},
        {"mov %1,?9[0]", "エラー: 配列の添字指定が間違っています。"},
        {"mov ?9,1", "エラー: 配列の添字指定が間違っています。"},
        {"mov %1,?0[1 [2]", "エラー: 配列変数指定が間違っています。"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Story(c.statement, "dim ?0[2][3]"), c.fatal) << c.statement;
}

TEST_F(Arrays, DeclarationErrors) {
    const struct {
        const char* define;
        const char* fatal;
    } cases[] = {
        {"dim 0[1]", "エラー: Dim文の第一引数は~数字です。"},
        {"dim ?0[1]\ndim ?0[2]", "エラー: 配列変数の二重宣言です。"},
        {"dim ?0[-1]", "エラー: 配列の宣言が間違っています。"},
        {"dim ?0[2][-3]", "エラー: 配列の宣言が間違っています。"},
        {"dim ?0[65535][65535]", "エラー: 配列の宣言が間違っています。"},
        {"dim ?0[2147483647][2147483647][2147483647]", "エラー: 配列の宣言が間違っています。"},
        // More arrays than variables (100 here).
        {"for %60=0 to 100\ndim ?%60\nnext", "エラー: 配列変数が多すぎます。"},
    };
    for (const auto& c : cases) EXPECT_EQ(Story("", c.define), c.fatal) << c.define;
    EXPECT_EQ(Story("dim ?1"), "構文エラー: 不正な命令\"dim\"です。");
    // Up to the limit they are all there.
    EXPECT_EQ(Story("mov ?99,5", "for %60=0 to 99\ndim ?%60\nnext"), "");
    EXPECT_EQ(ArrayCount, 100);
    EXPECT_EQ(FindArray(99)->data[0], 5);
}

TEST_F(Arrays, MovlFillsOneRow) {
    EXPECT_EQ(Story("movl ?0[1],10,20,30,40\nmovl ?1,1,2,3", "dim ?0[2][3]\ndim ?1[2]"), "");
    const int32_t* d = ArrayVariables[0].data;
    for (int i = 0; i < 12; i++) EXPECT_EQ(d[i], i >= 4 && i < 8 ? (i - 3) * 10 : 0) << i;
    EXPECT_EQ(ArrayVariables[1].data[2], 3);
    // A fifth value is left in the text.
    Run("movl ?0[2],1,2,3,4,5");
    EXPECT_EQ(d[11], 4);
    EXPECT_EQ(Rest(), ",5");
    // Values are read before anything is written: a missing value writes
    // nothing.
    EXPECT_EQ(Fatal("movl ?0[0],1,2,3"), "構文エラー: コンマが必要なところにコンマが有りません。");
    EXPECT_EQ(d[0], 0);
    const struct {
        const char* statement;
        const char* fatal;
    } cases[] = {
        {"movl 0[1],1,2,3,4", "エラー: movlの第一引数は?数字です。"},
        {"movl ?0[1][1],1", "エラー: 配列の添字指定が間違っています。"},
        {"movl ?0,1,2,3,4", "エラー: 配列の添字指定が間違っています。"},
        {"movl ?0[3],1,2,3,4", "エラー: 配列の添字が宣言された範囲を超えています（第1次元 最大値2 指定値3）"},
        {"movl ?0[-1],1,2,3,4", "エラー: 配列の添字指定が間違っています。"},
        {"movl ?2,1", "エラー: 配列の添字指定が間違っています。"},  // no dimension to fill
    };
    for (const auto& c : cases) EXPECT_EQ(Fatal(c.statement), c.fatal) << c.statement;
}

TEST_F(Arrays, MovlTakesAnyLastBound) {
    std::string values;
    for (int i = 0; i < 1000; i++) values += "," + std::to_string(i * 3);
    EXPECT_EQ(Story("movl ?7[1]" + values, "dim ?7[1][999]"), "");
    const int32_t* d = ArrayVariables[0].data;
    EXPECT_EQ(d[999], 0);
    for (int i = 0; i < 1000; i++) ASSERT_EQ(d[1000 + i], i * 3) << i;
}

TEST_F(Arrays, ArraysSurviveAResetAndAreDeclaredAgainAtEveryLoad) {
    // %60 is global (GlobalBorder is 50 here).
    EXPECT_EQ(Play("*define\ndim ?0[3]\ngame\n*start\nmov ?0[0],?0[0]+1\nmov %60,%60+1\n"
                   "if %60 < 3 reset\ndefinereset\n"),
              "");
    EXPECT_EQ(IntVariables[60], 3);
    EXPECT_EQ(ArrayVariables[0].data[0], 3);  // kept by each reset
}

}  // namespace
