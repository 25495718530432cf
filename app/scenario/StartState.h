// The start dialog fmStartState: every run begins here. The trainee or instructor chooses a
// scenario file of "data", decides whether the help window may be used and starts the run; or
// opens the scenario editor; or leaves the program. The main window shows it modally once, at
// the end of its first activation.
#pragma once
#include <functional>
#include <string>

#include "platform/qt/Forms.h"

class TfmStartState : public TForm {
    VELO_CLASS(TfmStartState, TForm)
public:
    TfmStartState();
    ~TfmStartState() override;

    // Rebuilds the list of scenario files (on every activation and when the editor closes);
    // the chosen file stays chosen while it is there, and the sample lesson is chosen when
    // nothing is.
    void FormActivate(TObject* Sender);
    void Button1Click(TObject* Sender);  // "Пуск"
    void Button2Click(TObject* Sender);  // "Вихід"
    void Button3Click(TObject* Sender);  // "Підхід..."
    // The close box leaves the program as "Вихід" does, unless the run was started.
    void FormClose(TObject* Sender, TCloseAction& Action);

    // The steps of "Пуск" and "Вихід"; the program's own unless a test replaces them.
    std::function<void(const std::string& name)> LoadScenario;
    std::function<void()> DockHelp;
    std::function<void(bool on)> SetActiveHelp;
    std::function<bool(std::string& mes)> Send;

    TListBox* lbDataFiles;
    TCheckBox* CheckBox1;
    TButton* Button1;
    TButton* Button2;
    TButton* Button3;

private:
    // The selected file name, empty when none.
    std::string Selected() const;
    bool leaving = false;  // "Пуск" or "Вихід" was pressed
};
