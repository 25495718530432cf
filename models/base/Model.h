// TModel: base of every simulation model. A data file read once (FileName, Init), a model clock
// (Process, SysTime, DeltaT), numbered parameters reached over the bus (commands 1 get, 2 set,
// 3 store) and the two events through which a model talks to the program.
//
// The bus: a message is a text "{receiver} {command} {args...}" in a growable buffer owned by the
// sender; the receiver writes its reply over the buffer and returns 1, or returns 0 when it
// refuses or does not know the command.
#pragma once
#include <cstdio>
#include <functional>
#include <string>

#include "models/base/Containers.h"
#include "models/base/Parametres.h"
#include "platform/core/Component.h"

enum TBusReceiver {
    brInstructor = 0,
    brPlan = 1,
    brEC = 2,
    brTecn = 3,
    brInterface = 4,
    brMessage = 6,
    brDelay = 8,
};

class TModel;
// Sends a bus message; true when it was handled, the reply then standing in mes.
using TSendMessageEvent = std::function<bool(TModel* Sender, std::string& mes, TlstParams* lstPar)>;
// Reports a model event as a line of text.
using TChangeStateEvent = std::function<void(TModel* Sender, AnsiString Mess)>;

class TModel : public TComponent {
    VELO_CLASS(TModel, TComponent)
public:
    explicit TModel(TComponent* owner = nullptr);
    ~TModel() override;

    // Published properties.
    AnsiString FileName;
    TSendMessageEvent OnSendMessage;
    TChangeStateEvent OnChangeState;

    virtual void Read(std::FILE* f);
    virtual void InitState();
    virtual void Synchronization(double t);
    // The model's own commands (4 and above); 0 when not handled.
    virtual int fnGetModelMessage(std::string& mes, TlstParams* lstPar);
    virtual void ClearData();

    // InitState, then Read of the data file named by FileName (none when empty).
    void Init();
    // One clock tick: DeltaT := t - time, time := t, then Synchronization(t).
    void Process(float t);
    double SysTime() const { return time; }
    double DeltaT() const { return step; }

    // Raises OnSendMessage; 0 when no handler is set.
    int SendMessageA(std::string& mes, TlstParams* lstPar = nullptr);
    // Convenience: sends a copy of mes and returns the verdict; the reply is dropped.
    int SendMessageA(const char* mes, TlstParams* lstPar = nullptr);
    // Raises OnChangeState when it is set.
    void ChangeState(const AnsiString& text);
    // Tells the technology object named by the model parameter 1090 (none: nobody) that a fault
    // now shows (a section given a fault mode; a faulty switch asked to turn): report 414 with
    // 1553 the section or switch and 1554 the fault mode. That object's
    // automaton makes itself the listener, so the station's data says who hears of faults and its
    // own help can say what the duty officer sees and whom to call.
    void TellFault(int number, int mode);

    // Receives one bus message addressed to this model: commands 1-3 here, the rest to
    // fnGetModelMessage. Virtual so the interlocking model can replace it.
    virtual int fnGetMessage(std::string& mes, TlstParams* lstPar);

    TVariant GetModelParam(const AnsiString& name) const;
    bool SetModelParam(const AnsiString& name, const TVariant& value);
    bool AddParam(const AnsiString& name, const AnsiString& value);
    bool GetModelParam(std::string& mes, TlstParams* lstPar);
    bool SetModelParam(std::string& mes);
    bool StoreModelParam(std::string& mes);

    TObjParamList& Params() { return params; }
    const TObjParamList& Params() const { return params; }

protected:
    double time = 0;
    double step = 0;
    TObjParamList params;
};

// Something that steps once per tick: switch throws of the plan, interlocking devices.
class TDevice {
public:
    virtual ~TDevice() = default;
    virtual void Step(double t) = 0;
};

// The registered devices of a model, stepped in index order.
class TaDevices : public TArray300<TDevice*> {
public:
    void Synchronization(double t);
};

// How trainee errors name a moving object, asked of the technology model over the bus (send
// returns non-zero when the message was handled): a train by its number (1025), a locomotive
// (1001 = 2) by its number (1508) or, a shunting locomotive without one, by "МЛ" and its object
// number, anything else by its object number.
using TBusSend = std::function<int(std::string& mes)>;
// "МЛ1", "1612"; the object number of anything else.
std::string LocoName(const TBusSend& send, int obj);
// The mover in the genitive, two words: "поезда №91", "локомотива МЛ1", "объекта 13".
std::string MoverName(const TBusSend& send, int obj);
// The mover in one word, as a train is called on the radio: "2403"; a locomotive "МЛ1" (as
// LocoName).
std::string TrainNumber(const TBusSend& send, int obj);
