// Windows as the trainee meets them: a box over the window that raised it, Enter on the default
// button, fixed sizes, a scrolled inside that leaves the status bar alone, and a time field that
// takes what is typed wherever it was clicked.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QtTest/QTest>

#include "TestClasses.h"
#include "platform/qt/FormLoader.h"

namespace {

std::unique_ptr<TForm> FormOf(const std::string& text)
{
    RegisterTestClasses();
    auto f = std::make_unique<TForm>();
    LoadFormDefinitionText(f.get(), text, "Window.vfm", nullptr);
    return f;
}

void Settle()
{
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

TEST(Windows, ABoxOpensOverTheStayOnTopWindowThatRaisedItAndBelongsToIt)
{
    auto dialog = FormOf(R"(
object fmAsk: TForm
  Width = 300
  Height = 120
  BorderStyle = bsToolWindow
  FormStyle = fsStayOnTop
end)");
    dialog->Show();
    dialog->Widget()->activateWindow();
    Settle();
    ASSERT_EQ(BoxOwner(), dialog->Widget());
    QWidget* parent = nullptr;
    bool onTop = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        parent = box->parentWidget();
        onTop = box->windowFlags() & Qt::WindowStaysOnTopHint;
        box->accept();
    });
    RunGuarded([] { throw Exception("Не вказано підхід"); });
    EXPECT_EQ(parent, dialog->Widget());
    EXPECT_TRUE(onTop);
    dialog->Hide();
}

TEST(Windows, EnterPressesTheFocusedOrElseTheDefaultButton)
{
    auto f = FormOf(R"(
object fmAsk: TForm
  BorderStyle = bsToolWindow
  object Edit1: TEdit
  end
  object Memo1: TMemo
    Top = 30
  end
  object btOK: TButton
    Top = 80
    Default = True
  end
  object btCancel: TButton
    Left = 100
    Top = 80
  end
end)");
    std::vector<std::string> clicks;
    for (const char* name : {"btOK", "btCancel"})
        f->FindChild<TButton>(name)->OnClick = [&clicks, name](TObject*) { clicks.push_back(name); };
    f->Show();
    f->Widget()->activateWindow();
    Settle();
    auto press = [&](const char* name, Qt::Key key = Qt::Key_Return) {
        QWidget* w = f->FindChild<TControl>(name)->Widget();
        w->setFocus();
        Settle();
        QTest::keyClick(w, key);
    };
    press("Edit1");
    press("Edit1", Qt::Key_Enter);
    press("btCancel");
    press("Memo1"); // a new line in the memo
    EXPECT_EQ(clicks, (std::vector<std::string>{"btOK", "btOK", "btCancel"}));
    EXPECT_EQ(f->FindChild<TMemo>("Memo1")->Lines().Count(), 2);
    // A hidden or disabled default button is not pressed.
    f->FindChild<TButton>("btOK")->SetEnabled(false);
    press("Edit1");
    EXPECT_EQ(clicks.size(), 3u);
    f->Hide();
}

TEST(Windows, OnlySizeableBorderStylesLetTheUserResize)
{
    for (const char* style : {"bsToolWindow", "bsSingle", "bsDialog", "bsNone", "bsSizeToolWin", "bsSizeable"}) {
        auto f = FormOf(std::string("object fm: TForm\n  Width = 300\n  Height = 120\n  BorderStyle = ") + style + "\nend\n");
        bool sizeable = std::string(style) == "bsSizeToolWin" || std::string(style) == "bsSizeable";
        QWidget* w = f->Widget();
        w->resize(500, 400); // what dragging the border asks for
        EXPECT_EQ(w->size(), sizeable ? QSize(500, 400) : QSize(300, 120)) << style;
        // The program still sizes it.
        f->SetBounds(10, 10, 320, 140);
        EXPECT_EQ(w->size(), QSize(320, 140)) << style;
        w->resize(200, 100);
        EXPECT_EQ(w->size(), sizeable ? QSize(200, 100) : QSize(320, 140)) << style;
    }
}

// A panel larger than its window:
//   +------------------------------+  the panel's controls reach (900, 650)
//   | Far1 (0,600)      Far2 (860,0)|
//   +------------------------------+
//   | status bar (alBottom)         |
TEST(Windows, AWindowSmallerThanItsControlsScrollsAndLeavesTheStatusBarClear)
{
    auto f = FormOf(R"(
object fmPanel: TForm
  AutoScroll = True
  object Bar: TPanel
    Align = alBottom
    Height = 20
  end
  object Far1: TPanel
    Left = 0
    Top = 600
    Width = 100
    Height = 50
  end
  object Far2: TPanel
    Left = 860
    Top = 0
    Width = 40
    Height = 40
  end
end)");
    f->SetBounds(0, 0, 400, 300);
    f->Show();
    Settle();
    auto* scroll = f->Widget()->findChild<QScrollArea*>();
    ASSERT_NE(scroll, nullptr);
    auto* bar = f->FindChild<TPanel>("Bar");
    auto* far1 = f->FindChild<TPanel>("Far1");
    EXPECT_EQ(bar->Top() + bar->Height(), f->ClientWidget()->height());
    EXPECT_FALSE(scroll->geometry().intersects(bar->Widget()->geometry()));
    EXPECT_EQ(far1->Widget()->parentWidget(), f->ContentWidget());
    EXPECT_EQ(far1->Top(), 600); // positions stay those of the definition
    EXPECT_TRUE(scroll->verticalScrollBar()->isVisible());
    EXPECT_TRUE(scroll->horizontalScrollBar()->isVisible());
    // Scrolled to the bottom the far control shows, above the status bar.
    scroll->verticalScrollBar()->setValue(scroll->verticalScrollBar()->maximum());
    Settle();
    QRect shown = far1->Widget()->visibleRegion().boundingRect();
    EXPECT_EQ(shown.height(), 50);
    QPoint below = far1->Widget()->mapTo(f->ClientWidget(), QPoint(0, 50));
    EXPECT_LE(below.y(), bar->Top());
    // Large enough, no scroll bars.
    f->SetBounds(0, 0, 1000, 720);
    Settle();
    EXPECT_FALSE(scroll->verticalScrollBar()->isVisible());
    EXPECT_FALSE(scroll->horizontalScrollBar()->isVisible());
    f->Hide();
}

// A window taller than the screen opens whole, as tall as the screen, and its inside scrolls to
// the button at its foot; a short one designed below the foot of the screen comes up whole at
// the nearest place. The main form, made first, is left alone.
TEST(Windows, AWindowOffOrLargerThanTheScreenOpensWholeAndScrolls)
{
    auto main = FormOf("object fmMain: TForm\nend");
    auto tall = FormOf(R"(
object fmTall: TForm
  Left = 40
  Top = 100
  Width = 300
  Height = 1400
  BorderStyle = bsToolWindow
  object btOK: TButton
    Left = 10
    Top = 1350
  end
end)");
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    auto frame = [](TForm& f) { return QRect(f.Widget()->pos(), f.Widget()->size().grownBy(f.FrameMargins())); };
    tall->Show();
    Settle();
    EXPECT_TRUE(screen.contains(frame(*tall))) << frame(*tall).y() << " " << frame(*tall).height();
    ASSERT_TRUE(tall->AutoScroll());
    auto* scroll = tall->Widget()->findChild<QScrollArea*>();
    ASSERT_NE(scroll, nullptr);
    scroll->verticalScrollBar()->setValue(scroll->verticalScrollBar()->maximum());
    Settle();
    auto* ok = tall->FindChild<TButton>("btOK");
    EXPECT_EQ(ok->Widget()->visibleRegion().boundingRect().height(), ok->Height());

    auto low = FormOf(R"(
object fmLow: TForm
  Left = 40
  Top = 1000
  Width = 470
  Height = 120
  BorderStyle = bsToolWindow
end)");
    low->Show();
    Settle();
    EXPECT_TRUE(screen.contains(frame(*low))) << frame(*low).y();
    EXPECT_EQ(low->Widget()->x(), 40);
    EXPECT_FALSE(low->AutoScroll());
    tall->Hide();
    low->Hide();
}

class TimeField : public ::testing::Test {
protected:
    void SetUp() override
    {
        form = FormOf(R"(
object fmTime: TForm
  object emTime: TMaskEdit
    Width = 60
    EditMask = "!90:00;1;_"
  end
end)");
        edit = form->FindChild<TMaskEdit>("emTime");
        form->Show();
        form->Widget()->activateWindow();
        Settle();
    }
    void TearDown() override { form->Hide(); }

    void ClickAt(int x)
    {
        QTest::mouseClick(edit->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(x, edit->Height() / 2));
        Settle();
    }
    void Type(const char* keys)
    {
        QTest::keyClicks(edit->Widget(), keys);
        Settle();
    }

    std::unique_ptr<TForm> form;
    TMaskEdit* edit = nullptr;
};

TEST_F(TimeField, TypingAfterAClickAnywhereFillsItFromTheLeft)
{
    for (int x : {3, 30, 57}) {
        edit->SetText("");
        ClickAt(x);
        Type("1015");
        EXPECT_EQ(edit->Text(), "10:15") << "clicked at " << x;
    }
    // Backspace takes back the last digits typed.
    QTest::keyClick(edit->Widget(), Qt::Key_Backspace);
    QTest::keyClick(edit->Widget(), Qt::Key_Backspace);
    EXPECT_EQ(edit->Text(), "10:  ");
    Type("42");
    EXPECT_EQ(edit->Text(), "10:42");
}

TEST_F(TimeField, TheKeypadTypesAtTheCaret)
{
    edit->SetText("");
    ClickAt(50);
    for (const char* digit : {"2", "3", "5", "9"}) edit->TypeText(digit);
    EXPECT_EQ(edit->Text(), "23:59");
    edit->TypeBackspace();
    EXPECT_EQ(edit->Text(), "23:5 ");
    edit->TypeText("0");
    EXPECT_EQ(edit->Text(), "23:50");
    // The double click that opens the keypad selects a word; the keypad still types, not replaces.
    edit->SetText("");
    QTest::mouseDClick(edit->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(30, edit->Height() / 2));
    Settle();
    edit->TypeText("7");
    EXPECT_EQ(edit->Text(), "7 :  ");
    // A plain field appends and takes back its last character.
    TEdit plain(nullptr);
    plain.SetText("20");
    plain.TypeText("1");
    EXPECT_EQ(plain.Text(), "201");
    plain.TypeBackspace();
    EXPECT_EQ(plain.Text(), "20");
}

} // namespace
