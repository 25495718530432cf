// The table of dialogue partners and their channel windows.
#include "panel/Connection.h"

#include "panel/KeyClasses.h"
#include "platform/core/CFormat.h"
#include "platform/qt/Controls.h"
#include "platform/qt/Forms.h"
#include "platform/qt/Properties.h"

void TCompanion::Check()
{
    TForm* form = Screen().FindForm(Canal);
    if (!form) {
        MessageBoxA(nullptr, Canal, "Нет формы, указанной в качестве входного канала связи", MB_OK);
        return;
    }
    fForm = form;
    for (int i = 0; i < form->ComponentCount(); ++i) {
        TComponent* c = form->Components(i);
        if (c->ClassName() == "TMemo") {
            fMemo = static_cast<TMemo*>(c);
            return;
        }
    }
    MessageBoxA(nullptr, Canal, "В форме, указанной в качестве входного канала связи, отсутствует поле вывода сообщений",
                MB_OK);
}

int TCompanion::ShowMessage(const std::string& text)
{
    if (!fForm || !fMemo) return 0;
    if (fForm->Visible()) {
        // A further message while the window is open is not lost: it comes as a new line,
        // headed by its partner (two drivers share the shunting radio, and the caption names
        // only the first), and the window's reminder starts again.
        fMemo->Lines().Add(ExecName + ": " + text);
        fForm->DoShow();
        return 1;
    }
    fMemo->Lines().Clear();
    fMemo->Lines().Add(text);
    fForm->SetCaption(ExecName + "->" + fForm->Caption());
    fForm->Show();
    return 1;
}

void TCompanion::Assign(const TCompanion& c)
{
    ExecName = c.ExecName;
    Canal = c.Canal;
}

void TCompanions::Assign(const TCompanions& other)
{
    for (int i = 0; i < kCount; ++i) Set(i, other.Companion(i));
}

void TCompanions::Check()
{
    for (TCompanion& c : fItems) {
        if (c.Canal.empty() || c.ExecName.empty()) return;
        c.Check();
    }
}

int TCompanions::ShowMessage(const std::string& name, const std::string& text)
{
    for (TCompanion& c : fItems) {
        if (c.Canal.empty() || c.ExecName.empty()) return 0;
        if (c.ExecName == name) return c.ShowMessage(text);
    }
    return 0;
}

void RegisterConnectionClasses()
{
    RegisterComponentClass("TConnection", [](TComponent* owner) { return new TConnection(owner); });
    RegisterObjectProperty<TConnection>("CompanionArray",
                                        [](TConnection& c) -> TPersistent* { return &c.CompanionArray(); });
    for (int i = 0; i < TCompanions::kCount; ++i)
        RegisterObjectProperty<TCompanions>(Format("Companion%02d", i),
                                            [i](TCompanions& t) -> TPersistent* { return &t.Companion(i); });
    RegisterStringProperty<TCompanion>("ExecName", [](TCompanion& c, const std::string& v) { c.ExecName = v; });
    RegisterStringProperty<TCompanion>("Canal", [](TCompanion& c, const std::string& v) { c.Canal = v; });
}
