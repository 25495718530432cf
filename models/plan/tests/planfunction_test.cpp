// Plan functions: reading the tables, the language's keywords, memory cells, FUNC and bus sends.
#include <gtest/gtest.h>

#include <cstdio>

#include "models/base/BusRouter.h"
#include "models/base/Model.h"
#include "models/plan/PlanFunction.h"
#include "models/base/Utilit.h"
#include "platform/core/CFormat.h"

namespace {

// Evaluates one expression for object 12, on section 7 "1СП" unless told otherwise.
struct Eval {
    TaPlanFunctions functions;
    TPlanObjectContext obj{12, nullptr, &functions};
    TPlanSectionContext sec{7, "1СП"};

    bool operator()(std::string& text, bool withSection = true)
    {
        return EvalExpression(nullptr, &obj, withSection ? &sec : nullptr, text);
    }
    // The result text, or "<fail>".
    std::string Of(std::string text, bool withSection = true) { return (*this)(text, withSection) ? text : "<fail>"; }
};

std::string ErrorOf(Eval& e, std::string text)
{
    try {
        e(text);
    } catch (const Exception& x) {
        return x.Message;
    }
    return "<no error>";
}

class PlanFunctionTest : public testing::Test {
protected:
    void SetUp() override
    {
        ResetPlanMemory();
        ResetRandomGenerators();
    }
};

} // namespace

TEST_F(PlanFunctionTest, ArithmeticAndLogic)
{
    Eval e;
    EXPECT_EQ(e.Of("(+ 1 2)"), "3.000000");
    EXPECT_EQ(e.Of("(- 10 1 2)"), "7.000000");
    EXPECT_EQ(e.Of("(/ 8 2 2)"), "2.000000");
    EXPECT_EQ(e.Of("(/ 8 (- 2 2))"), "<fail>");
    EXPECT_EQ(e.Of("(INT 7.9)"), "7");
    EXPECT_EQ(e.Of("(int -7.9)"), "-7");
    EXPECT_EQ(e.Of("(STRCAT A B C)"), "ABC");
    EXPECT_EQ(e.Of("(NOT (> 1 2))"), " 1");  // the failed test reads " 0"
    EXPECT_EQ(e.Of("(NOT (< 1 2))"), "<fail>");
    EXPECT_EQ(e.Of("(AND 1 0.5)"), "<fail>");
    EXPECT_EQ(e.Of("(AND)"), "<fail>");
    EXPECT_EQ(e.Of("(OR 0 (> 2 1))"), " 1");
    EXPECT_EQ(e.Of("(IN 3 1 2 3)"), " 1");
    EXPECT_EQ(e.Of("(IN 3)"), "<fail>");
    EXPECT_EQ(e.Of("(IN 0 (MEM 5) 7)"), "<fail>");  // an argument failed: IN does not run
    EXPECT_EQ(e.Of("(BETWEEN 5 1 9)"), " 1");
    EXPECT_EQ(e.Of("(NTH 1 a b c)"), "b");
    EXPECT_EQ(e.Of("(NTH 5 a b)"), "<fail>");
    EXPECT_EQ(e.Of("(RND)"), "0.901964");
    EXPECT_EQ(e.Of("(ERLANG 5 0 10)"), "<fail>");
    EXPECT_EQ(e.Of("  42 "), "42");  // a literal is its own value
    EXPECT_EQ(e.Of("((RETURN +) 1 2)"), "3.000000");  // the name may itself be computed
}

TEST_F(PlanFunctionTest, IfTakesSuccessAsTruth)
{
    Eval e;
    EXPECT_EQ(e.Of("(if 1 2 3)"), "2");
    EXPECT_EQ(e.Of("(IF 0 a b)"), "a");  // a literal condition is true, even 0
    EXPECT_EQ(e.Of("(IF (> 1 2) a (+ 1 1))"), "2.000000");
    EXPECT_EQ(e.Of("(IF (> 1 2) (RETURN a))"), "<fail>");
    EXPECT_EQ(e.Of("(IF (> 2 1) (MEM 4) b)"), "<fail>");  // the branch failed
    EXPECT_EQ(e.Of("(IF (> 2 1) (RETURN (MEM 4)) b)"), "0");  // RETURN itself succeeded
    EXPECT_EQ(ErrorOf(e, "(IF (> 2 1))"), "Неверное определение функции: (IF (> 2 1))");
    EXPECT_EQ(ErrorOf(e, "(IF)"), "Неверное определение функции: (IF)");
    EXPECT_EQ(ErrorOf(e, "(IF (> 2 1 b c)"), "Неверное определение функции: (IF (> 2 1 b c)");
}

TEST_F(PlanFunctionTest, ObjectAndSection)
{
    Eval e;
    EXPECT_EQ(e.Of("(RETURN (OBJ) (SECTION) (WAY))"), "12 7 1СП");
    // An event function runs without a section.
    EXPECT_EQ(e.Of("(WAY)", false), "<fail>");
    EXPECT_EQ(e.Of("(SECTION)", false), "<fail>");
    EXPECT_EQ(e.Of("(RETURN (WAY))", false), " 0");
    EXPECT_EQ(e.Of("(OBJ (MEM 1))"), "<fail>");
    // Without an object every keyword fails, after its arguments were evaluated.
    std::string t = "(RETURN 1)";
    EXPECT_FALSE(EvalExpression(nullptr, nullptr, nullptr, t));
    t = "(IF 1 2)";
    EXPECT_TRUE(EvalExpression(nullptr, nullptr, nullptr, t));
    EXPECT_EQ(t, "2");
}

TEST_F(PlanFunctionTest, MemoryCellsAreSharedAndKept)
{
    Eval a, b;
    b.obj.Number = 13;
    EXPECT_EQ(a.Of("(NOTE 3 17)"), " 17");
    EXPECT_EQ(b.Of("(MEM 3)"), " 17");
    EXPECT_EQ(b.Of("(CLEAR)"), "");
    EXPECT_EQ(a.Of("(mem 3)"), " 17");
    EXPECT_EQ(a.Of("(MEM 10)"), "<fail>");
    EXPECT_EQ(a.Of("(MEM 4)"), "<fail>");
    EXPECT_EQ(a.Of("(NOTE 10 x)"), "<fail>");
    EXPECT_EQ(a.Of("(NOTE -1 x)"), "<fail>");
    EXPECT_EQ(a.Of("(NOTE 2)"), "<fail>");
    EXPECT_EQ(a.Of("(NOTE 2 a  b)"), " a  b");
    // An error leaves what was stored before it.
    EXPECT_EQ(ErrorOf(a, "(FOO (NOTE 5 x))"), "Неизвестная функция: FOO");
    EXPECT_EQ(PlanMemory()[5], " x");
    ResetPlanMemory();
    EXPECT_EQ(a.Of("(MEM 3)"), "<fail>");
}

TEST_F(PlanFunctionTest, ValuesHoldingCallsAreEvaluatedWithinLimits)
{
    Eval e;
    PlanMemory()[2] = " (+ 1 1)";
    EXPECT_EQ(e.Of("(RETURN (MEM 2))"), " 2.000000");

    // A cell that yields its own call would be scanned for ever; one that nests it deeper each
    // time would exhaust the stack.
    PlanMemory()[3] = "(MEM 3)";
    PlanMemory()[4] = "((MEM 4))";
    for (const char* loop : {"(RETURN (MEM 3))", "(RETURN (MEM 4))"})
        EXPECT_EQ(ErrorOf(e, loop), std::string(kExprLimitMessage)) << loop;
    EXPECT_EQ(e.Of("(+ 1 2)"), "3.000000");  // nothing left over from the failed runs

    // Texts are limited to 250 characters, not bytes: 240 Cyrillic letters are within it.
    std::string letters;
    for (int i = 0; i < 240; ++i) letters += "ж";
    PlanMemory()[5] = letters;
    EXPECT_EQ(e.Of("(RETURN (MEM 5))"), letters);
}

TEST_F(PlanFunctionTest, MalformedTexts)
{
    Eval e;
    EXPECT_EQ(ErrorOf(e, "(FOO 1)"), "Неизвестная функция: FOO");
    EXPECT_EQ(ErrorOf(e, "(RETURN a))"), "Ошибка определения функции:  RETURN a)");
    EXPECT_EQ(ErrorOf(e, "(+ 1 (- 2)"), "Ошибка определения функции:  + 1 (- 2");
    EXPECT_EQ(ErrorOf(e, "(+ 1 (- 2) (+ 3)"), "Ошибка определения функции:  + 1 2.000000 (+ 3");
}

TEST_F(PlanFunctionTest, ReadingRecords)
{
    TaPlanFunctions t1, t2;
    t1.ReadRecord("8 4 (+ 1 2)\n");
    t1.ReadRecord("8 5   (RETURN a  b)  \r\n");
    t2.ReadRecord("9 4 (OBJ)");
    ASSERT_EQ(t1.Count(), 2u);
    EXPECT_EQ(t1.Find(5)->Text, "(RETURN a  b)");
    EXPECT_EQ(t2.Find(4)->Text, "(OBJ)");
    EXPECT_EQ(t1.Find(6), nullptr);
    try {
        t1.ReadRecord("8 4 (RETURN x)");
        FAIL();
    } catch (const Exception& x) {
        EXPECT_EQ(x.Message, "Повтор номера функции");
    }
    EXPECT_EQ(t1.Count(), 2u);
    try {
        t1.ReadRecord("8\n");
        FAIL();
    } catch (const Exception& x) {
        EXPECT_EQ(x.Message, "Ошибка определения функции: 8");
    }
    for (int i = 1; i < 299; ++i) t2.ReadRecord(Format("9 %d (OBJ)", 100 + i));
    EXPECT_THROW(t2.ReadRecord("9 7 (OBJ)"), Exception);  // 299 functions at most
}

// The functions of a station data file, run for objects on the plan with the technology model
// and the operator behind a headless bus.
class PlanFunctionFile : public PlanFunctionTest {
protected:
    void SetUp() override
    {
        PlanFunctionTest::SetUp();
        std::FILE* f = nullptr;
        ASSERT_EQ(OpenDataFile(&f, std::string(VELO_TEST_DIR) + "/fixtures/planfunc/functions.dat"), 10);
        std::string line;
        int r;
        while ((r = ReadDataLine(f, line, "*")) != -1) {
            if (r != 1) continue;
            unsigned type = 0;
            SScanf(line.c_str(), "%u", &type);
            (type == 8 ? sections : events).ReadRecord(line);
        }
        std::fclose(f);

        bus.Connect(&plan);
        tecn.On("3 5", "ok");
        instructor.On("0 4", nullptr);
        bus.SetReceiver(brTecn, tecn.AsHandler());
        bus.SetReceiver(brInstructor, instructor.AsHandler());
        bus.SetFallback([](std::string& mes, TlstParams*) {
            mes = "да";
            return 1;
        });
    }

    std::string Run(TaPlanFunctions& table, unsigned n, uint32_t object, bool onSection = true)
    {
        TPlanObjectContext obj{object, &plan, &sections};
        std::string out = "junk";
        bool ok = RunPlanFunction(table.Find(n), &obj, onSection ? &section : nullptr, &out);
        return ok ? out : "<fail:" + out + ">";
    }

    TaPlanFunctions sections, events;
    TModel plan;
    TBusRouter bus;
    TScriptedReceiver tecn, instructor;
    TPlanSectionContext section{7, "1СП"};
};

TEST_F(PlanFunctionFile, RunsFunctionsAndSendsThroughThePlanModel)
{
    EXPECT_EQ(sections.Count(), 8u);
    EXPECT_EQ(events.Count(), 2u);
    EXPECT_EQ(sections.Find(2)->Text, "(+ (FUNC 3) 1)");

    EXPECT_EQ(Run(sections, 1, 12), "ok");
    EXPECT_EQ(tecn.received, std::vector<std::string>{"3 5 12 1029 7"});

    EXPECT_EQ(Run(sections, 2, 12), "5.000000");

    // Cell 3, written for one object, steers the function of another.
    EXPECT_EQ(Run(sections, 4, 12), " 1СП");
    EXPECT_EQ(Run(sections, 5, 13), "да");
    EXPECT_EQ(bus.Requests(7), std::vector<std::string>{"7 маневр 13"});
    ResetPlanMemory();
    EXPECT_EQ(Run(sections, 5, 13), "нет");

    // Event functions run without a section.
    EXPECT_EQ(Run(events, 15, 12, false), "0 4 22 12");
    EXPECT_EQ(instructor.received, std::vector<std::string>{"0 4 22 12"});
    EXPECT_EQ(Run(events, 1, 12, false), " 0");
    EXPECT_EQ(Run(events, 2, 12, false), "<fail:>");  // no such function
}

TEST_F(PlanFunctionFile, ErrorsNameTheFunction)
{
    auto errorOf = [this](unsigned n) {
        try {
            Run(sections, n, 12);
        } catch (const Exception& x) {
            return x.Message;
        }
        return std::string("<no error>");
    };
    EXPECT_EQ(errorOf(6), std::string(kExprLimitMessage) + "6");
    EXPECT_EQ(errorOf(7), "Ошибка определения функции:  + 1 (- 2 (функция 7)");
    EXPECT_EQ(errorOf(8), "Ошибка определения функции:  + 1 (- 2 (функция 7)");  // reached by FUNC from 8
    EXPECT_EQ(Run(sections, 3, 12), "4.000000");
}

TEST_F(PlanFunctionFile, UnknownNameAfterItsArgumentsWereSent)
{
    TPlanObjectContext obj{12, &plan, &sections};
    TPlanFunction f{"(FOO (COM 3 5 (OBJ) 1 1))", 30};
    try {
        RunPlanFunction(&f, &obj, nullptr, nullptr);
        FAIL();
    } catch (const Exception& x) {
        EXPECT_EQ(x.Message, "Неизвестная функция: FOO (функция 30)");
    }
    EXPECT_EQ(tecn.received, std::vector<std::string>{"3 5 12 1 1"});
}

TEST_F(PlanFunctionFile, ALoopThroughTheBusEndsInTheDepthError)
{
    // The technology model answers function 1's message by running function 1 again.
    bus.SetReceiver(brTecn, [this](std::string& mes, TlstParams*) {
        Run(sections, 1, 12);
        mes = "ok";
        return 1;
    });
    try {
        Run(sections, 1, 12);
        FAIL();
    } catch (const Exception& x) {
        EXPECT_EQ(x.Message, std::string(kExprLimitMessage) + "1");
    }
    bus.SetReceiver(brTecn, tecn.AsHandler());
    EXPECT_EQ(Run(sections, 1, 12), "ok");
}

TEST_F(PlanFunctionFile, AValueThatBringsBackItsOwnCallStopsWithinTheLimits)
{
    // Function 20's value holds its own call, so every substitution in 21 brings back one more
    // message and one more tail: the run ends as soon as the text passes 250 characters, after
    // one message, not after thousands of them.
    sections.ReadRecord("8 20 (COM 3 5 1) (FUNC 20) " + std::string(150, 'x'));
    sections.ReadRecord("8 21 (RETURN (FUNC 20))");
    try {
        Run(sections, 21, 12);
        FAIL();
    } catch (const Exception& x) {
        EXPECT_EQ(x.Message, std::string(kExprLimitMessage) + "21");
    }
    EXPECT_EQ(tecn.received.size(), 1u);

    // A value that brings back its own call without growing (function 22 yields cell 6, which
    // holds a message and the call of 22) runs until the total-work bound: a few thousand
    // substitutions, so one run costs milliseconds, not tens of thousands of messages.
    PlanMemory()[6] = "(COM 3 5 1)(FUNC 22)";
    sections.ReadRecord("8 22 (MEM 6)");
    sections.ReadRecord("8 23 (RETURN (FUNC 22))");
    size_t messages = 0;
    bus.SetReceiver(brTecn, [&messages](std::string& mes, TlstParams*) {
        ++messages;
        mes.clear();
        return 1;
    });
    try {
        Run(sections, 23, 12);
        FAIL();
    } catch (const Exception& x) {
        EXPECT_EQ(x.Message, std::string(kExprLimitMessage) + "23");
    }
    EXPECT_GT(messages, 100u);
    EXPECT_LE(messages, 5000u);
}
