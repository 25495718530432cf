// Controls at run time: exceptions reaching Qt callbacks, the guard against re-entrant ticks,
// modal windows, drawing offscreen, speed buttons, pop-up menus and the boxes.
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QPainter>
#include <QEventLoop>
#include <QMenu>
#include <QTimer>
#include <QtTest/QTest>

#include <memory>

#include "TestClasses.h"
#include "platform/core/CFormat.h"

namespace {

struct TBoxCall {
    std::string Text, Caption;
    unsigned Type;
};

// Records the message boxes shown while it lives and answers them with IDOK.
class TBoxRecorder {
public:
    TBoxRecorder()
    {
        fOld = SetMessageBoxHook([this](const std::string& t, const std::string& c, unsigned type) {
            Calls.push_back({t, c, type});
            return IDOK;
        });
    }
    ~TBoxRecorder() { SetMessageBoxHook(fOld); }
    std::vector<TBoxCall> Calls;

private:
    TMessageBoxHook fOld;
};

class Controls : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterTestClasses();
        form = std::make_unique<TfmSample>();
    }
    std::unique_ptr<TfmSample> form;
};

TEST_F(Controls, AnExceptionInAClickHandlerIsShownAndTheProgramGoesOn)
{
    TBoxRecorder boxes;
    Application().Title = "Тренажер";
    form->Show();
    form->ThrowOnClick = true;
    auto* button = form->FindChild<TButton>("Button1");
    QTest::mouseClick(button->Widget(), Qt::LeftButton);
    ASSERT_EQ(boxes.Calls.size(), 1u);
    EXPECT_EQ(boxes.Calls[0].Text, "Ошибка в обработчике");
    EXPECT_EQ(boxes.Calls[0].Caption, "Тренажер");
    // The application keeps running: events are still delivered and handled.
    form->ThrowOnClick = false;
    QTest::mouseClick(button->Widget(), Qt::LeftButton);
    EXPECT_EQ(form->Clicks, 2);
    EXPECT_EQ(boxes.Calls.size(), 1u);
}

TEST_F(Controls, AnExceptionInATimerOrMenuHandlerIsShown)
{
    TBoxRecorder boxes;
    TTimer timer(form.get());
    timer.SetOnTimer([](TObject*) { throw std::runtime_error("tick failed"); });
    timer.Tick();
    TMenuItem* item = form->FindChild<TMenuItem>("N10");
    item->OnClick = [](TObject*) { throw Exception("Пункт меню"); };
    item->Action()->trigger();
    ASSERT_EQ(boxes.Calls.size(), 2u);
    EXPECT_EQ(boxes.Calls[0].Text, "tick failed");
    EXPECT_EQ(boxes.Calls[1].Text, "Пункт меню");
}

TEST_F(Controls, NoTickReentersWhileAnInputBoxRunsItsOwnEventLoop)
{
    TTimer timer(form.get());
    int ticks = 0, nestedTicks = 0;
    bool inBox = false;
    auto old = SetInputQueryHook([&](const std::string&, const std::string&, std::string& value) {
        // A real box runs a nested event loop; so does this one, for a while.
        inBox = true;
        QEventLoop loop;
        QTimer::singleShot(80, &loop, &QEventLoop::quit);
        loop.exec();
        inBox = false;
        value = "42";
        return true;
    });
    timer.SetInterval(5);
    timer.SetOnTimer([&](TObject*) {
        if (inBox) ++nestedTicks;
        if (++ticks == 1) {
            std::string answer = InputBox("Введите ответ модели", "5 1 2001", "");
            EXPECT_EQ(answer, "42");
        }
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return ticks > 1; }, 10000));
    SetInputQueryHook(old);
    timer.SetEnabled(false);
    EXPECT_EQ(nestedTicks, 0);
    EXPECT_GT(ticks, 1); // ticking went on once the box was closed
}

TEST_F(Controls, NoGuardedTickWhileAModalWindowIsOpen)
{
    TTimer timer(form.get()), reminder(form.get());
    int ticks = 0, reminders = 0;
    timer.SetInterval(5);
    timer.SetOnTimer([&](TObject*) { ++ticks; });
    reminder.SkipWhileBusy = false;
    reminder.SetInterval(5);
    reminder.SetOnTimer([&](TObject*) { ++reminders; });
    TForm dialog;
    TButton ok(&dialog);
    ok.SetParent(&dialog);
    ok.ModalResult = mrOk;
    int closes = 0;
    dialog.OnClose = [&](TObject*, TCloseAction&) { ++closes; };
    int ticksAtStart = -1, ticksAtEnd = -1, remindersAtStart = -1, remindersAtEnd = -1;
    QTimer::singleShot(0, [&] {
        ticksAtStart = ticks;
        remindersAtStart = reminders;
    });
    QTimer::singleShot(100, [&] {
        ticksAtEnd = ticks;
        remindersAtEnd = reminders;
        QTest::mouseClick(ok.Widget(), Qt::LeftButton);
    });
    EXPECT_EQ(dialog.ShowModal(), mrOk);
    EXPECT_EQ(ticksAtStart, ticksAtEnd);
    EXPECT_GT(remindersAtEnd, remindersAtStart); // a timer that does not step the models goes on
    EXPECT_EQ(closes, 1);
    EXPECT_FALSE(dialog.Visible());
    timer.SetEnabled(false);
}

TEST_F(Controls, CloseOnAModalWindowEndsItWithCancel)
{
    TForm dialog;
    QTimer::singleShot(0, [&] { dialog.Close(); });
    EXPECT_EQ(dialog.ShowModal(), mrCancel);
    // A close that the window refuses keeps it open.
    bool allow = false;
    dialog.OnCloseQuery = [&](TObject*, bool& can) {
        can = allow;
        allow = true;
    };
    QTimer::singleShot(0, [&] { dialog.Close(); });
    QTimer::singleShot(20, [&] { dialog.SetModalResult(mrOk); });
    EXPECT_EQ(dialog.ShowModal(), mrOk);
}

TEST_F(Controls, AWindowThatFreesItselfOnCloseIsDestroyedAfterwards)
{
    auto* keypad = new TForm;
    keypad->SetName("fmKeyBoard");
    keypad->OnClose = [](TObject*, TCloseAction& a) { a = caFree; };
    QTimer::singleShot(0, [keypad] { keypad->Close(); });
    EXPECT_EQ(keypad->ShowModal(), mrCancel);
    EXPECT_EQ(Screen().FindForm("fmKeyBoard"), keypad); // still there right after ShowModal
    QTest::qWait(10);
    EXPECT_EQ(Screen().FindForm("fmKeyBoard"), nullptr);
}

TEST_F(Controls, DrawsControlsOffscreen)
{
    auto* panel = form->FindChild<TPanel>("Panel1");
    auto* cell1 = form->FindChild<TTestCell>("Cell1");
    auto* cell3 = form->FindChild<TTestCell>("Cell3");
    cell3->Picture = "NoSuchPicture";
    form->Show();
    QImage img = GrabControl(panel);
    ASSERT_FALSE(img.isNull());
    // The cell's picture is red; the cell without a picture shows the panel's silver.
    EXPECT_EQ(img.pixelColor(cell1->Left() + 5, cell1->Top() + 3), QColor(Qt::red));
    EXPECT_EQ(img.pixelColor(cell3->Left() + 5, cell3->Top() + 3), QColor(192, 192, 192));
    EXPECT_NE(std::find(MissingBitmaps().begin(), MissingBitmaps().end(), "NoSuchPicture"), MissingBitmaps().end());
    // The signal paints a green lamp.
    auto* sig = form->FindChild<TTestSignal>("Sig1");
    EXPECT_EQ(img.pixelColor(sig->Left() + 6, sig->Top() + 6), QColor(0, 255, 0));
    // Some red text of the label.
    auto* label = form->FindChild<TLabel>("Label5");
    bool red = false;
    for (int x = label->Left(); x < label->Left() + label->Width(); ++x)
        for (int y = label->Top(); y < label->Top() + label->Height(); ++y)
            if (img.pixelColor(x, y).red() > 200 && img.pixelColor(x, y).green() < 80) red = true;
    EXPECT_TRUE(red);
    EXPECT_TRUE(SaveScreenshot(form.get(), QDir::temp().filePath("velo_sample_form.png").toStdString()));
}

TEST(Bitmaps, NamesAreCaseInsensitiveAndAMissingOneDrawsNothing)
{
    RegisterTestClasses();
    RegisterBitmap("RC_SeparatorB", 4, 4, [](QPainter& p) { p.fillRect(0, 0, 4, 4, Qt::blue); });
    EXPECT_TRUE(BitmapExists("rc_separatorb"));
    EXPECT_EQ(FindBitmap("RC_SEPARATORB").pixelColor(1, 1), QColor(Qt::blue));
    QImage target(8, 8, QImage::Format_ARGB32);
    target.fill(Qt::white);
    QPainter p(&target);
    TCanvas c;
    c.BeginPaint(&p);
    EXPECT_NO_THROW(c.DrawBitmap(0, 0, "NOPE"));
    c.DrawBitmap(2, 2, "rc_separatorb");
    c.EndPaint();
    p.end();
    EXPECT_EQ(target.pixelColor(0, 0), QColor(Qt::white));
    EXPECT_EQ(target.pixelColor(3, 3), QColor(Qt::blue));
}

TEST_F(Controls, SpeedButtonsOfAGroupReleaseEachOther)
{
    auto* panel = form->FindChild<TPanel>("Panel1");
    TSpeedButton a(form.get()), b(form.get());
    a.SetParent(panel);
    b.SetParent(panel);
    a.GroupIndex = b.GroupIndex = 1;
    a.AllowAllUp = b.AllowAllUp = true;
    int clicks = 0;
    a.OnClick = [&](TObject*) { ++clicks; };
    auto click = [](TSpeedButton& s) {
        s.DispatchMouseDown(mbLeft, {}, 2, 2);
        s.DispatchMouseUp(mbLeft, {}, 2, 2);
    };
    click(a);
    EXPECT_TRUE(a.Down());
    EXPECT_EQ(clicks, 1);
    click(b);
    EXPECT_TRUE(b.Down());
    EXPECT_FALSE(a.Down());
    click(b); // all up allowed
    EXPECT_FALSE(b.Down());
    // A release outside the button neither toggles nor clicks.
    a.DispatchMouseDown(mbLeft, {}, 2, 2);
    a.DispatchMouseUp(mbLeft, {}, 200, 2);
    EXPECT_FALSE(a.Down());
    EXPECT_EQ(clicks, 1);
    // Without a group the button never stays down.
    TSpeedButton plain(form.get());
    plain.SetParent(panel);
    click(plain);
    EXPECT_FALSE(plain.Down());
}

TEST_F(Controls, MouseInputReachesGraphicControlsWithButtonShiftAndPosition)
{
    form->Show();
    auto* cell = form->FindChild<TTestCell>("Cell1");
    std::vector<std::string> seen;
    cell->OnMouseDown = [&](TObject*, TMouseButton b, TShiftState s, int x, int y) {
        seen.push_back(Format("down %d %d %d %d", b, s.Contains(ssShift) ? 1 : 0, x, y));
    };
    cell->OnMouseUp = [&](TObject*, TMouseButton b, TShiftState s, int x, int y) {
        seen.push_back(Format("up %d %d %d %d", b, s.Contains(ssShift) ? 1 : 0, x, y));
    };
    cell->OnClick = [&](TObject*) { seen.push_back("click"); };
    // The panel under the cell and the form do not see the cell's input.
    auto* panel = form->FindChild<TPanel>("Panel1");
    panel->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int x, int y) { seen.push_back(Format("panel %d %d", x, y)); };
    form->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int x, int y) { seen.push_back(Format("form %d %d", x, y)); };
    QTest::mouseClick(cell->Widget(), Qt::LeftButton, Qt::ShiftModifier, QPoint(3, 2));
    QTest::mouseClick(cell->Widget(), Qt::RightButton, Qt::NoModifier, QPoint(4, 1));
    EXPECT_EQ(seen, (std::vector<std::string>{"down 0 1 3 2", "click", "up 0 1 3 2", "down 1 0 4 1", "up 1 0 4 1"}));
    // A press on the bare panel is the panel's, on the bare form the form's, in their own
    // client coordinates.
    seen.clear();
    QTest::mouseClick(panel->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(250, 150));
    QTest::mouseClick(form->ClientWidget(), Qt::LeftButton, Qt::NoModifier, QPoint(310, 230));
    EXPECT_EQ(seen, (std::vector<std::string>{"panel 250 150", "form 310 230"}));
}

TEST_F(Controls, ARightClickOpensTheControlsPopupMenuForIt)
{
    form->Show();
    auto* sig = form->FindChild<TTestSignal>("Sig1");
    auto* menu = form->FindChild<TPopupMenu>("pmSignal");
    // First for real, then through the hook that headless tests use.
    sig->DispatchMouseDown(mbRight, {}, 3, 4);
    sig->DispatchMouseUp(mbRight, {}, 3, 4);
    EXPECT_TRUE(menu->Items()->SubMenu()->isVisible());
    menu->Items()->SubMenu()->hide();
    std::vector<TPopupMenu*> opened;
    auto old = SetPopupHook([&](TPopupMenu* m, int, int) { opened.push_back(m); });
    sig->DispatchMouseDown(mbRight, {}, 3, 4);
    sig->DispatchMouseUp(mbRight, {}, 3, 4);
    EXPECT_EQ(menu->PopupComponent, sig);
    TPoint expected = sig->ClientToScreen({3, 4});
    EXPECT_EQ(menu->LastPopupPoint().X, expected.X);
    EXPECT_EQ(menu->LastPopupPoint().Y, expected.Y);
    SetPopupHook(old);
    EXPECT_EQ(opened, std::vector<TPopupMenu*>{menu});
    EXPECT_FALSE(menu->Items()->SubMenu()->isVisible());
}

TEST_F(Controls, WindowTimersCallTheControlByIdUntilKilled)
{
    auto* sig = form->FindChild<TTestSignal>("Sig1");
    SetTimer(sig, 1, 5);
    // However loaded the machine, the timer ticks again and again until it is killed.
    EXPECT_TRUE(QTest::qWaitFor([&] { return sig->TimerTicks > 2; }, 10000));
    KillTimer(sig, 1);
    int n = sig->TimerTicks;
    QTest::qWait(30);
    EXPECT_EQ(sig->TimerTicks, n);
}

TEST_F(Controls, TheFormSeesKeysFirstWithKeyPreview)
{
    form->Show();
    TEdit edit(form.get());
    edit.SetParent(form->FindChild<TPanel>("Panel1"));
    std::vector<std::string> order;
    form->OnKeyUp = [&](TObject*, int& key, TShiftState) { order.push_back(key == VK_SHIFT ? "form shift" : "form"); };
    edit.OnKeyUp = [&](TObject*, int&, TShiftState) { order.push_back("edit"); };
    edit.SetFocus();
    QApplication::setActiveWindow(form->Widget());
    edit.Widget()->setFocus();
    QTest::keyRelease(edit.Widget(), Qt::Key_Shift);
    EXPECT_EQ(order, (std::vector<std::string>{"form shift", "edit"}));
}

TEST_F(Controls, ListsAndEdits)
{
    TListBox list(form.get());
    list.SetSorted(true);
    list.Items().Add("Відправлення");
    list.Items().Add("Апарат");
    list.Items().Add("Вагон");
    // Ukrainian and Russian letters in their alphabet, not in the order of their codes.
    for (const char* s : {"Йорж", "Інше", "Ґанок", "жук", "Євро", "Гора", "Эхо", "Ёлка", "Ялта", "Ы", "Ъ"}) list.Items().Add(s);
    EXPECT_EQ(list.Items().ToStringList().lines,
              (std::vector<std::string>{"Апарат", "Вагон", "Відправлення", "Гора", "Ґанок", "Ёлка", "Євро", "жук", "Інше",
                                        "Йорж", "Ъ", "Ы", "Эхо", "Ялта"}));
    EXPECT_EQ(list.ItemIndex(), -1);

    TComboBox combo(form.get());
    combo.SetStyle(csDropDownList);
    combo.Items().Add("Н1");
    combo.Items().Add("Н2");
    EXPECT_EQ(combo.ItemIndex(), -1);
    combo.SetItemIndex(1);
    EXPECT_EQ(combo.Text(), "Н2");
    combo.Items().Clear();
    EXPECT_EQ(combo.Items().Count(), 0);

    TMaskEdit time(form.get());
    time.SetEditMask("!90:00;1;_");
    EXPECT_EQ(time.Text(), "  :  ");
    QTest::keyClicks(time.Widget(), "1230");
    EXPECT_EQ(time.Text(), "12:30");

    // A double click on a number field is how the dialogues open the keypad.
    int dbl = 0;
    time.SetParent(form->FindChild<TPanel>("Panel1"));
    time.OnDblClick = [&](TObject*) { ++dbl; };
    form->Show();
    QTest::mouseDClick(time.Widget(), Qt::LeftButton);
    EXPECT_EQ(dbl, 1);

    TMemo memo(form.get());
    EXPECT_EQ(memo.Lines().Count(), 0);
    memo.Lines().Add("один");
    memo.Lines().Add("два");
    memo.Lines().Delete(0);
    EXPECT_EQ(memo.Lines().ToStringList().lines, std::vector<std::string>{"два"});
    EXPECT_THROW(memo.Lines().Delete(3), Exception);
}

TEST(Boxes, InputBoxTellsCancelFromAnEmptyAnswer)
{
    auto old = SetInputQueryHook([](const std::string&, const std::string&, std::string& v) {
        v = "";
        return true;
    });
    std::string v = "x";
    EXPECT_TRUE(InputQuery("c", "p", v));
    EXPECT_EQ(v, "");
    SetInputQueryHook([](const std::string&, const std::string&, std::string&) { return false; });
    v = "x";
    EXPECT_FALSE(InputQuery("c", "p", v));
    EXPECT_EQ(v, "x");
    EXPECT_EQ(InputBox("c", "p", "def"), "def");
    SetInputQueryHook(old);

    std::vector<unsigned> beeps;
    auto oldBeep = SetBeepHook([&](unsigned t) { beeps.push_back(t); });
    MessageBeep(0);
    SetBeepHook(oldBeep);
    EXPECT_EQ(beeps, std::vector<unsigned>{0});
}

TEST(Boxes, FileDialogsStartInTheCurrentDirectory)
{
    RegisterTestClasses();
    std::string seenDir;
    auto old = SetFileDialogHook([&](bool save, const std::string&, const std::string&, const std::string& dir, std::string& name) {
        seenDir = dir;
        name = save ? "new" : "old.shd";
        return true;
    });
    TSaveDialog save(nullptr);
    save.DefaultExt = "shd";
    EXPECT_TRUE(save.Execute());
    EXPECT_EQ(save.FileName, "new.shd");
    EXPECT_EQ(seenDir, QDir::currentPath().toStdString());
    SetFileDialogHook(old);
}

} // namespace

namespace {

// A control whose paint fails: the failure is shown once, after the paint, and never escapes.
class TFailingControl : public TGraphicControl {
    VELO_CLASS(TFailingControl, TGraphicControl)
public:
    explicit TFailingControl(TComponent* owner) : TGraphicControl(owner) {}

protected:
    void Paint() override { throw Exception("Ошибка рисования"); }
};

TEST_F(Controls, AnExceptionInAPaintIsShownAfterThePaint)
{
    TBoxRecorder boxes;
    TFailingControl bad(form.get());
    bad.SetParent(form->FindChild<TPanel>("Panel1"));
    form->Show();
    GrabControl(&bad);
    GrabControl(&bad);
    EXPECT_TRUE(boxes.Calls.empty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !boxes.Calls.empty(); }, 10000));
    ASSERT_GE(boxes.Calls.size(), 1u);
    EXPECT_EQ(boxes.Calls[0].Text, "Ошибка рисования");
}

TEST_F(Controls, ShowingAFormActivatesIt)
{
    int activations = 0;
    form->OnActivate = [&](TObject*) { ++activations; };
    form->Show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return activations >= 1; }, 10000));
    EXPECT_GE(activations, 1);
}

} // namespace

namespace {

TEST_F(Controls, CursorsAreNumbersThatReadBackAndTakeInstalledShapes)
{
    auto* sig = form->FindChild<TTestSignal>("Sig1");
    EXPECT_EQ(sig->Cursor(), crDefault);
    sig->SetCursor(crHandPoint);
    EXPECT_EQ(sig->Cursor(), -21);
    EXPECT_EQ(sig->Widget()->cursor().shape(), Qt::PointingHandCursor);
    SetCursorShape(-13, QCursor(Qt::CrossCursor)); // the cap cursor the main window installs
    sig->SetCursor(-13);
    EXPECT_EQ(sig->Cursor(), crNoDrop);
    EXPECT_EQ(sig->Widget()->cursor().shape(), Qt::CrossCursor);
    sig->SetCursor(crDefault);
    EXPECT_FALSE(sig->Widget()->testAttribute(Qt::WA_SetCursor));
}

} // namespace
