// Push buttons, sealed buttons and lamp buttons on a small form: what a press and a release do,
// the order their events come in, and the pictures they show.
#include <gtest/gtest.h>

#include <QtTest/QTest>

#include <memory>
#include <string>
#include <vector>

#include "panel/EC_Button.h"
#include "platform/qt/FormLoader.h"
#include "platform/qt/Forms.h"

namespace {

const char* const kButtonsForm = R"(
object fmButtons: TForm
  Width = 200
  Height = 120
  object EC_Button1: TEC_Button
    Left = 10
    Top = 10
    Id = 101
    OnClick = Click
    OnButtonUp = ButtonUp
    LeftHandUp = LeftHandUp
  end
  object EC_ButtonGreen1: TEC_ButtonGreen
    Left = 30
    Top = 10
    Id = 102
    Down = True
  end
  object EC_ButtonRed1: TEC_ButtonRed
    Left = 50
    Top = 10
  end
  object EC_ButtonGor1: TEC_ButtonGor
    Left = 70
    Top = 10
  end
  object EC_PlButton1: TEC_PlButton
    Left = 10
    Top = 40
    Id = 7
    ButtonName = "ИР"
    OnClick = Click
    OnButtonUp = ButtonUp
    LeftHand = LeftHand
    LeftHandUp = LeftHandUp
  end
  object EC_ButtonLamp1: TEC_ButtonLamp
    Left = 40
    Top = 40
    Id = 3
    LampColor = clbGreen
    OnClick = Click
    OnButtonUp = ButtonUp
    LeftHandUp = LeftHandUp
  end
end
)";

class Buttons : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterQtPlatformClasses();
        form = std::make_unique<TForm>();
        for (const char* h : {"Click", "ButtonUp", "LeftHand", "LeftHandUp"}) {
            const std::string handler = h;
            form->Handlers().Add(handler, TNotifyEvent([this, handler](TObject* s) {
                events.push_back(handler + " " + static_cast<TComponent*>(s)->Name());
            }));
        }
        LoadFormDefinitionText(form.get(), kButtonsForm, "Buttons.vfm", &form->Handlers());
        form->Show();
    }
    template <class T>
    T* Get(const char* name)
    {
        T* c = form->FindChild<T>(name);
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    static void Press(TControl* c, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers m = {})
    {
        QTest::mousePress(c->Widget(), b, m, QPoint(5, 5));
    }
    static void Release(TControl* c, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers m = {})
    {
        QTest::mouseRelease(c->Widget(), b, m, QPoint(5, 5));
    }
    std::unique_ptr<TForm> form;
    std::vector<std::string> events;
    using Events = std::vector<std::string>;
};

TEST_F(Buttons, FormSetsSizesIdsAndNames)
{
    auto* b = Get<TEC_Button>("EC_Button1");
    auto* pl = Get<TEC_PlButton>("EC_PlButton1");
    auto* lamp = Get<TEC_ButtonLamp>("EC_ButtonLamp1");
    EXPECT_EQ(b->Id, 101);
    EXPECT_EQ(b->Width(), 12);
    EXPECT_EQ(b->Height(), 13);
    EXPECT_EQ(pl->Width(), 20);
    EXPECT_EQ(pl->Height(), 19);
    EXPECT_EQ(pl->ButtonName, "ИР");
    EXPECT_TRUE(pl->Plombed());
    EXPECT_EQ(lamp->LampColor, clbGreen);
    EXPECT_EQ(lamp->State(), 0);
}

TEST_F(Buttons, LeftPressAndReleaseComeInOrder)
{
    auto* b = Get<TEC_Button>("EC_Button1");
    EXPECT_EQ(b->BitmapName(), "BUTTONOFF");
    Press(b);
    EXPECT_TRUE(b->Down());
    EXPECT_EQ(b->BitmapName(), "BUTTONON");
    EXPECT_EQ(events, Events{"Click EC_Button1"});
    Release(b);
    EXPECT_FALSE(b->Down());
    EXPECT_EQ(b->BitmapName(), "BUTTONOFF");
    // The framework's own click on release must not come as a second OnClick.
    EXPECT_EQ(events, (Events{"Click EC_Button1", "LeftHandUp EC_Button1", "ButtonUp EC_Button1"}));
}

TEST_F(Buttons, RightButtonOnlyLetsTheButtonOut)
{
    auto* b = Get<TEC_Button>("EC_Button1");
    b->SetDown(true);
    events.clear();
    Press(b, Qt::RightButton);
    EXPECT_TRUE(events.empty());
    Release(b, Qt::RightButton);
    EXPECT_FALSE(b->Down());
    EXPECT_EQ(events, Events{"LeftHandUp EC_Button1"});
}

TEST_F(Buttons, ShiftReleaseWithoutLeftHandHandlerLetsTheButtonOut)
{
    auto* b = Get<TEC_Button>("EC_Button1");
    Press(b);
    Release(b, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_FALSE(b->Down());
    EXPECT_EQ(events, (Events{"Click EC_Button1", "LeftHandUp EC_Button1", "ButtonUp EC_Button1"}));
}

TEST_F(Buttons, SealedButtonRefusesTheMouseUntilTheSealIsOff)
{
    auto* pl = Get<TEC_PlButton>("EC_PlButton1");
    EXPECT_EQ(pl->BitmapName(), "BUTTONPLOMBED");
    Press(pl);
    Release(pl);
    Press(pl, Qt::RightButton);
    Release(pl, Qt::RightButton, Qt::ShiftModifier);
    EXPECT_FALSE(pl->Down());
    EXPECT_TRUE(events.empty());

    pl->SetPlombed(false);
    EXPECT_EQ(pl->BitmapName(), "BUTTONUNPLOMBEDOFF");
    Press(pl);
    EXPECT_EQ(pl->BitmapName(), "BUTTONUNPLOMBEDON");
    EXPECT_EQ(events, Events{"Click EC_PlButton1"});
}

TEST_F(Buttons, LeftHandHoldsTheSealedButtonUntilSetDownFalse)
{
    auto* pl = Get<TEC_PlButton>("EC_PlButton1");
    pl->SetPlombed(false);
    Press(pl);
    Release(pl, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_TRUE(pl->Down());
    EXPECT_EQ(pl->BitmapName(), "BUTTONUNPLOMBEDON");
    EXPECT_EQ(events, (Events{"Click EC_PlButton1", "LeftHand EC_PlButton1", "ButtonUp EC_PlButton1"}));
    events.clear();
    pl->SetDown(false);
    EXPECT_FALSE(pl->Down());
    EXPECT_EQ(events, Events{"LeftHandUp EC_PlButton1"});
    // Setting it in fires nothing.
    events.clear();
    pl->SetDown(true);
    EXPECT_TRUE(events.empty());
}

TEST_F(Buttons, ColourVariantsShowTheirOwnPictures)
{
    auto* green = Get<TEC_ButtonGreen>("EC_ButtonGreen1");
    auto* red = Get<TEC_ButtonRed>("EC_ButtonRed1");
    auto* gor = Get<TEC_ButtonGor>("EC_ButtonGor1");
    EXPECT_TRUE(green->Down());
    EXPECT_EQ(green->BitmapName(), "GREENBUTTONON");
    EXPECT_EQ(red->BitmapName(), "REDBUTTONOFF");
    Press(gor);
    EXPECT_EQ(gor->BitmapName(), "BUTTONGORON");
    Press(red);
    EXPECT_EQ(red->BitmapName(), "REDBUTTONON");
    Release(green);
    EXPECT_EQ(green->BitmapName(), "GREENBUTTONOFF");
}

TEST_F(Buttons, LampButtonBlinksItsColour)
{
    auto* lamp = Get<TEC_ButtonLamp>("EC_ButtonLamp1");
    EXPECT_EQ(lamp->BlipLamp(2), 0);
    lamp->SetState(1);
    EXPECT_EQ(lamp->BitmapName(), "BUTTONOFFGREEN");
    EXPECT_EQ(lamp->BlipLamp(2), 0);
    lamp->SetState(2);
    std::vector<std::string> shown;
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(lamp->BlipLamp(0), 1); // the argument does not matter
        shown.push_back(lamp->BitmapName());
    }
    EXPECT_EQ(shown, (Events{"BUTTONOFFGREEN", "BUTTONOFF", "BUTTONOFFGREEN", "BUTTONOFF"}));
    lamp->SetState(0);
    EXPECT_EQ(lamp->BitmapName(), "BUTTONOFF");
    lamp->SetState(5);
    EXPECT_EQ(lamp->BitmapName(), "");
}

TEST_F(Buttons, LampButtonHasItsOwnPressRules)
{
    auto* lamp = Get<TEC_ButtonLamp>("EC_ButtonLamp1");
    Press(lamp);
    lamp->SetState(1);
    EXPECT_EQ(lamp->BitmapName(), "BUTTONONGREEN");
    Press(lamp); // already in: no second click
    Press(lamp, Qt::RightButton);
    Release(lamp, Qt::RightButton);
    EXPECT_TRUE(lamp->Down());
    Release(lamp, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_FALSE(lamp->Down());
    EXPECT_EQ(lamp->BitmapName(), "BUTTONOFFGREEN");
    EXPECT_EQ(events, (Events{"Click EC_ButtonLamp1", "ButtonUp EC_ButtonLamp1"}));
    lamp->SetLampColor(clbWhite);
    lamp->SetDown(true);
    EXPECT_EQ(lamp->BitmapName(), "BUTTONONWHITE");
}

TEST_F(Buttons, PaintsThePictureOfItsState)
{
    auto* b = Get<TEC_ButtonRed>("EC_ButtonRed1");
    auto* pl = Get<TEC_PlButton>("EC_PlButton1");
    auto centre = [](TControl* c) { return GrabControl(c).pixelColor(c->Width() / 2, c->Height() / 2); };
    auto picture = [](TControl* c, const char* name) { return FindBitmap(name).pixelColor(c->Width() / 2, c->Height() / 2); };
    ASSERT_EQ(picture(b, "REDBUTTONOFF").alpha(), 255);
    EXPECT_EQ(centre(b), picture(b, "REDBUTTONOFF"));
    b->SetDown(true);
    EXPECT_EQ(centre(b), picture(b, "REDBUTTONON"));
    EXPECT_NE(picture(b, "REDBUTTONON"), picture(b, "REDBUTTONOFF"));
    ASSERT_EQ(picture(pl, "BUTTONPLOMBED").alpha(), 255);
    EXPECT_EQ(centre(pl), picture(pl, "BUTTONPLOMBED"));
    pl->SetPlombed(false);
    EXPECT_EQ(centre(pl), picture(pl, "BUTTONUNPLOMBEDOFF"));
}

} // namespace
