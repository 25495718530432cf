// The small windows around the panel: the text message window of receiver 6, the operator
// console with the model event log, the error list, the information window, the help window,
// the switchboard message window, the pause window, the route-section window, the about window
// and the on-screen keypad. Each is built from its definition under app/forms/ and lives as one
// global instance for the whole run, keeping its contents between showings.
#pragma once
#include <string>

#include "platform/qt/Forms.h"

class ISwitchboardKey;
class TCustomEdit;

// The picture property of the window definitions: `Picture.Data = ( "FFD8..." ... )`, the JPEG
// file's bytes in hexadecimal, decoded into the image. Safe to call more than once.
void RegisterUtilityWindowProperties();

// Receiver 6: a text shown to the trainee.
class TfmMessage : public TForm {
    VELO_CLASS(TfmMessage, TForm)
public:
    TfmMessage();
    ~TfmMessage() override;
    void btCloseClick(TObject* Sender);
    TMemo* mMessage;
    TButton* btClose;
};

// The operator console: a bus request typed or chosen, its verdict and reply, and the log of
// model events.
class TfmConsole : public TForm {
    VELO_CLASS(TfmConsole, TForm)
public:
    TfmConsole();
    ~TfmConsole() override;
    void Button1Click(TObject* Sender);
    void AddConsoleEvent(const std::string& line);
    TComboBox* EditMes;
    TButton* Button1;
    TLabel* Label3;
    TEdit* Edit1;
    TMemo* Memo1;
};

// The list of the trainee's errors.
class TfmError : public TForm {
    VELO_CLASS(TfmError, TForm)
public:
    TfmError();
    ~TfmError() override;
    TListBox* ListBox;
};

// Train states (ListBox1, page "Стан поїздів") and the train approach list (ListBox2, page
// "Підхід поїздів", shown first).
class TfmInfo : public TForm {
    VELO_CLASS(TfmInfo, TForm)
public:
    TfmInfo();
    ~TfmInfo() override;
    // [4 36 n text]: the first train-state line that begins with n keeps its part up to its
    // first "-" and gets a blank and the text, "_" shown as blanks.
    void ReplaceTrainState(const std::string& mes);
    // [4 37 flag text]: the text on top of ListBox1 (flag not 0) or ListBox2.
    void InsertInfoLine(const std::string& mes);
    TListBox* ListBox1;
    TListBox* ListBox2;
};

class TfmActiveHelp : public TForm {
    VELO_CLASS(TfmActiveHelp, TForm)
public:
    TfmActiveHelp();
    ~TfmActiveHelp() override;
    // [4 38 text]: the text as a new line.
    void AppendHelpLine(const std::string& mes);
    void miZakrClick(TObject* Sender);
    void miFloatClick(TObject* Sender);
    void N1Click(TObject* Sender);
    TMemo* Memo1;
};

// A call read from a switchboard key, with the two answers when the call may be answered.
class TfmCommutatorMessage : public TForm {
    VELO_CLASS(TfmCommutatorMessage, TForm)
public:
    TfmCommutatorMessage();
    ~TfmCommutatorMessage() override;
    void FormShow(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void FormResize(TObject* Sender);
    void btCloseClick(TObject* Sender);
    void btAnsverClick(TObject* Sender);
    void btOtkazClick(TObject* Sender);
    // The key whose call the window shows (null: none).
    ISwitchboardKey* Key = nullptr;
    TMemo* mMessage;
    TButton* btClose;
    TButton* btAnsver;
    TButton* btOtkaz;

private:
    void Answer(bool first);
    bool resizing = false;
};

// The pause: "Пуск" resumes the clock, "Вихід" ends the program.
class TfmPusk : public TForm {
    VELO_CLASS(TfmPusk, TForm)
public:
    TfmPusk();
    ~TfmPusk() override;
    void btPuskClick(TObject* Sender);
    void Button1Click(TObject* Sender);
    TImage* Image1;
    TButton* btPusk;
    TButton* Button1;
};

// Artificial release of a section of the route-relay panel, one button a section.
class TfmSectionsRoute : public TForm {
    VELO_CLASS(TfmSectionsRoute, TForm)
public:
    TfmSectionsRoute();
    ~TfmSectionsRoute() override;
    void EC_CancelSection(TObject* Sender);
};

// The about window, which drifts back to its place one pixel a tick when dragged away.
class TfmAbout : public TForm {
    VELO_CLASS(TfmAbout, TForm)
public:
    TfmAbout();
    ~TfmAbout() override;
    void FormShow(TObject* Sender);
    void Timer1Timer(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    int TargetTop = 193;
    int TargetLeft = 202;
    TImage* Image1;
    TTimer* Timer1;
};

// The on-screen keypad of the dialogues: digits and "^" edit the text of the target field.
class TfmKeyBoard : public TForm {
    VELO_CLASS(TfmKeyBoard, TForm)
public:
    TfmKeyBoard();
    ~TfmKeyBoard() override;
    // Stores the target, places the keypad beside the mouse cursor and shows it modally.
    void OpenKeyboard(TForm* form, TCustomEdit* control);
    void Button1Click(TObject* Sender);
    void Button11Click(TObject* Sender);
    void Button12Click(TObject* Sender);
    TCustomEdit* Target = nullptr;
};

extern TfmCommutatorMessage* fmCommutatorMessage;
extern TfmSectionsRoute* fmSectionsRoute;
extern TfmAbout* fmAbout;
extern TfmKeyBoard* fmKeyBoard;
