// The bases of the trainer's windows made in code: a form named as its global instance, and a
// dialogue that a switchboard key can own. The dialogues build on these without knowing the
// main window or the table of windows.
#pragma once
#include <string>

#include "platform/qt/Forms.h"

class ISwitchboardKey;

// A form made in code, named as its global instance.
class TTrainerForm : public TForm {
    VELO_CLASS(TTrainerForm, TForm)
public:
    explicit TTrainerForm(const std::string& name, const std::string& caption = "") : TForm(nullptr)
    {
        SetName(name);
        SetCaption(caption);
    }
    // The second phase of construction, run once the window is made (a dialogue reads its data
    // file here, so that its own ReadDataFile runs); nothing by default.
    virtual void Init() {}
    // Made only so that the window can be found by name: its dialogue is not built yet, and
    // opening it writes a line in the console instead (TfmMain::TrainerWindow).
    bool StandIn = false;

protected:
    // A control of this form placed on its client area.
    template <class T>
    T* AddControl(const std::string& name)
    {
        T* c = new T(this);
        c->SetName(name);
        c->SetParent(this);
        return c;
    }
};

// A dialogue opened from a ringing switchboard key ("Очікую", "Відказ").
class TKeyDialogForm : public TTrainerForm {
    VELO_CLASS(TKeyDialogForm, TTrainerForm)
public:
    using TTrainerForm::TTrainerForm;
    ISwitchboardKey* OwnerKey = nullptr;
};
