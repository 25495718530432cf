// The form loader: every feature of the definition format on one sample window, and the errors
// that bad definitions give.
#include <gtest/gtest.h>

#include <QAction>
#include <QMainWindow>
#include <QMenuBar>
#include <QtTest/QTest>

#include <memory>

#include "TestClasses.h"

namespace {

class FormLoader : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterTestClasses();
        form = std::make_unique<TfmSample>();
    }
    template <class T>
    T* Get(const std::string& name)
    {
        return form->FindChild<T>(name);
    }
    std::unique_ptr<TfmSample> form;
};

TEST_F(FormLoader, SetsSimplePropertiesAndKeepsOwnerApartFromParent)
{
    EXPECT_EQ(form->Name(), "fmSample");
    EXPECT_EQ(form->Caption(), "Проба");
    EXPECT_TRUE(form->KeyPreview);
    auto* panel = Get<TPanel>("Panel1");
    auto* label = Get<TLabel>("Label5");
    EXPECT_EQ(panel->BevelOuter(), bvLowered);
    EXPECT_EQ(panel->Color(), clSilver);
    EXPECT_EQ(label->Caption(), "Сигнал Н1");
    EXPECT_EQ(label->Font().Color, clRed);
    EXPECT_EQ(label->Font().Style, TFontStyles(fsBold));
    // Owned by the form, shown on the panel.
    EXPECT_EQ(label->Owner(), form.get());
    EXPECT_EQ(label->Parent(), panel);
    EXPECT_EQ(panel->Parent(), form.get());
    EXPECT_EQ(label->Left(), 8);
    EXPECT_EQ(form->Width(), 320);
    // The client height does not count the menu bar, which came later in the definition.
    EXPECT_EQ(form->ClientHeight(), 240);
    EXPECT_GT(form->Height(), 240);
    form->Show();
    EXPECT_EQ(form->ClientWidget()->height(), 240);
}

TEST_F(FormLoader, FillsStringListsAndRunsSettersInFileOrder)
{
    auto* memo = Get<TMemo>("Memo1");
    ASSERT_EQ(memo->Lines().Count(), 2);
    EXPECT_EQ(memo->Lines()[0], "перша");
    EXPECT_EQ(memo->Lines()[1], "друга");
    // The section's list was resolved when it was read: Cell3 came later.
    auto* section = Get<TTestSection>("Section1");
    ASSERT_EQ(section->Cells.size(), 2u);
    EXPECT_EQ(section->Cells[0]->Name(), "Cell1");
    EXPECT_EQ(section->Cells[1]->Name(), "Cell2");
    EXPECT_EQ(section->Missing, std::vector<std::string>{"Cell3"});
}

TEST_F(FormLoader, ResolvesReferencesAfterLoadIncludingForwardOnes)
{
    auto* sig = Get<TTestSignal>("Sig1");
    EXPECT_EQ(sig->SigLabel, Get<TLabel>("Label5"));
    EXPECT_EQ(sig->Cell, Get<TTestCell>("Cell2"));
    EXPECT_EQ(sig->PopupMenu(), Get<TPopupMenu>("pmSignal"));
    EXPECT_EQ(form->Menu(), Get<TMainMenu>("MainMenu1"));
}

TEST_F(FormLoader, SetsNestedPersistentObjects)
{
    auto* conn = Get<TTestConnection>("Connection");
    EXPECT_EQ(conn->CompanionArray.Companion00.ExecName, "Сигналист");
    EXPECT_EQ(conn->CompanionArray.Companion00.Canal, "fmGromk");
    EXPECT_EQ(conn->CompanionArray.Companion01.ExecName, "МЛ1");
    EXPECT_EQ(conn->CompanionArray.Companion01.Canal, "");
}

TEST_F(FormLoader, SetsModelPropertiesWithoutTheModelKnowingQt)
{
    auto* model = Get<TModel>("PlanModel");
    EXPECT_EQ(model->FileName, "data\\plan.dat");
    std::string mes = "1 5 7";
    EXPECT_EQ(model->SendMessageA(mes), 1);
    EXPECT_EQ(mes, "reply");
    EXPECT_EQ(form->Messages, std::vector<std::string>{"1 5 7"});
    model->ChangeState("3 0.000 1 перехід");
    EXPECT_EQ(form->Events, std::vector<std::string>{"3 0.000 1 перехід"});
}

TEST_F(FormLoader, BindsEventsAndClickingTheButtonRunsTheHandler)
{
    form->Show();
    EXPECT_EQ(form->Shows, 1);
    form->Show(); // already visible: no second OnShow
    EXPECT_EQ(form->Shows, 1);
    auto* button = Get<TButton>("Button1");
    QTest::mouseClick(button->Widget(), Qt::LeftButton);
    EXPECT_EQ(form->Clicks, 1);
    auto* timer = Get<TTimer>("MainTimer");
    EXPECT_EQ(timer->Interval(), 0);
    EXPECT_FALSE(timer->Active());
    EXPECT_TRUE(timer->SkipWhileBusy);
    EXPECT_FALSE(Get<TTimer>("Reminder")->SkipWhileBusy);
    timer->Tick();
    EXPECT_EQ(form->Ticks, 1);
}

TEST_F(FormLoader, BuildsMenusWithNestedItems)
{
    auto* menu = Get<TMainMenu>("MainMenu1");
    ASSERT_EQ(menu->Items()->Count(), 1);
    TMenuItem* work = menu->Items()->Items(0);
    EXPECT_EQ(work->Caption(), "Робота");
    ASSERT_EQ(work->Count(), 2);
    TMenuItem* sub = work->Items(1);
    ASSERT_EQ(sub->Count(), 1);
    TMenuItem* nested = sub->Items(0);
    EXPECT_EQ(nested->Caption(), "Вкладений");
    EXPECT_TRUE(nested->Checked());
    EXPECT_EQ(nested->GetParentMenu(), menu);
    EXPECT_EQ(nested->Owner(), form.get());
    // Choosing the items runs the bound handler; a checked item stays as the code set it.
    work->Items(0)->Action()->trigger();
    nested->Action()->trigger();
    EXPECT_EQ(form->MenuClicks, 2);
    EXPECT_TRUE(nested->Checked());
    EXPECT_TRUE(nested->Action()->isChecked());
    // The form's menu bar shows the top item.
    ASSERT_NE(form->Window()->menuBar(), nullptr);
    EXPECT_EQ(form->Window()->menuBar()->actions().size(), 1);
}

TEST_F(FormLoader, PlacesInlineFramesWithPerInstanceOverrides)
{
    auto* f11 = Get<TFrame>("Frame11");
    auto* f12 = Get<TFrame>("Frame12");
    EXPECT_EQ(f11->ClassName(), "TTestFrame");
    EXPECT_TRUE(f11->InheritsFromClassName("TFrame"));
    EXPECT_EQ(f11->Left(), 150);
    EXPECT_EQ(f11->Width(), 40); // from the frame's own definition
    // Inner components are owned by the frame, not by the form.
    EXPECT_EQ(form->FindComponent("Lamp1"), nullptr);
    auto* lamp11 = static_cast<TTestCell*>(f11->FindComponent("Lamp1"));
    auto* lamp12 = static_cast<TTestCell*>(f12->FindComponent("Lamp1"));
    ASSERT_NE(lamp11, nullptr);
    ASSERT_NE(lamp12, nullptr);
    EXPECT_EQ(lamp11->Id, 11); // overridden
    EXPECT_EQ(lamp12->Id, 7);  // as the frame defines it
    EXPECT_EQ(static_cast<TTestCell*>(f11->FindComponent("Lamp2"))->Id, 8);
    EXPECT_EQ(lamp11->Parent(), f11);
    // Loaded runs once per component, after the whole window, overrides included.
    EXPECT_EQ(lamp11->LoadedCount, 1);
    EXPECT_EQ(lamp11->IdWhenLoaded, 11);
    EXPECT_EQ(Get<TTestCell>("Cell1")->LoadedCount, 1);
    // The override's event is bound in the form's table.
    lamp11->DispatchMouseDown(mbLeft, {}, 1, 1);
    lamp11->DispatchMouseUp(mbLeft, {}, 1, 1);
    EXPECT_EQ(form->Frame11LampClicks, 1);
    // A walk over the form's components reaches the frames' components too.
    int cells = 0;
    form->ForEachOwned([&](TComponent* c) { cells += c->InheritsFromClassName("TTestCell") ? 1 : 0; });
    EXPECT_EQ(cells, 3 + 4);
}

TEST_F(FormLoader, ListsTheFormInTheScreen)
{
    EXPECT_EQ(Screen().FindForm("fmSample"), form.get());
    EXPECT_EQ(Screen().FindForm("fmNone"), nullptr);
}

TEST(ClassNames, ControlsAndModelsAnswerTheirAncestorChain)
{
    RegisterTestClasses();
    auto chain = [](const TObject& o) {
        std::string s;
        for (const TClassInfo* c = o.ClassType(); c; c = c->Parent) s += std::string(s.empty() ? "" : " ") + c->Name;
        return s;
    };
    TForm owner;
    TMemo memo(&owner);
    EXPECT_EQ(chain(memo), "TMemo TCustomMemo TCustomEdit TWinControl TControl TComponent TPersistent TObject");
    TModel model(nullptr);
    EXPECT_EQ(chain(model), "TModel TComponent TPersistent TObject");
    TSpeedButton sb(&owner);
    EXPECT_EQ(chain(sb), "TSpeedButton TGraphicControl TControl TComponent TPersistent TObject");
    EXPECT_EQ(chain(owner), "TForm TWinControl TControl TComponent TPersistent TObject");
    EXPECT_TRUE(memo.InheritsFromClassName("TWinControl"));
    EXPECT_FALSE(memo.InheritsFromClassName("TEdit"));
}

// ---- errors ----

class FormErrors : public ::testing::Test {
protected:
    void SetUp() override { RegisterTestClasses(); }
    std::string Load(const std::string& text)
    {
        TForm form;
        THandlerTable handlers;
        handlers.Add("Go", TNotifyEvent([](TObject*) {}));
        handlers.Add<TCloseEvent>("CloseIt", [](TObject*, TCloseAction&) {});
        try {
            LoadFormDefinitionText(&form, text, "Bad.vfm", &handlers);
        } catch (const Exception& e) {
            return e.Message;
        }
        return "";
    }
};

TEST_F(FormErrors, NameTheFileTheLineAndTheWord)
{
    EXPECT_EQ(Load("object F: TForm\n  object P: TPanel\n    Colour = clRed\n  end\nend\n"),
              "Bad.vfm, строка 3: неизвестное свойство Colour (класс TPanel)");
    EXPECT_EQ(Load("object F: TForm\n\n  object P: TPanell\n  end\nend\n"), "Bad.vfm, строка 3: неизвестный класс TPanell");
    EXPECT_EQ(Load("object F: TForm\n  object B: TButton\n    OnClick = Goo\n  end\nend\n"),
              "Bad.vfm, строка 3: неизвестный обработчик Goo (событие OnClick)");
    EXPECT_EQ(Load("object F: TForm\n  OnClose = Go\nend\n"), "Bad.vfm, строка 2: обработчик Go не подходит к событию OnClose");
    EXPECT_EQ(Load("object F: TForm\n  object S: TTestSignal\n    SigLabel = L9\n  end\nend\n"),
              "Bad.vfm, строка 3: свойство SigLabel: нет компонента L9");
    EXPECT_EQ(Load("object F: TForm\n  object S: TTestSignal\n    SigLabel = S\n  end\nend\n"),
              "Bad.vfm, строка 3: свойство SigLabel: компонент S не класса TLabel");
    EXPECT_EQ(Load("object F: TForm\n  object P: TPanel\n    BevelOuter = bvSunk\n  end\nend\n"),
              "Bad.vfm, строка 3: свойство BevelOuter: неизвестное значение bvSunk (допустимы: bvNone, bvLowered, bvRaised)");
    EXPECT_EQ(Load("object F: TForm\n  Left = \"10\"\nend\n"),
              "Bad.vfm, строка 2: свойство Left: ожидается целое число, а не строка \"10\"");
    EXPECT_EQ(Load("object F: TForm\n  object P: TPanel\n  end\n  object P: TPanel\n  end\nend\n"), "Bad.vfm, строка 4: повторное имя P");
    EXPECT_EQ(Load("object F: TForm\n  object P: TPanel\n  end\n"), "Bad.vfm, строка 4: нет end для блока");
    EXPECT_EQ(Load("object F: TPanel\nend\n"), "Bad.vfm, строка 1: класс TPanel не совпадает с классом формы TForm");
    EXPECT_EQ(Load("object F: TForm\n  Caption = \"abc\nend\n"), "Bad.vfm, строка 2: незакрытая строка");
    EXPECT_EQ(Load("object F: TForm\n  object C: TTestConnection\n    CompanionArray.Companion07.Canal = \"x\"\n  end\nend\n"),
              "Bad.vfm, строка 3: неизвестное свойство Companion07 (класс TTestCompanions)");
    EXPECT_EQ(Load("object F: TForm\n  object T: TTimer\n    object L: TLabel\n    end\n  end\nend\n"),
              "Bad.vfm, строка 3: элемент L может лежать только на оконном элементе");
    EXPECT_EQ(Load("object F: TForm\n  inline X: TTestFrame\n    object Lamp9: TTestCell\n    end\n  end\nend\n"),
              "Bad.vfm, строка 3: во фрейме X нет компонента Lamp9");
}

TEST_F(FormErrors, RefuseNumbersOutOfRangeAndOutsideTheirEnumeration)
{
    // Too large for any number, for an integer property, for a colour.
    EXPECT_EQ(Load("object F: TForm\n  Left = 99999999999999999999\nend\n"),
              "Bad.vfm, строка 2: число вне диапазона: 99999999999999999999");
    EXPECT_EQ(Load("object F: TForm\n  Color = $FFFFFFFFFFFFFFFF\nend\n"), "Bad.vfm, строка 2: число вне диапазона: $FFFFFFFFFFFFFFFF");
    EXPECT_EQ(Load("object F: TForm\n  Top = 4294967296\nend\n"), "Bad.vfm, строка 2: свойство Top: число вне диапазона: 4294967296");
    EXPECT_EQ(Load("object F: TForm\n  Color = $100000000\nend\n"), "Bad.vfm, строка 2: свойство Color: число вне диапазона: 4294967296");
    // An enumeration takes its identifiers or their numbers, nothing else.
    EXPECT_EQ(Load("object F: TForm\n  FormStyle = 7\nend\n"),
              "Bad.vfm, строка 2: свойство FormStyle: неизвестное значение 7 (допустимы: fsNormal, fsStayOnTop)");
    EXPECT_EQ(Load("object F: TForm\n  object P: TPanel\n    Align = -1\n  end\nend\n"),
              "Bad.vfm, строка 3: свойство Align: неизвестное значение -1 (допустимы: alNone, alTop, alBottom, alLeft, alRight, "
              "alClient)");
    EXPECT_EQ(Load("object F: TForm\n  WindowState = 2\n  BorderStyle = 3\nend\n"), "");
}

TEST_F(FormErrors, AcceptsCommentsSetsAndHexColours)
{
    EXPECT_EQ(Load("# comment\nobject F: TForm\n  Color = $0000FF00\n  Font.Style = [fsBold, fsItalic]\n  OnClose = CloseIt\n  OnShow = nil\nend\n"), "");
}

TEST(FormResources, AMissingDefinitionIsReported)
{
    TForm f;
    try {
        f.LoadDefinition(":/test/forms/None.vfm");
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, "Не найдено описание формы :/test/forms/None.vfm");
    }
}

} // namespace

namespace {

TEST(DialogForm, LoadsPagesListsAndTheStatusBar)
{
    RegisterTestClasses();
    TForm form;
    form.LoadDefinition(":/test/forms/Dialog.vfm");
    EXPECT_EQ(form.BorderStyle(), bsToolWindow);
    EXPECT_EQ(form.Position, poScreenCenter);
    auto* pages = form.FindChild<TPageControl>("Pages");
    EXPECT_EQ(pages->PageCount(), 2);
    EXPECT_EQ(pages->ActivePage(), form.FindChild<TTabSheet>("Page2"));
    auto* combo = form.FindChild<TComboBox>("cbType");
    EXPECT_EQ(combo->Parent(), form.FindChild<TTabSheet>("Page1"));
    EXPECT_EQ(combo->Text(), "пасажирський");
    EXPECT_EQ(form.FindChild<TRadioGroup>("rgMode")->ItemIndex(), 1);
    EXPECT_TRUE(form.FindChild<TCheckBox>("chLoad")->Checked());
    EXPECT_EQ(form.FindChild<TMaskEdit>("MaskEdit1")->Text(), "  :  ");
    auto* bar = form.FindChild<TStatusBar>("Bar");
    ASSERT_EQ(bar->PanelCount(), 3);
    EXPECT_EQ(bar->Panels(0).Width, 60);
    EXPECT_EQ(bar->Panels(2).Text, "Кількість помилок - 0/0");
    EXPECT_FALSE(form.FindChild<TImage>("Picture")->Picture().isNull());
    form.Show();
    EXPECT_TRUE(form.FindChild<TTabSheet>("Page2")->Widget()->isVisible());
    EXPECT_FALSE(form.FindChild<TTabSheet>("Page1")->Widget()->isVisible());
    // The status bar lies along the bottom of the client area, the pages fill the rest.
    EXPECT_EQ(bar->Top() + bar->Height(), form.ClientWidget()->height());
    EXPECT_EQ(pages->Height(), form.ClientWidget()->height() - bar->Height());
    EXPECT_FALSE(GrabControl(bar).isNull());
}

} // namespace

namespace {

class TTestPlanModel : public TModel {
    VELO_CLASS(TTestPlanModel, TModel)
public:
    explicit TTestPlanModel(TComponent* owner) : TModel(owner) {}
    std::string Note;
};

TEST(PropertyRegistry, AClassInheritsItsAncestorsPropertiesAndMayReplaceThem)
{
    RegisterTestClasses();
    RegisterComponentClass("TTestPlanModel", [](TComponent* o) { return new TTestPlanModel(o); });
    RegisterStringProperty<TTestPlanModel>("FileName", [](TTestPlanModel& m, const std::string& v) {
        m.FileName = v;
        m.Note = "own setter";
    });
    TForm form;
    THandlerTable handlers;
    handlers.Add<TChangeStateEvent>("ModelsEvent", [](TModel*, AnsiString) {});
    LoadFormDefinitionText(&form,
                           "object F: TForm\n"
                           "  object Plan: TTestPlanModel\n"
                           "    FileName = \"data\\\\plan.dat\"\n"
                           "    OnChangeState = ModelsEvent\n"
                           "  end\n"
                           "  object Other: TModel\n"
                           "    FileName = \"x\"\n"
                           "  end\n"
                           "end\n",
                           "Models.vfm", &handlers);
    auto* plan = form.FindChild<TTestPlanModel>("Plan");
    EXPECT_EQ(plan->FileName, "data\\plan.dat");
    EXPECT_EQ(plan->Note, "own setter");
    EXPECT_TRUE(static_cast<bool>(plan->OnChangeState)); // inherited from "TModel"
    EXPECT_EQ(form.FindChild<TModel>("Other")->FileName, "x");
    EXPECT_EQ(FindProperty(plan, "Caption"), nullptr);
}

} // namespace
