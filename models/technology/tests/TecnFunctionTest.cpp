// The technology language on a model with one object: functions stop at their first failing
// line, its cells are its own, FUNC and TIME.
#include <gtest/gtest.h>

#include "models/plan/PlanFunction.h"
#include "models/technology/tests/TecnFixture.h"
#include "platform/core/Exception.h"

using namespace tecn_test;

namespace {

struct TLanguage : testing::Test {
    TScratch scratch;
    TTecnModel model;
    TRecorder rec;
    TTecnObject* obj = nullptr;

    void SetUp() override
    {
        ResetTecnMemory();
        ResetPlanMemory();
        ReadTecnText(model, scratch,
                     "Работы\nФункции\n"
                     "Функция\n1\n(SET 1004 2)\n(FALSE)\n(COM 9 1)\n"
                     "Функция\n2\n(NOTE 1 x)\n(+ (GET 2001) 1)\n"
                     "Функция\n3\n(FUNC 3)\n");
        rec.Attach(model);
        obj = model.CreateObject(-1, false);
    }

    std::string Eval(const std::string& expr, bool* ok = nullptr)
    {
        std::string t = expr;
        bool r = EvalTecnExpression(nullptr, obj, t);
        if (ok) *ok = r;
        return t;
    }
};

} // namespace

TEST_F(TLanguage, FunctionStopsAtFailingLine)
{
    std::string out = "old";
    EXPECT_FALSE(RunTecnFunction(model.FindFunction(1), obj, &out));
    EXPECT_EQ(out, "");
    EXPECT_EQ(obj->GetParamText("1004"), "2");
    EXPECT_TRUE(rec.bus.Requests(9).empty());  // the third line never ran

    EXPECT_TRUE(RunTecnFunction(model.FindFunction(2), obj, &out));
    EXPECT_EQ(out, "16.000000");
    EXPECT_EQ(Eval("(FUNC 2)"), "16.000000");
    EXPECT_EQ(Eval("(NOT (FALSE))"), " 1");
    EXPECT_EQ(Eval("(AND (TRUE) 1)"), " 1");
    EXPECT_EQ(Eval("(OBJ)"), "1");
    bool ok = true;
    Eval("(GET 9998)", &ok);
    EXPECT_FALSE(ok);
}

TEST_F(TLanguage, CellsAreItsOwn)
{
    EXPECT_EQ(Eval("(NOTE 1 x)"), " x");
    std::string plan = "(MEM 1)";
    TPlanObjectContext ctx{1, &model, nullptr};
    TPlanFunction f;
    EXPECT_FALSE(EvalExpression(&f, &ctx, nullptr, plan));
    EXPECT_EQ(Eval("(MEM 1)"), " x");
}

TEST_F(TLanguage, FuncTimeAndErrors)
{
    try {
        Eval("(FUNC 99)");
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, "Нет функции 99 в файле технологии");
    }
    try {
        Eval("(SECTION)");
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, "Неизвестная функция: SECTION");
    }
    try {
        Eval("(FUNC 3)");
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, "Превышена глубина вычисления функции 3");
    }
    model.Process(120);
    EXPECT_EQ(Eval("(TIME)"), "120.000000");
    // Without a bus the model runs no function.
    model.OnSendMessage = nullptr;
    bool ok = true;
    Eval("(FUNC 2)", &ok);
    EXPECT_FALSE(ok);
}
