// The sample window and the registration of the test classes.
#include "TestClasses.h"

#include <QPainter>

TfmSample::TfmSample() : TForm(nullptr)
{
    Handlers().Add("Button1Click", TNotifyEvent([this](TObject*) {
        ++Clicks;
        if (ThrowOnClick) throw Exception("Ошибка в обработчике");
    }));
    Handlers().Add("N35Click", TNotifyEvent([this](TObject*) { ++MenuClicks; }));
    Handlers().Add("FormShow", TNotifyEvent([this](TObject*) { ++Shows; }));
    Handlers().Add("MainTimerTimer", TNotifyEvent([this](TObject*) { ++Ticks; }));
    Handlers().Add("Frame11Lamp1Click", TNotifyEvent([this](TObject*) { ++Frame11LampClicks; }));
    Handlers().Add<TSendMessageEvent>("MessageDispatcher", [this](TModel*, std::string& mes, TlstParams*) {
        Messages.push_back(mes);
        mes = "reply";
        return true;
    });
    Handlers().Add<TChangeStateEvent>("ModelsEvent", [this](TModel*, AnsiString m) { Events.push_back(m); });
    LoadDefinition(":/test/forms/Sample.vfm");
}

void RegisterTestClasses()
{
    static bool done = false;
    if (done) return;
    done = true;
    RegisterComponentClass("TTestCell", [](TComponent* o) { return new TTestCell(o); });
    RegisterComponentClass("TTestSection", [](TComponent* o) { return new TTestSection(o); });
    RegisterComponentClass("TTestSignal", [](TComponent* o) { return new TTestSignal(o); });
    RegisterComponentClass("TTestConnection", [](TComponent* o) { return new TTestConnection(o); });
    RegisterComponentClass("TModel", [](TComponent* o) { return new TModel(o); });
    RegisterFrameClass("TTestFrame", ":/test/forms/TestFrame.vfm");

    RegisterIntProperty<TTestCell>("Id", [](TTestCell& c, int v) { c.Id = v; });
    RegisterStringsProperty<TTestSection>("Items0", [](TTestSection& s, const TStringList& l) { s.SetItems0(l); });
    RegisterReferenceProperty<TTestSignal, TLabel>("SigLabel", [](TTestSignal& s, TLabel* l) { s.SigLabel = l; });
    RegisterReferenceProperty<TTestSignal, TTestCell>("Cell", [](TTestSignal& s, TTestCell* c) { s.Cell = c; });
    RegisterObjectProperty<TTestConnection>("CompanionArray", [](TTestConnection& c) -> TPersistent* { return &c.CompanionArray; });
    RegisterObjectProperty<TTestCompanions>("Companion00", [](TTestCompanions& c) -> TPersistent* { return &c.Companion00; });
    RegisterObjectProperty<TTestCompanions>("Companion01", [](TTestCompanions& c) -> TPersistent* { return &c.Companion01; });
    RegisterStringProperty<TTestCompanion>("ExecName", [](TTestCompanion& c, const std::string& v) { c.ExecName = v; });
    RegisterStringProperty<TTestCompanion>("Canal", [](TTestCompanion& c, const std::string& v) { c.Canal = v; });

    // The models know nothing of Qt: their properties are registered from outside.
    RegisterStringProperty<TModel>("FileName", [](TModel& m, const std::string& v) { m.FileName = v; });
    RegisterEventProperty<TModel, TSendMessageEvent>("OnSendMessage", [](TModel& m, TSendMessageEvent e) { m.OnSendMessage = e; });
    RegisterEventProperty<TModel, TChangeStateEvent>("OnChangeState", [](TModel& m, TChangeStateEvent e) { m.OnChangeState = e; });

    RegisterBitmap("TESTCELL", 13, 6, [](QPainter& p) { p.fillRect(0, 0, 13, 6, Qt::red); });
}
